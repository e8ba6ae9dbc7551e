// Moving a person to another category and group, searching by name, suspending.
#include "PersonsHelpers.h"
#include "register/Persons.h"
#include "register/forms/TFrmBuscarEstudiante.h"
#include "register/forms/TFrmCambiarDeGrupo.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>

using ptest::PersonsSite;

namespace {

QStringList itemsOf(const QComboBox* cb)
{
    QStringList l;
    for (int i = 0; i < cb->count(); ++i) l << cb->itemText(i);
    return l;
}

class MovePerson : public ::testing::Test {
protected:
    void SetUp() override
    {
        s.persona(11, "B", 6, "CARLA", "CAR6", "M");
        s.persona(11, "B", 7, "DIEGO", "DIE7");
        s.abrir(11, "B");
        s.resaltar("CAR6");
    }
    // Opens the move dialog from the main window, picks a destination and presses Aceptar.
    bool mover(const QString& grado, const QString& grupo, QStringList* grados = nullptr,
               QStringList* grupos = nullptr)
    {
        return ptest::enDialogo<TFrmCambiarDeGrupo>(s.h.w->BtnCambiarDeGrupo, [&](TFrmCambiarDeGrupo* d) {
            d->CBGradoDestino->setCurrentIndex(d->CBGradoDestino->findText(grado));
            if (grados) *grados = itemsOf(d->CBGradoDestino);
            if (grupos) *grupos = itemsOf(d->CBGrupoDestino);
            d->CBGrupoDestino->setCurrentIndex(d->CBGrupoDestino->findText(grupo));
            d->BtnAceptar->click();
        });
    }
    PersonsSite s;
};

} // namespace

TEST_F(MovePerson, DialogShowsOriginDestinationsAndTheStoreExplanation)
{
    TFrmCambiarDeGrupo d(11, QStringLiteral("B"), QStringLiteral("CAR6"));
    EXPECT_EQ(d.windowTitle(), "Cambiar de grupo a un estudiante");
    EXPECT_EQ(d.lblNEstudiante->text(), "CARLA");
    EXPECT_EQ(d.lblGrado->text(), "11");
    EXPECT_EQ(d.lblGrupo->text(), "B");
    // Categories in key order, as the categories grid lists them, then the store.
    EXPECT_EQ(itemsOf(d.CBGradoDestino), (QStringList{"5", "11", "-99"}));
    EXPECT_EQ(d.CBGradoDestino->currentText(), "5");
    EXPECT_EQ(itemsOf(d.CBGrupoDestino), QStringList{"A"});
    EXPECT_EQ(d.CBGrupoDestino->currentText(), "A");
    d.CBGradoDestino->setCurrentIndex(1);
    EXPECT_EQ(itemsOf(d.CBGrupoDestino), (QStringList{"A", "B"}));
    EXPECT_EQ(d.CBGrupoDestino->currentText(), "A");
    d.CBGradoDestino->setCurrentIndex(2);
    EXPECT_TRUE(itemsOf(d.CBGrupoDestino).isEmpty());
    EXPECT_EQ(d.findChild<QLabel*>("Label5")->text(),
              "El grado -99 es \"La bodega\", donde se envian los estudiantes que se retiran");
    EXPECT_EQ(d.findChild<QLabel*>("Label6")->text(), "con el fin de no perder su información personal");
}

TEST_F(MovePerson, SameGroupOrDeclinedChangesNothing)
{
    ASSERT_TRUE(mover("11", "B"));
    EXPECT_EQ(s.msgs().texts(), QStringList{"El estudiante continúa en el mismo grado y grupo."});
    EXPECT_TRUE(s.msgs().questions.empty());

    s.resaltar("CAR6");
    s.msgs().answers = {false};
    ASSERT_TRUE(mover("5", "A"));
    ASSERT_EQ(s.msgs().questions.size(), 1u);
    EXPECT_EQ(s.msgs().questions[0].caption, "Confirmar");
    EXPECT_EQ(s.msgs().questions[0].text, "Confirma cambiar del grado: 11, grupo: B al grado: 5, grupo: A?");
    EXPECT_EQ(s.campo("CAR6", "IGrado"), "11");
    EXPECT_EQ(s.campo("CAR6", "IGrupo"), "B");
    // The list still shows the window's group.
    EXPECT_EQ(kv::DM->TblEstudiantes->recordCount(), 2);
}

TEST_F(MovePerson, AcceptedMoveKeepsNumberAndCodeAndLeavesTheList)
{
    s.msgs().answers = {true};
    ASSERT_TRUE(mover("5", "A"));
    EXPECT_EQ(s.campo("CAR6", "IGrado"), "5");
    EXPECT_EQ(s.campo("CAR6", "IGrupo"), "A");
    EXPECT_EQ(s.campo("CAR6", "IEstudiante"), "6");
    EXPECT_EQ(s.campo("CAR6", "situacion"), "M");
    EXPECT_EQ(s.campo("DIE7", "IGrado"), "11");
    kv::TableCursor* t = kv::DM->TblEstudiantes;
    EXPECT_EQ(t->recordCount(), 1);
    EXPECT_EQ(t->fieldByName("codigo").asString(), "DIE7");
    EXPECT_TRUE(s.msgs().shown.empty());
}

TEST_F(MovePerson, MoveToTheStoreWithoutGroupsStoresAnEmptyGroup)
{
    s.msgs().answers = {true};
    QStringList grupos;
    ASSERT_TRUE(mover("-99", "", nullptr, &grupos));
    EXPECT_TRUE(grupos.isEmpty());
    EXPECT_EQ(s.msgs().questions.at(0).text, "Confirma cambiar del grado: 11, grupo: B al grado: -99, grupo: ?");
    EXPECT_EQ(s.h.site.count("estudiantes", "codigo='CAR6' and IGrado=-99 and IGrupo=''"), 1);
    EXPECT_EQ(kv::DM->TblEstudiantes->recordCount(), 1);
}

TEST_F(MovePerson, StoreWithItsOwnGroupIsListedOnce)
{
    s.h.site.exec("insert into AbaGrados (IGrado, NGrado) values (-99, 'Bodega')");
    s.h.site.exec("insert into grupos (IGrado, IGrupo) values (-99, 'R')");
    TFrmCambiarDeGrupo d(11, QStringLiteral("B"), QStringLiteral("CAR6"));
    EXPECT_EQ(itemsOf(d.CBGradoDestino), (QStringList{"-99", "5", "11"}));
    d.CBGradoDestino->setCurrentIndex(0);
    EXPECT_EQ(itemsOf(d.CBGrupoDestino), QStringList{"R"});
}

namespace {

class SearchPerson : public ::testing::Test {
protected:
    void SetUp() override
    {
        s.persona(11, "B", 1, "WALTER PÉREZ", "W1");
        s.persona(11, "A", 2, "walter o'brien", "W2");
        s.persona(5, "A", 3, "ANA ALTERIO", "A3");
        s.persona(5, "A", 4, "100% LÓPEZ", "P4");
        s.abrir(11, "B");
    }
    QStringList buscar(const QString& texto)
    {
        TFrmBuscarEstudiante d;
        d.EdNEstudiante->setText(texto);
        d.BtnBuscar->click();
        QStringList nombres;
        const int col = [&] {
            for (int c = 0; c < d.resultado->columnCount(); ++c)
                if (d.resultado->horizontalHeaderItem(c)->text().compare("NEstudiante", Qt::CaseInsensitive) == 0)
                    return c;
            return -1;
        }();
        for (int r = 0; r < d.resultado->rowCount(); ++r) nombres << d.resultado->item(r, col)->text();
        nombres.sort();
        return nombres;
    }
    PersonsSite s;
};

} // namespace

TEST_F(SearchPerson, FindsPartsOfNamesWhateverTheCaseAndAccents)
{
    EXPECT_EQ(buscar("WALTER"), (QStringList{"WALTER PÉREZ", "walter o'brien"}));
    EXPECT_EQ(buscar("ALTER"), (QStringList{"ANA ALTERIO", "WALTER PÉREZ", "walter o'brien"}));
    EXPECT_EQ(buscar("pérez"), QStringList{"WALTER PÉREZ"});
    EXPECT_EQ(buscar("O'BRIEN"), QStringList{"walter o'brien"});
    EXPECT_EQ(buscar("%"), QStringList{"100% LÓPEZ"});
    EXPECT_EQ(buscar("").size(), 4);
    EXPECT_TRUE(s.msgs().shown.empty()) << s.msgs().lastText().toStdString();
}

TEST_F(SearchPerson, NoMatchSaysSoAndSqlWordsAreJustText)
{
    EXPECT_TRUE(buscar("ZZZ").isEmpty());
    ASSERT_EQ(s.msgs().shown.size(), 1u);
    EXPECT_EQ(s.msgs().shown[0].text, "Estudiante no encontrado");
    EXPECT_EQ(s.msgs().shown[0].caption, "Información");
    EXPECT_EQ(s.msgs().shown[0].icon, kv::MsgIcon::Information);

    EXPECT_TRUE(buscar("' ; DELETE FROM estudiantes; --").isEmpty());
    EXPECT_EQ(s.h.site.count("estudiantes"), 4);
}

TEST_F(SearchPerson, ResultShowsEveryFieldAndMenuOpensTheDialogForAnyLevel)
{
    TFrmBuscarEstudiante d;
    d.EdNEstudiante->setText("ANA");
    d.BtnBuscar->click();
    EXPECT_EQ(d.resultado->columnCount(), kv::DM->TblEstudiantes->fieldNames().size());
    EXPECT_EQ(d.resultado->rowCount(), 1);
    EXPECT_TRUE(d.isHidden());   // searching keeps the dialog open (it was never shown here)

    kv::SetUserLevel("0");
    bool abierto = false;
    kvtest::onNextModal([&](QWidget* w) {
        abierto = qobject_cast<TFrmBuscarEstudiante*>(w) != nullptr;
        w->close();
    });
    s.h.w->Buscarestudiante1->trigger();
    EXPECT_TRUE(abierto);
    EXPECT_TRUE(s.h.w->Buscarestudiante1->isEnabled());
}

TEST(SuspendPerson, ToggleReplacesAnyStateAndReenablesEmpty)
{
    PersonsSite s;
    s.persona(11, "B", 1, "ELENA", "E1", "M");
    s.persona(11, "B", 2, "FABIO", "F2");
    TFrmMain& w = s.abrir(11, "B");
    s.resaltar("E1");
    w.btnSuspender->click();
    EXPECT_EQ(s.campo("E1", "situacion"), "SUSPENDIDO");
    EXPECT_EQ(w.btnSuspender->text(), "HABILITAR");
    w.btnSuspender->click();
    EXPECT_EQ(s.campo("E1", "situacion"), "");
    EXPECT_EQ(w.btnSuspender->text(), "SUSPENDER");
    EXPECT_EQ(s.campo("F2", "situacion"), "");
    EXPECT_EQ(kv::DM->TblEstudiantes->state(), kv::DataSetState::Browse);
    EXPECT_TRUE(s.msgs().shown.empty());
}
