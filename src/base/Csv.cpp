#include "base/Csv.h"

namespace kv {

QString CeldaCSVSegura(const QString& valor)
{
    if (valor.isEmpty()) return valor;
    switch (valor.front().unicode()) {
    case '=': case '+': case '-': case '@': case '\t': case '\r':
        return QLatin1Char('\'') + valor;
    default:
        return valor;
    }
}

} // namespace kv
