#include "app/forms/Arranque.h"
#include "base/forms/ErrorDisplay.h"
#include "app/forms/TFrmPedirColegio.h"
#include "platform/InstanceLock.h"
#include "platform/QuitRequest.h"
#include "base/Messages.h"
#include <QGuiApplication>
#include <QScreen>

Arranque::~Arranque()
{
    ventana.reset();
    dm.reset();
}

bool Arranque::iniciar(const QString& programPath)
{
    // The lock stays taken until the process ends; the system frees it then.
    if (!kv::ProgramInstanceLock().acquire(kv::InstanceName(programPath))) {
        kv::Messages::instance().showMessage(QStringLiteral("Ya existe otra copia del programa funcionando."));
        kv::PostQuit();
    }
    // The application's title, shown as the caption of plain message boxes. It is the
    // application name, not a pinned display name: on X11 Qt appends a display name to
    // every window caption, and the windows have captions of their own ("Kelvora", ...).
    QCoreApplication::setApplicationName(QStringLiteral("Sandrivo"));
    try {
        dm = std::make_unique<kv::TDM>();
        kv::ElegirSitioYAbrirTablas(*dm);
        ventana = std::make_unique<TFrmMain>(nullptr, pedirClave_);
    } catch (...) {
        kv::MostrarExcepcion();
        return false;
    }
    if (kv::QuitPending()) return false;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        ventana->move(screen->availableGeometry().center() - ventana->rect().center());
    ventana->show();
    ventana->activateWindow();
    return true;
}
