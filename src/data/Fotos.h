#pragma once
// Persons' photographs, shared by the persons list and the capture at the door.
#include <QImage>
#include <QSize>
#include <QString>

namespace kv {

// <tablesDir>/imagenes/<idFoto>, always under imagenes/ (a leading slash included);
// backslashes of names written on Windows desks read as separators. Empty when idFoto is.
QString RutaFoto(const QString& tablesDir, const QString& idFoto);

// The picture of a photo file, ready for the photo box: a null image when the file is
// missing, unreadable or not a picture; a picture larger than `maximo` is reduced to fit,
// keeping its proportions (a camera's photo would otherwise push the lists out of the
// window). Smaller pictures keep their size.
QImage CargarFoto(const QString& ruta, const QSize& maximo);

} // namespace kv
