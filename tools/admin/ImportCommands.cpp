#include "ImportCommands.h"
#include "data/Database.h"
#include "data/Field.h"
#include "import/ImportarFotos.h"
#include "import/ImportarPersonas.h"
#include "import/ImportarSitio.h"
#include "import/LectorFilas.h"
#include "import/Paradox.h"
#include "Mensaje.h"
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace admin {

namespace {

int sitioRequerido(const QString& dir)
{
    if (!QFileInfo(dir).isDir()) return mensaje(1, QStringLiteral("No existe el directorio: %1").arg(dir));
    if (!QFileInfo(QDir(dir).filePath(kv::Database::siteFileName())).isFile())
        return mensaje(1, QStringLiteral("El directorio %1 no contiene las tablas de un sitio.").arg(dir));
    return 0;
}

} // namespace

int importPersonasCommand(const QStringList& args)
{
    QStringList pos;
    kv::OpcionesImportacion o;
    for (const QString& a : args) {
        if (a == QLatin1String("--actualizar")) o.actualizar = true;
        else if (a == QLatin1String("--crear-grupos")) o.crearGrupos = true;
        else if (a == QLatin1String("--prueba")) o.escribir = false;
        else if (a.startsWith(QLatin1String("--"))) return mensaje(2, QStringLiteral("Opción desconocida: %1").arg(a));
        else pos << a;
    }
    if (pos.size() != 2) return mensaje(2, QStringLiteral("import-personas necesita dos argumentos: DIR ARCHIVO"));
    if (const int rc = sitioRequerido(pos[0])) return rc;
    try {
        const kv::ResultadoImportacion r = kv::ImportarPersonas(pos[0], pos[1], o);
        QTextStream out(stdout);
        out << kv::InformeImportacion(r);
        out << (r.escrito ? "Importación guardada." : "Prueba: no se guardó nada.") << Qt::endl;
        return r.rechazadas.isEmpty() ? 0 : 2;
    } catch (const kv::ImportError& e) {
        return mensaje(1, e.message());
    } catch (const kv::DbError& e) {
        return mensaje(1, QStringLiteral("No se guardó nada: %1").arg(e.message()));
    }
}

int importFotosCommand(const QStringList& args)
{
    for (const QString& a : args)
        if (a.startsWith(QLatin1String("--"))) return mensaje(2, QStringLiteral("Opción desconocida: %1").arg(a));
    if (args.size() != 2) return mensaje(2, QStringLiteral("import-fotos necesita dos argumentos: DIR CARPETA"));
    if (const int rc = sitioRequerido(args[0])) return rc;
    try {
        const kv::ResultadoFotos r = kv::ImportarFotos(args[0], args[1]);
        QTextStream(stdout) << kv::InformeFotos(r) << Qt::flush;
        return 0;
    } catch (const kv::ImportError& e) {
        return mensaje(1, e.message());
    } catch (const kv::DbError& e) {
        return mensaje(1, e.message());
    }
}

int importSitioCommand(const QStringList& args)
{
    for (const QString& a : args)
        if (a.startsWith(QLatin1String("--"))) return mensaje(2, QStringLiteral("Opción desconocida: %1").arg(a));
    if (args.size() != 2) return mensaje(2, QStringLiteral("import-sitio necesita dos argumentos: DIR_ANTERIOR DIR_NUEVO"));
    try {
        // An old working directory instead of a site: its list of sites says where they are.
        if (kv::ArchivoSinMayusculas(args[0], QStringLiteral("estudiantes.db")).isEmpty()
            && !kv::ArchivoSinMayusculas(args[0], QStringLiteral("Config.DB")).isEmpty()) {
            QTextStream err(stderr);
            err << "kelvora-admin: " << QDir::toNativeSeparators(args[0])
                << " es un directorio de trabajo; sus sitios son:" << Qt::endl;
            for (const kv::SitioAnterior& s : kv::SitiosAnteriores(args[0])) err << "  " << s.colegio << "\t" << s.rutaTablas << Qt::endl;
            err << "Indique el directorio de tablas del sitio a importar." << Qt::endl;
            return 2;
        }
        QTextStream err(stderr);
        const kv::ResultadoSitio r = kv::ImportarSitio(args[0], args[1], [&](const QString& tabla, int n) {
            err << "\r" << tabla << ": " << n << " filas" << Qt::flush;
        });
        err << "\r" << Qt::endl;
        QTextStream out(stdout);
        out << kv::InformeSitio(r) << "Sitio creado en " << QFileInfo(args[1]).absoluteFilePath() << Qt::endl;
        for (const kv::InformeTabla& t : r.tablas)
            if (!t.rechazadas.isEmpty()) return 2;
        return 0;
    } catch (const kv::ImportError& e) {
        return mensaje(1, e.message());
    } catch (const kv::DbError& e) {
        return mensaje(1, e.message());
    }
}

} // namespace admin
