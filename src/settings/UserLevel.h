#pragma once
// The user level chosen at login: "0" capture only, "1" administrator; empty before.
#include <QString>

namespace kv {

QString UserLevel();
void SetUserLevel(const QString& level);

// True for the capture-only level: administrator commands are refused to it.
bool AccesoRestringido();

} // namespace kv
