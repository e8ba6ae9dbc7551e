// Adding, modifying and deleting groups from the main window and its two group dialogs.
#include "support/RegisterHelpers.h"
#include "register/forms/TFrmAddGrupo.h"
#include "register/forms/TFrmModGrupo.h"
#include "support/gui/MainHarness.h"
#include "support/gui/Modal.h"
#include "data/forms/DBGrid.h"
#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using namespace regtest;
using kvtest::MainHarness;

namespace {

const QString kDebe = QStringLiteral("Debe Corregir: \n");

class GroupDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        categoria(h.site, 5, "QUINTO");
        categoria(h.site, 6, "SEXTO");
        categoria(h.site, 7, "SEPTIMO");
        grupo(h.site, 5, "A");
        materia(h.site, 5, "MAT");
        materia(h.site, 5, "ESP");
        materia(h.site, 6, "BIO");
        // links of earlier runs still without group: one of this category, one of another
        h.site.exec("insert into MovMat (IGrado, IMateria) values (5, 'ART')");
        h.site.exec("insert into MovMat (IGrado, IMateria) values (6, 'QUI')");
    }
    TFrmMain& abrir()
    {
        TFrmMain& w = h.start();
        w.PgGrados->setCurrentWidget(w.TSGrupos);
        return w;
    }
    void agregar(TFrmAddGrupo& d, const QString& g, const QString& dir = QString(), const QString& msg = QString())
    {
        d.EdIGrupo->setText(g);
        d.EdNDirector->setText(dir);
        d.EdMensaje->setText(msg);
        d.BtnAceptar->click();
    }
    MainHarness h;
};

TEST_F(GroupDialogs, AddValidatesThenStoresTheGroupWithItsSubjectLinks)
{
    TFrmMain& w = abrir();
    TFrmAddGrupo d(&w, "5");
    EXPECT_EQ(d.windowTitle(), "Adicionar grupo");
    EXPECT_EQ(d.EdIGrado->text(), "5");
    EXPECT_FALSE(d.EdIGrado->isEnabled());

    agregar(d, "");
    EXPECT_EQ(h.msgs->lastText(), kDebe + "Coloque un código de grupo válido \n");
    agregar(d, "A");
    EXPECT_EQ(h.msgs->lastText(), kDebe + "Código del grupo ya está asignado.");
    EXPECT_EQ(h.site.count("grupos"), 1);

    agregar(d, "C", "O'NEIL", "HOLA");
    EXPECT_EQ(h.msgs->lastText(), "Grupo adicionado.");
    EXPECT_EQ(h.site.count("grupos", "IGrado=5 and IGrupo='C' and IProfesor=? and Mensaje='HOLA'", {"O'NEIL"}), 1);
    EXPECT_EQ(h.site.scalar("select coalesce(NDirector,'-') from grupos where IGrupo='C'"), "-");
    // two subjects of the category plus the left-over link, all now of group C
    EXPECT_EQ(h.site.count("MovMat", "IGrado=5 and IGrupo='C'"), 3);
    EXPECT_EQ(h.site.count("MovMat", "IGrado=5 and IGrupo='C' and IMateria='ART'"), 1);
    EXPECT_EQ(h.site.count("MovMat", "IGrado=6 and IGrupo is null"), 1);   // other category untouched
    // the new row is the groups table's current row, so the window follows it
    EXPECT_EQ(w.currentGrupo, "C");
    EXPECT_EQ(w.LblIGrupo->text(), "C");
    EXPECT_EQ(w.lblSinEstud->text(), "Sin estudiantes.");

    // the boxes keep their text: a second Aceptar is refused
    d.BtnAceptar->click();
    EXPECT_EQ(h.msgs->lastText(), kDebe + "Código del grupo ya está asignado.");
    EXPECT_EQ(h.site.count("grupos", "IGrupo='C'"), 1);
    EXPECT_EQ(h.site.count("MovMat", "IGrado=5"), 3);
}

TEST_F(GroupDialogs, SameCodeInAnotherCategoryNoSubjectsAndApostrophes)
{
    TFrmMain& w = abrir();
    TFrmAddGrupo en6(&w, "6");
    agregar(en6, "A");
    EXPECT_EQ(h.msgs->lastText(), "Grupo adicionado.");
    EXPECT_EQ(h.site.count("grupos", "IGrupo='A'"), 2);
    EXPECT_EQ(h.site.count("MovMat", "IGrado=6 and IGrupo='A'"), 2);   // BIO + the left-over QUI

    TFrmAddGrupo en7(&w, "7");
    agregar(en7, "B");
    EXPECT_EQ(h.msgs->lastText(), "Grupo adicionado.");
    EXPECT_EQ(h.site.count("grupos", "IGrado=7"), 1);
    EXPECT_EQ(h.site.count("MovMat", "IGrado=7"), 0);

    TFrmAddGrupo raro(&w, "5");
    agregar(raro, "O'");
    EXPECT_EQ(h.msgs->lastText(), "Grupo adicionado.");
    EXPECT_EQ(h.site.count("MovMat", "IGrado=5 and IGrupo=?", {"O'"}), 3);
    agregar(raro, "O'");
    EXPECT_EQ(h.msgs->lastText(), kDebe + "Código del grupo ya está asignado.");
    EXPECT_EQ(h.site.count("grupos", "IGrupo=?", {"O'"}), 1);
}

TEST_F(GroupDialogs, AnEngineErrorWhileAddingStoresNothing)
{
    TFrmMain& w = abrir();
    h.site.exec("drop table AbaMaterias");
    const QStringList movmat = volcado(h.site, "MovMat");
    TFrmAddGrupo d(&w, "5");
    agregar(d, "Z");
    ASSERT_FALSE(h.msgs->shown.empty());
    EXPECT_EQ(h.msgs->shown.back().caption, "Error");
    EXPECT_EQ(h.site.count("grupos", "IGrupo='Z'"), 0);
    EXPECT_EQ(volcado(h.site, "MovMat"), movmat);
    EXPECT_EQ(h.dm->TblGrupos->state(), kv::DataSetState::Browse);
}

TEST_F(GroupDialogs, ModifyShowsAndStoresDirectorAndMessage)
{
    TFrmMain& w = abrir();
    {
        TFrmAddGrupo d(&w, "5");
        agregar(d, "C", "PEREZ", "MSG1");
    }
    TFrmModGrupo m(&w, "5", w.currentGrupo);
    EXPECT_EQ(m.windowTitle(), "FrmModGrupo");
    EXPECT_EQ(m.EdIGrupo->text(), "C");
    EXPECT_FALSE(m.EdIGrupo->isEnabled());
    EXPECT_EQ(m.EdNDirector->text(), "PEREZ");   // shown again here...
    EXPECT_EQ(m.EdMensaje->text(), "MSG1");
    // ...but the groups grid shows NDirector, which nobody writes
    const int fila = h.dm->TblGrupos->currentRow();
    EXPECT_EQ(w.DBGri->model()->index(fila, 1).data().toString(), "");

    m.EdNDirector->setText("GÓMEZ D'ARC");
    m.EdMensaje->setText("123456789012345");   // the box holds 12
    m.BtnAceptar->click();
    EXPECT_EQ(h.msgs->lastText(), "Grupo modificado.");
    EXPECT_EQ(h.site.count("grupos", "IGrupo='C' and IProfesor=? and Mensaje='123456789012'",
                           {QString::fromUtf8("GÓMEZ D'ARC")}), 1);
    EXPECT_EQ(h.site.scalar("select IProfesor from grupos where IGrupo='A'"), "");

    TFrmModGrupo sinGrupo(&w, "7", "");
    sinGrupo.BtnAceptar->click();
    EXPECT_EQ(h.msgs->lastText(), kDebe + "Coloque un código de grupo válido \n");
}

TEST_F(GroupDialogs, MainWindowButtonsOpenTheDialogsOnTheCurrentCategoryAndGroup)
{
    TFrmMain& w = abrir();
    EXPECT_TRUE(w.BtnAddGrupo->isEnabled());
    QString grado, grupoMod, director;
    kvtest::onNextModal([&](QWidget* m) {
        auto* d = qobject_cast<TFrmAddGrupo*>(m);
        if (d) {
            grado = d->EdIGrado->text();
            agregar(*d, "B", "LUNA");
        }
        m->close();
    });
    w.BtnAddGrupo->click();
    EXPECT_EQ(grado, "5");
    EXPECT_EQ(h.site.count("grupos", "IGrado=5 and IGrupo='B'"), 1);

    kvtest::onNextModal([&](QWidget* m) {
        if (auto* d = qobject_cast<TFrmModGrupo*>(m)) {
            grupoMod = d->EdIGrupo->text();
            director = d->EdNDirector->text();
        }
        m->close();
    });
    w.BtnModGrupo->click();
    EXPECT_EQ(grupoMod, "B");
    EXPECT_EQ(director, "LUNA");
}

// ---- deleting a group ----

class DeleteGroup : public ::testing::Test {
protected:
    void SetUp() override
    {
        categoria(h.site, 5, "QUINTO");
        grupo(h.site, 5, "A");
        grupo(h.site, 5, "B");
        grupo(h.site, 6, "A");
        persona(h.site, 5, "A", 0, "ANA", "a0");
        persona(h.site, 5, "A", 1, "LUIS", "a1");
        persona(h.site, 5, "B", 0, "EVA", "b0");
        persona(h.site, 6, "A", 0, "SOL", "s0");
        for (const char* m : {"MAT", "ESP"}) {
            h.site.exec("insert into MovMat (IGrado, IGrupo, IMateria) values (5, 'A', ?)", {m});
            h.site.exec("insert into MovMat (IGrado, IGrupo, IMateria) values (5, 'B', ?)", {m});
            h.site.exec("insert into MovMat (IGrado, IGrupo, IMateria) values (6, 'A', ?)", {m});
        }
        h.site.exec("insert into entradasSalidas (codigo, fecha, hora, nestudiante, tipomvt) "
                    "values ('a0', '12/01/2026', '07:00:00', 'ANA', 'E')");
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
        for (const char* t : {"grupos", "estudiantes", "MovMat", "entradasSalidas"}) m[t] = volcado(h.site, t);
        return m;
    }
    MainHarness h;
};

TEST_F(DeleteGroup, AskedNoChangesNothingYesDeletesLinksPersonsAndRowButNotMovements)
{
    TFrmMain& w = abrir();
    ASSERT_EQ(w.currentGrupo, "A");
    const auto antes = todo();
    w.BtnBorGrupo->click();   // unscripted question: No
    ASSERT_EQ(h.msgs->questions.size(), 1u);
    EXPECT_EQ(h.msgs->questions[0].caption, "Confirma borrar el grupo con todos sus estudiantes y notas?");
    EXPECT_EQ(h.msgs->questions[0].text, "Grado: 5\nGrupo: A");
    EXPECT_EQ(h.msgs->questions[0].icon, kv::MsgIcon::Warning);
    EXPECT_EQ(todo(), antes);

    h.msgs->answers = {true};
    w.BtnBorGrupo->click();
    EXPECT_TRUE(h.msgs->shown.empty());
    EXPECT_EQ(h.site.count("grupos", "IGrado=5 and IGrupo='A'"), 0);
    EXPECT_EQ(h.site.count("estudiantes", "IGrado=5 and IGrupo='A'"), 0);
    EXPECT_EQ(h.site.count("MovMat", "IGrado=5 and IGrupo='A'"), 0);
    // the same code in another category, the other group and the movements stay
    EXPECT_EQ(h.site.count("grupos"), 2);
    EXPECT_EQ(h.site.count("estudiantes"), 2);
    EXPECT_EQ(h.site.count("MovMat"), 4);
    EXPECT_EQ(h.site.count("entradasSalidas", "codigo='a0'"), 1);
    // the window follows the groups table to the remaining group
    EXPECT_EQ(w.currentGrupo, "B");
    EXPECT_EQ(h.dm->TblEstudiantes->recordCount(), 1);
}

TEST_F(DeleteGroup, AnEngineErrorOnTheLastStepLeavesEveryTableAsBefore)
{
    TFrmMain& w = abrir();
    h.site.exec("CREATE TRIGGER no_borrar BEFORE DELETE ON grupos BEGIN SELECT RAISE(ABORT, 'grupo protegido'); END");
    const auto antes = todo();
    h.msgs->answers = {true};
    w.BtnBorGrupo->click();
    ASSERT_EQ(h.msgs->shown.size(), 1u);
    EXPECT_EQ(h.msgs->shown[0].caption, "Error");
    EXPECT_TRUE(h.msgs->shown[0].text.contains("grupo protegido")) << h.msgs->shown[0].text.toStdString();
    EXPECT_EQ(todo(), antes);
    EXPECT_EQ(h.dm->TblEstudiantes->recordCount(), 2);   // the list reads the restored rows
}

TEST_F(DeleteGroup, AGroupCodeWithAnApostropheIsFilteredAndDeleted)
{
    grupo(h.site, 5, "O'");
    persona(h.site, 5, "O'", 0, "RARO", "o0");
    h.site.exec("insert into MovMat (IGrado, IGrupo, IMateria) values (5, ?, 'MAT')", {"O'"});
    TFrmMain& w = abrir();
    ASSERT_TRUE(h.dm->TblGrupos->locate("IGrupo", {"O'"}));
    EXPECT_EQ(w.currentGrupo, "O'");
    EXPECT_EQ(h.dm->TblEstudiantes->recordCount(), 1);
    EXPECT_EQ(h.dm->TblEstudiantes->fieldByName("codigo").asString(), "o0");

    h.msgs->answers = {true};
    w.BtnBorGrupo->click();
    EXPECT_TRUE(h.msgs->shown.empty());
    EXPECT_EQ(h.site.count("grupos", "IGrupo=?", {"O'"}), 0);
    EXPECT_EQ(h.site.count("estudiantes", "IGrupo=?", {"O'"}), 0);
    EXPECT_EQ(h.site.count("MovMat", "IGrupo=?", {"O'"}), 0);
    EXPECT_EQ(h.site.count("estudiantes"), 4);
}

TEST_F(DeleteGroup, ACategoryWithoutGroupsHasNothingToDelete)
{
    categoria(h.site, 8, "OCTAVO");
    TFrmMain& w = abrir();
    w.PgGrados->setCurrentWidget(w.TSGrados);
    h.dm->TblAbaGrados->last();
    w.PgGrados->setCurrentWidget(w.TSGrupos);
    ASSERT_EQ(w.currentGrado, 8);
    ASSERT_EQ(w.currentGrupo, "");
    const auto antes = todo();
    h.msgs->answers = {true};
    w.BtnBorGrupo->click();
    EXPECT_TRUE(h.msgs->questions.empty());
    EXPECT_EQ(todo(), antes);
}

} // namespace
