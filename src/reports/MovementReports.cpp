#include "reports/MovementReports.h"
#include <QLocale>
#include <algorithm>

namespace kv::rpt {

namespace {
const QString kArial = QStringLiteral("Arial");
QString shortDate(const QDate& d) { return reportLocale().toString(d, QLocale::ShortFormat); }
} // namespace

ReportLayout movementLayout(const QString& name, QPageLayout::Orientation o)
{
    ReportLayout l;
    l.name = name;
    l.page.paper = QPageSize::Letter;
    l.page.orientation = o;
    l.page.marginsMm = QMarginsF(10, 10, 10, 10);
    return l;
}

void fitColumns(ReportLayout& l)
{
    // A data-bound text keeps to its column: up to where the next one starts (the last one
    // up to the right margin). Boxes that wrap keep the width they were given.
    Band& d = l.band(BandKind::Detail, 5.3);
    const double right = l.page.paperSizeMm().width() - l.page.marginsMm.left() - l.page.marginsMm.right();
    for (Element& e : d.elements) {
        if (e.kind != ElementKind::Field || e.width > 0) continue;
        double next = right;
        for (const Element& o : d.elements)
            if (o.kind == ElementKind::Field && o.x > e.x + 0.01) next = std::min(next, o.x);
        e.width = next - e.x - (next < right ? 1.0 : 0.0);
    }
}

void addColumns(ReportLayout& l, std::initializer_list<Column> cols, double headerHeight)
{
    Band& h = l.band(BandKind::ColumnHeader, headerHeight);
    Band& d = l.band(BandKind::Detail, 5.3);
    for (const Column& c : cols) {
        h.add(Element::label(QString::fromUtf8(c.heading), c.x, 4.2, QString::fromUtf8(c.heading), {kArial, 10, true}));
        d.add(Element::data(QString::fromLatin1(c.field), c.x, 0, {kArial, 10}));
    }
    fitColumns(l);
}

QString FechaSQL(const QDate& d) { return d.toString(QStringLiteral("MM/dd/yyyy")); }

QString SQLAsistentes(const RangoAsistencia& r)
{
    return QStringLiteral("select e.igrado,e.igrupo,e.docident,e.nestudiante,e.acudiente,e.telefacudiente,e.telefestud,"
                          "es.detalle,es.hora,es.fecha,es.tipomvt ")
         + QStringLiteral("from estudiantes as e ") + QStringLiteral("join entradasSalidas as es on e.codigo=es.codigo ")
         + QStringLiteral(" where e.codigo in ") + QStringLiteral(" (select codigo from entradasSalidas ")
         + QStringLiteral(" where fecha>='") + FechaSQL(r.desde) + QStringLiteral("' and fecha<='") + FechaSQL(r.hasta)
         + QStringLiteral("' and substring(upper(codigo) from 1 for 5)!='VISIT'") + QStringLiteral(" and tipomvt='E')")
         + QStringLiteral(" and e.igrado>=") + QString::number(r.gradoDesde) + QStringLiteral(" and e.igrado<=")
         + QString::number(r.gradoHasta) + QStringLiteral(" order by es.fecha,es.hora");
}

QString SQLInasistentes(const RangoAsistencia& r)
{
    return QStringLiteral("select igrado,igrupo,docident,nestudiante,acudiente,telefacudiente, telefestud from estudiantes ")
         + QStringLiteral(" where codigo not in ") + QStringLiteral(" (select codigo from entradasSalidas ")
         + QStringLiteral(" where fecha>='") + FechaSQL(r.desde) + QStringLiteral("' and fecha<='") + FechaSQL(r.hasta)
         + QStringLiteral("' and substring(upper(codigo) from 1 for 5)!='VISIT'") + QStringLiteral("and tipomvt='E'")
         + QStringLiteral(") and igrado>=") + QString::number(r.gradoDesde) + QStringLiteral(" and igrado<=")
         + QString::number(r.gradoHasta);
}

ReportLayout TfrmRptAsistieron(const TitleBlock& t, const QString& anio)
{
    ReportLayout l = movementLayout(QStringLiteral("TfrmRptAsistieron"), QPageLayout::Landscape);
    AgregarTitulo(l, t, 36.8, false);
    l.band(BandKind::Title, 36.8).add(Element::label(QStringLiteral("QRLabel4"), 33.9, 29.6, QStringLiteral("AÑO: ") + anio));
    addColumns(l,
               {{"Cat", 0.0, "igrado"},
                {"Grp", 10.6, "igrupo"},
                {"Hora", 21.2, "hora"},
                {"Fecha", 48.7, "fecha"},
                {"Doc. Ident.", 69.8, "docident"},
                {"Nombre", 95.2, "nestudiante"},
                {"Teléfono", 177.8, "telefestud"},
                {"Detalle", 209.6, "detalle"}},
               10.6);
    Element* det = l.element(QStringLiteral("detalle"));
    det->width = 48.7;
    det->wordWrap = true;
    return l;
}

ReportLayout TfrmRptFaltaron(const TitleBlock& t, const QString& titulo, const QDate& desde, const QDate& hasta)
{
    ReportLayout l = movementLayout(QStringLiteral("TfrmRptFaltaron"), QPageLayout::Landscape);
    AgregarTitulo(l, t, 36.8, false);
    l.band(BandKind::Title, 36.8)
        .add(Element::label(QStringLiteral("QRLabel4"), 33.9, 29.6,
                            titulo + QStringLiteral(" desde ") + shortDate(desde) + QStringLiteral(" hasta ")
                                + shortDate(hasta)));
    addColumns(l,
               {{"Cat", 0.0, "igrado"},
                {"Grp", 10.6, "igrupo"},
                {"Doc. Ident.", 23.3, "docident"},
                {"Nombre", 50.8, "nestudiante"},
                {"Acudiente", 103.7, "acudiente"},
                {"Teléfono1", 156.6, "telefacudiente"},
                {"Teléfono2", 186.3, "telefEstud"}},
               10.6);
    return l;
}

QString SQLEntradasSalidas(const RangoEntradasSalidas& r)
{
    const QString fechas = QStringLiteral(" where a.fecha>='") + FechaSQL(r.desde) + QStringLiteral("' and a.fecha<='")
                         + FechaSQL(r.hasta);
    const QString horas = QStringLiteral(" and a.hora>='") + r.horaDesde.toString(QStringLiteral("HH:mm:ss"))
                        + QStringLiteral(" ' and a.hora<='") + r.horaHasta.toString(QStringLiteral("HH:mm:ss"))
                        + QStringLiteral(" ' order by a.fecha,a.hora");
    if (r.visitantes)
        return QStringLiteral(" select a.* from entradasSalidas as a")
             + QStringLiteral(" left join visitantes as b on a.docident=b.docident") + fechas
             + QStringLiteral("' and substring(upper(a.codigo) from 1 for 5)='VISIT'") + horas;
    return QStringLiteral(" select a.* from entradasSalidas as a") + QStringLiteral(" join estudiantes as b on a.codigo=b.codigo")
         + fechas + QStringLiteral("' and substring(upper(a.codigo) from 1 for 5)!='VISIT'") + QStringLiteral(" and b.igrado>=")
         + QString::number(r.gradoDesde) + QStringLiteral(" and b.igrado<=") + QString::number(r.gradoHasta) + horas;
}

QString TituloEntradasSalidas(bool visitantes)
{
    return visitantes ? QStringLiteral("Entradas y salidas de visitantes.")
                      : QStringLiteral("Entradas y salidas de personas residentes.");
}

QString AbreviaturaTipoDoc(const QString& valor)
{
    bool ok = false;
    const int n = valor.trimmed().toInt(&ok);
    if (!ok) return QString();
    switch (n) {
    case 1: return QStringLiteral("CC");
    case 2: return QStringLiteral("TI");
    case 3: return QStringLiteral("CE");
    case 5: return QStringLiteral("RC");
    default: return QString();
    }
}

ReportLayout TfrmRptEntradasSalidas(const TitleBlock& t, const QString& titulo)
{
    ReportLayout l = movementLayout(QStringLiteral("TfrmRptEntradasSalidas"), QPageLayout::Landscape);
    AgregarTitulo(l, t, 41.0, false);
    l.band(BandKind::Title, 41.0).add(Element::label(QStringLiteral("QRLabel4"), 33.9, 29.6, titulo));
    struct Col {
        const char* heading;
        double hx;
        const char* field;
        double dx;
        double pt;
    };
    const Col cols[] = {{"E/S", 0.0, "tipomvt", 0.0, 9},           {"Fecha", 8.2, "fecha", 8.2, 9},
                        {"Hora", 25.9, "hora", 25.9, 9},           {"Cód.", 48.7, "codigo", 48.2, 10},
                        {"Tipo Doc", 61.4, "tipoDocIdent", 67.2, 10}, {"Doc. Ident.", 80.4, "docident", 80.4, 10},
                        {"Nombre", 105.8, "nestudiante", 105.8, 10}, {"Detalle", 169.3, "detalle", 169.3, 11}};
    Band& h = l.band(BandKind::ColumnHeader, 11.6);
    Band& d = l.band(BandKind::Detail, 5.3);
    for (const Col& c : cols) {
        h.add(Element::label(QString::fromUtf8(c.heading), c.hx, 4.2, QString::fromUtf8(c.heading), {kArial, 11, true}));
        d.add(Element::data(QString::fromLatin1(c.field), c.dx, 0, {kArial, c.pt}));
    }
    Element* tipo = l.element(QStringLiteral("tipoDocIdent"));
    tipo->width = 8.7;
    tipo->beforePrint = [](QString& text, const PrintContext&) { text = AbreviaturaTipoDoc(text); };
    Element* det = l.element(QStringLiteral("detalle"));
    det->width = 82.8;
    det->wordWrap = true;
    fitColumns(l);
    return l;
}

QString SQLUnaPersona()
{
    // Listed by day and time: the order a reader looks for.
    return QStringLiteral("select *") + QStringLiteral(" from entradasSalidas where codigo=?")
         + QStringLiteral(" order by fecha,hora");
}

QStringList LineasMemo(const QString& detalle)
{
    QString t = detalle;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t.split(QLatin1Char('\n'));
}

ReportLayout TfrmRptInformeUnEstudiante(const TitleBlock& t, const QString& nombre)
{
    ReportLayout l = movementLayout(QStringLiteral("TfrmRptInformeUnEstudiante"), QPageLayout::Portrait);
    AgregarTitulo(l, t, 36.8, true);
    l.band(BandKind::Title, 36.8)
        .add(Element::label(QStringLiteral("QRLabel1"), 40.6, 19.4, QStringLiteral("Entradas y salidas de ") + nombre,
                            {kArial, 13.5}));
    Band& d = l.band(BandKind::Detail, 5.8);
    const ReportFont f{kArial, 11};
    d.add(Element::data(QStringLiteral("fecha"), 6.3, 0.7, f));
    d.add(Element::data(QStringLiteral("hora"), 29.5, 0.7, f));
    d.add(Element::data(QStringLiteral("tipoMvt"), 57.1, 0.7, f));
    Element memo;
    memo.kind = ElementKind::Memo;
    memo.name = QStringLiteral("QRMemo1");
    memo.x = 76.2;
    memo.y = 0.7;
    memo.width = 117.6;
    memo.wordWrap = true;
    memo.font = f;
    memo.memoLines = [](const PrintContext& c) { return LineasMemo(c.row.text(QStringLiteral("detalle"))); };
    d.add(memo);
    l.exportHeadings = QStringList{QStringLiteral("Fecha"), QStringLiteral("Hora"), QStringLiteral("E/S"),
                                   QStringLiteral("Detalle")};
    return l;
}

} // namespace kv::rpt
