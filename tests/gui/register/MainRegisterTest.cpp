// The upper half of the main window (categories and groups) and the persons list below it.
#include "register/forms/RegisterCommands.h"
#include "support/RegisterHelpers.h"
#include "support/gui/MainHarness.h"
#include "data/forms/DBGrid.h"
#include <gtest/gtest.h>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QPushButton>
#include <QTabWidget>

using namespace regtest;
using kvtest::MainHarness;

namespace {

void tecla(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString())
{
    QKeyEvent e(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(w, &e);
}

QStringList codigosListados(kv::TableCursor* t)
{
    QStringList l;
    for (int i = 0; i < t->recordCount(); ++i) l << t->fieldAt(i, "codigo").asString();
    return l;
}

class Selection : public ::testing::Test {
protected:
    void SetUp() override
    {
        categoria(h.site, 5, "QUINTO");
        categoria(h.site, 6, "SEXTO");
        categoria(h.site, 7, "SEPTIMO");
        grupo(h.site, 5, "A");
        grupo(h.site, 5, "B");
        grupo(h.site, 6, "A");
        persona(h.site, 5, "A", 0, "ANA", "5a");
        persona(h.site, 5, "B", 0, "BETO", "5b");
        persona(h.site, 6, "A", 0, "CIRO", "6a");
        persona(h.site, 7, "A", 0, "DORA", "7a-sin-grupo");
        materia(h.site, 5, "MAT");
        materia(h.site, 6, "BIO");
    }
    MainHarness h;
};

TEST_F(Selection, GroupsTabFiltersGroupsAndPersonsAndFillsTheLabels)
{
    TFrmMain& w = h.start();
    w.PgGrados->setCurrentWidget(w.TSGrupos);
    EXPECT_EQ(w.currentGrado, 5);
    EXPECT_EQ(w.currentGrupo, "A");
    EXPECT_EQ(w.currentMateria, "MAT");
    EXPECT_EQ(h.dm->TblGrupos->recordCount(), 2);
    EXPECT_EQ(h.dm->TblAbaMaterias->recordCount(), 1);
    EXPECT_EQ(codigosListados(h.dm->TblEstudiantes), QStringList({"5a"}));
    EXPECT_EQ(w.LblIGrado->text(), "5");
    EXPECT_EQ(w.LblIGradoGrupos->text(), "5");
    EXPECT_EQ(w.LblIGradoEstudiantes->text(), "QUINTO");
    EXPECT_EQ(w.LblIGrupo->text(), "A");
    EXPECT_EQ(w.LblIGrupoEstudiantes->text(), "A");

    h.dm->TblGrupos->next();   // moving in the groups grid moves the persons list
    EXPECT_EQ(w.currentGrupo, "B");
    EXPECT_EQ(codigosListados(h.dm->TblEstudiantes), QStringList({"5b"}));
    EXPECT_EQ(w.LblIGrupoEstudiantes->text(), "B");
}

TEST_F(Selection, OnTheGradosTabTheGroupsKeepTheirLastFilter)
{
    TFrmMain& w = h.start();
    w.PgGrados->setCurrentWidget(w.TSGrupos);
    w.PgGrados->setCurrentWidget(w.TSGrados);
    h.dm->TblAbaGrados->next();   // category 6 with the group code of 5's first group
    EXPECT_EQ(w.currentGrado, 6);
    EXPECT_EQ(w.currentGrupo, "A");
    EXPECT_EQ(w.currentMateria, "BIO");
    EXPECT_EQ(h.dm->TblGrupos->recordCount(), 2);   // still the groups of 5
    EXPECT_EQ(codigosListados(h.dm->TblEstudiantes), QStringList({"6a"}));
    EXPECT_EQ(w.LblIGradoEstudiantes->text(), "SEXTO");

    // 7 has no group A in grupos, yet its filter uses the code: the list shows what matches
    h.dm->TblAbaGrados->next();
    EXPECT_EQ(w.currentGrado, 7);
    EXPECT_EQ(codigosListados(h.dm->TblEstudiantes), QStringList({"7a-sin-grupo"}));

    // Showing the groups of a category without groups: empty group, persons list unchanged
    w.PgGrados->setCurrentWidget(w.TSGrupos);
    EXPECT_EQ(h.dm->TblGrupos->recordCount(), 0);
    EXPECT_EQ(w.currentGrupo, "");
    EXPECT_EQ(w.LblIGrupo->text(), "");
    EXPECT_EQ(w.LblIGradoGrupos->text(), "7");
    EXPECT_EQ(codigosListados(h.dm->TblEstudiantes), QStringList({"7a-sin-grupo"}));
}

TEST_F(Selection, MovingToAnotherCategoryWhoseGroupsLackTheCodeShowsAnEmptyList)
{
    TFrmMain& w = h.start();
    w.PgGrados->setCurrentWidget(w.TSGrupos);
    h.dm->TblGrupos->next();   // 5B
    w.PgGrados->setCurrentWidget(w.TSGrados);
    EXPECT_EQ(w.currentGrupo, "B");
    h.dm->TblAbaGrados->next();   // 6 has no group B
    EXPECT_EQ(w.currentGrado, 6);
    EXPECT_EQ(w.currentGrupo, "B");
    EXPECT_EQ(h.dm->TblEstudiantes->filter(), "IGrado=? and IGrupo=?");
    EXPECT_EQ(h.dm->TblEstudiantes->filterParams(), (QVariantList{6, "B"}));
    EXPECT_EQ(h.dm->TblEstudiantes->recordCount(), 0);
    EXPECT_EQ(w.lblSinEstud->text(), "Sin estudiantes.");
    // until the groups of 6 are shown
    w.PgGrados->setCurrentWidget(w.TSGrupos);
    EXPECT_EQ(w.currentGrupo, "A");
    EXPECT_EQ(codigosListados(h.dm->TblEstudiantes), QStringList({"6a"}));
    EXPECT_EQ(w.lblSinEstud->text(), "");
}

TEST_F(Selection, TheFirstCategoryAndGroupShowAsSoonAsTheWindowIsReady)
{
    TFrmMain& w = h.start();
    EXPECT_EQ(w.currentGrado, 5);
    EXPECT_EQ(w.currentGrupo, "A");
    EXPECT_EQ(w.LblIGrado->text(), "5");
    EXPECT_EQ(w.LblIGrupo->text(), "A");
    EXPECT_EQ(w.LblIGradoEstudiantes->text(), "QUINTO");
    // the persons list already holds only the first group, not the whole register
    EXPECT_EQ(h.dm->TblEstudiantes->recordCount(), 1);
    EXPECT_EQ(h.dm->TblEstudiantes->fieldByName("NEstudiante").asString(), "ANA");
    EXPECT_EQ(w.lblSinEstud->text(), "");
}

TEST_F(Selection, TheStoreCategoryHoldsTheSelectionOnceReached)
{
    categoria(h.site, -99, "BODEGA");   // rows are ordered by number: it comes first
    TFrmMain& w = h.start();
    // the window shows the first category as soon as its data sources are on
    ASSERT_EQ(h.dm->TblAbaGrados->fieldByName("IGrado").asInteger(), -99);
    EXPECT_EQ(w.currentGrado, -99);
    EXPECT_EQ(w.LblIGrado->text(), "-99");
    EXPECT_EQ(w.LblIGradoEstudiantes->text(), "BODEGA");
    ASSERT_TRUE(h.dm->TblAbaGrados->locate("IGrado", {6}));
    h.dm->TblAbaGrados->next();
    EXPECT_EQ(w.currentGrado, -99);
    EXPECT_EQ(w.LblIGrado->text(), "-99");
    EXPECT_EQ(w.LblIGradoEstudiantes->text(), "BODEGA");
    EXPECT_NE(h.dm->TblAbaMaterias->filter(), "IGrado=6");
}

// ---- the categories grid ----

class Categories : public ::testing::Test {
protected:
    void SetUp() override
    {
        categoria(h.site, 5, "QUINTO");
        categoria(h.site, 6, "SEXTO");
    }
    bool numeroEditable(TFrmMain& w)
    {
        const int fila = h.dm->TblAbaGrados->state() == kv::DataSetState::Insert ? h.dm->TblAbaGrados->recordCount()
                                                                                  : 0;
        auto* m = w.DBGrid1->model();
        return m->flags(m->index(fila, 0)) & Qt::ItemIsEditable;
    }
    MainHarness h;
};

TEST_F(Categories, OnlyAnAdministratorTypesTheNumberOfANewCategory)
{
    TFrmMain& w = h.start("1");
    EXPECT_FALSE(numeroEditable(w));
    tecla(w.DBGrid1, Qt::Key_Insert);
    ASSERT_EQ(h.dm->TblAbaGrados->state(), kv::DataSetState::Insert);
    EXPECT_TRUE(numeroEditable(w));
    auto* m = w.DBGrid1->model();
    const int fila = h.dm->TblAbaGrados->recordCount();
    ASSERT_TRUE(m->setData(m->index(fila, 0), "11"));
    ASSERT_TRUE(m->setData(m->index(fila, 1), "ONCE D'OR"));
    tecla(w.DBGrid1, Qt::Key_Return);
    EXPECT_EQ(h.dm->TblAbaGrados->state(), kv::DataSetState::Browse);
    EXPECT_FALSE(numeroEditable(w));
    EXPECT_EQ(h.site.count("AbaGrados", "IGrado=11 and NGrado=?", {"ONCE D'OR"}), 1);
}

TEST_F(Categories, TheCaptureUserNamesANewCategoryButCannotNumberIt)
{
    TFrmMain& w = h.start("0");
    tecla(w.DBGrid1, Qt::Key_Insert);
    ASSERT_EQ(h.dm->TblAbaGrados->state(), kv::DataSetState::Insert);
    EXPECT_FALSE(numeroEditable(w));
    auto* m = w.DBGrid1->model();
    const int fila = h.dm->TblAbaGrados->recordCount();
    EXPECT_FALSE(m->setData(m->index(fila, 0), "12"));
    EXPECT_TRUE(m->setData(m->index(fila, 1), "DOCE"));
    tecla(w.DBGrid1, Qt::Key_Return);
    EXPECT_EQ(h.site.count("AbaGrados", "NGrado='DOCE' and IGrado is null"), 1);
}

TEST_F(Categories, NamesAreEditedInPlaceAndDeletionAsksFirst)
{
    TFrmMain& w = h.start("1");
    auto* m = w.DBGrid1->model();
    ASSERT_TRUE(m->setData(m->index(1, 1), "SEXTO GRADO"));
    tecla(w.DBGrid1, Qt::Key_Return);
    EXPECT_EQ(h.site.scalar("select NGrado from AbaGrados where IGrado=6"), "SEXTO GRADO");
    EXPECT_EQ(w.LblIGradoEstudiantes->text(), "SEXTO GRADO");

    tecla(w.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);   // answered No
    ASSERT_EQ(h.msgs->questions.size(), 1u);
    EXPECT_EQ(h.msgs->questions[0].caption, QString::fromUtf8("¿Borrar la categoría?"));
    EXPECT_EQ(h.msgs->questions[0].text, QString::fromUtf8("Cód. Categoría: 6\nCategoría: SEXTO GRADO"));
    EXPECT_EQ(h.site.count("AbaGrados"), 2);
    h.msgs->answers = {true};
    tecla(w.DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(h.site.count("AbaGrados"), 1);
    EXPECT_EQ(h.site.count("AbaGrados", "IGrado=5"), 1);
}

// Types into the grid's own cell editor and leaves it with a key, as a user does.
QLineEdit* escribirEnCelda(kv::DBGrid* g, int fila, int col, const QString& texto)
{
    const QModelIndex ix = g->model()->index(fila, col);
    g->setCurrentIndex(ix);
    if (!g->indexWidget(ix)) g->edit(ix);
    auto* ed = qobject_cast<QLineEdit*>(g->indexWidget(ix));   // the cell's editor
    if (ed) ed->setText(texto);
    return ed;
}

TEST_F(Categories, ABadNumberIsRefusedAtTheCellAndLaterEditsAreStored)
{
    TFrmMain& w = h.start("1");
    kv::DBGrid* g = w.DBGrid1;
    tecla(g, Qt::Key_Insert);
    const int fila = h.dm->TblAbaGrados->recordCount();
    QLineEdit* ed = escribirEnCelda(g, fila, 0, "abc");
    ASSERT_NE(ed, nullptr);
    QTest::keyClick(ed, Qt::Key_Tab);
    EXPECT_EQ(h.msgs->lastText(), QString::fromUtf8("'abc' no es un valor entero válido para el campo IGrado."));
    // the cell stays in edit with what was typed
    QPointer<QLineEdit> abierto(ed);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(abierto);
    EXPECT_EQ(g->indexWidget(g->model()->index(fila, 0)), ed);
    EXPECT_EQ(ed->text(), "abc");
    QTest::keyClick(ed, Qt::Key_Escape);
    tecla(g, Qt::Key_Escape);
    EXPECT_EQ(h.dm->TblAbaGrados->state(), kv::DataSetState::Browse);

    // every later edit reaches the table: a new row and a renamed category
    tecla(g, Qt::Key_Insert);
    QTest::keyClick(escribirEnCelda(g, fila, 0, "14"), Qt::Key_Tab);
    QTest::keyClick(escribirEnCelda(g, fila, 1, "Catorce"), Qt::Key_Return);
    QCoreApplication::processEvents();   // the view commits an Enter on its next turn
    tecla(g, Qt::Key_Return);
    EXPECT_EQ(h.site.count("AbaGrados", "IGrado=14 and NGrado='Catorce'"), 1);
    QTest::keyClick(escribirEnCelda(g, 1, 1, "SEXTO B"), Qt::Key_Return);
    QCoreApplication::processEvents();
    tecla(g, Qt::Key_Return);
    EXPECT_EQ(h.site.scalar("select NGrado from AbaGrados where IGrado=6"), "SEXTO B");
    // the highlighted row is the category the rest of the window shows
    EXPECT_EQ(g->currentIndex().row(), h.dm->TblAbaGrados->currentRow());
    EXPECT_EQ(w.LblIGradoEstudiantes->text(), "SEXTO B");
    EXPECT_EQ(h.msgs->shown.size(), 1u);
}

// ---- the persons list ----

class PersonsList : public ::testing::Test {
protected:
    void SetUp() override
    {
        categoria(h.site, 5, "QUINTO");
        grupo(h.site, 5, "A");
        grupo(h.site, 5, "B");
        QImage img(30, 40, QImage::Format_RGB32);
        img.fill(Qt::blue);
        ASSERT_TRUE(img.save(h.site.tablesDir() + "/imagenes/ana.png"));
        QFile roto(h.site.tablesDir() + "/imagenes/roto.jpg");
        ASSERT_TRUE(roto.open(QIODevice::WriteOnly));
        roto.write("esto no es una imagen");
        roto.close();
        persona(h.site, 5, "A", 0, "ANA", "p0", QVariant(), "ana.png");
        persona(h.site, 5, "A", 1, "EVA", "p1", "M", "");
        persona(h.site, 5, "A", 2, "LUIS", "p2", "SUSPENDIDO", "no-existe.jpg");
        persona(h.site, 5, "A", 3, "RITA", "p3", QVariant(), "roto.jpg");
    }
    TFrmMain& abrir()
    {
        TFrmMain& w = h.start();
        w.PgGrados->setCurrentWidget(w.TSGrupos);
        return w;
    }
    MainHarness h;
};

TEST_F(PersonsList, PhotoStateAndSuspendCaptionFollowTheHighlightedPerson)
{
    TFrmMain& w = abrir();
    kv::TableCursor* t = h.dm->TblEstudiantes;
    ASSERT_EQ(t->recordCount(), 4);
    EXPECT_EQ(w.Image1->pixmap().size(), QSize(30, 40));
    EXPECT_EQ(w.Label8->text(), "");
    EXPECT_EQ(w.btnSuspender->text(), "SUSPENDER");
    EXPECT_EQ(w.lblSinEstud->text(), "");

    t->next();   // no photo name: cleared even though the previous person had one
    EXPECT_TRUE(w.Image1->pixmap().isNull());
    EXPECT_EQ(w.Label8->text(), "M");
    EXPECT_EQ(w.btnSuspender->text(), "SUSPENDER");

    t->prior();
    ASSERT_FALSE(w.Image1->pixmap().isNull());
    t->setRecNo(3);   // missing file: cleared silently
    EXPECT_TRUE(w.Image1->pixmap().isNull());
    EXPECT_EQ(w.Label8->text(), "SUSPENDIDO");
    EXPECT_EQ(w.btnSuspender->text(), "HABILITAR");

    t->first();
    t->setRecNo(4);   // unreadable file: cleared silently
    EXPECT_TRUE(w.Image1->pixmap().isNull());
    EXPECT_TRUE(h.msgs->shown.empty());

    h.dm->TblGrupos->next();   // group B is empty
    EXPECT_EQ(t->recordCount(), 0);
    EXPECT_TRUE(w.Image1->pixmap().isNull());
    EXPECT_EQ(w.Label8->text(), "");
    EXPECT_EQ(w.btnSuspender->text(), "SUSPENDER");
    EXPECT_EQ(w.lblSinEstud->text(), "Sin estudiantes.");
}

TEST_F(PersonsList, ACameraSizedPhotoIsReducedIntoThePhotoBoxAndTheWindowKeepsItsSize)
{
    QImage grande(1200, 1600, QImage::Format_RGB32);
    grande.fill(Qt::darkGreen);
    ASSERT_TRUE(grande.save(h.site.tablesDir() + "/imagenes/grande.jpg"));
    persona(h.site, 5, "A", 4, "ZOE", "p4", QVariant(), "grande.jpg");
    TFrmMain& w = abrir();
    const QSize caja = w.Image1->minimumSize();
    ASSERT_TRUE(h.dm->TblEstudiantes->locate("codigo", {"p4"}));
    const QSize foto = w.Image1->pixmap().size();
    ASSERT_FALSE(foto.isEmpty());
    EXPECT_LE(foto.width(), caja.width());
    EXPECT_LE(foto.height(), caja.height());
    EXPECT_NEAR(double(foto.width()) / foto.height(), 0.75, 0.02);   // proportions kept
    EXPECT_LE(w.minimumSizeHint().width(), 930);
    EXPECT_LE(w.minimumSizeHint().height(), 742);

    h.dm->TblEstudiantes->first();   // a small photo keeps its own size
    EXPECT_EQ(w.Image1->pixmap().size(), QSize(30, 40));
}

TEST_F(PersonsList, StateCodesAreNormalisedBeforeEveryPost)
{
    TFrmMain& w = abrir();
    kv::TableCursor* t = h.dm->TblEstudiantes;
    struct Caso { const char* situacion; const char* social; const char* situacionGuardada; const char* socialGuardado; };
    const Caso casos[] = {
        {"suspendido", "d", "SUSPENDIDO", "D"},
        {"Suspendido", "desplazé", "Suspendido", "DESPLAZÉ"},
        {"éxito", "", "éxito", ""},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.situacion);
        t->first();
        t->edit();
        t->setFieldValue("situacion", QString::fromUtf8(c.situacion));
        t->setFieldValue("sitSocial", QString::fromUtf8(c.social));
        t->post();
        EXPECT_EQ(h.site.scalar("select situacion from estudiantes where codigo='p0'"), QString::fromUtf8(c.situacionGuardada));
        EXPECT_EQ(h.site.scalar("select sitSocial from estudiantes where codigo='p0'"), QString::fromUtf8(c.socialGuardado));
    }
    // lower case typed, stored upper case: the person is now suspended
    t->first();
    t->edit();
    t->setFieldValue("situacion", "suspendido");
    t->post();
    EXPECT_EQ(w.btnSuspender->text(), "HABILITAR");
    EXPECT_EQ(w.Label8->text(), "SUSPENDIDO");
}

TEST_F(PersonsList, TheGridNeverStartsAPersonRow)
{
    TFrmMain& w = abrir();
    kv::TableCursor* t = h.dm->TblEstudiantes;
    w.DBGEstudiantes->setFocus();
    tecla(w.DBGEstudiantes, Qt::Key_Insert);
    EXPECT_EQ(t->state(), kv::DataSetState::Browse);
    t->last();
    tecla(w.DBGEstudiantes, Qt::Key_Down);
    EXPECT_EQ(t->state(), kv::DataSetState::Browse);
    EXPECT_EQ(h.site.count("estudiantes"), 4);

    // a row started by someone else: the grid lets no key through until it ends
    t->append();
    QKeyEvent letra(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "X");
    EXPECT_TRUE(w.findChild<RegisterCommands*>()->DBGEstudiantesKeyDown(&letra));
    tecla(w.DBGEstudiantes, Qt::Key_Return);
    EXPECT_EQ(t->state(), kv::DataSetState::Insert);
    t->cancel();
    QKeyEvent arriba(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    EXPECT_FALSE(w.findChild<RegisterCommands*>()->DBGEstudiantesKeyDown(&arriba));
    EXPECT_EQ(h.site.count("estudiantes"), 4);
}

TEST_F(PersonsList, ANameIsCorrectedInPlaceWithAnApostrophe)
{
    TFrmMain& w = abrir();
    auto* m = w.DBGEstudiantes->model();
    ASSERT_TRUE(m->setData(m->index(0, 0), "ANA O'HARA"));
    tecla(w.DBGEstudiantes, Qt::Key_Return);
    EXPECT_EQ(h.site.count("estudiantes", "NEstudiante=?", {"ANA O'HARA"}), 1);
    EXPECT_FALSE(m->flags(m->index(0, 1)) & Qt::ItemIsEditable);   // the code is read-only here
}

} // namespace
