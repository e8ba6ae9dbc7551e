// The door desk's own windows on a real site: who is inside now, following the captures,
// and the publication queue in the status area.
#include "CaptureHelpers.h"
#include "capture/forms/AvisoPuerta.h"
#include "capture/forms/TFrmDentro.h"
#include "settings/forms/TFrmConfig.h"
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include "reports/engine/forms/TFrmPreview.h"
#include "support/Disco.h"
#include "support/gui/Captura.h"
#include "support/gui/MainHarness.h"
#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>

using namespace captest;
using kvtest::MainHarness;

namespace {

class DoorWindow : public ::testing::Test {
protected:
    MainHarness h;   // 2026-12-09 07:30:00
    void persona(int grado, const QString& grupo, const QString& nombre, const QString& codigo)
    {
        h.site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo, docIdent, tipoDocIdent)"
                    " values (?, ?, 1, ?, ?, ?, 1)",
                    {grado, grupo, nombre, codigo, "D-" + codigo});
    }
    QAction* accion(TFrmMain& w, const QString& menu, const QString& texto)
    {
        for (QAction* m : w.menuBar()->actions())
            if (m->menu() && m->text() == menu)
                for (QAction* a : m->menu()->actions())
                    if (a->text() == texto) return a;
        return nullptr;
    }
    static QStringList filas(TFrmDentro& d)
    {
        QStringList r;
        QAbstractItemModel* m = d.GrdDentro->model();
        for (int i = 0; i < m->rowCount(); ++i) r << m->index(i, 0).data().toString() + " " + m->index(i, 2).data().toString();
        return r;
    }
};

TEST_F(DoorWindow, DoorUserOpensInsideListWhichFollowsCaptures)
{
    persona(5, "A", "ANA", "A1");
    persona(5, "B", "BETO", "B1");
    h.site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt, nestudiante) values"
                " ('B1', '2026-12-09', '07:00:00', 'E', 'BETO'), ('GONE', '2026-12-09', '07:01:00', 'E', 'EVA')");
    TFrmMain& w = h.start("0");
    QAction* a = accion(w, "Herramientas", "Personas dentro ahora");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->objectName(), "PersonasDentro1");
    ASSERT_TRUE(a->isEnabled());
    a->trigger();
    auto* d = w.findChild<TFrmDentro*>("FrmDentro");
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(h.msgs->shown.empty());   // no "Acceso restringido."
    EXPECT_EQ(d->windowTitle(), "Personas dentro ahora");
    EXPECT_EQ(d->LblTotal->text(), "Dentro: 2 personas y 0 visitantes");
    EXPECT_EQ(filas(*d), QStringList({"B1 5", "GONE "}));
    EXPECT_TRUE(d->LblTotales->text().contains("Fuera del registro: 1")) << d->LblTotales->text().toStdString();

    // The list follows the door while it stays open.
    capturar(w, "A1");
    h.clock->advance(60);
    capturar(w, "B1");
    EXPECT_EQ(filas(*d), QStringList({"A1 5", "GONE "}));
    EXPECT_EQ(d->LblTotal->text(), "Dentro: 2 personas y 0 visitantes");
    EXPECT_TRUE(d->LblTotales->text().startsWith("Categoría 5: 1  (grupo A: 1)")) << d->LblTotales->text().toStdString();

    // Asking again brings the same window forward.
    a->trigger();
    EXPECT_EQ(w.findChildren<TFrmDentro*>().size(), 1);

    // "Imprimir" previews the list as it stands.
    std::vector<kv::rpt::PageModel> vistas;
    kv::rpt::VistaPreviaHook = [&](TFrmPreview& p) { vistas.push_back(p.model()); };
    d->BtnImprimir->click();
    kv::rpt::VistaPreviaHook = nullptr;
    ASSERT_EQ(vistas.size(), 1u);
    EXPECT_TRUE(vistas[0].titleLines.contains("Dentro: 2 personas y 0 visitantes"));
    ASSERT_EQ(vistas[0].rows.size(), 2);
    EXPECT_EQ(vistas[0].rows[0].value(0), "A1");
    EXPECT_EQ(vistas[0].rows[1].value(0), "GONE");
}

TEST_F(DoorWindow, StatusAreaShowsThePendingCountAsCapturesArrive)
{
    persona(5, "A", "ANA", "A1");
    h.site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt, subido) values"
                " ('X', '2026-12-08', '07:00:00', 'E', 0), ('Y', '2026-12-08', '07:00:00', 'E', 1)");
    TFrmMain& w = h.start("0");
    auto* pendientes = w.findChild<QLabel*>("LblPendientes");
    auto* ultima = w.findChild<QLabel*>("LblUltimaSubida");
    ASSERT_NE(pendientes, nullptr);
    ASSERT_NE(ultima, nullptr);
    // The published row went at start-up; the other one waits.
    EXPECT_EQ(pendientes->text(), "Pendientes por subir: 1");
    EXPECT_FALSE(ultima->isVisibleTo(&w));
    capturar(w, "A1");
    h.clock->advance(60);
    capturar(w, "A1");
    EXPECT_EQ(pendientes->text(), "Pendientes por subir: 3");
}

TEST_F(DoorWindow, RepeatedReadStoresNothingAndSaysSoUntilTheWindowEnds)
{
    persona(5, "A", "ANA", "A1");
    // A movement stored by the previous run, three seconds ago.
    h.site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt) values ('A1', '2026-12-09', '07:29:57', 'E')");
    TFrmMain& w = h.start("0");
    SinDialogos guardia;
    capturar(w, "A1");
    EXPECT_EQ(movimientos(h.site).size(), 1u);
    EXPECT_EQ(w.lblNEstudiante->text(), "Lectura repetida: ya registrado hace 3 s");
    EXPECT_EQ(w.Memo1->toPlainText(), "Motivo de la salida:\n");   // the detail box is kept
    EXPECT_TRUE(w.edCodigo->text().isEmpty());

    h.clock->advance(2);   // 5 s after it: a real exit
    capturar(w, "A1");
    ASSERT_EQ(movimientos(h.site).size(), 2u);
    EXPECT_EQ(movimientos(h.site)[1].tipomvt, "S");
    AvisoPuerta* aviso = AvisoPuerta::de(&w);
    ASSERT_NE(aviso, nullptr);
    EXPECT_TRUE(aviso->lblDireccion->isVisibleTo(&w));
    EXPECT_EQ(aviso->lblDireccion->text(), "SALIDA");
    EXPECT_EQ(w.lblNEstudiante->text(), "A1 ANA5 - A");

    h.clock->advance(4);   // 4 s after the exit: repeated again
    capturar(w, "A1");
    EXPECT_EQ(movimientos(h.site).size(), 2u);
    EXPECT_EQ(w.lblNEstudiante->text(), "Lectura repetida: ya registrado hace 4 s");
    EXPECT_EQ(guardia.abiertos, 0);
    EXPECT_TRUE(h.msgs->shown.empty());
}

TEST_F(DoorWindow, BannerSaysEntradaForThreeSeconds)
{
    persona(5, "A", "ANA", "A1");
    TFrmMain& w = h.start("0");
    capturar(w, "A1");
    AvisoPuerta* aviso = AvisoPuerta::de(&w);
    ASSERT_NE(aviso, nullptr);
    EXPECT_EQ(aviso->lblDireccion->text(), "ENTRADA");
    EXPECT_TRUE(aviso->lblDireccion->isVisibleTo(&w));
    EXPECT_TRUE(aviso->lblDireccion->styleSheet().contains("background-color"));
    EXPECT_EQ(aviso->TmrDireccion->interval(), 3000);
    QTest::qWait(3300);
    EXPECT_FALSE(aviso->lblDireccion->isVisibleTo(&w));
}

TEST_F(DoorWindow, GuardCoversBadgesAcrossMidnightButNotRefusedCodesNorWhenOff)
{
    persona(5, "A", "ANA", "A1");
    h.clock->set(QDateTime(QDate(2026, 12, 10), QTime(0, 0, 1)));
    // The badge came in at 23:59:58; GONE is inside but no longer registered.
    h.site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt, nestudiante) values"
                " ('VISIT01', '2026-12-09', '23:59:58', 'E', 'VISITA'),"
                " ('GONE', '2026-12-10', '00:00:00', 'E', 'EVA')");
    TFrmMain& w = h.start("0");
    {
        SinDialogos guardia;
        capturar(w, "VISIT01");
        EXPECT_EQ(guardia.abiertos, 0);   // no exit, and no entry dialog either
    }
    EXPECT_EQ(h.site.count("entradasSalidas", "codigo = 'VISIT01'"), 1);
    EXPECT_EQ(w.lblNEstudiante->text(), "Lectura repetida: ya registrado hace 3 s");

    capturar(w, "GONE");   // refused, never "repeated"
    ASSERT_EQ(h.msgs->shown.size(), 1u);
    EXPECT_EQ(h.msgs->shown[0].text, "Código inválido o suspendido");

    // With the guard off every read counts again, as the options dialog stores it.
    h.site.exec("update Config set segundosRepetida = 0");
    capturar(w, "A1");
    capturar(w, "A1");
    EXPECT_EQ(h.site.count("entradasSalidas", "codigo = 'A1'"), 2);
}

TEST_F(DoorWindow, OptionsDialogEditsTheDoorSettings)
{
    h.start();
    TFrmConfig d;
    ASSERT_NE(d.findChild<QSpinBox*>("seSegundosRepetida"), nullptr);
    EXPECT_EQ(d.seSegundosRepetida->value(), 5);
    EXPECT_TRUE(d.chkTonosDistintos->isChecked());
    EXPECT_EQ(d.chkTonosDistintos->text(), "Tonos distintos");
    QLabel* etiqueta = nullptr;
    for (QLabel* l : d.findChildren<QLabel*>())
        if (l->buddy() == d.seSegundosRepetida) etiqueta = l;
    ASSERT_NE(etiqueta, nullptr);
    EXPECT_EQ(etiqueta->text(), "Ignorar lecturas repetidas durante (segundos):");

    d.seSegundosRepetida->setValue(12);
    d.chkTonosDistintos->setChecked(false);
    d.BtnAceptar->click();
    EXPECT_EQ(h.site.scalar("select segundosRepetida from Config"), "12");
    EXPECT_EQ(h.site.scalar("select tonosDistintos from Config"), "False");
}

} // namespace

// No room left on the site's disk: the scan stores nothing, and nothing on screen says the
// person was let in; once there is room the same code goes in.
TEST_F(DoorWindow, AScanRefusedForAFullDiskShowsNobodyAsLetInAndSaysWhy)
{
    persona(5, "A", "ANA", "A1");
    persona(5, "A", "BETO", "B1");
    kvtest::DiscoPropio disco(h.site.tablesDir(), 4096);
    if (!disco.ok()) GTEST_SKIP() << disco.reason().toStdString();
    TFrmMain& w = h.start("0");
    w.show();
    capturar(w, "A1");
    ASSERT_EQ(movimientos(h.site).size(), 1u);
    disco.llenar();
    h.clock->advance(60);
    capturar(w, "B1");
    kvtest::Captura(&w, "puerta-disco-lleno");
    EXPECT_EQ(h.msgs->texts(),
              QStringList{QString::fromUtf8("No se guardó el movimiento de B1: El disco está lleno; no se pudo guardar en la base de datos.")});
    EXPECT_EQ(w.lblNEstudiante->text(), "*");
    EXPECT_TRUE(w.Image1->pixmap().isNull());
    EXPECT_FALSE(AvisoPuerta::de(&w)->lblDireccion->isVisibleTo(&w));
    EXPECT_EQ(w.edCodigo->text(), "B1");   // Enter again tries again
    disco.vaciar();
    QTest::keyClick(w.edCodigo, Qt::Key_Return);
    ASSERT_EQ(movimientos(h.site).size(), 2u);
    EXPECT_EQ(movimientos(h.site)[1].codigo, "B1");
    EXPECT_EQ(w.lblNEstudiante->text(), "B1 BETO5 - A");
}

// A long name beside the banner keeps to the room of its two lines; a repeated read does
// not keep the banner of the read before.
TEST_F(DoorWindow, ALongNameFitsBesideTheBannerAndARepeatedReadHasNoBanner)
{
    const QString largo = QStringLiteral("MARÍA DE LOS ÁNGELES GUADALUPE FERNÁNDEZ DE CÓRDOBA Y VILLAVICENCIO MONTOYA");
    persona(11, "B", largo, "L1");
    TFrmMain& w = h.start("0");
    w.show();
    capturar(w, "L1");
    QApplication::processEvents();
    kvtest::Captura(&w, "puerta-nombre-largo");
    AvisoPuerta* aviso = AvisoPuerta::de(&w);
    ASSERT_TRUE(aviso->lblDireccion->isVisibleTo(&w));
    QLabel* l = w.lblNEstudiante;
    const QRect cabe = QFontMetrics(l->font()).boundingRect(QRect(0, 0, l->contentsRect().width(), 1 << 20),
                                                            Qt::TextWordWrap, l->text());
    EXPECT_LE(cabe.height(), l->contentsRect().height()) << l->font().pixelSize();
    EXPECT_GE(aviso->lblDireccion->geometry().right(), 0);
    EXPECT_FALSE(l->geometry().intersects(aviso->lblDireccion->geometry()));

    h.clock->advance(2);
    capturar(w, "L1");
    kvtest::Captura(&w, "puerta-lectura-repetida");
    EXPECT_TRUE(l->text().startsWith("Lectura repetida"));
    EXPECT_FALSE(aviso->lblDireccion->isVisibleTo(&w));
}
