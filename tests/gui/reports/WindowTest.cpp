// The report commands of the main window, the two parameter dialogs and the preview.
#include "support/ReportSite.h"
#include "reports/engine/TitleBlock.h"
#include "reports/engine/forms/TFrmPreview.h"
#include "reports/forms/TfrmAsistieron.h"
#include "reports/forms/TfrmEntradasSalidas.h"
#include "support/gui/MainHarness.h"
#include "support/gui/Modal.h"
#include <QAction>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <gtest/gtest.h>

using namespace kv::rpt;

namespace {

// Catches every preview a command opens, instead of showing it.
struct PreviewCatcher {
    std::vector<PageModel> shown;
    std::function<void(TFrmPreview&)> also;
    PreviewCatcher()
    {
        VistaPreviaHook = [this](TFrmPreview& w) {
            shown.push_back(w.model());
            if (also) also(w);
        };
    }
    ~PreviewCatcher() { VistaPreviaHook = nullptr; }
};

struct ReportWindow : ::testing::Test {
    kvtest::MainHarness h{QDateTime(QDate(2026, 12, 3), QTime(9, 0))};
    PreviewCatcher previews;
    void SetUp() override
    {
        rpttest::ReportSite::fill(h.site);
        h.site.exec("insert into grupos (IGrado, IGrupo) values (1, 'A'), (2, 'A'), (3, 'B')");
        h.start();
    }
    QAction* action(const char* name) { return h.w->findChild<QAction*>(name); }
};

} // namespace

TEST_F(ReportWindow, EveryReportCommandIsEnabled)
{
    for (const char* name : {"AsistentesInasistentes1", "EntradasYSalidas1", "ConsultarUnaPersona1", "UnaCategoria1", "UnGrupo1"}) {
        ASSERT_TRUE(action(name)) << name;
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    }
}

TEST_F(ReportWindow, AttendanceDialogRefusesBadBoundsThenPreviewsWithTheLogoMessageOnce)
{
    TfrmAsistieron dlg(h.w.get(), QStringLiteral("2026"));
    EXPECT_EQ(dlg.edGradoInicial->text(), "1");
    EXPECT_EQ(dlg.edGradoFinal->text(), "5");
    EXPECT_TRUE(dlg.rbInasistentes->isChecked());
    EXPECT_EQ(dlg.edFechaInicial->date(), QDate(2026, 12, 3));

    dlg.edGradoInicial->clear();
    dlg.btnAceptar->click();
    EXPECT_TRUE(previews.shown.empty());
    ASSERT_EQ(h.msgs->shown.size(), 1u);
    EXPECT_TRUE(h.msgs->lastText().startsWith("La categoría «Desde:» debe ser un número entero"))
        << h.msgs->lastText().toStdString();

    h.msgs->shown.clear();
    dlg.edGradoInicial->setText("1");
    dlg.edGradoFinal->setText("3");
    dlg.edFechaInicial->setDate(QDate(2026, 12, 1));
    dlg.rbAsistentes->setChecked(true);
    dlg.btnAceptar->click();
    ASSERT_EQ(previews.shown.size(), 1u);
    EXPECT_EQ(h.msgs->texts(), QStringList{QString::fromUtf8(kLogoError)});
    const PageModel& m = previews.shown[0];
    EXPECT_EQ(m.reportName, "TfrmRptAsistieron");
    EXPECT_TRUE(m.pages[0].find("AÑO: 2026"));
    EXPECT_EQ(m.rows.size(), 5);
    EXPECT_EQ(m.headings.first(), "Cat");
}

TEST_F(ReportWindow, EntriesAndExitsDialogPassesHoursAndKindOfPerson)
{
    TfrmEntradasSalidas dlg(h.w.get());
    EXPECT_EQ(dlg.dtpHoraInicio->time(), QTime(1, 0, 0));
    EXPECT_EQ(dlg.dtpHoraFinal->time(), QTime(23, 59, 59));
    dlg.edFechaInicial->setDate(QDate(2026, 12, 1));
    dlg.rbVisitantes->setChecked(true);
    dlg.dtpHoraInicio->setTime(QTime(0, 0, 0));
    dlg.btnAceptar->click();
    ASSERT_EQ(previews.shown.size(), 1u);
    EXPECT_TRUE(previews.shown[0].pages[0].find("Entradas y salidas de visitantes."));
    EXPECT_EQ(previews.shown[0].rows.size(), 3);
    EXPECT_TRUE(previews.shown[0].pages[0].find("CC"));   // document type 1
}

TEST_F(ReportWindow, OnePersonReportsTheSelectedPersonOrSaysThereIsNothing)
{
    // The window opens on category 1, group A: Ana.
    ASSERT_EQ(kv::DM->TblEstudiantes->fieldByName("codigo").asString(), "A1");
    action("ConsultarUnaPersona1")->trigger();
    ASSERT_EQ(previews.shown.size(), 1u);
    EXPECT_TRUE(previews.shown[0].pages[0].find("Entradas y salidas de ANA"));
    EXPECT_EQ(previews.shown[0].rows.size(), 4);
    EXPECT_EQ(previews.shown[0].rows[0][2], "E");

    h.site.exec("delete from entradasSalidas where codigo='A1'");
    action("ConsultarUnaPersona1")->trigger();
    EXPECT_EQ(previews.shown.size(), 1u);
    EXPECT_EQ(h.msgs->lastText(), "Estudiante no tiene información para mostrar.");
}

TEST_F(ReportWindow, GroupCommandsMessages)
{
    // "Un grupo" asks about the printer, and with none installed says so instead of silence.
    h.msgs->answers = {true};
    action("UnGrupo1")->trigger();
    ASSERT_EQ(h.msgs->questions.size(), 1u);
    EXPECT_EQ(h.msgs->questions[0].text, "¿Tiene la impresora preparada?");
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        EXPECT_TRUE(h.msgs->lastText().startsWith("No hay ninguna impresora instalada."));
    }

    // "Una categoría": a subject not assigned to the group is reported, the list still shows.
    h.msgs->shown.clear();
    action("UnaCategoria1")->trigger();
    ASSERT_EQ(previews.shown.size(), 1u);
    EXPECT_TRUE(h.msgs->lastText().contains("no existe en ese grado. Seleccione de nuevo"));
    EXPECT_TRUE(previews.shown[0].pages[0].find("Firma del profesor:"));
}

TEST_F(ReportWindow, OneGroupPrintsOneListPerSubjectAskingAboutWhatIsMissing)
{
    h.site.exec("insert into AbaMaterias (IGrado, IMateria, NMateria) values (1, 'BIO', 'Biología'), (1, 'MAT', 'Matemáticas')");
    h.site.exec("insert into AbaProfesores (IProfesor, NProfesor) values ('P1', 'Profe Uno')");
    h.site.exec("insert into MovMat (IGrado, IGrupo, IMateria, IProfesor) values (1, 'A', 'MAT', 'P1')");
    std::vector<PageModel> printed;
    ImpresionHook = [&](const PageModel& m) { printed.push_back(m); };
    struct Unhook { ~Unhook() { ImpresionHook = nullptr; } } unhook;

    // Printer ready; Biología has no teacher assigned: go on.
    h.msgs->answers = {true, true};
    action("UnGrupo1")->trigger();
    ASSERT_EQ(h.msgs->questions.size(), 2u);
    EXPECT_EQ(h.msgs->questions[1].text, "Profesor:  no encontrado:Continúa?");
    EXPECT_EQ(h.msgs->questions[1].caption, "Advertencia");
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_TRUE(printed[0].pages[0].find("Biología"));
    EXPECT_TRUE(printed[1].pages[0].find("Matemáticas"));
    EXPECT_TRUE(printed[1].pages[0].find("Profe Uno"));
    EXPECT_TRUE(printed[1].pages[0].find("ANA"));
    EXPECT_TRUE(previews.shown.empty());

    // Answering No stops before the first list.
    printed.clear();
    h.msgs->questions.clear();
    h.msgs->answers = {true, false};
    action("UnGrupo1")->trigger();
    EXPECT_EQ(h.msgs->questions.size(), 2u);
    EXPECT_TRUE(printed.empty());
    // Not ready: nothing at all.
    h.msgs->answers = {false};
    action("UnGrupo1")->trigger();
    EXPECT_TRUE(printed.empty());
}

TEST_F(ReportWindow, PreviewPagesZoomSaveExportAndReopen)
{
    ReportLayout l;
    l.band(BandKind::ColumnHeader, 8).add(Element::label("h", 0, 0, "Nombre"));
    l.band(BandKind::Detail, 10).add(Element::data("nombre", 0, 0));
    kv::ResultSet rs;
    rs.columns = {{"nombre", kv::FieldType::Text, "TEXT"}};
    for (int i = 0; i < 60; ++i) rs.rows.push_back({QStringLiteral("Línea, %1").arg(i + 1)});
    const PageModel m = buildPages(l, rs);
    ASSERT_EQ(m.pages.size(), 3);

    TFrmPreview w(m, true);
    w.resize(800, 600);
    EXPECT_EQ(w.lblPagina->text(), "Página 1 de 3");
    EXPECT_FALSE(w.btnAnterior->isEnabled());
    w.btnUltima->click();
    EXPECT_EQ(w.lblPagina->text(), "Página 3 de 3");
    EXPECT_FALSE(w.btnSiguiente->isEnabled());
    w.btnAnterior->click();
    EXPECT_EQ(w.paginaActual(), 1);
    w.btn100->click();
    const int at100 = w.imgPagina->pixmap().width();
    w.btnAjustarPagina->click();
    EXPECT_LT(w.imgPagina->pixmap().width(), at100);

    QTemporaryDir dir;
    QStringList asked;
    w.escogerArchivo = [&](QWidget*, bool guardar, const QString& filtros, QString*) {
        asked << filtros;
        return guardar ? dir.filePath("r.csv") : dir.filePath("r.kvr");
    };
    w.btnGuardar->click();
    EXPECT_TRUE(asked.last().contains("*.csv"));
    QFile csv(dir.filePath("r.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    EXPECT_EQ(lines.size(), 62);   // headings, 60 lines, the empty rest after the last CR LF
    EXPECT_EQ(lines[1], QString("\"Línea, 1\"\r").toUtf8());

    ASSERT_TRUE(w.Guardar(dir.filePath("r.kvr")));
    TFrmPreview other(PageModel(), false);
    other.escogerArchivo = w.escogerArchivo;
    other.btnAbrir->click();
    EXPECT_EQ(other.lblPagina->text(), "Página 1 de 3");
    EXPECT_EQ(other.model().rows, m.rows);
    // The lists offer no plain exports.
    EXPECT_FALSE(other.Guardar(dir.filePath("x.txt")));
    EXPECT_FALSE(QFile::exists(dir.filePath("x.txt")));
    EXPECT_TRUE(h.msgs->lastText().startsWith("Elija uno de los tipos de archivo ofrecidos"));
}
