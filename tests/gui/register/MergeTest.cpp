// Merging two groups: renumbering, marks carried along, all or nothing.
#include "support/RegisterHelpers.h"
#include "base/forms/TFrmAviso.h"
#include "register/Merge.h"
#include "data/TDM.h"
#include "register/forms/TFrmFusionar.h"
#include "support/gui/MainHarness.h"
#include "support/gui/Modal.h"
#include <gtest/gtest.h>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

using namespace regtest;
using kvtest::MainHarness;

namespace {

class Merge : public ::testing::Test {
protected:
    void SetUp() override
    {
        categoria(h.site, 5, "QUINTO");
        grupo(h.site, 5, "A");
        grupo(h.site, 5, "B");
        grupo(h.site, 5, "C");   // no persons
        grupo(h.site, 6, "B");
        for (int i = 0; i < 5; ++i) persona(h.site, 5, "A", i, "A" + QString::number(i), "a" + QString::number(i));
        // stored out of number order on purpose
        for (int i : {2, 0, 1}) {
            persona(h.site, 5, "B", i, "B" + QString::number(i), "b" + QString::number(i));
            h.site.exec("insert into notas (codigo, IGrado, IGrupo, IEstudiante, IMateria, IPeriodo, nota) "
                        "values (?, 5, 'B', ?, 'MAT', 1, ?)", {"b" + QString::number(i), i, 3.0 + i});
            h.site.exec("insert into notasdef (IGrado, IGrupo, IEstudiante, IMateria, notaDef) values (5, 'B', ?, 'MAT', ?)",
                        {i, 3.0 + i});
        }
        persona(h.site, 6, "B", 0, "OTRA", "x0");
        h.site.exec("insert into notas (codigo, IGrado, IGrupo, IEstudiante, IMateria, IPeriodo, nota) "
                    "values ('x0', 6, 'B', 0, 'MAT', 1, 1.0)");
        h.site.exec("insert into MovMat (IGrado, IGrupo, IMateria) values (5, 'B', 'MAT')");
    }
    TFrmMain& abrir()
    {
        TFrmMain& w = h.start();
        w.PgGrados->setCurrentWidget(w.TSGrupos);
        return w;
    }
    QMap<QString, QStringList> todo()
    {
        QMap<QString, QStringList> m;
        for (const char* t : {"grupos", "estudiantes", "notas", "notasdef", "notasdef_guardada", "MovMat"})
            if (h.site.db()->hasTable(t)) m[t] = volcado(h.site, t);
        return m;
    }
    QString nota(const QString& tabla, const QString& campo, double valor)
    {
        return h.site.scalar("select IGrupo || '/' || IEstudiante from " + tabla + " where " + campo + "=?", {valor});
    }
    MainHarness h;
};

TEST_F(Merge, DialogOffersTheGroupsAndMergesTheSecondIntoTheFirstByDefault)
{
    TFrmMain& w = abrir();
    TFrmFusionar d(&w, 5);
    EXPECT_EQ(d.windowTitle(), "FrmFusionar");
    EXPECT_EQ(d.LblGrado->text(), "GRADO=5");
    ASSERT_EQ(d.CBGrupoOrigen->count(), 3);
    EXPECT_EQ(d.CBGrupoOrigen->currentText(), "B");
    EXPECT_EQ(d.CBGrupoDestino->currentText(), "A");
    EXPECT_EQ(w.currentGrupo, "C");   // filling the lists walked the groups to the last one

    d.BtnAceptar->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(h.msgs->shown.empty());
    EXPECT_EQ(TFrmAviso::actual(), nullptr);
    // B's persons follow A's 0..4 in their number order; codes do not change
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(grupoDe(h.site, "b" + QString::number(i)), "A");
        EXPECT_EQ(numero(h.site, "b" + QString::number(i)), QString::number(5 + i));
        EXPECT_EQ(nota("notas", "nota", 3.0 + i), "A/" + QString::number(5 + i));
        EXPECT_EQ(nota("notasdef", "notaDef", 3.0 + i), "A/" + QString::number(5 + i));
    }
    for (int i = 0; i < 5; ++i) EXPECT_EQ(numero(h.site, "a" + QString::number(i)), QString::number(i));
    EXPECT_EQ(h.site.count("grupos", "IGrado=5 and IGrupo='B'"), 0);
    EXPECT_EQ(h.site.count("grupos"), 3);
    // another category's group B and its marks are not touched; subject links stay
    EXPECT_EQ(grupoDe(h.site, "x0"), "B");
    EXPECT_EQ(nota("notas", "nota", 1.0), "B/0");
    EXPECT_EQ(h.site.count("MovMat", "IGrado=5 and IGrupo='B'"), 1);
    EXPECT_EQ(h.dm->TblGrupos->recordCount(), 2);
}

TEST_F(Merge, IntoAnEmptyGroupNumbersFromZero)
{
    abrir();
    kv::FusionarGrupos(kv::TablesDir(), 5, "A", "C");
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(grupoDe(h.site, "a" + QString::number(i)), "C");
        EXPECT_EQ(numero(h.site, "a" + QString::number(i)), QString::number(i));
    }
    EXPECT_EQ(h.site.count("grupos", "IGrado=5 and IGrupo='A'"), 0);
}

TEST_F(Merge, TheSameGroupTwiceIsRefused)
{
    TFrmMain& w = abrir();
    const auto antes = todo();
    TFrmFusionar d(&w, 5);
    d.CBGrupoOrigen->setEditText("A");
    d.CBGrupoDestino->setEditText("A");
    d.BtnAceptar->click();
    EXPECT_EQ(h.msgs->lastText(), "Para fusionarse los dos grupos deben ser distintos.");
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_EQ(todo(), antes);
}

TEST_F(Merge, ADestinationThatIsNoGroupOfTheCategoryIsRefusedSoNoPersonIsLeftWithoutAGroup)
{
    TFrmMain& w = abrir();
    grupo(h.site, 6, "K");   // a group of another category is no destination either
    const auto antes = todo();
    for (const char* destino : {"  ", "Z'; drop table grupos; --", "K", "a"}) {
        SCOPED_TRACE(destino);
        h.msgs->shown.clear();
        TFrmFusionar d(&w, 5);
        d.CBGrupoOrigen->setEditText("B");
        d.CBGrupoDestino->setEditText(destino);
        d.BtnAceptar->click();
        EXPECT_EQ(h.msgs->texts(), QStringList{QString::fromUtf8("Debe Corregir: \nColoque un código de grupo válido \n")});
        EXPECT_NE(d.result(), QDialog::Accepted);
        EXPECT_EQ(TFrmAviso::actual(), nullptr);
        EXPECT_EQ(todo(), antes);
        // the core refuses it too, whoever calls it
        EXPECT_THROW(kv::FusionarGrupos(kv::TablesDir(), 5, "B", QString::fromUtf8(destino).trimmed()), std::invalid_argument);
        EXPECT_EQ(todo(), antes);
    }
}

// Two persons of a group may share a number (a moved person keeps its own): each one's
// marks must end under that person's new number, never under the other's.
TEST_F(Merge, PersonsSharingANumberEachKeepTheirOwnMarks)
{
    abrir();
    persona(h.site, 5, "B", 1, "OTRO UNO", "b1bis");
    h.site.exec("insert into notas (codigo, IGrado, IGrupo, IEstudiante, IMateria, IPeriodo, nota) "
                "values ('b1bis', 5, 'B', 1, 'MAT', 1, 9.5)");
    kv::FusionarGrupos(kv::TablesDir(), 5, "B", "A");
    const QString b1 = numero(h.site, "b1"), b1bis = numero(h.site, "b1bis");
    ASSERT_NE(b1, b1bis);
    EXPECT_EQ(nota("notas", "nota", 4.0), "A/" + b1);
    EXPECT_EQ(nota("notas", "nota", 9.5), "A/" + b1bis);
    EXPECT_EQ(h.site.scalar("select codigo from notas where IGrupo='A' and IEstudiante=?", {b1.toInt()}), "b1");
    EXPECT_EQ(h.site.scalar("select codigo from notas where IGrupo='A' and IEstudiante=?", {b1bis.toInt()}), "b1bis");
    // a final mark holds no code: with its number shared it is not handed to either person
    EXPECT_EQ(nota("notasdef", "notaDef", 4.0), "B/1");
    EXPECT_EQ(nota("notasdef", "notaDef", 3.0), "A/" + numero(h.site, "b0"));
}

TEST_F(Merge, PersonsWithoutOrSharingANumberEachGetTheirOwnAndNoneStaysBehind)
{
    abrir();
    // a person without number, and a second number 1, in the origin group
    persona(h.site, 5, "B", 0, "SIN", "bn");
    h.site.exec("update estudiantes set IEstudiante=null where codigo='bn'");
    persona(h.site, 5, "B", 1, "OTRO UNO", "b1bis");
    kv::FusionarGrupos(kv::TablesDir(), 5, "B", "A");
    EXPECT_EQ(h.site.count("estudiantes", "IGrupo='B' and IGrado=5"), 0);
    QStringList numeros;
    for (const char* c : {"bn", "b0", "b1", "b1bis", "b2"}) {
        SCOPED_TRACE(c);
        EXPECT_EQ(grupoDe(h.site, c), "A");
        numeros << numero(h.site, c);
    }
    numeros.sort();
    EXPECT_EQ(numeros, QStringList({"5", "6", "7", "8", "9"}));
    // person 0's marks go with person 0, not with the person who had no number
    EXPECT_EQ(nota("notas", "nota", 3.0), "A/" + numero(h.site, "b0"));
    EXPECT_EQ(nota("notasdef", "notaDef", 3.0), "A/" + numero(h.site, "b0"));
}

TEST_F(Merge, ASingleGroupLeavesBothListsOnIt)
{
    categoria(h.site, 6, "SEXTO");
    TFrmMain& w = abrir();
    h.dm->TblGrupos->setFilter("IGrado=6");
    TFrmFusionar d(&w, 6);
    EXPECT_EQ(d.CBGrupoOrigen->count(), 1);
    EXPECT_EQ(d.CBGrupoOrigen->currentText(), "B");
    EXPECT_EQ(d.CBGrupoDestino->currentText(), "B");
}

TEST_F(Merge, AnEngineErrorLeavesEveryTableAsBeforeAndClosesTheNotice)
{
    TFrmMain& w = abrir();
    struct Falla { const char* nombre; const char* sql; };
    const Falla fallas[] = {
        {"sin notasdef", "alter table notasdef rename to notasdef_guardada"},
        {"grupo protegido",
         "CREATE TRIGGER protegido BEFORE DELETE ON grupos BEGIN SELECT RAISE(ABORT, 'grupo protegido'); END"},
    };
    for (const Falla& f : fallas) {
        SCOPED_TRACE(f.nombre);
        h.site.exec(f.sql);
        const auto antes = todo();
        h.msgs->shown.clear();
        TFrmFusionar d(&w, 5);
        d.CBGrupoOrigen->setEditText("B");
        d.CBGrupoDestino->setEditText("A");
        d.BtnAceptar->click();
        ASSERT_EQ(h.msgs->shown.size(), 1u);
        EXPECT_EQ(h.msgs->shown[0].caption, "Error");
        EXPECT_EQ(TFrmAviso::actual(), nullptr);
        EXPECT_NE(d.result(), QDialog::Accepted);
        EXPECT_EQ(todo(), antes);
        EXPECT_EQ(numero(h.site, "b0"), "0");
        if (QString(f.nombre) == "sin notasdef") h.site.exec("alter table notasdef_guardada rename to notasdef");
    }
}

TEST_F(Merge, TypedCodesWithApostrophesAreValues)
{
    grupo(h.site, 5, "O'");
    persona(h.site, 5, "O'", 0, "RARO", "o0");
    abrir();
    kv::FusionarGrupos(kv::TablesDir(), 5, "O'", "A");
    EXPECT_EQ(grupoDe(h.site, "o0"), "A");
    EXPECT_EQ(numero(h.site, "o0"), "5");
    EXPECT_EQ(h.site.count("grupos", "IGrupo=?", {"O'"}), 0);

    // a destination with an apostrophe that is a group of the category
    grupo(h.site, 5, "Z'");
    kv::FusionarGrupos(kv::TablesDir(), 5, "C", "Z'");   // C has nobody: only its row goes
    EXPECT_EQ(h.site.count("grupos", "IGrupo='C'"), 0);
    kv::FusionarGrupos(kv::TablesDir(), 5, "B", "Z'");
    EXPECT_EQ(grupoDe(h.site, "b0"), "Z'");
    EXPECT_EQ(numero(h.site, "b0"), "0");
    EXPECT_EQ(h.site.count("grupos", "IGrupo=?", {"Z'"}), 1);
    EXPECT_EQ(h.site.count("estudiantes", "IGrado=5"), 9);
}

TEST_F(Merge, TheMainWindowButtonOpensTheDialogOnTheCurrentCategory)
{
    TFrmMain& w = abrir();
    QString grado;
    kvtest::onNextModal([&](QWidget* m) {
        if (auto* d = qobject_cast<TFrmFusionar*>(m)) grado = d->LblGrado->text();
        m->close();
    });
    w.BtnFusionarGrupos->click();
    EXPECT_EQ(grado, "GRADO=5");
    EXPECT_EQ(h.site.count("grupos"), 4);
}

} // namespace
