// Internal numbers at the edge of their field, capitals that grow while typed, the order
// of the move dialog's lists, and engine errors half-way through a modify or a move.
#include "PersonsHelpers.h"
#include "register/forms/TFrmCambiarDeGrupo.h"
#include "register/forms/TFrmEstudiantes.h"
#include "register/forms/TFrmModEst.h"
#include "register/forms/TFrmAddGrupo.h"
#include "capture/forms/TfrmEntradaVisit.h"
#include "settings/forms/TFrmClave.h"
#include "settings/forms/TFrmConfig.h"
#include "data/forms/DBGrid.h"
#include <QComboBox>
#include <QLineEdit>

using ptest::PersonsSite;

namespace {

QStringList itemsOf(const QComboBox* cb)
{
    QStringList l;
    for (int i = 0; i < cb->count(); ++i) l << cb->itemText(i);
    return l;
}

} // namespace

TEST(PersonLimits, InternalNumberBeyondItsFieldIsRefusedAndThePresetNeverWraps)
{
    PersonsSite s;
    s.abrir(11, "B");
    {
        // A document number typed into "Id interno:" by mistake.
        TFrmEstudiantes f(QStringLiteral("11"), QStringLiteral("B"));
        f.EdIEstudiante->setText("11314533391");
        f.EdNEstudiante->setText("LARGO");
        f.BtnAddEst->click();
        ASSERT_EQ(s.msgs().shown.size(), 1u);
        EXPECT_EQ(s.msgs().shown[0].caption, "Error");
        EXPECT_TRUE(s.msgs().lastText().contains("11314533391")) << s.msgs().lastText().toStdString();
        EXPECT_EQ(s.h.site.count("estudiantes"), 0);
        EXPECT_EQ(kv::DM->TblEstudiantes->state(), kv::DataSetState::Browse);
        EXPECT_TRUE(f.BtnAddEst->isEnabled());

        // The largest number the field holds is accepted.
        f.EdIEstudiante->setText("2147483647");
        f.BtnAddEst->click();
        EXPECT_EQ(s.msgs().shown.size(), 1u) << s.msgs().lastText().toStdString();
        EXPECT_EQ(s.campo("11B2147483647L", "IEstudiante"), "2147483647");
    }
    // The next one is offered as it is, not wrapped round to a negative number, and refused.
    TFrmEstudiantes g(QStringLiteral("11"), QStringLiteral("B"));
    EXPECT_EQ(g.EdIEstudiante->text(), "2147483648");
    g.EdNEstudiante->setText("SIGUIENTE");
    g.BtnAddEst->click();
    EXPECT_EQ(s.msgs().shown.size(), 2u);
    EXPECT_EQ(s.h.site.count("estudiantes"), 1);
}

// Whatever is pasted or typed, a box that writes a field keeps no more than the field holds.
TEST(PersonLimits, EveryBoxThatWritesAFieldTakesNoMoreThanTheFieldHolds)
{
    PersonsSite s;
    TFrmMain& w = s.abrir(11, "B");
    TFrmEstudiantes alta(QStringLiteral("11"), QStringLiteral("B"));
    TFrmAddGrupo grupo(nullptr, QStringLiteral("11"));
    TfrmEntradaVisit visita(s.h.site.tablesDir());
    TFrmConfig opciones;
    TFrmClave login;
    const struct { QWidget* dialogo; const char* caja; int ancho; } cajas[] = {
        {&alta, "EdNEstudiante", 60}, {&alta, "edDocIdent", 20}, {&alta, "edSitSocial", 5},
        {&alta, "edRH", 5}, {&alta, "edIdFoto", 80}, {&alta, "edCodigo", 20},
        {&grupo, "EdIGrupo", 2}, {&grupo, "EdNDirector", 40}, {&grupo, "EdMensaje", 12},
        {&visita, "edDocIdent", 20}, {&visita, "edNombre", 60},
        {&opciones, "EdJornada", 20}, {&opciones, "EdEncabezado1", 100}, {&opciones, "EdEncabezado2", 100},
        {&opciones, "EdClave", 20}, {&opciones, "EdClave2", 20},
        {&login, "EdClaveAnterior", 20}, {&login, "EdClaveNueva", 20}, {&login, "EdClaveVerifica", 20},
    };
    for (const auto& c : cajas) {
        auto* box = c.dialogo->findChild<QLineEdit*>(c.caja);
        ASSERT_NE(box, nullptr) << c.caja;
        box->clear();
        box->insert(QString(5000, QLatin1Char('X')));
        EXPECT_EQ(box->text().size(), c.ancho) << c.dialogo->objectName().toStdString() << "/" << c.caja;
    }

    // stored as limited: a long name ends at the field's width
    alta.EdNEstudiante->clear();
    alta.EdNEstudiante->insert(QString(5000, QLatin1Char('N')));
    alta.edCodigo->clear();
    alta.edCodigo->insert(QStringLiteral("LARGO"));
    alta.BtnAddEst->click();
    EXPECT_EQ(s.campo("LARGO", "length(NEstudiante)"), "60") << s.msgs().lastText().toStdString();

    // the cell editors of a grid too: a category's name
    auto* g = w.findChild<kv::DBGrid*>("DBGrid1");
    ASSERT_NE(g, nullptr);
    g->edit(g->model()->index(0, 1));
    auto* celda = g->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(celda, nullptr);
    celda->clear();
    celda->insert(QString(500, QLatin1Char('C')));
    EXPECT_EQ(celda->text().size(), 40);
}

// A field's width counts characters as they are read: an emoji with its skin tone, a flag
// or a letter with its combining accent is one, and is never cut in half.
TEST(PersonLimits, AWidthCountsCharactersAsReadAndNeverCutsOne)
{
    PersonsSite s;
    s.abrir(11, "B");
    TFrmEstudiantes alta(QStringLiteral("11"), QStringLiteral("B"));
    const QString emojis = QString::fromUtf8("😀👍🏽🇨🇴");
    const QString e = QString::fromUtf8("e\xCC\x81");   // e + combining acute
    struct Caso { QString antes; int cursor; QString pegado; QString queda; };
    const Caso casos[] = {
        {"", 0, emojis, emojis},                              // 3 characters in a 5-wide box
        {"", 0, emojis + "xyz", emojis + "xy"},
        {"", 0, emojis + emojis, emojis + QString::fromUtf8("😀👍🏽")},
        {"", 0, e.repeated(7), e.repeated(5)},
        {"abcde", 2, emojis, "abcde"},                        // a full box takes nothing more
        {"abc", 1, emojis, "a" + QString::fromUtf8("😀👍🏽") + "bc"},
    };
    for (const Caso& c : casos) {
        alta.edRH->setText(c.antes);
        alta.edRH->setCursorPosition(c.cursor);
        alta.edRH->insert(c.pegado);
        EXPECT_EQ(alta.edRH->text(), c.queda) << c.pegado.toStdString();
    }
    alta.edRH->setText(emojis);
    alta.EdNEstudiante->insert(QStringLiteral("EMOJI"));
    alta.edCodigo->insert(QStringLiteral("EMO"));
    alta.BtnAddEst->click();
    EXPECT_EQ(s.campo("EMO", "RH"), emojis) << s.msgs().lastText().toStdString();
}

TEST(PersonLimits, CapitalsThatGrowKeepTheCursorAfterTheTypedText)
{
    PersonsSite s;
    s.abrir(11, "B");
    TFrmEstudiantes f(QStringLiteral("11"), QStringLiteral("B"));
    QTest::keyClicks(f.EdNEstudiante, QStringLiteral("stra"));
    QTest::sendKeyEvent(QTest::Click, f.EdNEstudiante, Qt::Key_unknown, QStringLiteral("ß"), Qt::NoModifier);
    QTest::keyClicks(f.EdNEstudiante, QStringLiteral("e"));
    EXPECT_EQ(f.EdNEstudiante->text(), "STRASSE");
    EXPECT_EQ(f.EdNEstudiante->cursorPosition(), 7);
}

TEST(MoveLists, CategoriesAndGroupsFollowKeyOrderWhateverTheOrderTheyWereAdded)
{
    PersonsSite s;   // categories 11 and 5 were added in that order
    s.h.site.exec("insert into AbaGrados (IGrado, NGrado) values (0, 'Transición')");
    s.h.site.exec("insert into grupos (IGrado, IGrupo) values (0, 'C')");
    s.h.site.exec("insert into grupos (IGrado, IGrupo) values (0, 'A')");
    s.persona(11, "B", 1, "PIA", "P1");
    s.abrir(11, "B");
    TFrmCambiarDeGrupo d(11, QStringLiteral("B"), QStringLiteral("P1"));
    EXPECT_EQ(itemsOf(d.CBGradoDestino), (QStringList{"0", "5", "11", "-99"}));
    EXPECT_EQ(d.CBGradoDestino->currentText(), "0");
    EXPECT_EQ(itemsOf(d.CBGrupoDestino), (QStringList{"A", "C"}));
    EXPECT_EQ(d.CBGrupoDestino->currentText(), "A");
}

TEST(PersonsEngineErrors, FailedMarksUpdateKeepsTheNewCodeWithoutSuccessAndAFailedMoveLeavesTheList)
{
    PersonsSite s;
    s.persona(11, "B", 1, "RUTH", "R1");
    s.persona(11, "B", 2, "SAUL", "S2");
    s.h.site.exec("insert into notas (codigo, IGrado, IGrupo, IEstudiante, IMateria, IPeriodo, nota)"
                  " values ('R1', 11, 'B', 1, 'MAT', 1, 4)");
    s.h.site.exec("create trigger notas_fijas before update on notas begin select raise(abort, 'notas bloqueadas'); end");
    s.h.site.exec("create trigger sin_traslados before update on estudiantes when new.IGrado <> old.IGrado"
                  " begin select raise(abort, 'traslado bloqueado'); end");
    TFrmMain& w = s.abrir(11, "B");

    s.resaltar("R1");
    ASSERT_TRUE(ptest::enDialogo<TFrmModEst>(w.BtnModEst, [](TFrmModEst* f) {
        f->edCodigo->setText("R9");
        f->BtnAceptar->click();
    }));
    ASSERT_EQ(s.msgs().shown.size(), 1u);
    EXPECT_EQ(s.msgs().shown[0].caption, "Error");
    EXPECT_TRUE(s.msgs().lastText().contains("notas bloqueadas")) << s.msgs().lastText().toStdString();
    EXPECT_EQ(s.campo("R9", "NEstudiante"), "RUTH");   // the person row was already saved
    EXPECT_EQ(s.h.site.count("notas", "codigo='R1'"), 1);

    s.resaltar("S2");
    s.msgs().answers = {true};
    ASSERT_TRUE(ptest::enDialogo<TFrmCambiarDeGrupo>(w.BtnCambiarDeGrupo, [](TFrmCambiarDeGrupo* d) {
        d->CBGradoDestino->setCurrentIndex(d->CBGradoDestino->findText("5"));
        d->BtnAceptar->click();
    }));
    ASSERT_EQ(s.msgs().shown.size(), 2u);
    EXPECT_TRUE(s.msgs().lastText().contains("traslado bloqueado")) << s.msgs().lastText().toStdString();
    EXPECT_EQ(s.campo("S2", "IGrado"), "11");
    EXPECT_EQ(kv::DM->TblEstudiantes->recordCount(), 2);   // the list still shows group 11 B
    EXPECT_EQ(kv::DM->TblEstudiantes->state(), kv::DataSetState::Browse);
}
