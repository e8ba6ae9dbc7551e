#include "data/SiteList.h"
#include "data/Schema.h"
#include "data/TableCursor.h"
#include <QDir>
#include <QFileInfo>

namespace kv {

namespace {
QString listFile(const QString& workingDir)
{
    return QDir(workingDir.isEmpty() ? QDir::currentPath() : workingDir).filePath(Database::siteListFileName());
}

// The list's table; none before the first site is added (no file, or a file without it).
std::unique_ptr<TableCursor> openList(const QString& workingDir = QString())
{
    if (!QFileInfo(listFile(workingDir)).isFile()) return nullptr;
    auto db = Database::siteList(workingDir);
    if (!db->hasTable(QStringLiteral("Config"))) return nullptr;
    auto t = std::make_unique<TableCursor>(QStringLiteral("Config"));
    t->setDatabase(db);
    t->open();
    return t;
}

QString absoluteIn(const QString& workingDir, const QString& dir)
{
    return QDir::cleanPath(QDir(workingDir.isEmpty() ? QDir::currentPath() : workingDir).absoluteFilePath(dir));
}
} // namespace

QStringList NombresSitios(const QString& workingDir)
{
    QStringList names;
    auto t = openList(workingDir);
    if (!t) return names;
    for (t->first(); !t->eof(); t->next()) {
        const QString n = t->fieldByName(QStringLiteral("colegio")).asString();
        if (!names.contains(n)) names << n;
    }
    return names;
}

std::optional<QString> RutaTablasDeSitio(const QString& nombre)
{
    auto t = openList();
    if (!t || !t->locate(QStringLiteral("colegio"), {nombre})) return std::nullopt;
    return t->fieldByName(QStringLiteral("RutaTablas")).asString();
}

QString CarpetaSugerida(const QString& workingDir, const QString& nombre)
{
    // Letters without accents, digits and dashes: a folder name any system and any
    // backup takes as it is.
    QString plano;
    for (const QChar c : nombre.normalized(QString::NormalizationForm_D).toLower()) {
        if (c.isMark()) continue;
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            plano += c;
        else if (!plano.isEmpty() && !plano.endsWith(QLatin1Char('-')))
            plano += QLatin1Char('-');
    }
    while (plano.endsWith(QLatin1Char('-'))) plano.chop(1);
    if (plano.isEmpty()) return QString();
    return absoluteIn(workingDir, plano);
}

QStringList ErroresNuevoSitio(const QString& workingDir, const QString& nombre, const QString& carpeta)
{
    QStringList errores;
    const QString n = nombre.trimmed();
    if (n.isEmpty()) errores << QStringLiteral("Escriba el nombre del sitio.");
    else if (n.size() > LargoNombreSitio())
        errores << QStringLiteral("El nombre del sitio puede tener hasta %1 caracteres.").arg(LargoNombreSitio());
    else if (NombresSitios(workingDir).contains(n)) errores << QStringLiteral("Ya hay un sitio llamado «%1».").arg(n);
    const QString c = carpeta.trimmed();
    if (c.isEmpty()) errores << QStringLiteral("Escriba la carpeta de las tablas.");
    else if (QFileInfo(absoluteIn(workingDir, c)).isFile())
        errores << QStringLiteral("%1 es un archivo, no una carpeta.").arg(QDir::toNativeSeparators(absoluteIn(workingDir, c)));
    return errores;
}

bool AgregarSitio(const QString& workingDir, const QString& nombre, const QString& carpeta)
{
    const QString dir = absoluteIn(workingDir, carpeta.trimmed());
    const bool nueva = !QFileInfo(QDir(dir).filePath(Database::siteFileName())).isFile();
    if (nueva) createSite(dir);
    addSite(workingDir.isEmpty() ? QDir::currentPath() : workingDir, nombre.trimmed(), dir);
    return nueva;
}

} // namespace kv

namespace kv {

QString TextoSitioIncorrecto(const QString& tablesDir, const QString& error)
{
    static const QString corregir = QStringLiteral(" Debe corregir...");
    if (tablesDir.trimmed().isEmpty()) return QStringLiteral("No se eligió ningún colegio.") + corregir;
    const QString dir = QDir::toNativeSeparators(tablesDir);
    if (!QFileInfo::exists(QDir(tablesDir).filePath(Database::siteFileName())) || error.trimmed().isEmpty())
        return dir + QStringLiteral(" incorrecta.") + corregir;
    return dir + QStringLiteral(": ") + error.trimmed() + corregir;
}

} // namespace kv
