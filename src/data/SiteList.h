#pragma once
// The site list Config.DB of the working directory: one row per site (colegio, RutaTablas),
// in the order the sites were added.
#include <QString>
#include <QStringList>
#include <optional>

namespace kv {

// Names for the site choice, in table order, each name once. A first start has no site
// list yet: the list is empty, and the file is made with the first site.
QStringList NombresSitios(const QString& workingDir = QString());
// Tables directory of the first row with exactly that name; none when there is no such row.
std::optional<QString> RutaTablasDeSitio(const QString& nombre);

// A new site in the list of `workingDir` (the current directory when empty).
// The longest name the list keeps.
constexpr int LargoNombreSitio() { return 40; }
// The folder proposed for a site's tables: a plain-letters form of its name in `workingDir`.
QString CarpetaSugerida(const QString& workingDir, const QString& nombre);
// What is wrong with a new site of that name and folder, one text per fault; empty when
// nothing is.
QStringList ErroresNuevoSitio(const QString& workingDir, const QString& nombre, const QString& carpeta);
// Adds the site to the list: the tables already in `carpeta` when it holds a site, else new
// empty tables made there. A relative folder is taken from `workingDir`. True when it made
// new tables.
bool AgregarSitio(const QString& workingDir, const QString& nombre, const QString& carpeta);

// What the site-list editor says about a site whose tables could not be opened: no site
// chosen, a directory that holds no site ("... incorrecta."), or a site that holds one
// (`error` says what is wrong in it).
QString TextoSitioIncorrecto(const QString& tablesDir, const QString& error);

} // namespace kv
