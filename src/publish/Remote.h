#pragma once
// The remote side of the site: where its server is, opening the connection in the schema
// of the working year, and making that schema on a new server.
#include "publish/Pg.h"

namespace kv {

inline QString TextoAnioSinConfigurar()
{
    return QStringLiteral("Pida soporte para que le configuren el año de trabajo.");
}

inline QString TextoSinEsquema(int anio)
{
    return QStringLiteral("El servidor no tiene el esquema del año %1").arg(anio);
}

// libpq parameters from section Internet of pralune.ini (working directory): Servidor,
// Puerto, BaseDatos, Usuario, Clave, SSL (an sslmode), EsperaConexion (seconds). A key
// that is absent is left to libpq (PGHOST, PGPORT, ...), except that BaseDatos, Clave, SSL
// and EsperaConexion have defaults of their own unless the matching PG variable is set.
// Every statement and every lock wait is limited to EsperaConexion seconds too, so a
// stalled server never holds the desk longer than that. A value libpq would refuse is
// described in `problema` (naming the key), empty when all are usable.
PgParams ParametrosInternet(QString* problema = nullptr);
// The same from section Internet of the INI file at `archivoIni` (pralune.ini when empty).
PgParams ParametrosInternet(const QString& archivoIni, QString* problema = nullptr);

enum class EstadoConexion {
    Abierta,              // `c` is ready for the publication statements
    AnioSinConfigurar,    // working year 0: the window shows TextoAnioSinConfigurar()
    SinConexion,          // unreachable server, refused login, time-out
    SinEsquema,           // the server answered but has no schema for the year
    ValorInvalido,        // a value of section Internet of pralune.ini cannot be used
};

// Opens `c` in the schema of year `anio`. Year 0 leaves `c` untouched; any failure to
// connect leaves it closed. Nothing is shown or logged here: the caller decides, with
// `motivo` (when given) set to a Spanish sentence saying why it is not open.
EstadoConexion ConectarInternet(PgConnection& c, int anio, QString* motivo = nullptr);
// The same with the working year of the site's settings record.
EstadoConexion ConectarInternet(PgConnection& c, QString* motivo = nullptr);

// Why libpq could not connect, in Spanish ("el servidor rechazó el usuario o la clave").
QString MotivoConexion(const PgError& e);
// Why the server refused a statement, in Spanish; the server's own text when it is not one
// of the usual causes.
QString MotivoRechazo(const PgError& e);

// Makes on the server the schema of `anio` with the three published tables, leaving
// whatever already exists as it is.
void CrearEsquemaRemoto(PgConnection& c, int anio);

} // namespace kv
