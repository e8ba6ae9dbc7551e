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

// The tables as the first sites had them (their columns), with the indexes of today.
// What came later is listed once, in columnasAgregadas() and the indexes here, and
// actualizarSitio() brings any older site up to date from these two lists.
const QVector<TableDef>& siteTables();

class Database;

// A column that came after the first sites were made, with the type and default that
// rows of an older site take when it is added. The one list of them.
struct ColumnaAgregada {
    QString table;
    QString column;
    QString definition;   // "INTEGER DEFAULT 5"
};
const QVector<ColumnaAgregada>& columnasAgregadas();
// Adds to an open site every column of columnasAgregadas() it lacks (tables it lacks are
// left alone). Raises DbError when the file cannot be changed.
void completarColumnas(Database& db);

// The columns of `table` today: the first layout's, then those added later.
QStringList columnasActuales(const QString& table);
// Creates the indexes of siteTables() an older site lacks (the first sites had none of
// ours); one that the rows already there break stays missing.
void addMissingIndexes(Database& db);
// The one upgrade: brings a site made by any earlier version up to date (the later columns,
// then the indexes). Done once per process when the site is first opened
// (Database::forDirectory), and by createSite on the first layout. Raises DbError when the
// file cannot be changed.
void actualizarSitio(Database& db);

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
