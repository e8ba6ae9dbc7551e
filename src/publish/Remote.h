#pragma once
// The remote side of the site: where its server is, opening the connection in the schema
// of the working year, and making that schema on a new server.
#include "publish/Pg.h"

namespace kv {

inline QString TextoAnioSinConfigurar()
{
    return QStringLiteral("Pida soporte para que le configuren el año de trabajo.");
}

// libpq parameters from section Internet of pralune.ini (working directory): Servidor,
// Puerto, BaseDatos, Usuario, Clave, SSL (an sslmode), EsperaConexion (seconds). A key
// that is absent is left to libpq (PGHOST, PGPORT, ...), except that BaseDatos, Clave, SSL
// and EsperaConexion have defaults of their own unless the matching PG variable is set.
PgParams ParametrosInternet();
// The same from section Internet of the INI file at `archivoIni` (pralune.ini when empty).
PgParams ParametrosInternet(const QString& archivoIni);

enum class EstadoConexion {
    Abierta,              // `c` is ready for the publication statements
    AnioSinConfigurar,    // working year 0: the window shows TextoAnioSinConfigurar()
    SinConexion,          // unreachable server, refused login or no schema for the year
};

// Opens `c` in the schema of year `anio`. Year 0 leaves `c` untouched; any failure to
// connect leaves it closed. Nothing is shown or logged here: the caller decides.
EstadoConexion ConectarInternet(PgConnection& c, int anio);
// The same with the working year of the site's settings record.
EstadoConexion ConectarInternet(PgConnection& c);

// Makes on the server the schema of `anio` with the three published tables, leaving
// whatever already exists as it is.
void CrearEsquemaRemoto(PgConnection& c, int anio);

} // namespace kv
