#include "register/PersonsList.h"
#include "data/TDM.h"

namespace kv {

QString NormalizarCodigoEstado(const QString& valor)
{
    if (valor.isEmpty()) return valor;
    const QChar c = valor.at(0);
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) return valor.toUpper();
    return valor;
}

} // namespace kv
