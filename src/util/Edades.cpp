#include "util/Edades.h"

namespace kv {

int ActualizarEdades(Database& db, const QDate& hoy)
{
    // Dates are stored as yyyy-mm-dd: the year difference, less one while this year's
    // birthday (month-day) is still to come. '02-29' is after '02-28', so a 29 February
    // birthday falls on 1 March in a common year.
    return db.exec(QStringLiteral(
                       "UPDATE estudiantes SET edad = CASE"
                       " WHEN date(fechaNac) IS NULL OR date(fechaNac) > date(?1) THEN NULL"
                       " ELSE CAST(strftime('%Y', ?1) AS INTEGER) - CAST(strftime('%Y', fechaNac) AS INTEGER)"
                       "      - (strftime('%m-%d', ?1) < strftime('%m-%d', fechaNac))"
                       " END"),
                   {hoy.toString(Qt::ISODate)});
}

} // namespace kv
