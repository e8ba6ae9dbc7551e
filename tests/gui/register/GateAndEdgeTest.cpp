// What every person command does for the capture-only user, with an empty persons
// list, and with names and codes full of quotes and SQL words.
#include "register/forms/PersonsCommands.h"
#include "PersonsHelpers.h"
#include "register/Persons.h"
#include "register/forms/TFrmBuscarEstudiante.h"
#include "register/forms/TFrmCambiarDeGrupo.h"
#include "register/forms/TFrmEstudiantes.h"
#include "register/forms/TFrmModEst.h"
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QStandardItemModel>

using ptest::PersonsSite;

namespace {

QString contenido(PersonsSite& s)
{
    kv::Query q = s.h.site.query("select IGrado, IGrupo, IEstudiante, NEstudiante, codigo, situacion"
                                 " from estudiantes order by codigo");
    QStringList filas;
    for (q.first(); !q.eof(); q.next()) {
        QStringList f;
        for (const QString& n : q.fieldNames()) f << q.fieldByName(n).asString();
        filas << f.join('|');
    }
    return filas.join('\n');
}

} // namespace

TEST(PersonsGate, CaptureOnlyUserIsRefusedEveryAdministratorCommand)
{
    PersonsSite s;
    s.persona(11, "B", 1, "GIL", "G1", "M");
    TFrmMain& w = s.abrir(11, "B", "0");
    s.resaltar("G1");
    const QString antes = contenido(s);
    for (QPushButton* b : {w.BtnAddEstudiante, w.BtnBorrarEst, w.BtnModEst, w.BtnCambiarDeGrupo, w.btnSuspender}) {
        s.msgs().shown.clear();
        s.msgs().answers = {true, true};
        EXPECT_FALSE(ptest::abreVentana(b)) << b->objectName().toStdString();
        EXPECT_EQ(s.msgs().texts(), QStringList{"Acceso restringido."}) << b->objectName().toStdString();
        EXPECT_TRUE(s.msgs().questions.empty()) << b->objectName().toStdString();
        EXPECT_EQ(contenido(s), antes) << b->objectName().toStdString();
        EXPECT_EQ(kv::DM->TblEstudiantes->state(), kv::DataSetState::Browse);
    }
}

TEST(PersonsEmptyList, CommandsOnTheHighlightedPersonSayThereIsNone)
{
    PersonsSite s;
    s.persona(11, "A", 1, "OTRO GRUPO", "O1");
    TFrmMain& w = s.abrir(11, "B");
    ASSERT_EQ(kv::DM->TblEstudiantes->recordCount(), 0);
    for (QPushButton* b : {w.BtnBorrarEst, w.BtnModEst, w.BtnCambiarDeGrupo, w.btnSuspender}) {
        s.msgs().shown.clear();
        s.msgs().answers = {true, true};
        EXPECT_FALSE(ptest::abreVentana(b)) << b->objectName().toStdString();
        EXPECT_EQ(s.msgs().texts(), QStringList{"No hay una persona seleccionada."}) << b->objectName().toStdString();
        EXPECT_TRUE(s.msgs().questions.empty());
        EXPECT_EQ(kv::DM->TblEstudiantes->state(), kv::DataSetState::Browse);
        EXPECT_EQ(s.h.site.count("estudiantes"), 1);
    }
    s.msgs().shown.clear();
    EXPECT_FALSE(w.findChild<PersonsCommands*>()->PersonaSeleccionada());
    EXPECT_EQ(s.msgs().texts(), QStringList{"No hay una persona seleccionada."});

    // Adding is still possible in an empty group.
    EXPECT_TRUE(ptest::enDialogo<TFrmEstudiantes>(w.BtnAddEstudiante, [](TFrmEstudiantes* f) { f->BtnSalir->click(); }));
}

TEST(PersonsHostileText, QuotesAndSqlWordsAreStoredFoundAndMovedAsTyped)
{
    PersonsSite s;
    s.h.site.exec("insert into notas (codigo, IGrado, IGrupo, IEstudiante, IMateria, IPeriodo, nota)"
                  " values ('tmp', 11, 'B', 0, 'MAT', 1, 4)");
    TFrmMain& w = s.abrir(11, "B");
    const QString nombre = QStringLiteral("O'NEIL \"EL GATO\" '); DROP TABLE estudiantes; --");
    const QString codigo = QStringLiteral("X'1\" OR '1'='1");

    ASSERT_TRUE(ptest::enDialogo<TFrmEstudiantes>(w.BtnAddEstudiante, [&](TFrmEstudiantes* f) {
        f->EdNEstudiante->setText(nombre);
        f->edCodigo->setText(codigo);
        f->BtnAddEst->click();
        // the same code again is recognised as taken
        f->BtnCrearEst->click();
        f->EdNEstudiante->setText("OTRO");
        f->BtnAddEst->click();
        f->BtnSalir->click();
    }));
    EXPECT_EQ(s.msgs().texts(), QStringList{"Debe Corregir: \nCódigo del estudiante ya está asignado."});
    EXPECT_EQ(s.campo(codigo, "NEstudiante"), nombre);
    EXPECT_EQ(s.h.site.count("estudiantes"), 1);

    // Modify: a new hostile code carries the marks along.
    s.h.site.exec("update notas set codigo=?", {codigo});
    s.resaltar(codigo);
    const QString codigo2 = QStringLiteral("Y'2';DELETE notas;--");   // the 20 characters a code holds
    ASSERT_TRUE(ptest::enDialogo<TFrmModEst>(w.BtnModEst, [&](TFrmModEst* f) {
        f->EdNEstudiante->setText(nombre + " II");
        f->edCodigo->setText(codigo2);
        f->BtnAceptar->click();
    }));
    EXPECT_EQ(s.msgs().lastText(), "Estudiante modificado.");
    EXPECT_EQ(s.campo(codigo2, "NEstudiante"), nombre + " II");
    EXPECT_EQ(s.h.site.count("notas", "codigo=?", {codigo2}), 1);

    // Search by a piece with the apostrophe.
    {
        TFrmBuscarEstudiante d;
        d.EdNEstudiante->setText("O'NEIL \"EL");
        d.BtnBuscar->click();
        EXPECT_EQ(d.resultado->rowCount(), 1);
    }

    // Move to category 5, group A.
    s.resaltar(codigo2);
    s.msgs().answers = {true};
    ASSERT_TRUE(ptest::enDialogo<TFrmCambiarDeGrupo>(w.BtnCambiarDeGrupo, [](TFrmCambiarDeGrupo* d) {
        d->CBGradoDestino->setCurrentIndex(d->CBGradoDestino->findText("5"));
        d->BtnAceptar->click();
    }));
    EXPECT_EQ(s.campo(codigo2, "IGrado"), "5");
    EXPECT_EQ(s.campo(codigo2, "IGrupo"), "A");
    EXPECT_EQ(s.h.site.count("estudiantes"), 1);
}
