#include "data/Fotos.h"
#include <QDir>
#include <QImageReader>

namespace kv {

QString RutaFoto(const QString& tablesDir, const QString& idFoto)
{
    if (idFoto.isEmpty()) return QString();
    QString f = idFoto;
    f.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir(tablesDir).filePath(QStringLiteral("imagenes/") + f);
}

QImage CargarFoto(const QString& ruta, const QSize& maximo)
{
    if (ruta.isEmpty()) return QImage();
    QImageReader lector(ruta);
    lector.setAutoTransform(true);
    QImage foto = lector.read();
    if (foto.isNull()) return foto;
    if (!maximo.isEmpty() && (foto.width() > maximo.width() || foto.height() > maximo.height()))
        foto = foto.scaled(maximo, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return foto;
}

} // namespace kv
