#include "base/Csv.h"
#include <QRegularExpression>

namespace kv {

QString CeldaCSVSegura(const QString& valor)
{
    if (valor.isEmpty()) return valor;
    static const QString inicio = QStringLiteral("=+-@\t\r");
    if (!inicio.contains(valor.at(0))) return valor;
    // A signed number is data, not a formula.
    static const QRegularExpression numero(QStringLiteral("^[+-]\\d+([.,]\\d+)?$"));
    if (numero.match(valor).hasMatch()) return valor;
    return QLatin1Char('\'') + valor;
}

QString CsvCampo(const QString& value, QChar separator)
{
    const QString v = CeldaCSVSegura(value);
    const bool comillas = v.contains(separator) || v.contains(QLatin1Char('"')) || v.contains(QLatin1Char('\n'))
                          || v.contains(QLatin1Char('\r'));
    if (!comillas) return v;
    QString q = v;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString CsvLinea(const QStringList& cells, QChar separator)
{
    QStringList out;
    out.reserve(cells.size());
    for (const QString& c : cells) out << CsvCampo(c, separator);
    return out.join(separator);
}

} // namespace kv
