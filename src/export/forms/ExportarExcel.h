#pragma once
// "Exportar a Excel": the save dialog, the wait notice with its progress and the export
// of a table cursor as it stands (filtered or not).
#include "data/TableCursor.h"

class QWidget;

namespace kv {

// Asks for the file ("Archivos Excel"), writes the workbook and restores the working
// directory on every way out. A failure is shown in Spanish and leaves any earlier file
// as it was. Returns true when the file was written, false when cancelled or failed.
bool ExportarAExcel(TableCursor& tabla, QWidget* parent);

} // namespace kv
