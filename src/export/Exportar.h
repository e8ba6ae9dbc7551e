#pragma once
// Writes the rows of a table cursor into a new spreadsheet workbook (.xlsx). Only what
// exports links the spreadsheet library, so this lives in its own library, kelvora_xlsx.
#include "data/TableCursor.h"
#include <functional>
#include "base/Error.h"

namespace kv {

// A workbook that could not be written: the message says what failed, in Spanish.
class ExportError : public Error {
public:
    using Error::Error;
};

// The file is always an .xlsx workbook: a name without that extension gets it
// ("lista" -> "lista.xlsx", "lista.xls" -> "lista.xlsx").
QString ConExtensionXlsx(const QString& archivo);

// The worksheet's name for a table: its name with a capital initial ("estudiantes" ->
// "Estudiantes"), without the characters a sheet name cannot hold, at most 31 long.
QString NombreHoja(const QString& tabla);

// Exports every field of every row the cursor's filter lets through, in the cursor's
// order: the worksheet named after the table, the field names in row 1, one row per table
// row below, every value as text (formatted "@", so leading zeros stay), null fields
// empty. A row being edited is posted first. The workbook is written beside `archivo`
// under a temporary name and renamed over it at the end, so a failure leaves no half
// file and any earlier file as it was. `alAvanzar(n)` is called after each row (n rows
// done). The cursor ends on its last row. Returns the number of rows written.
int ExportarTabla(TableCursor& tabla, const QString& archivo, const std::function<void(int)>& alAvanzar = {});

} // namespace kv
