#pragma once
// Translation of the program's local SQL dialect into SQLite.
#include <QString>
#include <QStringList>
#include <functional>

namespace kv {

// - text literals in double quotes become single-quoted literals;
// - date literals 'mm/dd/yyyy' become 'yyyy-mm-dd'; time literals 'hh:mm:ss' (even with
//   trailing blanks) become 'hh:mm:ss';
// - substring(x from a for b) becomes substr(x, a, b);
// - ? parameter markers pass through untouched.
// Raises DbError for an unterminated literal.
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
