#pragma once
// The tables of a site and of the site list. The program never creates tables;
// kelvora-admin does, through these routines.
#include <QString>
#include <QStringList>
#include <QVector>

namespace kv {

struct TableDef {
    QString name;
    QStringList columns;          // "name TYPE"
    QStringList indexes;          // "CREATE INDEX ..." statements
};

const QVector<TableDef>& siteTables();

// Gives the tables of an older site the columns of siteTables() they lack, with their
// defaults (so a site made before a field reads the field's default), and their missing
// indexes. Done once per process when the site is first opened (Database::forDirectory).
class Database;
void upgradeSite(Database& db);
// Creates DIR (and DIR/imagenes) with the empty tables of a site and its single Config row.
// Raises DbError when the directory already holds a site.
void createSite(const QString& dir);
// Appends a site to Config.DB of the working directory (creating the file when missing).
void addSite(const QString& workingDir, const QString& name, const QString& tablesDir);

} // namespace kv
