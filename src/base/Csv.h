#pragma once
// The one way the program writes a CSV field (the inside list, the report exports).
#include <QChar>
#include <QString>
#include <QStringList>

namespace kv {

// One field: quoted when it holds the separator, a quote, CR or LF (inner quotes doubled).
// A text cell that begins with =, +, -, @, a tab or CR gets an apostrophe in front, so a
// spreadsheet that opens the file shows it as text and never runs it as a formula; a plain
// number ("-12", "+3,5") is left as it is.
QString CsvCampo(const QString& value, QChar separator = QLatin1Char(','));

// A whole line, without its line end.
QString CsvLinea(const QStringList& cells, QChar separator = QLatin1Char(','));

} // namespace kv
