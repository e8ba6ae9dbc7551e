// What each report kind selects on prepared data, and the rules of its printed columns.
#include "support/ReportSite.h"
#include "reports/MovementReports.h"
#include "reports/engine/PageModel.h"
#include "reports/Planillas.h"
#include "reports/engine/TitleBlock.h"
#include "settings/TConfig.h"
#include <gtest/gtest.h>

using namespace kv::rpt;
using rpttest::ReportSite;

namespace {
using P = QList<std::pair<QString, QString>>;
const P kRange = {{"desde", "2026-12-01"}, {"hasta", "2026-12-03"}, {"grado-desde", "1"}, {"grado-hasta", "3"}};
P with(P base, const P& more)
{
    for (const auto& m : more) {
        base.erase(std::remove_if(base.begin(), base.end(), [&](const auto& b) { return b.first == m.first; }),
                   base.end());
        base << m;
    }
    return base;
}
QStringList sorted(QStringList l)
{
    l.sort();
    return l;
}
} // namespace

TEST(ReportStatements, AttendanceListsEveryMovementOfWhoEnteredWithinTheRange)
{
    ReportSite s;
    const PreparedReport r = s.run("asistentes", kRange);
    // Ana entered on the first day, Carla on the last; Beto only went out; Dora is in
    // category 5; the deleted code and the visitors never count. All of Ana's movements
    // are listed, also those outside the range, by day and time.
    EXPECT_EQ(ReportSite::column(r, "nestudiante"), (QStringList{"ANA", "ANA", "ANA", "ANA", "CARLA"}));
    EXPECT_EQ(ReportSite::column(r, "fecha"),
              (QStringList{"2026-11-20", "2026-12-01", "2026-12-01", "2026-12-02", "2026-12-03"}));
    EXPECT_EQ(ReportSite::column(r, "hora").mid(1, 2), (QStringList{"08:00:00", "12:00:00"}));

    const PreparedReport later = s.run("asistentes", with(kRange, {{"desde", "2026-12-02"}}));
    EXPECT_EQ(sorted(ReportSite::column(later, "nestudiante")), (QStringList{"ANA", "ANA", "ANA", "ANA", "CARLA"}));
    EXPECT_TRUE(s.run("asistentes", with(kRange, {{"desde", "2026-12-04"}})).data.rows.isEmpty());
    EXPECT_TRUE(s.run("asistentes", with(kRange, {{"grado-desde", "3"}, {"grado-hasta", "1"}})).data.rows.isEmpty());
}

TEST(ReportStatements, NonAttendanceListsWhoNeverEnteredInTheCategoryRange)
{
    ReportSite s;
    EXPECT_EQ(sorted(ReportSite::column(s.run("inasistentes", kRange), "nestudiante")),
              (QStringList{"BETO", "OSCAR O'NEIL"}));
    // A first day after the last: everybody of the range is absent.
    EXPECT_EQ(ReportSite::column(s.run("inasistentes", with(kRange, {{"desde", "2026-12-05"}})), "nestudiante").size(), 4);
    EXPECT_TRUE(s.run("inasistentes", with(kRange, {{"grado-desde", "3"}, {"grado-hasta", "1"}})).data.rows.isEmpty());
    // The title names the range, with the dialog's final blank before " desde ".
    const PreparedReport r = s.run("inasistentes", kRange);
    const PageModel m = buildPages(r.layout, r.data);
    const QString title = QStringLiteral("Reporte de inasistencias.  desde %1 hasta %2")
                              .arg(reportLocale().toString(QDate(2026, 12, 1), QLocale::ShortFormat),
                                   reportLocale().toString(QDate(2026, 12, 3), QLocale::ShortFormat));
    EXPECT_TRUE(m.pages[0].find(title)) << m.pages[0].texts().join('|').toStdString();
}

TEST(ReportStatements, EntriesAndExitsOfResidentsAndVisitorsWithinTheHours)
{
    ReportSite s;
    // Default hours 01:00:00 to 23:59:59: Ana's 00:30 entry is left out.
    const PreparedReport res = s.run("entradas-salidas", kRange);
    EXPECT_EQ(ReportSite::column(res, "codigo"), (QStringList{"A1", "A1", "B2", "C3"}));
    EXPECT_EQ(ReportSite::column(s.run("entradas-salidas", with(kRange, {{"hora-desde", "00:00:00"}})), "codigo").size(), 5);
    // A start after the end lists nothing, over any number of days.
    EXPECT_TRUE(s.run("entradas-salidas", with(kRange, {{"hora-desde", "14:00:00"}, {"hora-hasta", "06:00:00"}}))
                    .data.rows.isEmpty());
    // Visitors: once per directory row with the same document; bounds have no effect; any case.
    const P vis = with(kRange, {{"visitantes", "1"}, {"grado-desde", "9"}, {"hora-desde", "00:00"}});
    EXPECT_EQ(ReportSite::column(s.run("entradas-salidas", vis), "codigo"),
              (QStringList{"visit02", "VISIT01", "VISIT01"}));
    EXPECT_EQ(s.run("entradas-salidas", kRange).layout.name, QStringLiteral("TfrmRptEntradasSalidas"));
}

TEST(ReportStatements, BadParametersAreRefusedNamingTheBox)
{
    ReportSite s;
    struct Case { QString name, value, words; };
    const Case cases[] = {{"grado-desde", "", "--grado-desde"},     {"grado-hasta", "x1", "--grado-hasta"},
                          {"desde", "2026-13-01", "--desde"},       {"hora-hasta", "25:00", "--hora-hasta"}};
    for (const Case& c : cases) {
        try {
            s.run("entradas-salidas", with(kRange, {{c.name, c.value}, {"visitantes", "1"}}));
            ADD_FAILURE() << "accepted " << c.name.toStdString();
        } catch (const ReportError& e) {
            EXPECT_TRUE(e.message().contains(c.words)) << e.message().toStdString();
        }
    }
    ReportArgs a;
    a.set("grado-desde", "dos");
    a.setLabel("grado-desde", "Desde:");
    EXPECT_THROW(
        {
            try {
                a.integer("grado-desde", 0);
            } catch (const ReportError& e) {
                EXPECT_TRUE(e.message().startsWith("Desde: debe ser un número entero"));
                throw;
            }
        },
        ReportError);
}

TEST(ReportStatements, OnePersonByBoundCodeWithMemoLines)
{
    ReportSite s;
    const PreparedReport r = s.run("persona", {{"codigo", "O'NEIL"}});
    ASSERT_EQ(r.data.rows.size(), 1);
    const PageModel m = buildPages(r.layout, r.data);
    EXPECT_TRUE(m.pages[0].find("Entradas y salidas de OSCAR O'NEIL"));
    const double first = m.pages[0].find("primera")->rect.top();
    EXPECT_GT(m.pages[0].find("segunda")->rect.top(), first);
    EXPECT_EQ(m.headings, (QStringList{"Fecha", "Hora", "E/S", "Detalle"}));
    EXPECT_EQ(m.rows[0].last(), "primera\nsegunda");
    EXPECT_EQ(s.run("persona", {{"codigo", "NADIE"}}).sinDatos, "Estudiante no tiene información para mostrar.");
    EXPECT_EQ(s.run("persona", {{"codigo", "' or ''='"}}).sinDatos, "Estudiante no tiene información para mostrar.");
}

TEST(ReportColumns, DocumentTypesAndMemoSplitting)
{
    const std::pair<QString, QString> docs[] = {{"1", "CC"}, {"2", "TI"}, {"3", "CE"}, {"4", ""},
                                                {"5", "RC"}, {"0", ""},   {"", ""},    {"x", ""}};
    for (const auto& d : docs) EXPECT_EQ(AbreviaturaTipoDoc(d.first), d.second) << d.first.toStdString();

    const std::pair<QString, QStringList> memos[] = {
        {"", {""}},
        {"una", {"una"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"fin\r\n", {"fin", ""}},
        {"unix\nline", {"unix", "line"}},
        {QString(300, 'x') + "\r\n" + QString(300, 'y'), {QString(300, 'x'), QString(300, 'y')}},
    };
    for (const auto& m : memos) EXPECT_EQ(LineasMemo(m.first), m.second) << m.first.left(20).toStdString();
}

TEST(ReportTitle, SettingsReadAfreshWrappedHeaderAndLogoFallback)
{
    ReportSite s;
    s.site.exec("update Config set Encabezado1=?, Encabezado2='', rutaEscudo=''",
                {QString("palabra ").repeated(40).trimmed()});
    const PreparedReport r = s.run("asistentes", with(kRange, {{"desde", "2027-01-01"}}));
    EXPECT_FALSE(r.logoCargado);
    const PageModel m = buildPages(r.layout, r.data);
    ASSERT_EQ(m.pages.size(), 1);   // empty: title block and headings only
    EXPECT_TRUE(m.rows.isEmpty());
    int headerPieces = 0;
    for (const PageItem& it : m.pages[0].items)
        if (it.element == "QRLblEncabezado1") {
            ++headerPieces;
            EXPECT_LE(it.rect.right(), 10 + 40.2 + 120.9 + 1e-6);
        }
    EXPECT_GE(headerPieces, 2);
    EXPECT_TRUE(m.pages[0].find("Colegio Prueba"));
    EXPECT_TRUE(m.pages[0].find("Detalle"));
    for (const PageItem& it : m.pages[0].items) EXPECT_NE(it.element, "QRLabel7") << "empty header printed";

    s.site.exec("update Config set NColegio='Nuevo Nombre'");
    QImage logo;
    EXPECT_FALSE(CargarEscudo(s.site.tablesDir() + "/no-existe.jpg", logo));
    EXPECT_FALSE(logo.isNull());
    EXPECT_TRUE(buildPages(s.run("inasistentes", kRange).layout, {}).pages[0].find("Nuevo Nombre"));
}

TEST(ReportLists, GroupListsRulesAndMessages)
{
    ReportSite s;
    s.person("C4", 3, "B", "ALBA", "");
    s.site.exec("insert into AbaMaterias (IGrado, IMateria, NMateria) values (3, 'MAT', 'Matemáticas')");
    s.site.exec("insert into AbaProfesores (IProfesor, NProfesor) values ('P1', 'Profe Uno')");
    s.site.exec("insert into MovMat (IGrado, IGrupo, IMateria, IProfesor) values (3, 'B', 'MAT', 'P1')");

    PreparedReport r = s.run("planilla", {{"grado", "3"}, {"grupo", "B"}, {"materia", "MAT"}});
    EXPECT_TRUE(r.avisos.isEmpty());
    EXPECT_EQ(ReportSite::column(r, "NEstudiante"), QStringList{"ALBA"});   // Carla has cancelled
    PageModel m = buildPages(r.layout, r.data);
    for (const char* t : {"Colegio Prueba", "Profe Uno", "Grado 3", "Matemáticas", "B", "1", "ALBA", "Firma del profesor:"})
        EXPECT_TRUE(m.pages[0].find(t)) << t;

    {
        kv::TConfig cfg;
        EXPECT_EQ(cfg.formatoPlanilla(), 1);
        EXPECT_FALSE(cfg.incluirCancelados());
        cfg.setListas(1, true);
    }
    EXPECT_TRUE(s.msgs->shown.empty()) << s.msgs->lastText().toStdString();
    r = s.run("planilla", {{"grado", "3"}, {"grupo", "B"}, {"materia", "0"}});
    EXPECT_EQ(ReportSite::column(r, "NEstudiante"), (QStringList{"ALBA", "CARLA"}));
    m = buildPages(r.layout, r.data);
    EXPECT_TRUE(m.pages[0].find("-------------------------------------------------------------Canceló"));
    EXPECT_FALSE(m.pages[0].find("Materia"));   // subject "0": empty label, no lookup
    EXPECT_EQ(r.avisos, QStringList{"Grado= 3, Grupo=B Materia=0 no existe en ese grado. Seleccione de nuevo"});

    { kv::TConfig cfg; cfg.setListas(2, true); }
    r = s.run("planilla", {{"grado", "3"}, {"grupo", "B"}, {"materia", "MAT"}});
    m = buildPages(r.layout, r.data);
    EXPECT_EQ(r.layout.name, "TFrmRptPlanillas3");
    EXPECT_TRUE(m.pages[0].find("Control de asistencia"));
    EXPECT_FALSE(m.pages[0].find("-------------------------------------------------------------Canceló"));
    // An empty group still prints its header and signature lines.
    m = buildPages(s.run("planilla", {{"grado", "3"}, {"grupo", "Z"}}).layout, {});
    EXPECT_TRUE(m.pages[0].find("Vo Bo Coordinador:"));
    EXPECT_TRUE(m.rows.isEmpty());
}
