#include "settings/forms/Acceso.h"
#include "settings/UserLevel.h"
#include "base/Messages.h"

namespace kv {

bool AccesoPermitido()
{
    if (!AccesoRestringido()) return true;
    Messages::instance().showMessage(QStringLiteral("Acceso restringido."));
    return false;
}

} // namespace kv
