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
