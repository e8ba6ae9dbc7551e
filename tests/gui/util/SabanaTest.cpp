// The person grid opened from the main window's "Sábana" button, and the ages it
// recomputes.
#include "base/forms/TFrmAviso.h"
#include "export/forms/ExportarExcel.h"
#include "support/Disco.h"
#include "support/gui/Captura.h"
#include "support/gui/MainHarness.h"
#include "support/gui/Modal.h"
#include "support/XlsxLeido.h"
#include "util/Edades.h"
#include "data/forms/DBGrid.h"
#include "util/forms/TfrmSabana.h"
#include <QButtonGroup>
#include <QHeaderView>
#include <QStyleOptionHeader>
#include <QFileDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// 11 A has three persons, 11 B two; the main window shows 11 A.
class SabanaSite {
public:
    SabanaSite()
    {
        h.site.exec("insert into AbaGrados (IGrado, NGrado) values (11, 'Once')");
        h.site.exec("insert into grupos (IGrado, IGrupo) values (11, 'A')");
        h.site.exec("insert into grupos (IGrado, IGrupo) values (11, 'B')");
        int n = 0;
        for (const char* g : {"A", "A", "A", "B", "B"}) {
            ++n;
            h.site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo, fechaNac)"
                        " values (11, ?, ?, ?, ?, ?)",
                        {g, n, QString("PERSONA %1").arg(n), QString("P%1").arg(n), QString("2010-12-%1").arg(n + 6, 2, 10, QChar('0'))});
        }
    }
    TFrmMain& abrir(const QString& nivel = "1")
    {
        TFrmMain& w = h.start(nivel);
        w.currentGrado = 11;
        w.currentGrupo = "A";
        personas()->setFilter("IGrado=11 and IGrupo='A'");
        personas()->setFiltered(true);
        personas()->first();
        return w;
    }
    kv::TableCursor* personas() { return kv::DM->TblEstudiantes; }

    // Clicks "Sábana" and runs `act` inside the open grid; closes it afterwards.
    // Returns whether the grid opened.
    bool enSabana(std::function<void(TfrmSabana&)> act)
    {
        // The grid is modal: when the click returns, it has opened and closed or never opened.
        bool abierta = false;
        auto vigia = kvtest::onNextModal([&](QWidget* w) {
            auto* f = qobject_cast<TfrmSabana*>(w);
            if (f) { abierta = true; act(*f); }
            w->close();
        }, 60000);
        h.w->BtnSabana->click();
        kvtest::stopWatching(vigia);
        return abierta;
    }

    kvtest::MainHarness h;
};

void tecla(TfrmSabana& f, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    QTest::keyClick(f.DBGrid1, k, m);
}

QString cwd() { return QDir::currentPath(); }

// Answers the export's question for the file as the user would in the save dialog
// ("" = Cancelar), wandering off to another folder the way the dialog may.
struct ElegirScope {
    explicit ElegirScope(QString archivo)
    {
        kv::SetElegirArchivo([archivo](QWidget*) {
            QDir::setCurrent(QDir::tempPath());
            return archivo;
        });
    }
    ~ElegirScope() { kv::SetElegirArchivo({}); }
};

} // namespace

TEST(Sabana, TheCaptureOnlyUserIsRefusedAndTheTimerRunsOn)
{
    SabanaSite s;
    TFrmMain& w = s.abrir("0");
    EXPECT_TRUE(w.BtnSabana->isEnabled());
    EXPECT_FALSE(s.enSabana([](TfrmSabana&) {}));
    EXPECT_EQ(s.h.msgs->texts(), QStringList{"Acceso restringido."});
    EXPECT_TRUE(w.Timer1->isActive());
}

TEST(Sabana, OpensMaximisedOnTheLastPersonWithTheTimerStoppedAndClosesFilteredAgain)
{
    SabanaSite s;
    TFrmMain& w = s.abrir();
    const QStringList titulos{"IGrado", "IGrupo", "NEstudiante", "DocIdent", "Situacion", "codigo", "RH", "EPS",
                              "TelefEstud", "Direccion", "IdFoto", "Acudiente", "Documento", "TelefAcudiente",
                              "Dir Acud.", "observaciones", "gradoantesbod", "grupoantesbod"};
    const QSet<int> fijas{0, 1, 5, 16, 17};
    ASSERT_TRUE(s.enSabana([&](TfrmSabana& f) {
        EXPECT_EQ(f.windowTitle(), QString::fromUtf8("Sabana con la información de los estudiantes"));
        EXPECT_TRUE(f.windowState() & Qt::WindowMaximized);
        EXPECT_FALSE(w.Timer1->isActive());
        EXPECT_FALSE(w.DSEstudiantes->isEnabled());
        auto* m = f.DBGrid1->model();
        QStringList vistos;
        for (int c = 0; c < m->columnCount(); ++c) {
            vistos << m->headerData(c, Qt::Horizontal).toString();
            EXPECT_EQ(bool(m->flags(m->index(0, c)) & Qt::ItemIsEditable), !fijas.contains(c)) << c;
        }
        EXPECT_EQ(vistos, titulos);
        EXPECT_EQ(s.personas()->recNo(), 3);
        EXPECT_EQ(f.DBGrid1->currentIndex().row(), 2);
        // "Ver todos los estudiantes", then back to the group
        f.RadioGroup1Items->button(1)->click();
        EXPECT_EQ(m->rowCount(), 5);
        f.RadioGroup1Items->button(0)->click();
        EXPECT_EQ(m->rowCount(), 3);
        f.RadioGroup1Items->button(1)->click();
    }));
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_TRUE(w.DSEstudiantes->isEnabled());
    EXPECT_TRUE(s.personas()->filtered());
    EXPECT_EQ(s.personas()->recordCount(), 3);
}

TEST(Sabana, KeysNeverAddOrDeleteAPerson)
{
    SabanaSite s;
    s.abrir();
    s.h.msgs->answers = {true, true};   // a delete question, if any, would be answered Yes
    ASSERT_TRUE(s.enSabana([&](TfrmSabana& f) {
        f.DBGrid1->setFocus();
        tecla(f, Qt::Key_Down);                        // last row: nothing
        tecla(f, Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(s.personas()->state(), kv::DataSetState::Browse);
        EXPECT_EQ(f.DBGrid1->model()->rowCount(), 3);
        tecla(f, Qt::Key_Up);
        tecla(f, Qt::Key_Up);
        tecla(f, Qt::Key_Down);                        // a middle row moves on
        EXPECT_EQ(s.personas()->recNo(), 2);
        // Everybody shown: Down goes past the row the grid opened on (3, the group's last)
        // and stops only on the last row.
        f.RadioGroup1Items->button(1)->click();
        s.personas()->setRecNo(2);
        tecla(f, Qt::Key_Down);
        EXPECT_EQ(s.personas()->recNo(), 3);
        tecla(f, Qt::Key_Down);
        EXPECT_EQ(s.personas()->recNo(), 4);
        s.personas()->setRecNo(5);
        tecla(f, Qt::Key_Down);
        tecla(f, Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(f.DBGrid1->model()->rowCount(), 5);
    }));
    EXPECT_EQ(s.h.site.count("estudiantes"), 5);
    EXPECT_TRUE(s.h.msgs->shown.empty());
    EXPECT_TRUE(s.h.msgs->questions.empty());
}

TEST(Sabana, AnEditIsStoredWhenTheRowIsLeftAndARefusedOneStaysAsTyped)
{
    SabanaSite s;
    s.abrir();
    // The engine refuses an empty name, as it would any constraint.
    s.h.site.db()->exec("CREATE TRIGGER sin_nombre BEFORE UPDATE ON estudiantes WHEN NEW.NEstudiante = ''"
                        " BEGIN SELECT RAISE(ABORT, 'nombre vacío'); END");
    ASSERT_TRUE(s.enSabana([&](TfrmSabana& f) {
        auto* m = f.DBGrid1->model();
        f.DBGrid1->setFocus();
        ASSERT_TRUE(m->setData(m->index(2, 2), "NOMBRE NUEVO"));
        ASSERT_TRUE(m->setData(m->index(2, 12), "00777"));
        EXPECT_FALSE(m->setData(m->index(2, 5), "OTRO"));    // codigo is read-only
        EXPECT_EQ(s.h.site.scalar("select NEstudiante from estudiantes where codigo='P3'"), "PERSONA 3");
        tecla(f, Qt::Key_Up);
        EXPECT_EQ(s.h.site.scalar("select NEstudiante || '|' || docacud from estudiantes where codigo='P3'"),
                  "NOMBRE NUEVO|00777");

        ASSERT_TRUE(m->setData(m->index(1, 2), ""));
        ASSERT_TRUE(m->setData(m->index(1, 7), "SURA"));
        tecla(f, Qt::Key_Up);
        EXPECT_TRUE(s.h.msgs->lastText().contains(QString::fromUtf8("nombre vacío")));
        EXPECT_EQ(s.personas()->state(), kv::DataSetState::Edit);
        EXPECT_EQ(f.DBGrid1->currentIndex().row(), 1);
        EXPECT_EQ(m->data(m->index(1, 7), Qt::DisplayRole).toString(), "SURA");
        EXPECT_EQ(s.h.site.scalar("select NEstudiante || '|' || coalesce(EPS, '-') from estudiantes where codigo='P2'"),
                  "PERSONA 2|-");
        f.close();                                        // refused again: the grid stays open
        EXPECT_TRUE(f.isVisible());
        tecla(f, Qt::Key_Escape);                         // the edit is cancelled
        EXPECT_EQ(s.personas()->state(), kv::DataSetState::Browse);
    }));
    EXPECT_EQ(s.h.site.scalar("select NEstudiante from estudiantes where codigo='P2'"), "PERSONA 2");
}

TEST(Sabana, ExportFollowsTheOptionAndRestoresTheWorkingDirectory)
{
    struct Caso { int opcion; bool guardar; int filas; };
    const Caso casos[] = {{0, true, 3}, {1, true, 5}, {1, false, -1}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.opcion * 10 + c.guardar);
        SabanaSite s;
        s.abrir();
        const QString antes = cwd();
        const QString archivo = s.h.site.workDir() + "/sabana";   // gets .xlsx
        ElegirScope elegir(c.guardar ? archivo : QString());
        ASSERT_TRUE(s.enSabana([&](TfrmSabana& f) {
            f.RadioGroup1Items->button(c.opcion)->click();
            f.btnExportarExcel->click();
            EXPECT_EQ(TFrmAviso::actual(), nullptr);
        }));
        EXPECT_EQ(cwd(), antes);
        EXPECT_TRUE(s.h.msgs->shown.empty());
        if (c.filas < 0) { EXPECT_FALSE(QFile::exists(archivo + ".xlsx")); continue; }
        const kvtest::XlsxLeido x = kvtest::LeerXlsx(archivo + ".xlsx");
        EXPECT_EQ(x.hojas, QStringList{"Estudiantes"});
        EXPECT_EQ(x.filas.size(), 1 + c.filas);
    }
    const auto dlg = kv::DialogoGuardarExcel(nullptr, QDir::tempPath());
    EXPECT_EQ(dlg->nameFilters(), QStringList{"Archivos Excel (*.xls *.xlsx)"});
    EXPECT_EQ(dlg->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(dlg->testOption(QFileDialog::DontConfirmOverwrite));
}

TEST(Sabana, AFailedExportIsSaidClosesTheNoticeAndRestoresTheWorkingDirectory)
{
    SabanaSite s;
    s.abrir();
    const QString antes = cwd();
    QDir(s.h.site.workDir()).mkpath("lista.xlsx/dentro");
    ElegirScope elegir(s.h.site.workDir() + "/lista");   // becomes lista.xlsx, a folder
    EXPECT_FALSE(kv::ExportarAExcel(*s.personas(), s.h.w.get()));
    EXPECT_EQ(TFrmAviso::actual(), nullptr);
    EXPECT_EQ(cwd(), antes);
    EXPECT_TRUE(s.h.msgs->lastText().endsWith("es una carpeta.")) << s.h.msgs->lastText().toStdString();
    EXPECT_TRUE(QFileInfo(s.h.site.workDir() + "/lista.xlsx/dentro").isDir());
}

TEST(Sabana, UpdatingAgesReachesEveryPersonNotOnlyTheGroupShown)
{
    SabanaSite s;   // born 7 to 11 December 2010; today is 9 December 2026
    s.abrir();
    ASSERT_TRUE(s.enSabana([&](TfrmSabana& f) { f.btnActEdad->click(); }));
    EXPECT_EQ(s.h.site.scalar("select group_concat(edad, ',') from (select edad from estudiantes order by codigo)"),
              "16,16,16,15,15");
    EXPECT_EQ(s.personas()->recordCount(), 3);
}

TEST(Edades, WholeYearsTurnOnTheBirthdayLeapDaysIncluded)
{
    struct Caso { const char* hoy; const char* nacio; const char* edad; };
    const Caso casos[] = {
        {"2026-12-09", "2016-12-09", "10"}, {"2026-12-09", "2016-12-10", "9"}, {"2026-12-09", "2016-12-08", "10"},
        {"2026-12-09", "2026-12-09", "0"},  {"2026-12-09", "2026-12-10", ""},  // not born yet: no age
        {"2026-12-09", nullptr, ""},                                            // no date of birth
        {"2026-02-28", "2008-02-29", "17"}, {"2026-03-01", "2008-02-29", "18"},
        {"2028-02-28", "2008-02-29", "19"}, {"2028-02-29", "2008-02-29", "20"},
        {"2025-12-09", "2024-12-10", "0"},  {"2024-02-29", "2023-03-01", "0"},  // 365 days, not a year
    };
    kvtest::TempSite site;
    site.exec("insert into estudiantes (codigo, edad) values ('X', 99)");
    auto db = site.db();
    for (const Caso& c : casos) {
        site.exec("update estudiantes set fechaNac = ?", {c.nacio ? QVariant(QString(c.nacio)) : QVariant()});
        EXPECT_EQ(kv::ActualizarEdades(*db, QDate::fromString(c.hoy, Qt::ISODate)), 1);
        EXPECT_EQ(site.scalar("select coalesce(edad, '') from estudiantes"), c.edad) << c.hoy << " " << (c.nacio ? c.nacio : "-");
    }
}

// Another program holds the site (BEGIN EXCLUSIVE): the row keeps what was typed, the
// grid stays on it with the keyboard working, and the next move stores it.
TEST(Sabana, ARowRefusedWhileTheSiteIsLockedStaysAsTypedAndTheNextMoveStoresIt)
{
    SabanaSite s;
    s.abrir();
    ASSERT_TRUE(s.enSabana([&](TfrmSabana& f) {
        auto* g = f.DBGrid1;
        auto* m = g->model();
        // Keys go where a person's go, the focused widget (the grid, or the cell editor it
        // opened), with the event loop turning between them: the editor commits on Return
        // through a queued call.
        auto foco = [&]() -> QWidget* { return QApplication::focusWidget() ? QApplication::focusWidget() : g; };
        auto escribir = [&](const QString& t) {
            for (const QChar c : t) QTest::keyClicks(foco(), QString(c));
        };
        auto pulsar = [&](Qt::Key k) {
            QTest::keyClick(foco(), k);
            QApplication::processEvents();
        };
        g->setFocus();
        g->setCurrentIndex(m->index(1, 2));
        kvtest::BloqueoSitio bloqueo(s.h.site.tablesDir());
        escribir("X");
        pulsar(Qt::Key_Return);
        pulsar(Qt::Key_Down);                              // refused: the site is busy
        kvtest::Captura(&f, "sabana-fila-rechazada");
        EXPECT_EQ(s.h.msgs->texts(), QStringList{QString::fromUtf8("La base de datos está ocupada; intente de nuevo.")});
        EXPECT_EQ(s.personas()->state(), kv::DataSetState::Edit);
        EXPECT_EQ(g->currentIndex().row(), 1);
        EXPECT_TRUE(g->selectionModel()->isRowSelected(1, {}));
        EXPECT_FALSE(g->selectionModel()->isRowSelected(2, {}));
        EXPECT_EQ(m->data(m->index(1, 2), Qt::DisplayRole).toString(), "X");
        // the highlighted row below was not touched
        EXPECT_EQ(m->data(m->index(2, 2), Qt::DisplayRole).toString(), "PERSONA 3");
        // typing goes on in the refused row, not the highlighted one
        escribir("YZ");
        pulsar(Qt::Key_Return);
        EXPECT_EQ(m->data(m->index(1, 2), Qt::DisplayRole).toString(), "YZ");
        bloqueo.release();
        pulsar(Qt::Key_Down);                              // stored now
        EXPECT_EQ(g->currentIndex().row(), 2);
        EXPECT_EQ(s.personas()->state(), kv::DataSetState::Browse);
        pulsar(Qt::Key_Up);
        EXPECT_EQ(g->currentIndex().row(), 1);
        const int col = g->currentIndex().column();
        pulsar(Qt::Key_Tab);
        EXPECT_EQ(g->currentIndex(), m->index(1, col + 1));
    }));
    EXPECT_EQ(s.h.site.scalar("select NEstudiante from estudiantes where codigo='P2'"), "YZ");
    EXPECT_EQ(s.h.msgs->shown.size(), 1u);
}

// Every heading reads whole, "gradoantesbod" and "grupoantesbod" included.
TEST(Sabana, NoHeadingIsCut)
{
    SabanaSite s;
    s.abrir();
    ASSERT_TRUE(s.enSabana([&](TfrmSabana& f) {
        QHeaderView* h = f.DBGrid1->horizontalHeader();
        for (int c = 0; c < f.DBGrid1->model()->columnCount(); ++c) {
            QStyleOptionHeader opt;
            opt.initFrom(h);
            opt.text = f.DBGrid1->model()->headerData(c, Qt::Horizontal).toString();
            opt.section = c;
            const int necesita = h->style()->sizeFromContents(QStyle::CT_HeaderSection, &opt, QSize(), h).width();
            EXPECT_GE(f.DBGrid1->columnWidth(c), necesita) << opt.text.toStdString();
        }
        f.DBGrid1->scrollTo(f.DBGrid1->model()->index(0, 17));
        kvtest::Captura(&f, "sabana-titulos");
    }));
}
