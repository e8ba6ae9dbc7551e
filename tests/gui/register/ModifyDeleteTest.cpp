// Modifying and deleting the highlighted person.
#include "PersonsHelpers.h"
#include "register/forms/TFrmModEst.h"
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

using ptest::PersonsSite;

namespace {

class ModifyPerson : public ::testing::Test {
protected:
    void SetUp() override
    {
        s.persona(11, "B", 4, "Ana María", "ANA1", "M");
        s.persona(11, "B", 5, "BETO", "BETO1");
        s.h.site.exec("update estudiantes set NumMatr=77, numCarnet=88, rh='A+', sitSocial='D', idFoto='ana.jpg',"
                      " docIdent='123', fechaNac='2009-04-01' where codigo='ANA1'");
        // marks of the code in this category and, by coincidence, in another one
        s.h.site.exec("insert into notas (codigo, IGrado, IGrupo, IEstudiante, IMateria, IPeriodo, nota)"
                      " values ('ANA1', 11, 'B', 4, 'MAT', 1, 4.5)");
        s.h.site.exec("insert into notas (codigo, IGrado, IGrupo, IEstudiante, IMateria, IPeriodo, nota)"
                      " values ('ANA1', 11, 'B', 4, 'ESP', 1, 3.5)");
        s.h.site.exec("insert into notas (codigo, IGrado, IGrupo, IEstudiante, IMateria, IPeriodo, nota)"
                      " values ('ANA1', 5, 'A', 1, 'MAT', 1, 2.0)");
        s.h.site.exec("insert into entradasSalidas (codigo, fecha, hora, nestudiante, tipomvt, subido)"
                      " values ('ANA1', '2026-12-01', '07:00:00', 'Ana María', 'E', 0)");
        s.abrir(11, "B");
        s.resaltar("ANA1");
    }
    PersonsSite s;
};

} // namespace

TEST_F(ModifyPerson, DialogShowsTheHighlightedPerson)
{
    TFrmModEst f(QStringLiteral("11"), QStringLiteral("B"));
    EXPECT_EQ(f.LblIEstudiante->text(), "4");
    EXPECT_EQ(f.EdGrado->text(), "11");
    EXPECT_EQ(f.EdGrupo->text(), "B");
    EXPECT_FALSE(f.EdGrado->isEnabled());
    EXPECT_EQ(f.EdNEstudiante->text(), "Ana María");   // mixed case allowed here
    EXPECT_EQ(f.edSitAcad->text(), "M");
    EXPECT_EQ(f.EdNumMatr->text(), "77");
    EXPECT_EQ(f.edNumCarnet->text(), "88");
    EXPECT_EQ(f.edRH->text(), "A+");
    EXPECT_EQ(f.edSitSocial->text(), "D");
    EXPECT_EQ(f.edIdFoto->text(), "ana.jpg");
    EXPECT_EQ(f.edDocIdent->text(), "123");
    EXPECT_EQ(f.dtpFechaNac->date(), QDate(2009, 4, 1));
    EXPECT_EQ(f.edCodigo->text(), "ANA1");
}

TEST_F(ModifyPerson, KeepingTheCodeSavesWithoutSearchingItAndLeavesMarksAlone)
{
    // An old duplicate of the code must not stop a correction of the name.
    s.persona(5, "A", 9, "DUPLICADO ANTIGUO", "ANA1");
    TFrmModEst f(QStringLiteral("11"), QStringLiteral("B"));
    f.EdNEstudiante->setText("Ana María Gómez");
    f.edSitAcad->setText("");
    f.EdNumMatr->setText("");
    f.BtnAceptar->click();
    EXPECT_EQ(s.msgs().texts(), QStringList{"Estudiante modificado."});
    EXPECT_EQ(f.result(), QDialog::Accepted);
    kv::Query q = s.h.site.query("select * from estudiantes where codigo='ANA1' and IGrado=11");
    EXPECT_EQ(q.fieldByName("NEstudiante").asString(), "Ana María Gómez");
    EXPECT_EQ(q.fieldByName("NumMatr").asString(), "0");
    EXPECT_EQ(q.fieldByName("situacion").asString(), "");
    EXPECT_EQ(q.fieldByName("IEstudiante").asInteger(), 4);
    EXPECT_EQ(q.fieldByName("fechaNac").asDate(), QDate(2009, 4, 1));
    EXPECT_EQ(s.h.site.count("notas", "codigo='ANA1'"), 3);
}

TEST_F(ModifyPerson, NewCodeRewritesTheMarksOfTheCategoryButNotTheMovements)
{
    TFrmModEst f(QStringLiteral("11"), QStringLiteral("B"));
    f.edCodigo->setText("ANA2");
    f.BtnAceptar->click();
    EXPECT_EQ(s.msgs().texts(), QStringList{"Estudiante modificado."});
    EXPECT_EQ(s.campo("ANA2", "NEstudiante"), "Ana María");
    EXPECT_EQ(s.h.site.count("estudiantes", "codigo='ANA1'"), 0);
    EXPECT_EQ(s.h.site.count("notas", "codigo='ANA2' and IGrado=11"), 2);
    EXPECT_EQ(s.h.site.count("notas", "codigo='ANA1' and IGrado=5"), 1);   // other category keeps it
    EXPECT_EQ(s.h.site.count("entradasSalidas", "codigo='ANA1'"), 1);
    EXPECT_EQ(s.h.site.count("entradasSalidas", "codigo='ANA2'"), 0);
}

TEST_F(ModifyPerson, ValidationShowsTheMessagesClosesAndChangesNothing)
{
    {
        TFrmModEst f(QStringLiteral("11"), QStringLiteral("B"));
        f.EdNEstudiante->setText("");
        f.EdNumMatr->setText("1");
        f.BtnAceptar->click();
        EXPECT_EQ(s.msgs().lastText(), "Debe Corregir: \nColoque el nombre del estudiante.\n");
        EXPECT_EQ(f.result(), QDialog::Rejected);
    }
    {
        TFrmModEst f(QStringLiteral("11"), QStringLiteral("B"));
        f.EdNEstudiante->setText("");
        f.edCodigo->setText("");
        f.BtnAceptar->click();
        EXPECT_EQ(s.msgs().lastText(), "Debe Corregir: \nColoque el nombre del estudiante.\n"
                                       "El código del estudiante no puede estar vacío y debe ser único.");
    }
    {
        TFrmModEst f(QStringLiteral("11"), QStringLiteral("B"));
        f.edCodigo->setText("BETO1");
        f.BtnAceptar->click();
        EXPECT_EQ(s.msgs().lastText(), "Debe Corregir: \nCódigo del estudiante ya está asignado. Coloque otro.\n");
    }
    EXPECT_EQ(s.msgs().shown.size(), 3u);
    EXPECT_EQ(s.campo("ANA1", "NEstudiante"), "Ana María");
    EXPECT_EQ(s.campo("ANA1", "NumMatr"), "77");
    EXPECT_EQ(s.h.site.count("estudiantes", "codigo='BETO1'"), 1);
    EXPECT_EQ(s.h.site.count("notas", "codigo='ANA1'"), 3);
}

TEST_F(ModifyPerson, FailedSaveShowsTheErrorAndLeavesThePersonAsItWas)
{
    TFrmModEst f(QStringLiteral("11"), QStringLiteral("B"));
    f.EdNEstudiante->setText("CAMBIADO");
    f.edNumCarnet->setText("8x8");
    f.edCodigo->setText("ANA9");
    f.BtnAceptar->click();
    ASSERT_EQ(s.msgs().shown.size(), 1u);
    EXPECT_EQ(s.msgs().shown[0].caption, "Error");
    EXPECT_EQ(f.result(), QDialog::Rejected);
    EXPECT_EQ(kv::DM->TblEstudiantes->state(), kv::DataSetState::Browse);
    EXPECT_EQ(s.campo("ANA1", "NEstudiante"), "Ana María");
    EXPECT_EQ(s.h.site.count("notas", "codigo='ANA1'"), 3);
}

TEST_F(ModifyPerson, ModificarWorksOnTheHighlightedRowFromTheMainWindow)
{
    TFrmMain& w = *s.h.w;
    s.resaltar("BETO1");
    QString visto;
    ASSERT_TRUE(ptest::enDialogo<TFrmModEst>(w.BtnModEst, [&](TFrmModEst* f) {
        visto = f->EdNEstudiante->text();
        f->EdNEstudiante->setText("BETO ROJAS");
        f->edSitAcad->setText("suspendido");   // state codes are normalised before the post
        f->BtnAceptar->click();
    }));
    EXPECT_EQ(visto, "BETO");
    EXPECT_EQ(s.msgs().texts(), QStringList{"Estudiante modificado."});
    EXPECT_EQ(s.campo("BETO1", "NEstudiante"), "BETO ROJAS");
    EXPECT_EQ(s.campo("BETO1", "situacion"), "SUSPENDIDO");
    EXPECT_EQ(s.campo("BETO1", "fechaNac"), "");   // no birth date before, none invented
    EXPECT_EQ(s.campo("ANA1", "NEstudiante"), "Ana María");
}

TEST_F(ModifyPerson, DeleteAsksAndRemovesOnlyThePersonRow)
{
    TFrmMain& w = *s.h.w;
    s.msgs().answers = {false};
    w.BtnBorrarEst->click();
    ASSERT_EQ(s.msgs().questions.size(), 1u);
    EXPECT_EQ(s.msgs().questions[0].caption, "Confirma borrar el estudiante?");
    EXPECT_EQ(s.msgs().questions[0].text, "Ana María\nid interno: 4\nGrupo: B\nGrado: 11");
    EXPECT_EQ(s.msgs().questions[0].icon, kv::MsgIcon::Warning);
    EXPECT_EQ(s.h.site.count("estudiantes"), 2);

    s.msgs().answers = {true};
    w.BtnBorrarEst->click();
    EXPECT_EQ(s.h.site.count("estudiantes", "codigo='ANA1'"), 0);
    EXPECT_EQ(s.h.site.count("estudiantes", "codigo='BETO1'"), 1);
    EXPECT_EQ(s.h.site.count("notas", "codigo='ANA1'"), 3);
    EXPECT_EQ(s.h.site.count("entradasSalidas", "codigo='ANA1'"), 1);
    EXPECT_EQ(kv::DM->TblEstudiantes->recordCount(), 1);
    EXPECT_TRUE(s.msgs().shown.empty());
}
