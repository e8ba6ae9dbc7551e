#pragma once
// Rules of the persons list of the main window.
#include <QImage>
#include <QSize>
#include <QString>

namespace kv {

// State codes typed in lower case are stored in upper case, accented letters included
// (d -> D, suspendido -> SUSPENDIDO, desplazé -> DESPLAZÉ). A value starting with any
// other character is kept as typed (Suspendido stays Suspendido).
QString NormalizarCodigoEstado(const QString& valor);

// Full path of a person's photo: the imagenes folder of the tables directory + idFoto.
QString RutaFoto(const QString& idFoto);

// The picture of a person's photo file, ready for the photo box: a null image when the
// file is missing, unreadable or not a picture; a picture larger than `maximo` is
// reduced to fit it, keeping its proportions (a camera's photo would otherwise push the
// lists out of the window). Smaller pictures keep their size.
QImage CargarFoto(const QString& ruta, const QSize& maximo);

} // namespace kv
