#pragma once
// The bar chart of the daily attendance: one bar per school day for all the chosen
// categories together, and one bar per category for the whole range. Drawn with a plain
// QPainter, so the same drawing serves the dialog, the preview, the printer and the PDF.
#include <QRectF>
#include <QString>
#include <QVector>

class QPainter;

namespace kv {
struct ResultSet;
}

namespace kv::rpt {

struct BarraAsistencia {
    QString etiqueta;          // "02/11" for a day, "Cat 3" for a category
    int presentes = 0;
    int esperadas = 0;         // persons expected (times days, for a category)
    // Share 0-100, or -1 when nobody was expected (no bar, "sin personas").
    double porcentaje() const { return esperadas > 0 ? 100.0 * presentes / esperadas : -1.0; }
};

struct DatosGraficoAsistencia {
    QVector<BarraAsistencia> porDia;
    QVector<BarraAsistencia> porCategoria;
    bool vacio() const { return porDia.isEmpty(); }
};

// Gathers the bars from the rows of ConsultarAsistenciaPorDia.
DatosGraficoAsistencia DatosGrafico(const ResultSet& rs);

// Draws both panels inside `area` (any unit: sizes follow the area). With no school day it
// writes "Sin días lectivos en el rango." instead.
void DibujarGraficoAsistencia(QPainter& p, const QRectF& area, const DatosGraficoAsistencia& d);

} // namespace kv::rpt
