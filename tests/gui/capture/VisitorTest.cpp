// Visitors at the door: the badge path of the capture and the dialog "Entrada visitantes".
#include "support/Rows.h"
#include "capture/forms/CaptureCommands.h"
#include "CaptureHelpers.h"
#include "capture/forms/TfrmEntradaVisit.h"
#include "support/gui/MainHarness.h"
#include "data/TDM.h"
#include "support/gui/Modal.h"
#include "support/FakeMessages.h"
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QKeyEvent>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace captest;
using kvtest::MainHarness;

namespace {

struct Respuesta {
    QString doc;
    int tipo = -1;            // -1: leave as shown
    QString nombre;           // null: leave as shown
    QString destino;
    QString motivo;
};

// Answers the next visitor dialog by typing, as the operator does, then "Continuar".
// `visto` receives what the dialog showed after the document field was left.
struct Visto {
    bool abierto = false;
    QString nombre;
    int tipo = -1;
    QString memo;
};

void responder(const Respuesta& r, Visto* visto = nullptr)
{
    kvtest::onNextModal([r, visto](QWidget* w) {
        auto* d = qobject_cast<TfrmEntradaVisit*>(w);
        if (!d) { w->close(); return; }
        if (!QTest::qWaitForWindowActive(d)) d->activateWindow();
        d->edDocIdent->setFocus();
        QTest::keyClicks(d->edDocIdent, r.doc);
        QTest::keyClick(d->edDocIdent, Qt::Key_Tab);   // leaving the field fills from the directory
        if (visto) {
            visto->abierto = true;
            visto->nombre = d->edNombre->text();
            visto->tipo = d->cbTipoDocIdent->currentIndex();
        }
        if (r.tipo >= 0) d->cbTipoDocIdent->setCurrentIndex(r.tipo);
        if (!r.nombre.isNull()) {
            d->edNombre->clear();
            QTest::keyClicks(d->edNombre, r.nombre);
        }
        d->cbDependencias->setCurrentIndex(d->cbDependencias->findText(r.destino));
        d->Memo1->setFocus();                           // the destination line appears
        QTest::keyClicks(d->Memo1, r.motivo);
        if (visto) visto->memo = d->Memo1->toPlainText();
        d->btnContinuar->click();
        if (d->isVisible()) d->reject();   // refused: the test fails instead of waiting
    });
}

class VisitorCapture : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* dep : {"Rectoría", "Secretaría", "Rectoría", "Biblioteca"})
            h.site.exec("insert into dependencias (ndependencia) values (?)", {QString::fromUtf8(dep)});
    }
    MainHarness h;
};

TEST_F(VisitorCapture, LowerCaseBadgeRegistersTheVisitorThenLetsOutWithoutDialog)
{
    TFrmMain& w = h.start("0");
    const QString etiqueta = w.lblNEstudiante->text();
    Visto visto;
    responder({"1010", 2, "MARIA GOMEZ", "Secretaría", " entrega de papeles"}, &visto);
    capturar(w, "visit07");
    ASSERT_TRUE(visto.abierto);
    EXPECT_EQ(visto.memo, "Dependencia a donde se dirige:Secretaría entrega de papeles");
    EXPECT_TRUE(w.Memo1->toPlainText().isEmpty());
    EXPECT_TRUE(w.edCodigo->text().isEmpty());

    h.clock->advance(1800);
    {
        SinDialogos guard;
        capturar(w, "visit07");
        QTest::qWait(30);
        EXPECT_EQ(guard.abiertos, 0);
    }

    const auto m = movimientos(h.site);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].codigo, "visit07");
    EXPECT_EQ(m[0].fecha, "2026-12-09");
    EXPECT_EQ(m[0].hora, "07:30:00");
    EXPECT_EQ(m[0].tipomvt, "E");
    EXPECT_EQ(m[0].tipoDocIdent, 2);
    EXPECT_EQ(m[0].docIdent, "1010");
    EXPECT_EQ(m[0].nestudiante, "MARIA GOMEZ");
    EXPECT_EQ(m[0].detalle, "Dependencia a donde se dirige:Secretaría entrega de papeles");
    EXPECT_EQ(m[1].codigo, "visit07");
    EXPECT_EQ(m[1].hora, "08:00:00");
    EXPECT_EQ(m[1].tipomvt, "S");
    EXPECT_EQ(m[1].tipoDocIdent, 2);
    EXPECT_EQ(m[1].docIdent, "1010");
    EXPECT_EQ(m[1].nestudiante, "MARIA GOMEZ");
    EXPECT_TRUE(m[1].detalleVacio);

    kv::Query v = h.site.query("select * from visitantes");
    ASSERT_EQ(v.recordCount(), 1);
    EXPECT_EQ(v.fieldByName("docIdent").asString(), "1010");
    EXPECT_EQ(v.fieldByName("tipoDocIdent").asInteger(), 2);
    EXPECT_EQ(v.fieldByName("nombre").asString(), "MARIA GOMEZ");
    EXPECT_EQ(v.fieldByName("fechaUltVisit").asString(), "2026-12-09");
    EXPECT_EQ(v.fieldByName("horaUltVisit").asString(), "07:30:00");   // the exit does not touch it
    EXPECT_EQ(v.fieldByName("observaciones").asString(), "Dependencia a donde se dirige:Secretaría entrega de papeles");

    EXPECT_EQ(w.lblNEstudiante->text(), etiqueta);   // a visitor does not change the person shown
    EXPECT_TRUE(h.msgs->shown.empty());
}

TEST_F(VisitorCapture, VisiAloneIsLookedUpAsAPersonCode)
{
    kvtest::Persona(3, "A", "VICTOR", "VISI").documento("77", 0).en(h.site);
    TFrmMain& w = h.start();
    SinDialogos guard;
    capturar(w, "VISI");
    capturar(w, "visi");   // not registered: refused like any code
    QTest::qWait(30);
    EXPECT_EQ(guard.abiertos, 0);
    const auto m = movimientos(h.site);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].nestudiante, "VICTOR");
    EXPECT_EQ(w.lblNEstudiante->text(), "VISI VICTOR3 - A");
    EXPECT_EQ(h.msgs->texts(), QStringList{"Código inválido o suspendido"});
}

TEST_F(VisitorCapture, CancelStoresNothingAndTheNextScanAsksAgain)
{
    TFrmMain& w = h.start();
    bool abierto = false;
    kvtest::onNextModal([&](QWidget* d) {
        abierto = true;
        static_cast<TfrmEntradaVisit*>(d)->edDocIdent->setText("555");
        static_cast<TfrmEntradaVisit*>(d)->btnCancel->click();
    });
    capturar(w, "VISIT01");
    ASSERT_TRUE(abierto);
    EXPECT_EQ(h.site.count("entradasSalidas"), 0);
    EXPECT_EQ(h.site.count("visitantes"), 0);
    EXPECT_TRUE(w.Memo1->toPlainText().isEmpty());
    EXPECT_TRUE(w.edCodigo->text().isEmpty());

    abierto = false;
    kvtest::onNextModal([&](QWidget* d) {
        abierto = true;
        QTest::keyClick(d, Qt::Key_Escape);
    });
    capturar(w, "VISIT01");
    EXPECT_TRUE(abierto);
    EXPECT_EQ(h.site.count("entradasSalidas"), 0);
}

TEST_F(VisitorCapture, KnownDocumentFillsNameAndTypeAndChangesAreWrittenBack)
{
    h.site.exec("insert into visitantes (docIdent, tipoDocIdent, nombre, fechaUltVisit, horaUltVisit, observaciones)"
                " values ('555', 4, 'ROSA', '2026-01-02', '10:00:00', 'antes')");
    h.site.exec("insert into visitantes (docIdent, tipoDocIdent, nombre) values ('5550', 1, 'OTRO')");
    TFrmMain& w = h.start();

    Visto visto;
    responder({"555", 3, "ROSA MARÍA", "Biblioteca", "libros"}, &visto);
    capturar(w, "VISIT02");
    ASSERT_TRUE(visto.abierto);
    EXPECT_EQ(visto.nombre, "ROSA");
    EXPECT_EQ(visto.tipo, 4);

    Visto desconocido;
    responder({"55", -1, "NUEVO", "Rectoría", ""}, &desconocido);   // only a prefix: no fill-in
    capturar(w, "VISIT03");
    ASSERT_TRUE(desconocido.abierto);
    EXPECT_EQ(desconocido.nombre, "");
    EXPECT_EQ(desconocido.tipo, 0);

    EXPECT_EQ(h.site.count("visitantes"), 3);
    kv::Query v = h.site.query("select * from visitantes where docIdent='555'");
    ASSERT_EQ(v.recordCount(), 1);
    EXPECT_EQ(v.fieldByName("nombre").asString(), "ROSA MARÍA");
    EXPECT_EQ(v.fieldByName("tipoDocIdent").asInteger(), 3);
    EXPECT_EQ(v.fieldByName("fechaUltVisit").asString(), "2026-12-09");
    EXPECT_EQ(v.fieldByName("horaUltVisit").asString(), "07:30:00");
    EXPECT_EQ(v.fieldByName("observaciones").asString(), "Dependencia a donde se dirige:Bibliotecalibros");
    EXPECT_EQ(h.site.scalar("select nombre from visitantes where docIdent='5550'"), "OTRO");

    const auto m = movimientos(h.site, "VISIT02");
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].nestudiante, "ROSA MARÍA");
    EXPECT_EQ(m[0].tipoDocIdent, 3);
    EXPECT_EQ(m[0].docIdent, "555");
}

// A card reader: the number, Enter, and Enter again. The known visitor's name is stored with
// the movement and stays in the directory.
TEST_F(VisitorCapture, ACardReadersEnterStoresTheKnownNameNotAnEmptyOne)
{
    h.site.exec("insert into visitantes (docIdent, tipoDocIdent, nombre) values ('555', 1, 'ROSA')");
    TFrmMain& w = h.start();
    kvtest::onNextModal([](QWidget* m) {
        auto* d = qobject_cast<TfrmEntradaVisit*>(m);
        if (!d) { m->close(); return; }
        if (!QTest::qWaitForWindowActive(d)) d->activateWindow();
        d->edDocIdent->setFocus();
        QTest::keyClicks(d->edDocIdent, "555");
        QTest::keyClick(d->edDocIdent, Qt::Key_Return);
        if (QWidget* f = QApplication::focusWidget()) QTest::keyClick(f, Qt::Key_Return);
        if (d->isVisible()) d->reject();
    });
    capturar(w, "VISIT05");
    const auto m = movimientos(h.site, "VISIT05");
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(h.site.scalar("select nestudiante from entradasSalidas where codigo='VISIT05'"), "ROSA");
    EXPECT_EQ(h.site.scalar("select nombre from visitantes where docIdent='555'"), "ROSA");
    EXPECT_EQ(h.site.count("visitantes"), 1);
}

TEST_F(VisitorCapture, TwoBadgesOfOneVisitorAreIndependent)
{
    TFrmMain& w = h.start();
    responder({"900", 0, "ANA", "Rectoría", ""});
    capturar(w, "VISIT10");
    responder({"900", 0, "ANA", "Rectoría", ""});
    capturar(w, "VISIT11");   // the other badge is outside: the dialog again
    h.clock->advance(60);
    {
        SinDialogos guard;
        capturar(w, "VISIT10");
        QTest::qWait(30);
        EXPECT_EQ(guard.abiertos, 0);
    }
    EXPECT_EQ(movimientos(h.site, "VISIT10").size(), 2u);
    EXPECT_EQ(movimientos(h.site, "VISIT10").back().tipomvt, "S");
    ASSERT_EQ(movimientos(h.site, "VISIT11").size(), 1u);
    EXPECT_EQ(movimientos(h.site, "VISIT11").back().tipomvt, "E");
    EXPECT_EQ(h.site.count("visitantes"), 1);
}

TEST_F(VisitorCapture, DirectoryRowThatCannotBeStoredIsNotStoredByTheNextVisitor)
{
    TFrmMain& w = h.start();
    auto db = h.site.db();
    char* err = nullptr;
    ASSERT_EQ(sqlite3_exec(db->handle(),
                           "CREATE TRIGGER sin_visitas BEFORE INSERT ON visitantes"
                           " BEGIN SELECT RAISE(ABORT, 'disco lleno'); END",
                           nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");

    responder({"111", 1, "PRIMERA", "Rectoría", ""});
    w.edCodigo->setText("VISIT01");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    w.findChild<CaptureCommands*>()->edCodigoKeyPress(&enter);
    ASSERT_FALSE(h.msgs->shown.empty());               // said at the door, in Spanish
    EXPECT_TRUE(h.msgs->shown.back().text.startsWith("No se guardó el movimiento de VISIT01"))
        << h.msgs->shown.back().text.toStdString();
    EXPECT_EQ(w.edCodigo->text(), "VISIT01");         // the code stays for another try
    EXPECT_EQ(h.site.count("entradasSalidas"), 0);
    EXPECT_EQ(kv::DM->TblVisitantes->state(), kv::DataSetState::Browse);

    ASSERT_EQ(sqlite3_exec(db->handle(), "DROP TRIGGER sin_visitas", nullptr, nullptr, &err), SQLITE_OK);
    responder({"222", 0, "SEGUNDA", "Rectoría", ""});
    capturar(w, "VISIT02");
    // Only the visitor who came in is in the directory; the refused one was not stored later.
    EXPECT_EQ(volcado(h.site, "visitantes"),
              QStringList{"222|0|SEGUNDA|2026-12-09|07:30:00|Dependencia a donde se dirige:Rectoría"});
    ASSERT_EQ(h.site.count("entradasSalidas"), 1);
    EXPECT_EQ(movimientos(h.site, "VISIT02").size(), 1u);
}

TEST(VisitorDialog, EnterPressesTheFocusedButtonAndContinuarElsewhere)
{
    kvtest::TempSite site;
    {
        TfrmEntradaVisit d(site.tablesDir());
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        d.btnCancel->setFocus(Qt::TabFocusReason);
        QTest::keyClick(d.btnCancel, Qt::Key_Return);   // the operator tabbed to Cancelar
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_FALSE(d.isVisible());
    }
    {
        TfrmEntradaVisit d(site.tablesDir());
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        d.edNombre->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(d.edNombre, "ANA");
        QTest::keyClick(d.edNombre, Qt::Key_Return);
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
}

// A card reader types the number and Enter: the known visitor's name must be there before
// anything is stored, and an empty name never goes over a stored one.
TEST(VisitorDialog, TheDocumentIsLookedUpBeforeContinuarAndAnEmptyNameIsRefused)
{
    kvtest::TempSite site;
    kvtest::MessagesScope msgs;
    site.exec("insert into visitantes (docIdent, tipoDocIdent, nombre) values ('777', 2, 'ROSA')");
    {
        TfrmEntradaVisit d(site.tablesDir());
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        d.edDocIdent->setFocus();
        QTest::keyClicks(d.edDocIdent, "777");
        QTest::keyClick(d.edDocIdent, Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.edNombre->text(), "ROSA");
        EXPECT_EQ(d.cbTipoDocIdent->currentIndex(), 2);
        EXPECT_EQ(QApplication::focusWidget(), d.cbTipoDocIdent);
        QTest::keyClick(d.cbTipoDocIdent, Qt::Key_Return);
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
    const struct { const char* doc; bool accepted; const char* nombre; } cases[] = {
        {"777", true, "ROSA"},    // Continuar before the field was left: looked up then
        {"778", false, ""},       // unknown and no name: refused
    };
    for (const auto& c : cases) {
        msgs->shown.clear();
        TfrmEntradaVisit d(site.tablesDir());
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        d.edDocIdent->setFocus();
        d.edDocIdent->setText(c.doc);
        d.btnContinuar->click();
        EXPECT_EQ(d.result() == QDialog::Accepted, c.accepted) << c.doc;
        EXPECT_EQ(d.edNombre->text(), c.nombre) << c.doc;
        EXPECT_EQ(msgs->texts(), c.accepted ? QStringList()
                                            : QStringList{"Debe Corregir: \nEscriba el nombre del visitante."}) << c.doc;
    }
}

TEST(VisitorDialog, DestinationListOpensTwelveRowsHigh)
{
    kvtest::TempSite site;
    for (int i = 1; i <= 30; ++i) site.exec("insert into dependencias (ndependencia) values (?)", {QString("Aula %1").arg(i)});
    TfrmEntradaVisit d(site.tablesDir());
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    ASSERT_EQ(d.cbDependencias->count(), 30);
    d.cbDependencias->showPopup();
    QApplication::processEvents();
    QAbstractItemView* v = d.cbDependencias->view();
    const int fila = v->visualRect(v->model()->index(0, 0)).height();
    ASSERT_GT(fila, 0);
    EXPECT_NEAR(double(v->viewport()->height()) / fila, 12.0, 0.5);
    d.cbDependencias->hidePopup();
}

TEST(VisitorDialog, FieldsListsAndTheDestinationLine)
{
    kvtest::TempSite site;
    for (const char* dep : {"Rectoría", "Secretaría", "Rectoría", "", "Biblioteca"})
        site.exec("insert into dependencias (ndependencia) values (?)", {QString::fromUtf8(dep)});
    TfrmEntradaVisit d(site.tablesDir());
    EXPECT_EQ(d.windowTitle(), "Entrada visitantes");

    QStringList tipos;
    for (int i = 0; i < d.cbTipoDocIdent->count(); ++i) tipos << d.cbTipoDocIdent->itemText(i);
    EXPECT_EQ(tipos, (QStringList{"Cédula", "Tarjeta de Identidad", "Cédula de extranjería", "Sin documento",
                                  "Registro civil"}));
    EXPECT_EQ(d.cbTipoDocIdent->currentIndex(), 0);
    EXPECT_FALSE(d.cbTipoDocIdent->isEditable());
    QStringList deps;
    for (int i = 0; i < d.cbDependencias->count(); ++i) deps << d.cbDependencias->itemText(i);
    EXPECT_EQ(deps, (QStringList{"Rectoría", "Secretaría", "", "Biblioteca"}));
    EXPECT_EQ(d.cbDependencias->currentIndex(), -1);
    EXPECT_FALSE(d.cbDependencias->isEditable());
    EXPECT_EQ(d.cbDependencias->maxVisibleItems(), 12);
    EXPECT_EQ(d.btnContinuar->text(), "Continuar");
    EXPECT_TRUE(d.btnContinuar->isDefault());
    EXPECT_EQ(d.btnCancel->text(), "&Cancelar");

    // Labels are the fields' buddies.
    QMap<QWidget*, QString> etiquetas;
    for (QLabel* l : d.findChildren<QLabel*>()) if (l->buddy()) etiquetas[l->buddy()] = l->text();
    EXPECT_EQ(etiquetas.value(d.edDocIdent), "Documento de identidad:");
    EXPECT_EQ(etiquetas.value(d.cbTipoDocIdent), "Tipo de documento:");
    EXPECT_EQ(etiquetas.value(d.edNombre), "Nombre:");
    EXPECT_EQ(etiquetas.value(d.cbDependencias), "Dependencia a donde se dirige:");
    EXPECT_EQ(etiquetas.value(d.Memo1), "Motivo de la entrada:");

    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.edDocIdent->setFocus();
    QList<QWidget*> orden;
    for (int i = 0; i < 6; ++i) {
        orden << QApplication::focusWidget();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    orden << QApplication::focusWidget();
    EXPECT_EQ(orden, (QList<QWidget*>{d.edDocIdent, d.cbTipoDocIdent, d.edNombre, d.cbDependencias, d.Memo1,
                                      d.btnContinuar, d.btnCancel}));

    // Entering the detail field writes the destination line; what was typed is lost on re-entry.
    d.cbDependencias->setCurrentIndex(1);
    d.Memo1->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(d.Memo1->toPlainText(), "Dependencia a donde se dirige:Secretaría");
    QTest::keyClicks(d.Memo1, " firma");
    EXPECT_EQ(d.Memo1->toPlainText(), "Dependencia a donde se dirige:Secretaría firma");
    d.edNombre->setFocus(Qt::TabFocusReason);
    d.cbDependencias->setCurrentIndex(3);
    d.Memo1->setFocus(Qt::BacktabFocusReason);
    EXPECT_EQ(d.Memo1->toPlainText(), "Dependencia a donde se dirige:Biblioteca");
    d.close();
}

} // namespace
