#include "settings/UserLevel.h"

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

bool AccesoRestringido()
{
    return UserLevel() == QLatin1String("0");
}

} // namespace kv
