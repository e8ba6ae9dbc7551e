#include "base/Csv.h"
#include <QRegularExpression>

namespace kv {

namespace {
bool pareceFormula(const QString& v)
{
    if (v.isEmpty()) return false;
    static const QString inicio = QStringLiteral("=+-@\t\r");
    if (!inicio.contains(v.at(0))) return false;
    // A signed number is data, not a formula.
    static const QRegularExpression numero(QStringLiteral("^[+-]\\d+([.,]\\d+)?$"));
    return !numero.match(v).hasMatch();
}
} // namespace

QString CsvCampo(const QString& value, QChar separator)
{
    const QString v = pareceFormula(value) ? QString(QLatin1Char('\'')) + value : value;
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
