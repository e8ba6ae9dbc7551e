#include "data/SiteList.h"
#include "data/TableCursor.h"
#include <QDir>
#include <QFileInfo>

namespace kv {

namespace {
std::unique_ptr<TableCursor> openList()
{
    auto t = std::make_unique<TableCursor>(QStringLiteral("Config"));
    t->setDatabase(Database::siteList());
    t->open();
    return t;
}
} // namespace

QStringList NombresSitios()
{
    QStringList names;
    auto t = openList();
    for (t->first(); !t->eof(); t->next()) {
        const QString n = t->fieldByName(QStringLiteral("colegio")).asString();
        if (!names.contains(n)) names << n;
    }
    return names;
}

std::optional<QString> RutaTablasDeSitio(const QString& nombre)
{
    auto t = openList();
    if (!t->locate(QStringLiteral("colegio"), {nombre})) return std::nullopt;
    return t->fieldByName(QStringLiteral("RutaTablas")).asString();
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
