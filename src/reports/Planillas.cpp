#include "reports/Planillas.h"
#include "reports/ReportKinds.h"

namespace kv::rpt {

QString SQLPlanilla(bool incluirCancelados)
{
    return QStringLiteral("select * from estudiantes where IGrado=?") + QStringLiteral(" and IGrupo=?")
         + (incluirCancelados ? QStringLiteral(" order by NEstudiante collate espanol")
                              : QStringLiteral(" and (situacion !='C' or situacion is null) order by NEstudiante collate espanol"));
}

bool BuscarAsignacion(const QString& dir, int grado, const QString& grupo, const QString& materia, QString& iProfesor)
{
    const ResultSet rs = RunReportQuery(
        dir, QStringLiteral("select IProfesor from MovMat where IGrado=? and IGrupo=? and IMateria=?"),
        {grado, grupo, materia});
    if (rs.rows.isEmpty()) return false;
    iProfesor = rs.rows[0].value(0).toString();
    return true;
}

QString NombreProfesor(const QString& dir, const QString& iProfesor)
{
    const ResultSet rs =
        RunReportQuery(dir, QStringLiteral("select NProfesor from AbaProfesores where IProfesor=?"), {iProfesor});
    return rs.rows.isEmpty() ? QString() : rs.rows[0].value(0).toString();
}

bool BuscarMateria(const QString& dir, int grado, const QString& materia, QString& nombre)
{
    if (materia == QLatin1String("0")) {
        nombre.clear();
        return true;
    }
    const ResultSet rs = RunReportQuery(
        dir, QStringLiteral("select nmateria, contarAplazarDefinitivo from abamaterias where igrado=? and imateria=?"),
        {grado, materia});
    if (rs.rows.isEmpty()) return false;
    nombre = rs.rows[0].value(0).toString();
    return true;
}

QStringList MateriasDeGrado(const QString& dir, int grado)
{
    QStringList l;
    const ResultSet rs = RunReportQuery(
        dir, QStringLiteral("select IMateria from AbaMaterias where IGrado=? order by IGrado, IMateria"), {grado});
    for (const auto& r : rs.rows) l << r.value(0).toString();
    return l;
}

ReportLayout TFrmRptPlanillas(const QString& tablesDir, const DatosPlanilla& d)
{
    const bool primera = d.formato == 1;
    const QString arial = QStringLiteral("Arial");
    ReportLayout l;
    l.name = primera ? QStringLiteral("TFrmRptPlanillas") : QStringLiteral("TFrmRptPlanillas3");
    l.page.paper = QPageSize::Letter;
    l.page.orientation = QPageLayout::Portrait;
    l.page.marginsMm = QMarginsF(10, 5, 10, 2);

    Band& t = l.band(BandKind::Title, 18.5);
    t.add(Element::label(QStringLiteral("QRLabel6"), 2.1, 2.1, d.colegio, {arial, 12}));
    Element fecha = Element::label(QStringLiteral("QRSysData2"), 175.7, 2.1, QString());
    fecha.kind = ElementKind::Date;
    t.add(fecha);
    t.add(Element::label(QStringLiteral("QRLblNProfesor"), 2.1, 8.5, d.profesorFijado ? d.profesor : QStringLiteral("*")));
    t.add(Element::label(QStringLiteral("QRLabel2"), 110.1, 8.5, QStringLiteral("Grado:")));
    // The category's name, also on a list without persons (the category the list was asked
    // for); a category not found prints nothing rather than the component's name.
    Element grado = Element::label(QStringLiteral("QRLblNGrado"), 122.8, 8.5, QString());
    grado.width = 70.1;
    const int gradoPedido = d.grado;
    grado.beforePrint = [tablesDir, gradoPedido](QString& text, const PrintContext& c) {
        const QVariant g = c.row.valid() ? c.row.value(QStringLiteral("IGrado")) : QVariant(gradoPedido);
        const ResultSet rs =
            RunReportQuery(tablesDir, QStringLiteral("select NGrado from AbaGrados where IGrado=?"), {g});
        text = rs.rows.isEmpty() ? QString() : rs.rows[0].value(0).toString();
    };
    t.add(grado);
    t.add(Element::label(QStringLiteral("QRLabel3"), 2.1, 12.7, QStringLiteral("Grupo:")));
    Element grupo = Element::data(QStringLiteral("IGrupo"), 14.8, 12.7);
    grupo.width = 6.6;
    const QString grupoPedido = d.grupo;
    grupo.beforePrint = [grupoPedido](QString& text, const PrintContext& c) {
        if (!c.row.valid()) text = grupoPedido;
    };
    t.add(grupo);
    t.add(Element::label(QStringLiteral("QRLblNMateria"), 25.4, 12.7, d.materiaFijada ? d.materia : QString()));
    t.add(Element::label(QStringLiteral("QRLabel5"), 169.3, 12.7, QStringLiteral("Período: _____")));

    Band& h = l.band(BandKind::ColumnHeader, 6.3);
    if (primera) {
        h.add(Element::label(QStringLiteral("fallas"), 160.9, 2.1, QStringLiteral("fallas")));
        h.add(Element::label(QStringLiteral("Per."), 170.9, 2.1, QStringLiteral("Per.")));
        h.add(Element::label(QStringLiteral("Def"), 184.2, 2.1, QStringLiteral("Def")));
    } else {
        h.add(Element::label(QStringLiteral("asistencia"), 105.6, 0.8, QStringLiteral("Control de asistencia")));
        h.add(Element::label(QStringLiteral("evaluacion"), 150.3, 0.8, QStringLiteral("Control de evaluación")));
    }

    Band& det = l.band(BandKind::Detail, primera ? 5.3 : 5.0);
    const ReportFont f9{arial, 9};
    // The texts sit a little below the rule of the line above, so the accent of a capital
    // (Á, É, Ñ) rises above the letters without touching it.
    const double yTexto = 0.7;
    Element num;
    num.kind = ElementKind::LineNo;
    num.name = QStringLiteral("numero");
    num.x = 2.1;
    num.y = yTexto;
    num.width = 8.7;
    num.font = f9;
    det.add(num);
    const double firstRule = primera ? 108.2 : 99.5;
    Element nombre = Element::data(QStringLiteral("NEstudiante"), 12.7, yTexto, f9);
    nombre.width = firstRule - 12.7 - 1;
    nombre.wordWrap = true;
    det.add(nombre);
    if (primera) {
        Element cancel = Element::label(QStringLiteral("QRLblCancelado"), 110.1, yTexto, QString(), f9);
        cancel.beforePrint = [](QString& text, const PrintContext& c) {
            text = c.row.text(QStringLiteral("Situacion")) == QLatin1String("C")
                       ? QStringLiteral("-------------------------------------------------------------Canceló")
                       : QString();
        };
        det.add(cancel);
        const std::pair<double, int> rules[] = {{108.2, 2}, {118.7, 1}, {129.0, 1}, {139.4, 1},
                                                {149.9, 1}, {160.2, 1}, {170.5, 1}, {179.0, 2}};
        for (const auto& r : rules) det.add(Element::vline(r.first, 0, 0, r.second));
    } else {
        const double rules[] = {99.5,  102.7, 105.8, 109.0, 112.2, 115.4, 118.5, 122.0, 125.1, 128.3, 131.5, 134.7, 137.8,
                                141.0, 144.2, 149.8, 154.3, 159.0, 163.5, 168.0, 172.8, 177.3, 181.8, 186.5, 191.0};
        for (double x : rules) det.add(Element::vline(x, 0, 0, 1));
    }
    det.add(Element::hline(0, -1, 195, primera ? 2 : 1));

    // A new page whenever the category or the group changes from the line before.
    auto last = std::make_shared<std::pair<QString, QString>>();
    det.beforePrint = [last](const PrintContext& c) {
        const std::pair<QString, QString> now{c.row.text(QStringLiteral("IGrado")), c.row.text(QStringLiteral("IGrupo"))};
        const bool changed = c.lineNo > 1 && now != *last;
        *last = now;
        return changed;
    };

    Band& s = l.band(BandKind::Summary, 16);
    s.add(Element::label(QStringLiteral("QRLabel9"), 2.1, 10.6, QStringLiteral("Firma del profesor:")));
    s.add(Element::label(QStringLiteral("QRLabel10"), 112.2, 10.6, QStringLiteral("Vo Bo Coordinador:")));
    return l;
}

} // namespace kv::rpt
