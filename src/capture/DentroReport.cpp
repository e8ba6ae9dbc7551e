#include "capture/DentroReport.h"

namespace kv::rpt {

namespace {

const QString kArial = QStringLiteral("Arial");

struct Columna {
    const char* titulo;
    const char* campo;
    double x;
    double ancho;   // 0 = one line, as wide as its text
};

const Columna kColumnas[] = {
    {"Código", "codigo", 0, 0},        {"Nombre", "nombre", 20, 70},    {"Cat.", "categoria", 92, 0},
    {"Grp.", "grupo", 106, 0},         {"Dependencia", "dependencia", 116, 34}, {"Fecha", "fecha", 152, 0},
    {"Hora", "hora", 170, 0},          {"Presente", "presente", 183, 0},
};

ResultSet datos(const ListaDentro& l)
{
    ResultSet rs;
    for (const Columna& c : kColumnas) rs.columns.append({QString::fromLatin1(c.campo), FieldType::Text, QStringLiteral("TEXT")});
    rs.rows.reserve(l.filas.size());
    for (const PersonaDentro& p : l.filas) {
        rs.rows.append({p.codigo, p.nombre, p.visitante ? QStringLiteral("Visitante") : p.igrado, p.igrupo,
                        p.dependencia, reportLocale().toString(p.fecha, QLocale::ShortFormat),
                        p.hora.toString(QStringLiteral("HH:mm")), QStringLiteral("[   ]")});
    }
    return rs;
}

QStringList lineasTotales(const ListaDentro& l)
{
    QStringList lineas;
    for (const TotalDentro& t : l.totales) {
        if (t.esCategoria) lineas << QStringLiteral("Categoría %1: %2").arg(t.igrado).arg(t.cantidad);
        else lineas << QStringLiteral("      Grupo %1: %2").arg(t.igrupo).arg(t.cantidad);
    }
    int sinRegistro = 0;
    for (const PersonaDentro& p : l.filas) sinRegistro += !p.visitante && !p.registrado;
    if (sinRegistro > 0) lineas << QStringLiteral("Fuera del registro: %1").arg(sinRegistro);
    if (l.visitantes > 0) lineas << QStringLiteral("Visitantes: %1").arg(l.visitantes);
    return lineas;
}

} // namespace

PageModel InformeDentro(const TitleBlock& t, const ListaDentro& l, const QDateTime& cuando)
{
    ReportLayout layout;
    layout.name = QStringLiteral("TfrmRptDentro");
    layout.page.paper = QPageSize::Letter;
    layout.page.orientation = QPageLayout::Portrait;
    layout.page.marginsMm = QMarginsF(10, 10, 10, 10);

    AgregarTitulo(layout, t, 36.8, false);
    Band& titulo = layout.band(BandKind::Title, 36.8);
    titulo.add(Element::label(QStringLiteral("LblTituloDentro"), 40.2, 19.0, QStringLiteral("PERSONAS DENTRO AHORA"),
                              {kArial, 12, true}));
    titulo.add(Element::label(QStringLiteral("LblMomento"), 40.2, 24.8,
                              reportLocale().toString(cuando, QLocale::ShortFormat), {kArial, 10}));
    titulo.add(Element::label(QStringLiteral("LblTotalDentro"), 40.2, 29.6, TextoTotalDentro(l.personas, l.visitantes),
                              {kArial, 10, true}));

    Band& cabecera = layout.band(BandKind::ColumnHeader, 7.4);
    Band& detalle = layout.band(BandKind::Detail, 5.0);
    for (const Columna& c : kColumnas) {
        cabecera.add(Element::label(QString::fromUtf8(c.titulo), c.x, 2.0, QString::fromUtf8(c.titulo), {kArial, 9, true}));
        Element e = Element::data(QString::fromLatin1(c.campo), c.x, 0.4, {kArial, 9});
        if (c.ancho > 0) {
            e.width = c.ancho;
            e.wordWrap = true;
        }
        detalle.add(e);
    }
    cabecera.add(Element::hline(0, -1, 196));

    Band& resumen = layout.band(BandKind::Summary, 6.0);
    resumen.add(Element::hline(0, 0.5, 196));
    Element totales;
    totales.kind = ElementKind::Memo;
    totales.name = QStringLiteral("MemoTotales");
    totales.x = 0;
    totales.y = 1.5;
    totales.width = 120;
    totales.font = {kArial, 10};
    const QStringList lineas = lineasTotales(l);
    totales.memoLines = [lineas](const PrintContext&) { return lineas; };
    resumen.add(totales);

    return buildPages(layout, datos(l));
}

} // namespace kv::rpt
