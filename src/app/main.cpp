#include "app/forms/Arranque.h"
#include "app/forms/KvApplication.h"
#include "base/Version.h"
#include "base/forms/ErrorDisplay.h"
#include "base/forms/QtMessages.h"
#include "settings/DirectorioTrabajo.h"
#include <QWidget>
#include <cstdio>
#include <cstring>

namespace {

const char kAyuda[] =
    "Uso: kelvora [OPCIÓN]\n"
    "\n"
    "Kelvora, el control de asistencia en la puerta del colegio: registra las entradas y\n"
    "salidas de las personas del sitio, lleva su registro, imprime informes y publica los\n"
    "movimientos para la consulta en línea.\n"
    "\n"
    "Directorio de trabajo:\n"
    "  Iniciado en un directorio que contiene la lista de sitios Config.DB, trabaja en él.\n"
    "  Si no (por ejemplo, desde el menú del escritorio), trabaja en $XDG_DATA_HOME/kelvora,\n"
    "  de ordinario ~/.local/share/kelvora, y lo crea al primer inicio. Allí quedan\n"
    "  Config.DB, pralune.ini, LogError.txt y codigosInvalidos.txt. El primer inicio ofrece\n"
    "  crear un sitio nuevo o agregar uno existente con «Nuevo sitio...».\n"
    "\n"
    "Opciones:\n"
    "  --help     muestra esta ayuda\n"
    "  --version  muestra la versión\n"
    "\n"
    "Entorno:\n"
    "  KELVORA_MENSAJES=stderr  escribe los mensajes en la salida de errores en vez de mostrar\n"
    "                           cuadros (las preguntas responden No), y nombra allí cada\n"
    "                           ventana que se abre: para ejecuciones sin nadie ante la pantalla.\n"
    "\n"
    "Véase también kelvora-admin(1).\n";

// In runs without anybody at the screen each window that opens is named on the error
// stream, so whoever started the program knows where it waits.
class VentanasEnStderr : public QObject {
protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Show && o->isWidgetType()) {
            auto* w = static_cast<QWidget*>(o);
            if (w->isWindow())
                std::fprintf(stderr, "kelvora: ventana %s «%s»\n", qPrintable(w->objectName()),
                             qPrintable(w->windowTitle()));
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv)
{
    // Answered before any window system is needed (help2man reads both for the manual).
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kAyuda, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("kelvora %s\n", KELVORA_VERSION);
        return 0;
    }
    KvApplication app(argc, argv);
    // KELVORA_MENSAJES=stderr writes the messages to the error stream instead of showing
    // boxes (questions answer No): for runs without anybody at the screen.
    VentanasEnStderr ventanas;
    if (qEnvironmentVariable("KELVORA_MENSAJES") != QLatin1String("stderr"))
        kv::Messages::install(std::make_unique<kv::QtMessages>());
    else
        app.installEventFilter(&ventanas);
    try {
        kv::EntrarDirectorioDeTrabajo();
    } catch (...) {
        kv::MostrarExcepcion();
        return 0;
    }
    {
        Arranque arranque;
        if (arranque.iniciar(QString::fromLocal8Bit(argv[0]))) app.exec();
    }
    return 0;
}
