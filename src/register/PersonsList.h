#pragma once
// Rules of the persons list of the main window.
#include "data/Fotos.h"
#include <QString>

namespace kv {

// State codes typed in lower case are stored in upper case, accented letters included
// (d -> D, suspendido -> SUSPENDIDO, desplazé -> DESPLAZÉ). A value starting with any
// other character is kept as typed (Suspendido stays Suspendido).
QString NormalizarCodigoEstado(const QString& valor);

} // namespace kv
