#pragma once
// What the on-line consultation needs on the server besides the three published tables:
// the sites' names, the indexes its pages walk, and a role that can only read.
#include "publish/Pg.h"

namespace kv {

// Table colegios and the consultation's indexes in the schema of `anio` (which must exist).
// Leaves whatever already exists as it is.
void CrearTablasConsulta(PgConnection& c, int anio);

// Creates login role `rol` when missing and grants it USAGE on the schema of `anio` and
// SELECT on entradassalidas, estudiantes, consultantes and colegios, nothing more; the role's
// transactions are read-only. A non-empty `clave` becomes its password. Only lower-case
// letters, digits and "_" are accepted in the name.
void CrearRolConsulta(PgConnection& c, int anio, const QString& rol, const QString& clave);

// Stores the name of site `icolegio` (insert or update), read from the settings row of the
// site's tables in `tablesDir`. False, doing nothing, on a server whose schema has no table
// colegios (made before the consultation existed).
bool GuardarNombreColegio(PgConnection& c, const QString& tablesDir, int icolegio);

} // namespace kv
