#pragma once
// The one way the program writes a CSV field (the inside list, the report exports).
#include <QChar>
#include <QString>
#include <QStringList>

namespace kv {

// A text cell that a spreadsheet would take for a formula (it begins with =, +, -, @, a tab
// or a carriage return) gets an apostrophe in front, so it is shown and never run; a plain
// number ("-12", "+3,5") is left as it is.
QString CeldaCSVSegura(const QString& valor);

// One field: made safe as above, and quoted when it holds the separator, a quote, CR or LF
// (inner quotes doubled).
QString CsvCampo(const QString& value, QChar separator = QLatin1Char(','));

// A whole line, without its line end.
QString CsvLinea(const QStringList& cells, QChar separator = QLatin1Char(','));

} // namespace kv
