#pragma once
// Cells of the CSV files the program writes for other programs.
#include <QString>

namespace kv {

// A text cell that a spreadsheet would take for a formula (it begins with =, +, -, @, a tab
// or a carriage return) gets an apostrophe in front, so it is shown and never run.
QString CeldaCSVSegura(const QString& valor);

} // namespace kv
