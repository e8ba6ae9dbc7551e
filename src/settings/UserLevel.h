#pragma once
// The user level chosen at login: "0" capture only, "1" administrator; empty before.
#include <QString>

namespace kv {

QString UserLevel();
void SetUserLevel(const QString& level);

// The access gate of the administrator commands: for the capture-only level it shows
// "Acceso restringido." and returns false; the command then does nothing else.
bool AccesoPermitido();

} // namespace kv
