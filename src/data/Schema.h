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

class Database;

// A column that came after the first sites were made, with the type and default that
// rows of an older site take when it is added.
struct ColumnaAgregada {
    QString table;
    QString column;
    QString definition;   // "INTEGER DEFAULT 5"
};
const QVector<ColumnaAgregada>& columnasAgregadas();
// Adds to an open site every column of columnasAgregadas() it lacks (tables it lacks are
// left alone). Raises DbError when the file cannot be changed.
void completarColumnas(Database& db);

// Adds to `table` of an older site the fields added later to siteTables() (those with a
// DEFAULT, which fills the rows already there). Done when such a field is first stored.
void addLaterColumns(Database& db, const QString& table);
// Creates the indexes of siteTables() an older site lacks. Done once per process when the
// site is first opened (Database::forDirectory).
void addMissingIndexes(Database& db);

// Characters a text field of a site's table holds (VARCHAR(n)); 0 when it has no limit
// or is no text field. Names are matched without regard to case.
int fieldWidth(const QString& table, const QString& field);
// The same from a declared column type ("VARCHAR(40)" -> 40, anything else -> 0).
int declaredWidth(const QString& declaredType);

// Creates DIR (and DIR/imagenes) with the empty tables of a site and its single Config row.
// Raises DbError when the directory already holds a site.
void createSite(const QString& dir);
// Appends a site to Config.DB of the working directory (creating the file when missing).
void addSite(const QString& workingDir, const QString& name, const QString& tablesDir);

} // namespace kv
