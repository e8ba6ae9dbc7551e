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
// Each code's last movement (its row number and kind), kept by triggers on entradasSalidas
// as movements are stored, changed or removed. Who is inside now is read from it with one
// pass over the codes, instead of a walk of the movements index at every reading.
// Table ultimosMovimientos (codigo, rid, tipomvt).
//
// The walk that finds each code's last movement in the (codigo, fecha, hora) index, from
// the highest code down: a recursive table ult(rid), one row number per code. It fills the
// table of last movements, and stands in for it where the table cannot be trusted.
QString sqlUltimosPorIndice();
// True when the site has the table of last movements and every trigger that keeps it.
bool ultimosAlDia(Database& db);
// Makes the table of last movements and its triggers where any is missing, and fills it
// from the movements; a site that has them all is left as it is.
void prepararUltimos(Database& db);
// Takes away the triggers for a bulk load (a whole old site): inside one long transaction
// every stored row would pay for their upkeep. prepararUltimos() afterwards makes them
// again and fills the table in one pass; until then the table is not trusted.
void suspenderUltimos(Database& db);
// The one upgrade: brings a site made by any earlier version up to date (the later columns,
// the indexes, then the table of last movements). Done once per process when the site is
// first opened (Database::forDirectory), and by createSite on the first layout. Raises
// DbError when the file cannot be changed.
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
