// Adding persons: presets of the internal number, validation messages, generated codes,
// "Crear otro", and saves that fail half-way.
#include "PersonsHelpers.h"
#include "register/Persons.h"
#include "register/forms/TFrmEstudiantes.h"
#include <QDateEdit>
#include <QLineEdit>

using ptest::PersonsSite;

namespace {

class AddPerson : public ::testing::Test {
protected:
    PersonsSite s;
};

void llenar(TFrmEstudiantes& f, const QString& id, const QString& nombre, const QString& codigo = QString())
{
    f.EdIEstudiante->setText(id);
    f.EdNEstudiante->setText(nombre);
    f.edCodigo->setText(codigo);
}

} // namespace

TEST_F(AddPerson, InternalNumberIsPresetFromTheGroupAndFollowsEachSave)
{
    s.persona(11, "B", 3, "UNO", "C3");
    s.persona(11, "B", 12, "DOS", "C12");
    s.persona(11, "B", 5, "TRES", "C5");
    s.persona(11, "A", 40, "OTRO GRUPO", "C40");
    s.persona(5, "B", 90, "OTRA CATEGORIA", "C90");
    s.abrir(11, "A");

    {
        TFrmEstudiantes vacio(QStringLiteral("5"), QStringLiteral("A"));
        EXPECT_EQ(vacio.EdIEstudiante->text(), "0");   // first person of a group
        EXPECT_FALSE(vacio.BtnCrearEst->isEnabled());
        EXPECT_TRUE(vacio.BtnAddEst->isEnabled());
    }

    TFrmEstudiantes f(QStringLiteral("11"), QStringLiteral("B"));
    EXPECT_EQ(f.EdIEstudiante->text(), "13");
    EXPECT_EQ(f.dtpFechaNac->date(), QDate(2007, 5, 22));
    f.EdNEstudiante->setText("CUATRO");
    f.edCodigo->setText("C13");
    f.BtnAddEst->click();
    EXPECT_TRUE(s.msgs().shown.empty()) << s.msgs().lastText().toStdString();
    EXPECT_EQ(s.campo("C13", "IEstudiante"), "13");
    EXPECT_FALSE(f.BtnAddEst->isEnabled());
    EXPECT_TRUE(f.BtnCrearEst->isEnabled());

    f.BtnCrearEst->click();
    EXPECT_EQ(f.EdIEstudiante->text(), "14");
    EXPECT_TRUE(f.EdNEstudiante->text().isEmpty());
    EXPECT_EQ(f.edCodigo->text(), "C13");   // the other boxes keep their contents
    EXPECT_TRUE(f.BtnAddEst->isEnabled());
    EXPECT_FALSE(f.BtnCrearEst->isEnabled());

    // The number kept by the dialog counts saves, whatever was typed in the box.
    f.EdIEstudiante->setText("30");
    f.EdNEstudiante->setText("CINCO");
    f.edCodigo->setText("C30");
    f.BtnAddEst->click();
    f.BtnCrearEst->click();
    EXPECT_EQ(f.EdIEstudiante->text(), "15");
}

TEST_F(AddPerson, ValidationCollectsEveryMessageInOrderAndStoresNothing)
{
    s.persona(11, "B", 7, "SIETE", "TOMADO");
    s.abrir(11, "B");
    TFrmEstudiantes f(QStringLiteral("11"), QStringLiteral("B"));

    llenar(f, "", "");
    f.BtnAddEst->click();
    EXPECT_EQ(s.msgs().lastText(),
              "Debe Corregir: \nColoque un código de estudiante válido \nColoque el nombre del estudiante \n");

    // The texts run on into each other exactly as they are written.
    llenar(f, "7", "NUEVO", "TOMADO");
    f.BtnAddEst->click();
    EXPECT_EQ(s.msgs().lastText(),
              "Debe Corregir: \nId. interno del estudiante ya está asignado.Pruebe aumentándolo en 1."
              "Código del estudiante ya está asignado.");
    EXPECT_EQ(s.msgs().shown.size(), 2u);
    EXPECT_EQ(s.h.site.count("estudiantes"), 1);
    EXPECT_TRUE(f.BtnAddEst->isEnabled());
    EXPECT_FALSE(f.BtnCrearEst->isEnabled());

    // The same internal number in another group or category is free.
    TFrmEstudiantes otro(QStringLiteral("11"), QStringLiteral("A"));
    llenar(otro, "7", "NUEVO");
    otro.BtnAddEst->click();
    EXPECT_EQ(s.msgs().shown.size(), 2u) << s.msgs().lastText().toStdString();
    EXPECT_EQ(s.h.site.count("estudiantes", "IGrupo='A' and IEstudiante=7"), 1);
}

TEST_F(AddPerson, EmptyCodeIsGeneratedWithTheCheckLetterOfTheCategory)
{
    EXPECT_EQ(kv::LetraControl(0), QChar('A'));
    EXPECT_EQ(kv::LetraControl(11), QChar('L'));
    EXPECT_EQ(kv::CodigoGenerado("11", "B", "7"), "11B7L");

    s.abrir(11, "B");
    TFrmEstudiantes f(QStringLiteral("11"), QStringLiteral("B"));
    llenar(f, "7", "SIETE");
    f.EdNumMatr->setText("");
    f.edNumCarnet->setText("4411");
    f.edSitSocial->setText("D");
    f.edRH->setText("O+");
    f.edIdFoto->setText("siete.jpg");
    f.edDocIdent->setText("99.123");
    f.dtpFechaNac->setDate(QDate(2010, 2, 3));
    f.BtnAddEst->click();
    ASSERT_TRUE(s.msgs().shown.empty()) << s.msgs().lastText().toStdString();
    EXPECT_EQ(f.codigoCalculado(), "11B7L");

    kv::Query q = s.h.site.query("select * from estudiantes where codigo='11B7L'");
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldByName("IGrado").asInteger(), 11);
    EXPECT_EQ(q.fieldByName("IGrupo").asString(), "B");
    EXPECT_EQ(q.fieldByName("IEstudiante").asInteger(), 7);
    EXPECT_EQ(q.fieldByName("NEstudiante").asString(), "SIETE");
    EXPECT_EQ(q.fieldByName("NumMatr").asString(), "0");    // empty box stores 0
    EXPECT_EQ(q.fieldByName("numCarnet").asInteger(), 4411);
    EXPECT_EQ(q.fieldByName("docIdent").asString(), "99.123");
    EXPECT_EQ(q.fieldByName("rh").asString(), "O+");
    EXPECT_EQ(q.fieldByName("sitSocial").asString(), "D");
    EXPECT_EQ(q.fieldByName("idFoto").asString(), "siete.jpg");
    EXPECT_EQ(q.fieldByName("fechaNac").asDate(), QDate(2010, 2, 3));
    EXPECT_TRUE(q.fieldByName("situacion").asString().isEmpty());
    // The persons list of the main window shows the new person at once.
    EXPECT_EQ(kv::DM->TblEstudiantes->recordCount(), 1);

    // Same category, group and number again: both the number and the code are taken.
    TFrmEstudiantes g(QStringLiteral("11"), QStringLiteral("B"));
    llenar(g, "7", "OTRO SIETE");
    g.BtnAddEst->click();
    EXPECT_EQ(s.msgs().lastText(),
              "Debe Corregir: \nId. interno del estudiante ya está asignado.Pruebe aumentándolo en 1."
              "Código del estudiante ya está asignado.");
    EXPECT_EQ(s.h.site.count("estudiantes"), 1);
}

TEST_F(AddPerson, CrearOtroKeepsTheTypedCodeSoTheNextSaveReportsItUntilChanged)
{
    s.abrir(11, "B");
    TFrmEstudiantes f(QStringLiteral("11"), QStringLiteral("B"));
    llenar(f, "0", "PRIMERO", "CARNE-1");
    f.BtnAddEst->click();
    f.BtnCrearEst->click();
    f.EdNEstudiante->setText("SEGUNDO");
    f.BtnAddEst->click();
    EXPECT_EQ(s.msgs().lastText(), "Debe Corregir: \nCódigo del estudiante ya está asignado.");
    EXPECT_EQ(s.h.site.count("estudiantes"), 1);
    EXPECT_TRUE(f.BtnAddEst->isEnabled());

    f.edCodigo->setText("CARNE-2");
    f.BtnAddEst->click();
    EXPECT_EQ(s.msgs().shown.size(), 1u);
    EXPECT_EQ(s.campo("CARNE-2", "NEstudiante"), "SEGUNDO");
    EXPECT_EQ(s.campo("CARNE-2", "IEstudiante"), "1");
}

TEST_F(AddPerson, SaveFailingHalfWayStoresNothingAndKeepsTheDialogReady)
{
    s.abrir(11, "B");
    TFrmEstudiantes f(QStringLiteral("11"), QStringLiteral("B"));
    llenar(f, "0", "MEDIO");
    f.EdNumMatr->setText("12a");   // not a whole number: fails after several fields were set
    f.BtnAddEst->click();
    ASSERT_EQ(s.msgs().shown.size(), 1u);
    EXPECT_EQ(s.msgs().shown[0].caption, "Error");
    EXPECT_EQ(s.msgs().shown[0].icon, kv::MsgIcon::Error);
    EXPECT_TRUE(s.msgs().lastText().contains("12a")) << s.msgs().lastText().toStdString();
    EXPECT_EQ(s.h.site.count("estudiantes"), 0);
    EXPECT_EQ(kv::DM->TblEstudiantes->state(), kv::DataSetState::Browse);
    EXPECT_TRUE(f.BtnAddEst->isEnabled());
    EXPECT_FALSE(f.BtnCrearEst->isEnabled());

    // An internal number that is not a number fails the same way.
    f.EdNumMatr->setText("");
    f.EdIEstudiante->setText("x1");
    f.BtnAddEst->click();
    EXPECT_EQ(s.msgs().shown.size(), 2u);
    EXPECT_EQ(s.h.site.count("estudiantes"), 0);
    EXPECT_EQ(kv::DM->TblEstudiantes->state(), kv::DataSetState::Browse);

    // Corrected, exactly one row is stored: nothing of the failed attempts is left over.
    f.EdIEstudiante->setText("0");
    f.EdNumMatr->setText("12");
    f.BtnAddEst->click();
    EXPECT_EQ(s.msgs().shown.size(), 2u);
    EXPECT_EQ(s.h.site.count("estudiantes"), 1);
    EXPECT_EQ(s.h.site.scalar("select NumMatr from estudiantes"), "12");
    // Another post of the table does not bring a discarded row back.
    kv::DM->TblEstudiantes->refresh();
    EXPECT_EQ(s.h.site.count("estudiantes"), 1);
}

TEST_F(AddPerson, AdicionarOpensTheDialogOnTheCurrentGroupAndTypingIsCapitalised)
{
    s.persona(11, "B", 2, "ANTES", "ANT");
    TFrmMain& w = s.abrir(11, "B");
    QString preset;
    const bool abierto = ptest::enDialogo<TFrmEstudiantes>(w.BtnAddEstudiante, [&](TFrmEstudiantes* f) {
        preset = f->EdIEstudiante->text();
        f->EdNEstudiante->setFocus();
        QTest::keyClicks(f->EdNEstudiante, QStringLiteral("jos"));
        QTest::sendKeyEvent(QTest::Click, f->EdNEstudiante, Qt::Key_unknown, QStringLiteral("é"), Qt::NoModifier);
        QTest::keyClicks(f->EdNEstudiante, QStringLiteral(" nu"));
        QTest::sendKeyEvent(QTest::Click, f->EdNEstudiante, Qt::Key_unknown, QStringLiteral("ñ"), Qt::NoModifier);
        QTest::keyClicks(f->EdNEstudiante, QStringLiteral("ez"));
        f->edSitSocial->setText("d");   // the list's data source normalises state codes
        f->BtnAddEst->click();
        f->BtnSalir->click();
    });
    ASSERT_TRUE(abierto);
    EXPECT_EQ(preset, "3");
    EXPECT_EQ(s.campo("11B3L", "NEstudiante"), "JOSÉ NUÑEZ");
    EXPECT_EQ(s.campo("11B3L", "IGrado"), "11");
    EXPECT_EQ(s.campo("11B3L", "IGrupo"), "B");
    EXPECT_EQ(s.campo("11B3L", "sitSocial"), "D");
    EXPECT_EQ(kv::DM->TblEstudiantes->recordCount(), 2);
}
