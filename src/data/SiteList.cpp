#include "data/SiteList.h"
#include "data/TableCursor.h"

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
