#include "publish/Remote.h"
#include "publish/RemotoConsulta.h"
#include "settings/IniFile.h"
#include "settings/TConfig.h"
#include <QStringList>

namespace kv {

namespace {
const char kSeccion[] = "Internet";
// The account the program has always used; a site can name its own in pralune.ini.
const char kClavePorOmision[] = "qolbantu#";
} // namespace

namespace {

// The values libpq refuses outright, checked here so the message can name our key.
QString ValorInvalido(const char* clave, const QString& v)
{
    const QString k = QLatin1String(clave);
    auto texto = [&](const QString& debe) {
        return QStringLiteral("El valor de %1 en la sección [Internet] de pralune.ini no sirve: «%2»; %3.")
            .arg(k, v, debe);
    };
    bool ok = false;
    if (k == QLatin1String("SSL")) {
        static const QStringList modos{QStringLiteral("disable"), QStringLiteral("allow"), QStringLiteral("prefer"),
                                       QStringLiteral("require"), QStringLiteral("verify-ca"),
                                       QStringLiteral("verify-full")};
        if (!modos.contains(v)) return texto(QStringLiteral("debe ser uno de ") + modos.join(QStringLiteral(", ")));
    } else if (k == QLatin1String("Puerto")) {
        const int n = v.toInt(&ok);
        if (!ok || n <= 0 || n > 65535) return texto(QStringLiteral("debe ser un número de puerto"));
    } else if (k == QLatin1String("EsperaConexion")) {
        const int n = v.toInt(&ok);
        if (!ok || n <= 0) return texto(QStringLiteral("debe ser un número de segundos mayor que 0"));
    }
    return QString();
}

} // namespace

PgParams ParametrosInternet(QString* problema) { return ParametrosInternet(QString(), problema); }

PgParams ParametrosInternet(const QString& archivoIni, QString* problema)
{
    if (problema) problema->clear();
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
        const QString malo = ValorInvalido(k.ini, v);
        if (!malo.isEmpty() && problema && problema->isEmpty()) *problema = malo;
        p.push_back({QLatin1String(k.libpq), v});
        if (qstrcmp(k.libpq, "connect_timeout") == 0) espera = v;
    }
    // A link that dies after the login must not hold the desk longer than a connect would:
    // unacknowledged data gives up after the same number of seconds.
    bool ok = false;
    const int segundos = espera.toInt(&ok);
    if (ok && segundos > 0 && !qEnvironmentVariableIsSet("PGTCPUSERTIMEOUT"))
        p.push_back({QStringLiteral("tcp_user_timeout"), QString::number(segundos * 1000)});
    // A server that answers but is stuck (a table locked by another session, a statement
    // that never ends) is cut after the same time; the statement is rolled back. A lock wait
    // gives up a little earlier, so it is reported as what it is.
    if (ok && segundos > 0) {
        QString opciones = qEnvironmentVariable("PGOPTIONS");
        opciones += QStringLiteral(" -c statement_timeout=%1 -c lock_timeout=%2").arg(segundos * 1000).arg(segundos * 800);
        p.push_back({QStringLiteral("options"), opciones.trimmed()});
    }
    p.push_back({QStringLiteral("application_name"), QStringLiteral("kelvora")});
    return p;
}

EstadoConexion ConectarInternet(PgConnection& c, int anio, QString* motivo)
{
    auto fin = [&](EstadoConexion e, const QString& texto) {
        if (motivo) *motivo = texto;
        if (e != EstadoConexion::Abierta) c.close();
        return e;
    };
    if (anio == 0) {
        if (motivo) *motivo = TextoAnioSinConfigurar();
        return EstadoConexion::AnioSinConfigurar;
    }
    QString problema;
    const PgParams params = ParametrosInternet(&problema);
    if (!problema.isEmpty()) return fin(EstadoConexion::ValorInvalido, problema);
    try {
        c.open(params);
        // The schema must exist: a search path naming nothing would only fail later, on the
        // first insert, with a less useful message.
        const PgResult r = c.exec(QStringLiteral("select set_config('search_path', $1, false),"
                                                 " exists(select 1 from pg_namespace where nspname=$1)"),
                                  {QString::number(anio)});
        if (r.value(0, 1) != QLatin1String("t")) return fin(EstadoConexion::SinEsquema, TextoSinEsquema(anio));
        return fin(EstadoConexion::Abierta, QString());
    } catch (const PgError& e) {
        return fin(EstadoConexion::SinConexion,
                   QStringLiteral("Sin conexión con el servidor: ") + MotivoConexion(e));
    }
}

EstadoConexion ConectarInternet(PgConnection& c, QString* motivo)
{
    const TConfig config;
    return ConectarInternet(c, config.anioactual(), motivo);
}

QString MotivoConexion(const PgError& e)
{
    const QString m = e.message();
    struct Causa {
        const char* libpq;   // part of libpq's text
        const char* texto;
    };
    static const Causa causas[] = {
        {"password authentication failed", "el servidor rechazó el usuario o la clave"},
        {"no password supplied", "el servidor pide una clave y pralune.ini no la da"},
        {"authentication failed", "el servidor rechazó el usuario o la clave"},
        {"Connection refused", "el servidor rechazó la conexión (no está en marcha en esa dirección y puerto)"},
        {"timeout expired", "el servidor no respondió a tiempo"},
        {"could not translate host name", "no se encontró un servidor con ese nombre"},
        {"No route to host", "no hay camino en la red hasta el servidor"},
        {"Network is unreachable", "no hay red hasta el servidor"},
        {"does not exist", "la base de datos o el usuario no existen en el servidor"},
        {"server does not support SSL", "el servidor no admite SSL"},
        {"too many clients", "el servidor tiene demasiadas conexiones abiertas"},
        {"the database system is starting up", "el servidor se está iniciando"},
        {"the database system is shutting down", "el servidor se está apagando"},
    };
    for (const Causa& c : causas)
        if (m.contains(QLatin1String(c.libpq), Qt::CaseInsensitive)) return QString::fromUtf8(c.texto);
    return m;
}

QString MotivoRechazo(const PgError& e)
{
    const QString s = e.sqlState();
    if (e.connectionLost()) return QStringLiteral("se perdió la conexión con el servidor");
    if (s == QLatin1String("22001")) return QStringLiteral("un dato es más largo de lo que admite la columna del servidor");
    if (s == QLatin1String("57014")) return QStringLiteral("el servidor no respondió a tiempo");
    if (s == QLatin1String("55P03")) return QStringLiteral("la tabla del servidor está bloqueada por otra sesión");
    if (s == QLatin1String("42P01")) return QStringLiteral("el servidor no tiene la tabla en el esquema del año");
    if (s == QLatin1String("42703")) return QStringLiteral("a la tabla del servidor le falta una columna");
    if (s == QLatin1String("42501")) return QStringLiteral("el usuario del servidor no tiene permiso");
    if (s.startsWith(QLatin1String("23"))) return QStringLiteral("la fila no cumple una regla de la tabla del servidor");
    if (s.startsWith(QLatin1String("22"))) return QStringLiteral("un dato no tiene la forma que espera el servidor");
    if (s.startsWith(QLatin1String("53"))) return QStringLiteral("el servidor no tiene recursos (disco o memoria)");
    return QStringLiteral("el servidor respondió: ") + e.message();
}

void CrearEsquemaRemoto(PgConnection& c, int anio)
{
    if (anio <= 0) throw PgError(QStringLiteral("El año de trabajo debe ser un número positivo."));
    // The year is a number, so quoting it as an identifier is all it needs.
    const QString s = QLatin1Char('"') + QString::number(anio) + QLatin1Char('"');
    PgTransaction tx(c);
    c.exec(QStringLiteral("create schema if not exists ") + s);
    c.exec(QStringLiteral("create table if not exists %1.entradassalidas (icolegio integer not null,"
                          " codigo text, fecha date, hora time, docident text, tipodocident integer,"
                          " nestudiante text, tipomvt text, detalle text)").arg(s));
    // The publication looks movements up by site, code and moment after an interrupted pass.
    c.exec(QStringLiteral("create index if not exists entradassalidas_movimiento"
                          " on %1.entradassalidas (icolegio, codigo, fecha, hora)").arg(s));
    c.exec(QStringLiteral("create table if not exists %1.estudiantes (icolegio integer not null,"
                          " iestudiante integer, codigo text, docident text, igrado integer,"
                          " igrupo text, nestudiante text, telefestud text,"
                          " acudiente text, docacud text, telefacudiente text)").arg(s));
    c.exec(QStringLiteral("create index if not exists estudiantes_colegio on %1.estudiantes (icolegio, codigo)").arg(s));
    c.exec(QStringLiteral("create table if not exists %1.consultantes (icolegio integer not null,"
                          " docident text, clave text, nombre text, nivelconsulta integer)").arg(s));
    c.exec(QStringLiteral("create index if not exists consultantes_colegio on %1.consultantes (icolegio, docident)").arg(s));
    // Servers made before held codes in 20 and names in 60 characters: a longer value was
    // refused on every pass. Widening varchar to text keeps the data and rewrites nothing.
    const PgResult estrechas = c.exec(
        QStringLiteral("select table_name, column_name from information_schema.columns where table_schema=$1"
                       " and table_name in ('entradassalidas','estudiantes','consultantes')"
                       " and data_type in ('character varying','character') order by 1, 2"),
        {QString::number(anio)});
    for (int i = 0; i < estrechas.rows(); ++i)
        c.exec(QStringLiteral("alter table %1.%2 alter column %3 type text")
                   .arg(s, estrechas.value(i, 0), estrechas.value(i, 1)));
    CrearTablasConsulta(c, anio);
    tx.commit();
}

} // namespace kv
