// kelvora-admin: what is done to a site outside the program (create it, list it, fill it
// with demo data, look into it with SQL).
#include "DemoSite.h"
#include "InsideCommands.h"
#include "PublishCommands.h"
#include "ReportCommands.h"
#include "ExportCommands.h"
#include "ImportCommands.h"
#include "data/Database.h"
#include "data/Dialect.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "data/SiteList.h"
#include "settings/DirectorioTrabajo.h"
#include "base/Version.h"
#include "publish/Pg.h"
#include "base/Clock.h"
#include "base/MyException.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <memory>

#include <sqlite3.h>

namespace {

enum Exit { Ok = 0, Failed = 1, BadUsage = 2 };

const char kUsage[] =
    "Uso: kelvora-admin ORDEN [ARGUMENTOS]\n"
    "\n"
    "Órdenes:\n"
    "  create-site DIR               crea en DIR las tablas vacías de un sitio\n"
    "  add-site NOMBRE DIR           agrega el sitio DIR a Config.DB del directorio de trabajo\n"
    "  new-site NOMBRE DIR           agrega a Config.DB el sitio de DIR; si DIR no tiene las\n"
    "                                tablas de un sitio, crea en él las de uno nuevo\n"
    "  data-dir                      el directorio en que trabaja kelvora iniciado desde aquí\n"
    "                                (el actual si tiene Config.DB; si no, el de datos del usuario)\n"
    "  demo DIR [--register NOMBRE]  crea en DIR un sitio de demostración con datos de ejemplo;\n"
    "                                con --register lo agrega además a Config.DB\n"
    "  sql DIR \"SENTENCIA\"           ejecuta una sentencia SQL sobre las tablas del sitio DIR\n"
    "  inside DIR [--csv FILE]       personas y visitantes que están dentro ahora;\n"
    "                                con --csv escribe la lista en FILE\n"
    "  remote-init [--year N] [--consulta-role NOMBRE [--consulta-clave CLAVE]]\n"
    "                                crea en el servidor (sección Internet de pralune.ini) el\n"
    "                                esquema del año N con las tablas publicadas; con\n"
    "                                --consulta-role, el rol de solo lectura de kelvora-consulta\n"
    "  publish DIR [--movimientos] [--estudiantes] [--consultantes]\n"
    "                                publica el sitio DIR (sin opciones, las tres cosas)\n"
    "  export DIR ARCHIVO.xlsx [--grado N --grupo G]\n"
    "                                exporta las personas del sitio (o de un grupo) a un libro Excel\n"
    "  import-personas DIR ARCHIVO [--actualizar] [--crear-grupos] [--prueba]\n"
    "                                importa personas de un archivo .csv o .xlsx; con --actualizar\n"
    "                                un código conocido actualiza a esa persona; --prueba solo revisa\n"
    "  import-fotos DIR CARPETA      copia las fotos con nombre de código o documento de una persona\n"
    "  import-sitio DIR_ANTERIOR DIR_NUEVO\n"
    "                                crea DIR_NUEVO con las tablas Paradox del sitio DIR_ANTERIOR\n"
    "%1"
    "  --help                        muestra esta ayuda\n"
    "  --version                     muestra la versión\n";

QString usage() { return QString::fromUtf8(kUsage).arg(QString::fromUtf8(admin::kReportUsage)); }

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}
QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

int fail(const QString& message, int code = Failed)
{
    out().flush();
    err() << "kelvora-admin: " << message << Qt::endl;
    return code;
}

int badUsage(const QString& message)
{
    fail(message, BadUsage);
    err() << "Use «kelvora-admin --help» para ver las órdenes." << Qt::endl;
    return BadUsage;
}

QString absolute(const QString& dir) { return QDir::cleanPath(QFileInfo(dir).absoluteFilePath()); }

// The site's tables must already be there; the message says which of the two is missing.
int requireSite(const QString& dir)
{
    if (!QFileInfo(dir).isDir())
        return fail(QStringLiteral("No existe el directorio: %1").arg(dir));
    if (!QFileInfo(QDir(dir).filePath(kv::Database::siteFileName())).isFile())
        return fail(QStringLiteral("El directorio %1 no contiene las tablas de un sitio.").arg(dir));
    return Ok;
}

int createSite(const QStringList& args)
{
    if (args.size() != 1)
        return badUsage(QStringLiteral("create-site necesita exactamente un argumento: DIR"));
    kv::createSite(args[0]);
    out() << "Sitio creado en " << absolute(args[0]) << Qt::endl;
    return Ok;
}

int addSite(const QStringList& args)
{
    if (args.size() != 2)
        return badUsage(QStringLiteral("add-site necesita dos argumentos: NOMBRE DIR"));
    if (args[0].trimmed().isEmpty())
        return badUsage(QStringLiteral("El nombre del sitio no puede estar vacío."));
    if (const int rc = requireSite(args[1]))
        return rc;
    kv::addSite(QDir::currentPath(), args[0], absolute(args[1]));
    out() << "Sitio «" << args[0] << "» agregado a " << QDir::current().filePath(kv::Database::siteListFileName())
          << Qt::endl;
    return Ok;
}

int newSite(const QStringList& args)
{
    if (args.size() != 2)
        return badUsage(QStringLiteral("new-site necesita dos argumentos: NOMBRE DIR"));
    const QString workDir = QDir::currentPath();
    if (const QStringList errores = kv::ErroresNuevoSitio(workDir, args[0], args[1]); !errores.isEmpty())
        return fail(errores.join(QLatin1Char(' ')));
    const bool nuevo = kv::AgregarSitio(workDir, args[0], args[1]);
    out() << "Sitio «" << args[0].trimmed() << "» " << (nuevo ? "creado en " : "(tablas existentes) en ")
          << absolute(args[1]) << ", agregado a " << QDir(workDir).filePath(kv::Database::siteListFileName())
          << Qt::endl;
    return Ok;
}

int dataDir(const QStringList& args)
{
    if (!args.isEmpty()) return badUsage(QStringLiteral("data-dir no lleva argumentos"));
    out() << kv::DirectorioDeTrabajo(QDir::currentPath(), kv::DirectorioDatosUsuario()) << Qt::endl;
    return Ok;
}

int demo(const QStringList& args)
{
    QString dir, registerAs;
    bool wantRegister = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--register")) {
            if (i + 1 >= args.size() || args[i + 1].trimmed().isEmpty())
                return badUsage(QStringLiteral("--register necesita el nombre del sitio."));
            wantRegister = true;
            registerAs = args[++i];
        } else if (args[i].startsWith(QLatin1String("--"))) {
            return badUsage(QStringLiteral("Opción desconocida: %1").arg(args[i]));
        } else if (dir.isEmpty()) {
            dir = args[i];
        } else {
            return badUsage(QStringLiteral("demo recibe un solo directorio; sobra: %1").arg(args[i]));
        }
    }
    if (dir.isEmpty())
        return badUsage(QStringLiteral("demo necesita el directorio del sitio: demo DIR"));

    const admin::DemoSummary s = admin::buildDemoSite(dir, kv::Clock::instance().today());
    out() << "Sitio de demostración creado en " << absolute(dir) << "\n"
          << "  " << s.categories << " categorías, " << s.groups << " grupos, " << s.persons
          << " personas (" << s.photos << " con foto), " << s.movements << " movimientos\n";
    if (wantRegister) {
        kv::addSite(QDir::currentPath(), registerAs, absolute(dir));
        out() << "  agregado a Config.DB como «" << registerAs << "»\n";
    }
    out() << "Contraseñas:\n"
          << "  Administrador: " << s.adminPassword << "\n"
          << "  Capturar entradas y salidas: " << s.capturePassword << "\n"
          << "Consulta en línea (después de publicar el sitio):\n"
          << "  padre o madre: documento " << s.parentDocument << ", clave " << s.parentPassword << "\n"
          << "  personal: documento " << s.staffDocument << ", clave " << s.staffPassword << Qt::endl;
    return Ok;
}

// One value per cell of a tab-separated line: tabs and line breaks inside a value are
// written as escapes so every row stays on one line.
QString cell(const kv::Field& f)
{
    QString s = f.asString();
    s.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    s.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    s.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    s.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return s;
}

// How many statements the text holds, as SQLite splits it. A text that does not even
// prepare counts as one: running it gives the engine's own error message.
int countStatements(sqlite3* handle, const QString& localSql)
{
    QByteArray utf;
    try {
        utf = kv::translateLocalSql(localSql).toUtf8();
    } catch (const kv::DbError&) {
        return 1;
    }
    int count = 0;
    const char* tail = utf.constData();
    while (tail && *tail) {
        sqlite3_stmt* st = nullptr;
        const char* next = nullptr;
        if (sqlite3_prepare_v2(handle, tail, -1, &st, &next) != SQLITE_OK)
            return count + 1;   // the rest did not prepare: at least one more
        if (st) {
            ++count;
            sqlite3_finalize(st);
        }
        tail = next;
    }
    return count;
}

int sql(const QStringList& args)
{
    if (args.size() != 2)
        return badUsage(QStringLiteral("sql necesita dos argumentos: DIR \"SENTENCIA\""));
    if (args[1].trimmed().isEmpty())
        return badUsage(QStringLiteral("La sentencia está vacía."));
    if (const int rc = requireSite(args[0]))
        return rc;

    // Held here so the query below shares this same connection.
    const auto db = kv::Database::forDirectory(args[0]);
    if (countStatements(db->handle(), args[1]) > 1)
        return badUsage(QStringLiteral("Escriba una sola sentencia."));

    kv::Query q;
    // The runner does not report how many rows a writing statement changed; SQLite's
    // running total does, and it also counts nothing for statements that change no rows.
    const int before = sqlite3_total_changes(db->handle());
    if (kv::EjecutarSQL(args[0], q, args[1])) {
        out() << q.fieldNames().join(QLatin1Char('\t')) << "\n";
        const QStringList names = q.fieldNames();
        for (q.first(); !q.eof(); q.next()) {
            QStringList line;
            for (const QString& n : names)
                line << cell(q.fieldByName(n));
            out() << line.join(QLatin1Char('\t')) << "\n";
        }
        out().flush();
        return Ok;
    }
    const int changed = sqlite3_total_changes(db->handle()) - before;
    out() << changed << (changed == 1 ? " fila afectada" : " filas afectadas") << Qt::endl;
    return Ok;
}

} // namespace

int main(int argc, char** argv)
{
    // Reports lay out text with real fonts, which need the GUI side of Qt (never a screen).
    const bool report = argc > 1 && qstrcmp(argv[1], "report") == 0;
    if (report && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app =
        report ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        err() << usage();
        err().flush();
        return BadUsage;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h")
        || command == QLatin1String("help")) {
        out() << usage();
        out().flush();
        return Ok;
    }
    if (command == QLatin1String("--version")) {
        out() << "kelvora-admin " << KELVORA_VERSION << Qt::endl;
        return Ok;
    }
    try {
        if (command == QLatin1String("create-site")) return createSite(args);
        if (command == QLatin1String("new-site")) return newSite(args);
        if (command == QLatin1String("data-dir")) return dataDir(args);
        if (command == QLatin1String("add-site")) return addSite(args);
        if (command == QLatin1String("demo")) return demo(args);
        if (command == QLatin1String("sql")) return sql(args);
        if (command == QLatin1String("inside")) {
            admin::InsideOptions o;
            if (const QString e = admin::parseInside(args, o); !e.isEmpty()) return badUsage(e);
            if (const int rc = requireSite(o.dir)) return rc;
            admin::runInside(o, out(), err());
            return Ok;
        }
        if (command == QLatin1String("remote-init")) return admin::remoteInit(args);
        if (command == QLatin1String("publish")) return admin::publish(args);
        if (command == QLatin1String("report")) return admin::reportCommand(args, out(), err());
        if (command == QLatin1String("export")) return admin::exportCommand(args);
        if (command == QLatin1String("import-personas")) return admin::importPersonasCommand(args);
        if (command == QLatin1String("import-fotos")) return admin::importFotosCommand(args);
        if (command == QLatin1String("import-sitio")) return admin::importSitioCommand(args);
        return badUsage(QStringLiteral("Orden desconocida: %1").arg(command));
    } catch (const kv::DbError& e) {
        return fail(e.message());
    } catch (const MyException& e) {
        return fail(e.message());
    } catch (const kv::PgError& e) {
        return fail(e.message());
    } catch (const std::exception& e) {
        return fail(QString::fromLocal8Bit(e.what()));
    }
}
