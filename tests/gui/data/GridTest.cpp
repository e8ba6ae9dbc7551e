// The data-aware grids of the windows: what is typed reaches the row that is stored, and a
// row the engine refuses stays as typed with the grid still under the keyboard.
#include "data/forms/DBGrid.h"
#include "data/forms/DBNavigator.h"
#include "publish/forms/TfrmConsultantes.h"
#include "support/Disco.h"
#include "support/gui/Captura.h"
#include "support/gui/MainHarness.h"
#include "util/forms/TfrmSabana.h"
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// Types as a person does: each key goes to whatever has the focus (the grid, then the
// cell editor it opens).
void teclear(const QString& texto)
{
    for (const QChar c : texto) QTest::keyClicks(QApplication::focusWidget(), QString(c));
}
void tecla(Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); }

void activar(QWidget& w, QWidget* foco)
{
    w.show();
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    foco->setFocus();
}

void clicFila(kv::DBGrid* g, int fila, int col)
{
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(fila, col)).center());
}

} // namespace

// "Grabar" of a navigator, a button that stores the row or a click on another row, with
// the last cell still in edit: one row, with that cell's value.
TEST(GridStore, ACellStillInEditIsPartOfTheRowThatIsStored)
{
    enum Ventana { Consultantes, Sabana, Categorias };
    struct Caso { Ventana ventana; const char* consulta; const char* esperado; };
    const Caso casos[] = {
        {Consultantes, "select group_concat(docIdent || '|' || nombre || '|' || clave || '|' || nivelConsulta) from consultantes",
         "123|Ana|x|1"},
        {Sabana, "select group_concat(NEstudiante || '|' || DocIdent) from estudiantes", "PERSONA|999"},
        {Categorias, "select group_concat(IGrado || '|' || NGrado) from AbaGrados where IGrado=12", "12|DOCE"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.ventana);
        kvtest::MainHarness h;
        h.site.exec("insert into AbaGrados (IGrado, NGrado) values (11, 'Once')");
        h.site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo) values (11, 'A', 1, 'PERSONA', 'P1')");
        TFrmMain& w = h.start("1");
        if (c.ventana == Consultantes) {
            TfrmConsultantes dlg(h.dm->TblConsultantes, &w);
            activar(dlg, dlg.DBGrid1);
            dlg.DBNavigator1->boton(kv::DBNavigator::Insertar)->click();
            teclear("123");
            tecla(Qt::Key_Tab);
            teclear("Ana");
            tecla(Qt::Key_Tab);
            teclear("x");
            tecla(Qt::Key_Tab);
            teclear("1");
            kvtest::Captura(&dlg, "consultantes-en-edicion");
            QTest::mouseClick(dlg.DBNavigator1->boton(kv::DBNavigator::Grabar), Qt::LeftButton);
            kvtest::Captura(&dlg, "consultantes-grabado");
            EXPECT_EQ(dlg.DBGrid1->model()->index(0, 3).data().toString(), "1") << "the grid shows the stored level";
            dlg.close();
        } else if (c.ventana == Sabana) {
            h.dm->TblEstudiantes->setFiltered(false);
            TfrmSabana f(&w, h.dm->TblEstudiantes);
            activar(f, f.DBGrid1);
            f.DBGrid1->setCurrentIndex(f.DBGrid1->model()->index(0, 3));
            teclear("999");
            f.btnActEdad->click();
            EXPECT_EQ(h.site.scalar(c.consulta), c.esperado) << "stored by the button, before closing";
            f.close();
        } else {
            activar(w, w.findChild<kv::DBGrid*>("DBGrid1"));
            auto* g = w.findChild<kv::DBGrid*>("DBGrid1");
            tecla(Qt::Key_Insert);
            teclear("12");
            tecla(Qt::Key_Tab);
            teclear("DOCE");
            clicFila(g, 0, 1);
            kvtest::Captura(&w, "categorias-grabado");
        }
        EXPECT_EQ(h.site.scalar(c.consulta), c.esperado);
        EXPECT_TRUE(h.msgs->shown.empty()) << h.msgs->lastText().toStdString();
    }
}
