#pragma once
// Rules of the persons list of the main window.
#include <QString>

namespace kv {

// State codes typed in lower case are stored in upper case, accented letters included
// (d -> D, suspendido -> SUSPENDIDO, desplazé -> DESPLAZÉ). A value starting with any
// other character is kept as typed (Suspendido stays Suspendido).
QString NormalizarCodigoEstado(const QString& valor);

// Full path of a person's photo: the imagenes folder of the tables directory + idFoto.
QString RutaFoto(const QString& idFoto);

} // namespace kv
