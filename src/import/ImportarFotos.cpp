#include "import/ImportarFotos.h"
#include "data/Database.h"
#include "import/LectorFilas.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>

namespace kv {

ResultadoFotos ImportarFotos(const QString& tablesDir, const QString& carpeta)
{
    const QDir origen(carpeta);
    if (!origen.exists()) throw ImportError(QStringLiteral("No existe la carpeta %1.").arg(carpeta));
    auto db = Database::forDirectory(tablesDir);

    QHash<QString, QVector<qint64>> porCodigo, porDocumento;
    for (const auto& f : db->select(QStringLiteral("SELECT rowid, codigo, docIdent FROM estudiantes")).rows) {
        if (!f[1].toString().isEmpty()) porCodigo[f[1].toString()] << f[0].toLongLong();
        if (!f[2].toString().isEmpty()) porDocumento[f[2].toString()] << f[0].toLongLong();
    }

    ResultadoFotos r;
    const QDir destino(QDir(tablesDir).filePath(QStringLiteral("imagenes")));
    if (!destino.exists() && !QDir().mkpath(destino.path()))
        throw ImportError(QStringLiteral("No se puede crear la carpeta %1.").arg(destino.path()));

    Transaction tx(*db);
    const QStringList archivos = origen.entryList(QDir::Files, QDir::Name);
    for (const QString& nombre : archivos) {
        const QFileInfo fi(origen.filePath(nombre));
        const QString ext = fi.suffix().toLower();
        if (ext != QLatin1String("jpg") && ext != QLatin1String("jpeg") && ext != QLatin1String("png")
            && ext != QLatin1String("bmp"))
            continue;
        const QString base = fi.completeBaseName();
        const QVector<qint64> personas = porCodigo.contains(base) ? porCodigo.value(base) : porDocumento.value(base);
        if (personas.isEmpty()) {
            r.omitidas << FotoOmitida{nombre, QStringLiteral("ninguna persona tiene ese código o documento")};
            continue;
        }
        QImageReader lector(fi.filePath());
        lector.setDecideFormatFromContent(true);
        if (!lector.canRead() || lector.size().isEmpty()) {
            r.omitidas << FotoOmitida{nombre, QStringLiteral("no es una imagen legible")};
            continue;
        }
        const QString copia = destino.filePath(nombre);
        // Copied under a temporary name and renamed, so an earlier photo stays whole on failure.
        const QString temporal = copia + QStringLiteral(".importando");
        QFile::remove(temporal);
        if (!QFile::copy(fi.filePath(), temporal)) {
            r.omitidas << FotoOmitida{nombre, QStringLiteral("no se pudo copiar a %1").arg(destino.path())};
            continue;
        }
        QFile::remove(copia);
        if (!QFile::rename(temporal, copia)) {
            QFile::remove(temporal);
            r.omitidas << FotoOmitida{nombre, QStringLiteral("no se pudo copiar a %1").arg(destino.path())};
            continue;
        }
        ++r.copiadas;
        for (const qint64 id : personas) {
            db->exec(QStringLiteral("UPDATE estudiantes SET idFoto=? WHERE rowid=?"), {nombre, id});
            ++r.personas;
        }
    }
    tx.commit();
    return r;
}

QString InformeFotos(const ResultadoFotos& r)
{
    QString s = QStringLiteral("Fotos copiadas: %1\nPersonas con foto nueva: %2\nArchivos omitidos: %3\n")
                    .arg(r.copiadas).arg(r.personas).arg(r.omitidas.size());
    for (const FotoOmitida& f : r.omitidas) s += QStringLiteral("  %1: %2\n").arg(f.archivo, f.motivo);
    return s;
}

} // namespace kv
