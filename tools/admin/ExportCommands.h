#pragma once
// kelvora-admin export: the persons of a site into a spreadsheet workbook, the same
// export as the person grid's "Exportar a Excel", without a screen.
#include <QStringList>

namespace admin {

// export DIR FILE.xlsx [--grado N --grupo G]. Returns the exit code: 0 written,
// 1 failed (nothing replaced), 2 wrong command line. Progress goes to stderr.
int exportCommand(const QStringList& args);

} // namespace admin
