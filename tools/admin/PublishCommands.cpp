#include "PublishCommands.h"
#include "data/Database.h"
#include "data/TDM.h"
#include "publish/Publicacion.h"
#include "publish/Remote.h"
#include "publish/RemotoConsulta.h"
#include "settings/TConfig.h"
#include "base/Clock.h"
#include <QFileInfo>
#include <QTextStream>

namespace admin {

namespace {

enum Exit { Ok = 0, Failed = 1, BadUsage = 2 };

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

// A progress line left open (a pass cut short) ends before the next message.
bool lineaAbierta = false;
void terminarLinea()
{
    if (lineaAbierta) err() << Qt::endl;
    lineaAbierta = false;
}
struct FinDeLinea {
    ~FinDeLinea() { terminarLinea(); }   // also when an error leaves the command
};

int usage(const QString& message)
{
    err() << "kelvora-admin: " << message << "\nUse «kelvora-admin --help» para ver las órdenes." << Qt::endl;
    return BadUsage;
}

int failed(const QString& message)
{
    terminarLinea();
    err() << "kelvora-admin: " << message << Qt::endl;
    return Failed;
}

// "Estudiantes: 40 de 120" on one line of stderr, rewritten as it advances.
kv::Progreso progress(const QString& section)
{
    return [section](int done, int total) {
        err() << "\r" << section << ": " << done << " de " << total << (done >= total ? "\n" : "");
        err().flush();
        lineaAbierta = done < total;
    };
}

} // namespace

int remoteInit(const QStringList& args)
{
    int year = kv::Clock::instance().today().year();
    QString role, rolePassword;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--year") && i + 1 < args.size()) {
            bool ok = false;
            year = args[++i].toInt(&ok);
            if (!ok || year <= 0) return usage(QStringLiteral("--year necesita un año positivo: %1").arg(args[i]));
        } else if (args[i] == QLatin1String("--consulta-role") && i + 1 < args.size()) {
            role = args[++i];
        } else if (args[i] == QLatin1String("--consulta-clave") && i + 1 < args.size()) {
            rolePassword = args[++i];
        } else {
            return usage(QStringLiteral("remote-init admite --year N, --consulta-role NOMBRE y --consulta-clave CLAVE;"
                                        " sobra: %1").arg(args[i]));
        }
    }
    if (!rolePassword.isEmpty() && role.isEmpty())
        return usage(QStringLiteral("--consulta-clave va con --consulta-role NOMBRE."));
    kv::PgConnection c;
    try {
        c.open(kv::ParametrosInternet());
    } catch (const kv::PgError& e) {
        return failed(QStringLiteral("No se pudo conectar con el servidor: %1").arg(e.message()));
    }
    kv::CrearEsquemaRemoto(c, year);
    QTextStream(stdout) << "Esquema " << year << " listo en el servidor, con las tablas entradassalidas,"
                        << " estudiantes, consultantes y colegios." << Qt::endl;
    if (!role.isEmpty()) {
        try {
            kv::CrearRolConsulta(c, year, role, rolePassword);
        } catch (const kv::PgError& e) {
            return failed(QStringLiteral("No se pudo preparar el rol de la consulta: %1").arg(e.message()));
        }
        QTextStream(stdout) << "Rol «" << role << "» de la consulta en línea: solo lectura de las tablas del año " << year
                            << "." << Qt::endl;
    }
    return Ok;
}

int publish(const QStringList& args)
{
    const FinDeLinea finDeLinea;
    QString dir;
    bool movs = false, persons = false, consultants = false;
    for (const QString& a : args) {
        if (a == QLatin1String("--movimientos")) movs = true;
        else if (a == QLatin1String("--estudiantes")) persons = true;
        else if (a == QLatin1String("--consultantes")) consultants = true;
        else if (a.startsWith(QLatin1String("--"))) return usage(QStringLiteral("Opción desconocida: %1").arg(a));
        else if (dir.isEmpty()) dir = a;
        else return usage(QStringLiteral("publish recibe un solo directorio; sobra: %1").arg(a));
    }
    if (dir.isEmpty()) return usage(QStringLiteral("publish necesita el directorio del sitio: publish DIR"));
    if (!movs && !persons && !consultants) movs = persons = consultants = true;
    if (!QFileInfo(dir).isDir()) return failed(QStringLiteral("No existe el directorio: %1").arg(dir));
    dir = QFileInfo(dir).absoluteFilePath();
    kv::Database::forDirectory(dir);   // DbError when it holds no site
    kv::SetTablesDir(dir);

    int icolegio = 0, year = 0;
    {
        const kv::TConfig config;
        if (!config.error().isEmpty()) return failed(config.error());
        icolegio = config.iColegio();
        year = config.anioactual();
    }
    kv::PgConnection c;
    QString motivo;
    if (kv::ConectarInternet(c, year, &motivo) != kv::EstadoConexion::Abierta) return failed(motivo);
    int enviadas = 0, rechazadas = 0;
    if (movs) {
        kv::OpcionesSubida op;
        op.progreso = progress(QStringLiteral("Entradas y salidas"));
        const kv::ResultadoSubida r = kv::SubirMovimientos(c, dir, icolegio, op);
        terminarLinea();
        err() << "Entradas y salidas: " << r.enviadas << " enviadas, " << r.rechazadas << " rechazadas, "
              << r.pendientes << " pendientes" << Qt::endl;
        if (!r.conectado) return failed(r.motivo);
        enviadas += r.enviadas;
        rechazadas += r.rechazadas;
    }
    try {
        if (persons) {
            const kv::ResultadoPersonas r = kv::SubirEstudiantes(c, dir, icolegio, progress(QStringLiteral("Estudiantes")));
            terminarLinea();
            for (const QString& n : r.sinCodigo) err() << kv::TextoSinCodigo(n) << Qt::endl;
            for (const QString& n : r.rechazados) err() << n << Qt::endl;
            err() << "Estudiantes: " << r.enviadas << " enviados de " << r.filas << " filas" << Qt::endl;
            enviadas += r.enviadas;
            rechazadas += r.rechazados.size();
        }
        if (consultants) {
            const kv::ResultadoConsultantes r = kv::SubirConsultantes(c, dir, icolegio, progress(QStringLiteral("Consultantes")));
            terminarLinea();
            for (const QString& n : r.rechazados) err() << n << Qt::endl;
            err() << "Consultantes: " << r.enviadas << " enviados de " << r.filas << " filas" << Qt::endl;
            enviadas += r.enviadas;
            rechazadas += r.rechazados.size();
        }
    } catch (const kv::PgError& e) {
        return failed(QStringLiteral("No se pudo subir la información; el servidor conserva la anterior: ")
                      + (e.connectionLost() ? kv::MotivoConexion(e) : kv::MotivoRechazo(e)));
    }
    if (rechazadas > 0) return failed(kv::TextoResultadoSubida(enviadas, rechazadas));
    QTextStream(stdout) << kv::TextoResultadoSubida(enviadas, rechazadas) << Qt::endl;
    return Ok;
}

} // namespace admin
