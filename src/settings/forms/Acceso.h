#pragma once
// The access gate of the administrator commands, for the windows.

namespace kv {

// For the capture-only level it shows "Acceso restringido." and returns false; the command
// then does nothing else.
bool AccesoPermitido();

} // namespace kv
