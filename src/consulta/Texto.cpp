#include "consulta/Texto.h"
#include <QUrl>

namespace kv::consulta {

QString Html(const QString& texto)
{
    QString r;
    r.reserve(texto.size() + 8);
    for (const QChar ch : texto) {
        switch (ch.unicode()) {
        case '&': r += QLatin1String("&amp;"); break;
        case '<': r += QLatin1String("&lt;"); break;
        case '>': r += QLatin1String("&gt;"); break;
        case '"': r += QLatin1String("&quot;"); break;
        case '\'': r += QLatin1String("&#39;"); break;
        default: r += ch;
        }
    }
    return r;
}

QString EnUrl(const QString& texto) { return QString::fromLatin1(QUrl::toPercentEncoding(texto)); }

QString FechaTexto(const QDate& d) { return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString(); }

QString HoraTexto(const QTime& t)
{
    if (!t.isValid()) return QString();
    const int h12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    return QStringLiteral("%1:%2 %3")
        .arg(h12)
        .arg(t.minute(), 2, 10, QLatin1Char('0'))
        .arg(t.hour() < 12 ? QStringLiteral("a. m.") : QStringLiteral("p. m."));
}

QString FechaHoraTexto(const QDate& d, const QTime& t)
{
    return FechaTexto(d) + QLatin1Char(' ') + t.toString(QStringLiteral("HH:mm"));
}

QDate LeerFecha(const QString& texto)
{
    const QString t = texto.trimmed();
    QDate d = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid()) d = QDate::fromString(t, QStringLiteral("d/M/yyyy"));
    return d;
}

QString EstadoTexto(const QString& tipo, const QTime& hora)
{
    if (tipo == QLatin1String("E")) return QStringLiteral("Dentro desde las ") + HoraTexto(hora);
    if (tipo == QLatin1String("S")) return QStringLiteral("Salió a las ") + HoraTexto(hora);
    return QStringLiteral("Sin movimientos hoy");
}

QString TextoMovimiento(const QString& tipo)
{
    if (tipo == QLatin1String("E")) return QStringLiteral("Entrada");
    if (tipo == QLatin1String("S")) return QStringLiteral("Salida");
    return tipo;
}

} // namespace kv::consulta
