#pragma once
// "Exportar a Excel": the save dialog, the wait notice with its progress and the export
// of a table cursor as it stands (filtered or not).
#include "data/TableCursor.h"
#include <functional>
#include <memory>

class QFileDialog;
class QWidget;

namespace kv {

// Asks for the file ("Archivos Excel"), writes the workbook and restores the working
// directory on every way out. A failure is shown in Spanish and leaves any earlier file
// as it was. Returns true when the file was written, false when cancelled or failed.
bool ExportarAExcel(TableCursor& tabla, QWidget* parent);

// The save dialog as the export shows it, in folder `dir`, not yet shown.
std::unique_ptr<QFileDialog> DialogoGuardarExcel(QWidget* parent, const QString& dir);

// Where the export asks for the file: the dialog above, or (tests) a function that
// answers for it; "" means cancelled. An empty function brings the dialog back.
using ElegirArchivo = std::function<QString(QWidget* parent)>;
void SetElegirArchivo(ElegirArchivo elegir);

} // namespace kv
