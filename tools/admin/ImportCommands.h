#pragma once
// kelvora-admin import-personas / import-fotos / import-sitio: the imports of the
// "Herramientas" menu and of the site editor, without a screen.
#include <QStringList>

namespace admin {

// import-personas DIR FILE [--actualizar] [--crear-grupos] [--prueba]. Exit codes: 0 every
// row accepted, 2 some row refused (the accepted ones are written unless --prueba) or a wrong
// command line, 1 failed (nothing written).
int importPersonasCommand(const QStringList& args);
// import-fotos DIR FOLDER. 0 done, 1 failed, 2 wrong command line.
int importFotosCommand(const QStringList& args);
// import-sitio OLD_DIR NEW_DIR. 0 every row copied, 2 some row refused (listed) or a wrong
// command line, 1 failed (no site made). OLD_DIR may also be an old working directory:
// then its site list is printed.
int importSitioCommand(const QStringList& args);

} // namespace admin
