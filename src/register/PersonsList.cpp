#include "register/PersonsList.h"
#include "data/TDM.h"
#include <QDir>
#include <QImageReader>

namespace kv {

QString NormalizarCodigoEstado(const QString& valor)
{
    if (valor.isEmpty()) return valor;
    const QChar c = valor.at(0);
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) return valor.toUpper();
    return valor;
}

QString RutaFoto(const QString& idFoto)
{
    QString f = idFoto;
    f.replace(QLatin1Char('\\'), QLatin1Char('/'));   // names written on Windows desks
    return QDir(TablesDir()).filePath(QStringLiteral("imagenes/") + f);
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
