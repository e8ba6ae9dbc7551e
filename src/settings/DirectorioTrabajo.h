#pragma once
// Where the program keeps the site list Config.DB, pralune.ini and its logs. Started from
// a directory that holds Config.DB (as the demo is, and as schools always did) it works
// there; started from the desktop's menu, with no Config.DB where it stands, it works in
// the user's own data directory.
#include <QString>

namespace kv {

// $XDG_DATA_HOME/kelvora, or ~/.local/share/kelvora when XDG_DATA_HOME is unset or not an
// absolute path; on other systems the system's own place for a user's program data.
QString DirectorioDatosUsuario();

// The working directory for a start from `actual`: `actual` itself when it holds the site
// list, otherwise `datosUsuario`.
QString DirectorioDeTrabajo(const QString& actual, const QString& datosUsuario);

// Chooses the working directory for a start from the current one, creates it when it is
// missing and makes it current. Returns it; an error (Spanish text) when it cannot be made
// or entered.
QString EntrarDirectorioDeTrabajo();

} // namespace kv
