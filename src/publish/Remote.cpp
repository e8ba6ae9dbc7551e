#include "publish/Remote.h"
#include "publish/RemotoConsulta.h"
#include "settings/IniFile.h"
#include "settings/TConfig.h"

namespace kv {

namespace {
const char kSeccion[] = "Internet";
// The account the program has always used; a site can name its own in pralune.ini.
const char kClavePorOmision[] = "qolbantu#";
} // namespace

PgParams ParametrosInternet() { return ParametrosInternet(QString()); }

PgParams ParametrosInternet(const QString& archivoIni)
{
    struct Clave {
        const char* ini;
        const char* libpq;
        const char* env;          // the libpq variable that overrides our default
        const char* porOmision;   // nullptr: libpq decides
    };
    static const Clave claves[] = {
        {"Servidor", "host", "PGHOST", nullptr},
        {"Puerto", "port", "PGPORT", nullptr},
        {"BaseDatos", "dbname", "PGDATABASE", "kelvora"},
        {"Usuario", "user", "PGUSER", nullptr},
        {"Clave", "password", "PGPASSWORD", kClavePorOmision},
        {"SSL", "sslmode", "PGSSLMODE", "prefer"},
        {"EsperaConexion", "connect_timeout", "PGCONNECT_TIMEOUT", "5"},
    };
    PgParams p;
    QString espera;
    for (const Clave& k : claves) {
        const QString sinValor = QStringLiteral("\x01");
        QString v = LeerIniDe(archivoIni, QLatin1String(kSeccion), QLatin1String(k.ini), sinValor);
        if (v == sinValor) {
            if (!k.porOmision || qEnvironmentVariableIsSet(k.env)) continue;
            v = QLatin1String(k.porOmision);
        }
        p.push_back({QLatin1String(k.libpq), v});
        if (qstrcmp(k.libpq, "connect_timeout") == 0) espera = v;
    }
    // A link that dies after the login must not hold the desk longer than a connect would:
    // unacknowledged data gives up after the same number of seconds.
    bool ok = false;
    const int segundos = espera.toInt(&ok);
    if (ok && segundos > 0 && !qEnvironmentVariableIsSet("PGTCPUSERTIMEOUT"))
        p.push_back({QStringLiteral("tcp_user_timeout"), QString::number(segundos * 1000)});
    p.push_back({QStringLiteral("application_name"), QStringLiteral("kelvora")});
    return p;
}

EstadoConexion ConectarInternet(PgConnection& c, int anio)
{
    if (anio == 0) return EstadoConexion::AnioSinConfigurar;
    try {
        c.open(ParametrosInternet());
        // The schema must exist: a search path naming nothing would only fail later, on the
        // first insert, with a less useful message.
        const PgResult r = c.exec(QStringLiteral("select set_config('search_path', $1, false),"
                                                 " exists(select 1 from pg_namespace where nspname=$1)"),
                                  {QString::number(anio)});
        if (r.value(0, 1) != QLatin1String("t")) throw PgError(QStringLiteral("No existe el esquema del año."));
        return EstadoConexion::Abierta;
    } catch (const PgError&) {
        c.close();
        return EstadoConexion::SinConexion;
    }
}

EstadoConexion ConectarInternet(PgConnection& c)
{
    const TConfig config;
    return ConectarInternet(c, config.anioactual());
}

void CrearEsquemaRemoto(PgConnection& c, int anio)
{
    if (anio <= 0) throw PgError(QStringLiteral("El año de trabajo debe ser un número positivo."));
    // The year is a number, so quoting it as an identifier is all it needs.
    const QString s = QLatin1Char('"') + QString::number(anio) + QLatin1Char('"');
    PgTransaction tx(c);
    c.exec(QStringLiteral("create schema if not exists ") + s);
    c.exec(QStringLiteral("create table if not exists %1.entradassalidas (icolegio integer not null,"
                          " codigo varchar(20), fecha date, hora time, docident varchar(20), tipodocident integer,"
                          " nestudiante varchar(60), tipomvt varchar(1), detalle text)").arg(s));
    // The publication looks movements up by site, code and moment after an interrupted pass.
    c.exec(QStringLiteral("create index if not exists entradassalidas_movimiento"
                          " on %1.entradassalidas (icolegio, codigo, fecha, hora)").arg(s));
    c.exec(QStringLiteral("create table if not exists %1.estudiantes (icolegio integer not null,"
                          " iestudiante integer, codigo varchar(20), docident varchar(20), igrado integer,"
                          " igrupo varchar(2), nestudiante varchar(60), telefestud varchar(30),"
                          " acudiente varchar(60), docacud varchar(20), telefacudiente varchar(30))").arg(s));
    c.exec(QStringLiteral("create index if not exists estudiantes_colegio on %1.estudiantes (icolegio, codigo)").arg(s));
    c.exec(QStringLiteral("create table if not exists %1.consultantes (icolegio integer not null,"
                          " docident varchar(20), clave varchar(20), nombre varchar(60), nivelconsulta integer)").arg(s));
    c.exec(QStringLiteral("create index if not exists consultantes_colegio on %1.consultantes (icolegio, docident)").arg(s));
    CrearTablasConsulta(c, anio);
    tx.commit();
}

} // namespace kv
