#include "reports/GraficoAsistencia.h"
#include "data/Database.h"
#include <QDate>
#include <QMap>
#include <QPainter>

namespace kv::rpt {

DatosGraficoAsistencia DatosGrafico(const ResultSet& rs)
{
    DatosGraficoAsistencia d;
    QMap<int, BarraAsistencia> categorias;   // ordered by category
    const int cFecha = rs.columnIndex(QStringLiteral("fecha")), cGrado = rs.columnIndex(QStringLiteral("igrado"));
    const int cPresentes = rs.columnIndex(QStringLiteral("presentes")), cPersonas = rs.columnIndex(QStringLiteral("personas"));
    for (const auto& row : rs.rows) {
        const QVariant grado = row.value(cGrado);
        const int presentes = row.value(cPresentes).toInt();
        const int personas = row.value(cPersonas).toInt();
        if (grado.isNull()) {
            BarraAsistencia b;
            b.etiqueta = QDate::fromString(row.value(cFecha).toString(), Qt::ISODate).toString(QStringLiteral("dd/MM"));
            b.presentes = presentes;
            b.esperadas = personas;
            d.porDia.append(b);
        } else {
            BarraAsistencia& b = categorias[grado.toInt()];
            b.etiqueta = QStringLiteral("Cat %1").arg(grado.toInt());
            b.presentes += presentes;
            b.esperadas += personas;
        }
    }
    d.porCategoria = categorias.values().toVector();
    return d;
}

namespace {

// Virtual canvas: the drawing is laid out on a canvas 1000 units wide and scaled to the area.
constexpr double kAncho = 1000.0;

QFont fuente(double size, bool bold = false)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(qMax(1, int(size)));
    f.setBold(bold);
    return f;
}

void panel(QPainter& p, const QRectF& r, const QString& titulo, const QVector<BarraAsistencia>& barras)
{
    const double titulo_h = 34, eje_w = 56, pie_h = 34, valor_h = 22;
    p.setFont(fuente(22, true));
    p.setPen(Qt::black);
    p.drawText(QRectF(r.left(), r.top(), r.width(), titulo_h), Qt::AlignLeft | Qt::AlignVCenter, titulo);

    const QRectF plot(r.left() + eje_w, r.top() + titulo_h + valor_h, r.width() - eje_w - 8,
                      r.height() - titulo_h - valor_h - pie_h);
    // Grid and scale every 25 %.
    p.setFont(fuente(16));
    for (int pct = 0; pct <= 100; pct += 25) {
        const double y = plot.bottom() - plot.height() * pct / 100.0;
        p.setPen(QPen(pct == 0 ? Qt::black : QColor(190, 190, 190), pct == 0 ? 2 : 1));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(Qt::black);
        p.drawText(QRectF(r.left(), y - 10, eje_w - 8, 20), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("%1 %").arg(pct));
    }
    if (barras.isEmpty()) return;
    const double paso = plot.width() / barras.size();
    const double ancho = paso * 0.7;
    // Labels shrink with the number of bars so they never run into each other.
    const double letra = qBound(9.0, paso * 0.32, 16.0);
    for (int i = 0; i < barras.size(); ++i) {
        const BarraAsistencia& b = barras[i];
        const double x = plot.left() + paso * i + (paso - ancho) / 2;
        const double pct = b.porcentaje();
        p.setFont(fuente(letra));
        p.setPen(Qt::black);
        p.drawText(QRectF(plot.left() + paso * i, plot.bottom() + 4, paso, pie_h - 4),
                   Qt::AlignHCenter | Qt::AlignTop, b.etiqueta);
        if (pct < 0) {
            p.drawText(QRectF(plot.left() + paso * i, plot.bottom() - valor_h, paso, valor_h),
                       Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("s/p"));
            continue;
        }
        const double h = plot.height() * qMin(pct, 100.0) / 100.0;
        p.fillRect(QRectF(x, plot.bottom() - h, ancho, h), pct >= 90 ? QColor(46, 125, 50)
                                                           : pct >= 75 ? QColor(249, 168, 37)
                                                                       : QColor(198, 40, 40));
        p.drawText(QRectF(plot.left() + paso * i, plot.bottom() - h - valor_h, paso, valor_h),
                   Qt::AlignHCenter | Qt::AlignBottom, QString::number(pct, 'f', pct >= 99.95 ? 0 : 1));
    }
}

} // namespace

void DibujarGraficoAsistencia(QPainter& p, const QRectF& area, const DatosGraficoAsistencia& d)
{
    if (area.width() <= 0 || area.height() <= 0) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double s = area.width() / kAncho;
    p.translate(area.topLeft());
    p.scale(s, s);
    const QRectF lienzo(0, 0, kAncho, area.height() / s);
    p.fillRect(lienzo, Qt::white);
    if (d.vacio()) {
        p.setFont(fuente(22));
        p.setPen(Qt::black);
        p.drawText(lienzo, Qt::AlignCenter, QStringLiteral("Sin días lectivos en el rango."));
    } else {
        const double mitad = lienzo.height() / 2;
        panel(p, QRectF(0, 0, kAncho, mitad - 6),
              QStringLiteral("Asistencia por día lectivo (todas las categorías elegidas)"), d.porDia);
        panel(p, QRectF(0, mitad + 6, kAncho, mitad - 6),
              QStringLiteral("Asistencia por categoría en el rango"), d.porCategoria);
    }
    p.restore();
}

} // namespace kv::rpt
