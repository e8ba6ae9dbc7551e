#pragma once
// Translation of the program's local SQL dialect into SQLite.
#include <QString>
#include <QStringList>
#include <functional>

namespace kv {

// - text literals in double quotes become single-quoted literals;
// - a literal compared with, assigned to or inserted into a date or time field of the site's
//   tables is translated: 'mm/dd/yyyy' becomes 'yyyy-mm-dd', 'hh:mm[:ss]' becomes 'hh:mm:ss'
//   (trailing blanks allowed in both); any other literal is kept as typed;
// - substring(x from a for b) becomes substr(x, a, b);
// - ? parameter markers pass through untouched.
// Raises DbError for an unterminated literal and for a date or time that does not exist.
QString translateLocalSql(const QString& sql);

// Leading keyword of a statement, upper-cased ("SELECT", "WITH", "UPDATE", ...).
QString leadingKeyword(const QString& sql);
// True when the statement returns rows (it starts with SELECT or WITH).
bool returnsRows(const QString& sql);

// A bare column that several tables of one SELECT could supply is qualified with the first
// table of that SELECT's FROM (its alias, else its name), when that table has it: the
// program's statements leave such columns bare ("substring(upper(codigo) ...)" in a join of
// movements and persons) and mean the first table. Every SELECT, sub-selects included, is
// decided from its own tables; columnsOf gives a table's column names (empty when unknown).
// Takes and returns SQLite SQL.
QString qualifyAmbiguousColumns(const QString& sqliteSql,
                                const std::function<QStringList(const QString& table)>& columnsOf);

} // namespace kv
