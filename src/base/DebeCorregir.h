#pragma once
// The message that refuses a form with things to mend: a fixed heading, then the texts the
// checks collected (each ends its own line).
#include <QString>

namespace kv {

inline QString DebeCorregir(const QString& errores)
{
    return QStringLiteral("Debe Corregir: \n") + errores;
}

} // namespace kv
