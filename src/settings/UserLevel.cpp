#include "settings/UserLevel.h"
#include "util/Messages.h"

namespace kv {

namespace {
QString& slot()
{
    static QString level;
    return level;
}
} // namespace

QString UserLevel() { return slot(); }
void SetUserLevel(const QString& level) { slot() = level; }

bool AccesoPermitido()
{
    if (UserLevel() == QLatin1String("0")) {
        Messages::instance().showMessage(QStringLiteral("Acceso restringido."));
        return false;
    }
    return true;
}

} // namespace kv
