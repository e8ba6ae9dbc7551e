#pragma once
// Shared routines of the register of categories, groups and persons.
#include <QString>
#include <QStringList>

namespace kv {

class Query;
class TableCursor;

// Highest internal number (IEstudiante) of the persons of a category and group, or -1
// when the group has no persons, in the site of tables directory `dir`. Runs through the
// statement runner on a query of its own; the group code is a bound parameter.
// Engine errors propagate as DbError.
int NextInternalNumber(const QString& dir, int grado, const QString& grupo);

// What the combo filler produces: the list text (value of the first row, or
// value + ":" + value of the second field when one is given) and the distinct values
// of the named field in row order.
struct ComboFill {
    QString text;
    QStringList items;
};

// Combo filler. Moves to the first row, takes its text, then walks as many rows as the
// data set reports adding each value of `campo` not yet listed (in row order), and
// leaves the data set on its last row. An empty data set gives an empty text and list.
// `existing` are values already in the list (they are not added again).
ComboFill LlenarCombo(Query& ds, const QString& campo, const QString& campo2 = QString(),
                      const QStringList& existing = {});
ComboFill LlenarCombo(TableCursor& ds, const QString& campo, const QString& campo2 = QString(),
                      const QStringList& existing = {});

} // namespace kv

// For windows: src/register/forms/LlenarComboBox.h fills a QComboBox the same way:
//   void LlenarComboBox(QComboBox* cb, kv::Query& ds, const QString& campo, const QString& campo2 = {});
//   void LlenarComboBox(QComboBox* cb, kv::TableCursor& ds, const QString& campo, const QString& campo2 = {});
// (items are appended to what the box already lists; the box's text becomes the first row's text).
