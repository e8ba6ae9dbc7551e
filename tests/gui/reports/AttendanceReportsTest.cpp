// The three attendance reports through the report frame, their dialogs and menu commands.
#include "reports/InformesAsistenciaKinds.h"
#include "reports/engine/forms/TFrmPreview.h"
#include "reports/forms/TfrmInformesAsistencia.h"
#include "support/gui/MainHarness.h"
#include "support/gui/Modal.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

using namespace kv::rpt;

namespace {

class AttendanceReports : public ::testing::Test {
protected:
    void SetUp() override
    {
        site.exec("update Config set NColegio = 'Colegio Sol', horaEntrada = '07:00:00'");
        site.exec("insert into AbaGrados (IGrado, NGrado) values (1, 'UNO'), (2, 'DOS'), (4, 'VACIO')");
        persona("L1", 1, "LUIS");
        persona("M2", 2, "MARTA");
        // Monday to Wednesday; MARTA comes only on Monday, LUIS late twice.
        mov("L1", "2026-11-02", "07:12:00");
        mov("L1", "2026-11-03", "07:00:00");
        mov("L1", "2026-11-04", "07:04:10");
        mov("M2", "2026-11-02", "06:40:00");
        kv::SetTablesDir(h.site.tablesDir());
    }
    void persona(const char* codigo, int grado, const char* nombre)
    {
        site.exec("insert into estudiantes (IGrado, IGrupo, codigo, NEstudiante, acudiente, telefacudiente)"
                  " values (?, 'A', ?, ?, 'ACUDIENTE', '555')",
                  {grado, codigo, nombre});
    }
    void mov(const char* codigo, const char* fecha, const char* hora)
    {
        site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt) values (?, ?, ?, 'E')", {codigo, fecha, hora});
    }
    PageModel informe(const char* kind, std::initializer_list<std::pair<const char*, const char*>> extra = {})
    {
        ReportArgs a;
        a.set("desde", "2026-11-02");
        a.set("hasta", "2026-11-04");
        for (const auto& [k, v] : extra) a.set(k, v);
        const PreparedReport r = findReportKind(QString::fromLatin1(kind))->prepare(site.tablesDir(), a);
        return buildPages(r.layout, r.data);
    }

    kvtest::MainHarness h{QDateTime(QDate(2026, 11, 4), QTime(9, 0))};
    kvtest::TempSite& site = h.site;
};

TEST_F(AttendanceReports, LateArrivalsPrintATotalLinePerPersonUnderTheTitleBlock)
{
    const PageModel m = informe("tarde");
    ASSERT_EQ(m.pages.size(), 1);
    const QStringList texts = m.pages[0].texts();
    EXPECT_TRUE(texts.contains("Colegio Sol"));
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const QString& t) {
        return t.startsWith("Llegadas tarde (primera entrada del día después de las 07:00:00) desde ");
    }));
    EXPECT_EQ(m.headings, QStringList({"Cat", "Grp", "Nombre", "Fecha", "Hora", "Min. tarde"}));
    ASSERT_EQ(m.rows.size(), 3);
    EXPECT_EQ(m.rows[0].value(2), "LUIS");
    EXPECT_EQ(m.rows[0].value(5), "12");
    EXPECT_EQ(m.rows[1].value(5), "5");   // 4 min 10 s: a started minute counts
    EXPECT_EQ(m.rows[2], QStringList({"", "", "", "Total:", "2 llegadas", "17"}));

    // An hour given on the command line replaces the one of the options.
    const PageModel later = informe("tarde", {{"hora-entrada", "07:05"}});
    ASSERT_EQ(later.rows.size(), 2);
    EXPECT_EQ(later.rows[1], QStringList({"", "", "", "Total:", "1 llegada", "7"}));
}

TEST_F(AttendanceReports, ConsecutiveAbsencesRefuseAShortRunLengthAndListTheGuardian)
{
    const PageModel m = informe("consecutivas", {{"dias", "2"}});
    ASSERT_EQ(m.rows.size(), 1);
    EXPECT_EQ(m.rows[0].value(0), "2");
    EXPECT_EQ(m.rows[0].value(5), "MARTA");
    EXPECT_EQ(m.rows[0].value(6), "ACUDIENTE");
    EXPECT_TRUE(informe("consecutivas", {{"dias", "3"}}).rows.isEmpty());
    ReportArgs a;
    a.set("dias", "0");
    EXPECT_THROW(findReportKind("consecutivas")->prepare(site.tablesDir(), a), ReportError);
}

TEST_F(AttendanceReports, DailyAttendanceCarriesTheChartOnItsFirstPage)
{
    const PageModel m = informe("diaria");
    const auto chart = std::find_if(m.pages[0].items.begin(), m.pages[0].items.end(),
                                    [](const PageItem& it) { return it.element == "GrafAsistencia"; });
    ASSERT_NE(chart, m.pages[0].items.end());
    EXPECT_EQ(chart->kind, PageItem::Image);
    EXPECT_NEAR(chart->imageSizeMm.width(), 259.0, 0.5);
    EXPECT_NEAR(chart->imageSizeMm.height(), 118.0, 0.5);
    // Three days x (categories 1, 2, 4 and all of them).
    ASSERT_EQ(m.rows.size(), 12);
    EXPECT_EQ(m.rows[0].mid(1), QStringList({"1", "1", "1", "100 %"}));
    EXPECT_EQ(m.rows[2].mid(1), QStringList({"4", "0", "0", "sin personas"}));
    EXPECT_EQ(m.rows[3].mid(1), QStringList({"Todas", "2", "2", "100 %"}));
    EXPECT_EQ(m.rows[7].mid(1), QStringList({"Todas", "2", "1", "50 %"}));

    // The bars the chart draws come from the same rows.
    const DatosGraficoAsistencia d = DatosGrafico(findReportKind("diaria")->prepare(site.tablesDir(), [] {
        ReportArgs a;
        a.set("desde", "2026-11-02");
        a.set("hasta", "2026-11-04");
        return a;
    }()).data);
    ASSERT_EQ(d.porDia.size(), 3);
    EXPECT_EQ(d.porDia[2].porcentaje(), 50.0);
    ASSERT_EQ(d.porCategoria.size(), 3);
    EXPECT_NEAR(d.porCategoria[1].porcentaje(), 100.0 / 3, 1e-9);
    EXPECT_LT(d.porCategoria[2].porcentaje(), 0);   // no persons: no bar
}

TEST_F(AttendanceReports, CommandsOpenForEveryUserLevelAndDialogsShowTheirResults)
{
    h.start(QStringLiteral("0"));
    for (const char* name : {"LlegadasTarde1", "InasistenciasConsecutivas1", "AsistenciaPorDia1"}) {
        QAction* a = h.w->findChild<QAction*>(name);
        ASSERT_TRUE(a) << name;
        EXPECT_TRUE(a->isEnabled()) << name;
    }
    QString caption;
    kvtest::onNextModal([&](QWidget* w) {
        caption = w->windowTitle();
        w->close();
    });
    h.w->findChild<QAction*>("InasistenciasConsecutivas1")->trigger();
    EXPECT_EQ(caption, "Inasistencias consecutivas");   // no access gate at the capture level

    std::vector<PageModel> previews;
    VistaPreviaHook = [&](TFrmPreview& p) { previews.push_back(p.model()); };
    TfrmInasistenciasConsecutivas c(h.w.get());
    EXPECT_EQ(c.edDias->value(), 3);
    c.edFechaInicial->setDate(QDate(2026, 11, 2));
    c.edDias->setValue(2);
    c.btnAceptar->click();
    VistaPreviaHook = nullptr;
    ASSERT_EQ(previews.size(), 1u);
    ASSERT_EQ(previews[0].rows.size(), 1);
    EXPECT_EQ(previews[0].rows[0].value(5), "MARTA");

    TfrmAsistenciaDiaria d(h.w.get());
    d.edFechaInicial->setDate(QDate(2026, 11, 2));
    d.btnVer->click();
    EXPECT_EQ(d.TblAsistencia->rowCount(), 12);
    EXPECT_EQ(d.TblAsistencia->item(3, 1)->text(), "Todas");
    EXPECT_EQ(d.GrafAsistencia->datos().porDia.size(), 3);
    d.edGradoFinal->clear();
    d.btnVer->click();
    EXPECT_TRUE(h.msgs->lastText().startsWith("La categoría «Hasta:»")) << h.msgs->lastText().toStdString();
    EXPECT_EQ(d.TblAsistencia->rowCount(), 12);   // the last result stays
}

} // namespace
