#include "reports/InformesAsistenciaKinds.h"
#include "data/Query.h"
#include "reports/InformesAsistencia.h"
#include "reports/MovementReports.h"
#include "settings/TConfig.h"
#include <QLocale>
#include <QPainter>

namespace kv::rpt {

namespace {

const QString kArial = QStringLiteral("Arial");

QString periodo(const RangoAsistencia& r)
{
    const QLocale& l = reportLocale();
    return QStringLiteral(" desde ") + l.toString(r.desde, QLocale::ShortFormat) + QStringLiteral(" hasta ")
         + l.toString(r.hasta, QLocale::ShortFormat);
}

// Computed columns carry no declared type: say which are days and hours, so they print in
// the report's date and time formats.
ResultSet conTipos(ResultSet rs, std::initializer_list<std::pair<const char*, FieldType>> tipos)
{
    for (const auto& [name, type] : tipos) {
        const int c = rs.columnIndex(QString::fromLatin1(name));
        if (c >= 0) rs.columns[c].type = type;
    }
    return rs;
}

ReportLayout conTitulo(const QString& name, const TitleBlock& t, double alto, const QString& titulo)
{
    ReportLayout l = movementLayout(name, QPageLayout::Landscape);
    AgregarTitulo(l, t, alto, false);
    l.band(BandKind::Title, alto).add(Element::label(QStringLiteral("QRLabel4"), 33.9, 29.6, titulo));
    return l;
}

void ajustar(ReportLayout& l, const char* field, double width)
{
    Element* e = l.element(QString::fromLatin1(field));
    e->width = width;
    e->wordWrap = true;
}

} // namespace

ResultSet ConTotalesPorPersona(const ResultSet& tarde)
{
    ResultSet out;
    out.columns = tarde.columns;
    const int cCodigo = tarde.columnIndex(QStringLiteral("codigo"));
    const int cFecha = tarde.columnIndex(QStringLiteral("fecha")), cHora = tarde.columnIndex(QStringLiteral("hora"));
    const int cMin = tarde.columnIndex(QStringLiteral("minutos")), cLleg = tarde.columnIndex(QStringLiteral("llegadas"));
    const int cTotal = tarde.columnIndex(QStringLiteral("minutosTotal"));
    int restantes = 0;   // late arrivals of the current person still to come
    for (const auto& row : tarde.rows) {
        out.rows.append(row);
        if (restantes == 0) restantes = row.value(cLleg).toInt();
        if (--restantes > 0) continue;
        QVector<QVariant> total(row.size());
        total[cCodigo] = row.value(cCodigo);
        total[cFecha] = QStringLiteral("Total:");
        const int n = row.value(cLleg).toInt();
        total[cHora] = n == 1 ? QStringLiteral("1 llegada") : QStringLiteral("%1 llegadas").arg(n);
        total[cMin] = row.value(cTotal);
        out.rows.append(total);
        restantes = 0;
    }
    return out;
}

PreparedReport InformeLlegadasTarde(const QString& dir, const ReportArgs& a)
{
    const RangoAsistencia r = rangoAsistencia(dir, a);
    const QTime hora = a.time(QStringLiteral("hora-entrada"), TConfig().horaEntrada());
    Query q;
    ConsultarLlegadasTarde(dir, q, r, hora);
    const TitleBlock t = LeerTitulo();
    ReportLayout l = conTitulo(QStringLiteral("TfrmRptLlegadasTarde"), t, 36.8,
                               QStringLiteral("Llegadas tarde (primera entrada del día después de las %1)")
                                       .arg(hora.toString(QStringLiteral("HH:mm:ss")))
                                   + periodo(r));
    addColumns(l,
               {{"Cat", 0.0, "igrado"},
                {"Grp", 10.6, "igrupo"},
                {"Nombre", 21.2, "nestudiante"},
                {"Fecha", 120.0, "fecha"},
                {"Hora", 148.0, "hora"},
                {"Min. tarde", 178.0, "minutos"}},
               10.6);
    ajustar(l, "nestudiante", 95.0);
    return finish(std::move(l),
                  ConTotalesPorPersona(conTipos(q.result(), {{"fecha", FieldType::Date}, {"hora", FieldType::Time}})), t);
}

PreparedReport InformeInasistenciasConsecutivas(const QString& dir, const ReportArgs& a)
{
    const RangoAsistencia r = rangoAsistencia(dir, a);
    const int k = a.integer(QStringLiteral("dias"), 3);
    if (k < 1) throw ReportError(QStringLiteral("%1 debe ser 1 o más.").arg(a.label(QStringLiteral("dias"))));
    Query q;
    ConsultarInasistenciasConsecutivas(dir, q, r, k);
    const TitleBlock t = LeerTitulo();
    ReportLayout l = conTitulo(QStringLiteral("TfrmRptInasistenciasConsecutivas"), t, 36.8,
                               QStringLiteral("Inasistencias de %1 o más días lectivos seguidos").arg(k) + periodo(r));
    addColumns(l,
               {{"Días", 0.0, "dias"},
                {"Desde", 11.0, "desde"},
                {"Cat", 34.0, "igrado"},
                {"Grp", 43.0, "igrupo"},
                {"Doc. Ident.", 53.0, "docident"},
                {"Nombre", 79.0, "nestudiante"},
                {"Acudiente", 143.0, "acudiente"},
                {"Teléfono1", 200.0, "telefacudiente"},
                {"Teléfono2", 230.0, "telefestud"}},
               10.6);
    ajustar(l, "nestudiante", 62.0);
    ajustar(l, "acudiente", 55.0);
    return finish(std::move(l), conTipos(q.result(), {{"desde", FieldType::Date}}), t);
}

QImage ImagenGraficoAsistencia(const DatosGraficoAsistencia& d, const QSizeF& mm, double dpi)
{
    const double dpm = dpi / 0.0254;
    QImage img(qRound(mm.width() / 1000.0 * dpm), qRound(mm.height() / 1000.0 * dpm), QImage::Format_RGB32);
    img.setDotsPerMeterX(qRound(dpm));
    img.setDotsPerMeterY(qRound(dpm));
    img.fill(Qt::white);
    QPainter p(&img);
    DibujarGraficoAsistencia(p, QRectF(QPointF(0, 0), QSizeF(img.size())), d);
    return img;
}

PreparedReport InformeAsistenciaPorDia(const QString& dir, const ReportArgs& a)
{
    const RangoAsistencia r = rangoAsistencia(dir, a);
    Query q;
    ConsultarAsistenciaPorDia(dir, q, r);
    const ResultSet rs = conTipos(q.result(), {{"fecha", FieldType::Date}});
    const TitleBlock t = LeerTitulo();
    // The chart sits under the title block on the first page; the table follows it.
    const QSizeF grafico(259.0, 118.0);
    ReportLayout l = conTitulo(QStringLiteral("TfrmRptAsistenciaPorDia"), t, 38.0 + grafico.height(),
                               QStringLiteral("Asistencia por día lectivo") + periodo(r));
    Element img;
    img.kind = ElementKind::Image;
    img.name = QStringLiteral("GrafAsistencia");
    img.x = 0;
    img.y = 37.5;
    img.width = grafico.width();
    img.height = grafico.height();
    img.image = ImagenGraficoAsistencia(DatosGrafico(rs), grafico, 200);
    l.band(BandKind::Title, 38.0 + grafico.height()).add(std::move(img));
    addColumns(l,
               {{"Fecha", 0.0, "fecha"},
                {"Cat", 30.0, "igrado"},
                {"Personas", 55.0, "personas"},
                {"Presentes", 85.0, "presentes"},
                {"Asistencia", 115.0, "porcentaje"}},
               10.6);
    l.element(QStringLiteral("igrado"))->beforePrint = [](QString& text, const PrintContext&) {
        if (text.isEmpty()) text = QStringLiteral("Todas");
    };
    l.element(QStringLiteral("porcentaje"))->beforePrint = [](QString& text, const PrintContext&) {
        text = text.isEmpty() ? QStringLiteral("sin personas") : text + QStringLiteral(" %");
    };
    return finish(std::move(l), rs, t);
}

} // namespace kv::rpt
