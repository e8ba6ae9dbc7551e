#include "reports/ReportKinds.h"
#include "data/Query.h"
#include "reports/InformesAsistenciaKinds.h"
#include "reports/MovementReports.h"
#include "reports/Planillas.h"
#include "settings/TConfig.h"
#include "base/Clock.h"

namespace kv::rpt {

// ---- parameters ---------------------------------------------------------------------

QString ReportArgs::label(const QString& name) const
{
    return labels_.value(name, QStringLiteral("--") + name);
}

QString ReportArgs::text(const QString& name, const QString& def) const
{
    return values_.contains(name) ? values_.value(name) : def;
}

QDate ReportArgs::date(const QString& name, const QDate& def) const
{
    if (!values_.contains(name)) return def;
    const QDate d = QDate::fromString(values_.value(name).trimmed(), QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid())
        throw ReportError(QStringLiteral("%1: «%2» no es una fecha válida; escríbala como aaaa-mm-dd.")
                              .arg(label(name), values_.value(name)));
    return d;
}

QTime ReportArgs::time(const QString& name, const QTime& def) const
{
    if (!values_.contains(name)) return def;
    const QString v = values_.value(name).trimmed();
    QTime t = QTime::fromString(v, QStringLiteral("HH:mm:ss"));
    if (!t.isValid()) t = QTime::fromString(v, QStringLiteral("HH:mm"));
    if (!t.isValid())
        throw ReportError(QStringLiteral("%1: «%2» no es una hora válida; escríbala como hh:mm:ss.").arg(label(name), v));
    return t;
}

int ReportArgs::integer(const QString& name, int def) const
{
    if (!values_.contains(name)) return def;
    bool ok = false;
    const int n = values_.value(name).trimmed().toInt(&ok);
    if (!ok)
        throw ReportError(QStringLiteral("%1 debe ser un número entero; «%2» no lo es.").arg(label(name), values_.value(name)));
    return n;
}

// ---- helpers ------------------------------------------------------------------------

ResultSet RunReportQuery(const QString& tablesDir, const QString& sql, const QVariantList& params)
{
    Query q;
    EjecutarSQL(tablesDir, q, sql, params);
    return q.result();
}

std::pair<int, int> RangoCategorias(const QString& tablesDir)
{
    const ResultSet rs = RunReportQuery(tablesDir, QStringLiteral("select IGrado from AbaGrados order by IGrado"));
    if (rs.rows.isEmpty()) return {0, 0};
    return {rs.rows.first().value(0).toInt(), rs.rows.last().value(0).toInt()};
}

RangoAsistencia rangoAsistencia(const QString& dir, const ReportArgs& a)
{
    const auto cats = RangoCategorias(dir);
    RangoAsistencia r;
    r.gradoDesde = a.integer(QStringLiteral("grado-desde"), cats.first);
    r.gradoHasta = a.integer(QStringLiteral("grado-hasta"), cats.second);
    const QDate today = Clock::instance().today();
    r.desde = a.date(QStringLiteral("desde"), today);
    r.hasta = a.date(QStringLiteral("hasta"), today);
    return r;
}

PreparedReport finish(ReportLayout layout, ResultSet data, const TitleBlock& t)
{
    PreparedReport p;
    p.layout = std::move(layout);
    p.data = std::move(data);
    p.logoCargado = t.logoCargado;
    p.errorConfig = t.errorConfig;
    return p;
}

namespace {

PreparedReport asistentes(const QString& dir, const ReportArgs& a)
{
    const RangoAsistencia r = rangoAsistencia(dir, a);
    ResultSet rs = RunReportQuery(dir, SQLAsistentes(r));
    const TitleBlock t = LeerTitulo();
    const QString anio = a.text(QStringLiteral("anio"), t.anio ? QString::number(t.anio) : QString());
    return finish(TfrmRptAsistieron(t, anio), std::move(rs), t);
}

PreparedReport inasistentes(const QString& dir, const ReportArgs& a)
{
    const RangoAsistencia r = rangoAsistencia(dir, a);
    ResultSet rs = RunReportQuery(dir, SQLInasistentes(r));
    const TitleBlock t = LeerTitulo();
    return finish(TfrmRptFaltaron(t, QStringLiteral("Reporte de inasistencias. "), r.desde, r.hasta), std::move(rs), t);
}

PreparedReport entradasSalidas(const QString& dir, const ReportArgs& a)
{
    RangoEntradasSalidas r;
    // The bounds are read first, also for visitors, so a bad one is always refused.
    const auto cats = RangoCategorias(dir);
    r.gradoDesde = a.integer(QStringLiteral("grado-desde"), cats.first);
    r.gradoHasta = a.integer(QStringLiteral("grado-hasta"), cats.second);
    const QDate today = Clock::instance().today();
    r.desde = a.date(QStringLiteral("desde"), today);
    r.hasta = a.date(QStringLiteral("hasta"), today);
    r.horaDesde = a.time(QStringLiteral("hora-desde"), QTime(1, 0, 0));
    r.horaHasta = a.time(QStringLiteral("hora-hasta"), QTime(23, 59, 59));
    r.visitantes = a.flag(QStringLiteral("visitantes"));
    ResultSet rs = RunReportQuery(dir, SQLEntradasSalidas(r));
    const TitleBlock t = LeerTitulo();
    return finish(TfrmRptEntradasSalidas(t, TituloEntradasSalidas(r.visitantes)), std::move(rs), t);
}

PreparedReport persona(const QString& dir, const ReportArgs& a)
{
    const QString codigo = a.text(QStringLiteral("codigo"));
    ResultSet rs = RunReportQuery(dir, SQLUnaPersona(), {codigo});
    if (rs.rows.isEmpty()) {
        PreparedReport p;
        p.sinDatos = QStringLiteral("Estudiante no tiene información para mostrar.");
        return p;
    }
    QString nombre = a.text(QStringLiteral("nombre"));
    if (!a.has(QStringLiteral("nombre"))) {
        const ResultSet n =
            RunReportQuery(dir, QStringLiteral("select nestudiante from estudiantes where codigo=?"), {codigo});
        // A visitor is not in the register: the name stored with the movement serves.
        nombre = n.rows.isEmpty() ? ReportRow(&rs, 0).text(QStringLiteral("nestudiante")) : n.rows[0].value(0).toString();
    }
    const TitleBlock t = LeerTitulo();
    return finish(TfrmRptInformeUnEstudiante(t, nombre), std::move(rs), t);
}

PreparedReport planilla(const QString& dir, const ReportArgs& a)
{
    PreparedReport p;
    const int grado = a.integer(QStringLiteral("grado"), RangoCategorias(dir).first);
    const QString grupo = a.text(QStringLiteral("grupo"));
    const QString materia = a.text(QStringLiteral("materia"), QStringLiteral("0"));
    DatosPlanilla d;
    d.grado = grado;
    d.grupo = grupo;
    bool incluir = false;
    {
        TConfig cfg;
        d.formato = cfg.formatoPlanilla();
        incluir = cfg.incluirCancelados();
        d.colegio = cfg.NColegio();
    }
    QString iProfesor;
    if (!BuscarAsignacion(dir, grado, grupo, materia, iProfesor))
        p.avisos << QStringLiteral("Grado= %1, Grupo=%2 Materia=%3 no existe en ese grado. Seleccione de nuevo")
                        .arg(grado)
                        .arg(grupo, materia);
    d.profesor = iProfesor.isEmpty() ? QString() : NombreProfesor(dir, iProfesor);
    d.profesorFijado = true;
    p.data = RunReportQuery(dir, SQLPlanilla(incluir), {grado, grupo});
    d.materiaFijada = BuscarMateria(dir, grado, materia, d.materia);
    p.layout = TFrmRptPlanillas(dir, d);
    return p;
}

} // namespace

const std::vector<ReportKind>& reportKinds()
{
    static const std::vector<ReportKind> kinds = {
        {QStringLiteral("asistentes"),
         QStringLiteral("[--desde F] [--hasta F] [--grado-desde N] [--grado-hasta N]"),
         {QStringLiteral("desde"), QStringLiteral("hasta"), QStringLiteral("grado-desde"), QStringLiteral("grado-hasta")},
         {},
         true,
         asistentes},
        {QStringLiteral("inasistentes"),
         QStringLiteral("[--desde F] [--hasta F] [--grado-desde N] [--grado-hasta N]"),
         {QStringLiteral("desde"), QStringLiteral("hasta"), QStringLiteral("grado-desde"), QStringLiteral("grado-hasta")},
         {},
         true,
         inasistentes},
        {QStringLiteral("entradas-salidas"),
         QStringLiteral("[--desde F] [--hasta F] [--hora-desde H] [--hora-hasta H] [--grado-desde N] "
                        "[--grado-hasta N] [--visitantes]"),
         {QStringLiteral("desde"), QStringLiteral("hasta"), QStringLiteral("hora-desde"), QStringLiteral("hora-hasta"),
          QStringLiteral("grado-desde"), QStringLiteral("grado-hasta")},
         {QStringLiteral("visitantes")},
         true,
         entradasSalidas},
        {QStringLiteral("persona"), QStringLiteral("--codigo CÓDIGO"), {QStringLiteral("codigo")}, {}, true, persona},
        {QStringLiteral("planilla"),
         QStringLiteral("--grado N --grupo G [--materia M]"),
         {QStringLiteral("grado"), QStringLiteral("grupo"), QStringLiteral("materia")},
         {},
         false,
         planilla},
        {QStringLiteral("tarde"),
         QStringLiteral("[--desde F] [--hasta F] [--grado-desde N] [--grado-hasta N] [--hora-entrada H]"),
         {QStringLiteral("desde"), QStringLiteral("hasta"), QStringLiteral("grado-desde"), QStringLiteral("grado-hasta"),
          QStringLiteral("hora-entrada")},
         {},
         true,
         InformeLlegadasTarde},
        {QStringLiteral("consecutivas"),
         QStringLiteral("[--desde F] [--hasta F] [--grado-desde N] [--grado-hasta N] [--dias K]"),
         {QStringLiteral("desde"), QStringLiteral("hasta"), QStringLiteral("grado-desde"), QStringLiteral("grado-hasta"),
          QStringLiteral("dias")},
         {},
         true,
         InformeInasistenciasConsecutivas},
        {QStringLiteral("diaria"),
         QStringLiteral("[--desde F] [--hasta F] [--grado-desde N] [--grado-hasta N]"),
         {QStringLiteral("desde"), QStringLiteral("hasta"), QStringLiteral("grado-desde"), QStringLiteral("grado-hasta")},
         {},
         true,
         InformeAsistenciaPorDia},
    };
    return kinds;
}

const ReportKind* findReportKind(const QString& kind)
{
    for (const ReportKind& k : reportKinds())
        if (k.kind == kind) return &k;
    return nullptr;
}

} // namespace kv::rpt
