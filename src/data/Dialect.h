#pragma once
// Translation of the program's local SQL dialect into SQLite.
#include <QString>

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

} // namespace kv
