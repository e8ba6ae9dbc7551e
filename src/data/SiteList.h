#pragma once
// The site list Config.DB of the working directory: one row per site (colegio, RutaTablas),
// in the order the sites were added.
#include <QString>
#include <QStringList>
#include <optional>

namespace kv {

// Names for the site choice, in table order, each name once.
QStringList NombresSitios();
// Tables directory of the first row with exactly that name; none when there is no such row.
std::optional<QString> RutaTablasDeSitio(const QString& nombre);

// What the site-list editor says about a site whose tables could not be opened: no site
// chosen, a directory that holds no site ("... incorrecta."), or a site that holds one
// (`error` says what is wrong in it).
QString TextoSitioIncorrecto(const QString& tablesDir, const QString& error);

} // namespace kv
