#pragma once
// A site as the first version of the program made it: the tables and fields the design of
// the local tables lists, written out here by hand (not taken from the program's own list),
// none of the columns or indexes added since, and one settings row.
#include <QString>

namespace kvtest {

// Creates DIR with the first layout's site file. Nothing of the program opens it, so no
// upgrade has run when this returns.
void crearSitioPrimerEsquema(const QString& dir);

} // namespace kvtest
