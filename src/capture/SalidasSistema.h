#pragma once
// The system exits: an exit for every person whose last movement is still an entry.
#include <QString>

namespace kv {

inline QString DetalleSalidaSistema() { return QStringLiteral("Salida realizada por el sistema"); }

// Person rows plus visitor rows: the span of the progress bar while the exits run.
int FilasSalidasSistema(const QString& tablesDir);

// One read of every person code's last movement and one transaction for all the exit
// rows, with the date and time of one reading of the clock and the document and name of
// that last movement. Visitors are left alone (their badges are not persons' codes).
// Returns how many exits were written; a second run writes none.
int SacarLosQueQuedaron(const QString& tablesDir);

} // namespace kv
