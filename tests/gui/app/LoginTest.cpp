// The login dialog on a real site: levels, passwords, attempts, password change.
#include "settings/UserLevel.h"
#include "settings/forms/TFrmClave.h"
#include "StartupHelpers.h"
#include "support/FakeMessages.h"
#include "support/TempSite.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace kvtest;

namespace {

class LoginTest : public ::testing::Test {
protected:
    void SetUp() override { kv::SetTablesDir(site.tablesDir()); }
    void setPasswords(const QString& admin, const QString& capture)
    {
        site.exec("update Config set clave = ?, claveConsultor = ?", {admin, capture});
    }
    // Chooses the level, types the password and presses "Ingresar".
    static void ingresar(TFrmClave& d, int tipo, const QString& clave)
    {
        d.cbTipoUsuario->setCurrentIndex(tipo);
        d.EdClave->setText(clave);
        d.BtnIngresar->click();
    }
    static void cambiar(TFrmClave& d, const QString& anterior, const QString& nueva, const QString& verifica)
    {
        d.BtnCambiarClave->click();
        d.EdClaveAnterior->setText(anterior);
        d.EdClaveNueva->setText(nueva);
        d.EdClaveVerifica->setText(verifica);
        d.BtnGuardar->click();
    }

    TempSite site;
    MessagesScope msgs;
    QuitScope quit;
};

} // namespace

TEST_F(LoginTest, EachLevelIsComparedWithItsOwnPasswordOnly)
{
    setPasswords("admin", "puerta");
    {
        TFrmClave d;
        ingresar(d, 0, "admin");          // the administrator's password at the capture level
        EXPECT_FALSE(d.loginAceptado());
        EXPECT_EQ(msgs->lastText(), "Password Incorrecto");
        EXPECT_TRUE(d.EdClave->text().isEmpty());
        ingresar(d, 0, "puerta");
        EXPECT_TRUE(d.loginAceptado());
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(kv::UserLevel(), "0");
    }
    {
        TFrmClave d;
        ingresar(d, 1, "puerta");
        EXPECT_FALSE(d.loginAceptado());
        ingresar(d, 1, "admin");
        EXPECT_TRUE(d.loginAceptado());
        EXPECT_EQ(kv::UserLevel(), "1");
    }
    EXPECT_FALSE(kv::QuitPending());
}

TEST_F(LoginTest, TheLevelIsTheChosenEntryEvenWithEqualPasswords)
{
    setPasswords("igual", "igual");
    TFrmClave d;
    ingresar(d, 0, "igual");
    EXPECT_TRUE(d.loginAceptado());
    EXPECT_EQ(kv::UserLevel(), "0");
}

TEST_F(LoginTest, LetterCaseCountsAndEmptyPasswordsLogInWithAnEmptyBox)
{
    setPasswords("Admin", "");
    TFrmClave d;
    ingresar(d, 1, "admin");
    EXPECT_FALSE(d.loginAceptado());
    ingresar(d, 1, "ADMIN");
    EXPECT_FALSE(d.loginAceptado());
    EXPECT_EQ(msgs->texts(), QStringList({"Password Incorrecto", "Password Incorrecto"}));
    TFrmClave e;
    ingresar(e, 0, "");
    EXPECT_TRUE(e.loginAceptado());
    EXPECT_EQ(kv::UserLevel(), "0");
}

TEST_F(LoginTest, ThreeWrongPasswordsInARowEndTheProgram)
{
    setPasswords("admin", "puerta");
    TFrmClave d;
    d.show();
    ingresar(d, 1, "x1");
    ingresar(d, 1, "x2");
    // The message box of a failure gives the focus back to the dialog: no fresh count.
    d.activateWindow();
    QApplication::processEvents();
    EXPECT_FALSE(kv::QuitPending());
    ingresar(d, 1, "x3");
    EXPECT_TRUE(kv::QuitPending());
    EXPECT_EQ(msgs->texts().count("Password Incorrecto"), 3);
    EXPECT_FALSE(d.loginAceptado());
}

TEST_F(LoginTest, TwoFailuresThenTheRightPasswordLogsIn)
{
    setPasswords("admin", "puerta");
    TFrmClave d;
    ingresar(d, 1, "no");
    ingresar(d, 1, "tampoco");
    ingresar(d, 1, "admin");
    EXPECT_TRUE(d.loginAceptado());
    EXPECT_FALSE(kv::QuitPending());
}

TEST_F(LoginTest, OnlyAnAcceptedPasswordOrSalirClosesTheDialog)
{
    setPasswords("admin", "puerta");
    TFrmClave d;
    d.show();
    EXPECT_FALSE(d.close());           // the window frame
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(kv::QuitPending());
    QTest::keyClick(&d, Qt::Key_Escape);   // Esc presses "Salir"
    EXPECT_TRUE(kv::QuitPending());
    EXPECT_FALSE(d.isVisible());
}

TEST_F(LoginTest, ChangePasswordButtonOnlyForTheCaptureLevel)
{
    TFrmClave d;
    EXPECT_FALSE(d.BtnCambiarClave->isHidden());
    d.cbTipoUsuario->setCurrentIndex(1);
    EXPECT_TRUE(d.BtnCambiarClave->isHidden());
    d.cbTipoUsuario->setCurrentIndex(0);
    EXPECT_FALSE(d.BtnCambiarClave->isHidden());
    EXPECT_TRUE(d.PnlCambiarClave->isHidden());
}

TEST_F(LoginTest, InvalidPasswordChangesShowOnlyTheLastFailingCheckAndStoreNothing)
{
    setPasswords("admin", "puerta");
    struct Case { const char* anterior; const char* nueva; const char* verifica; const char* msg; };
    const Case cases[] = {
        {"mala", "n1", "n1", "La clave del usuario de consulta está errada."},
        {"mala", "", "", "No puede dejar la nueva contraseña vacía"},
        {"puerta", "n1", "", "Nuevas contraseñas no coinciden."},   // empty and different: the later wins
        {"mala", "n1", "n2", "Nuevas contraseñas no coinciden."},
        {"Puerta", "n1", "n1", "La clave del usuario de consulta está errada."},
    };
    TFrmClave d;
    for (const Case& c : cases) {
        msgs->shown.clear();
        cambiar(d, c.anterior, c.nueva, c.verifica);
        EXPECT_EQ(msgs->texts(), QStringList({QString::fromUtf8(c.msg)})) << c.anterior << "/" << c.nueva << "/" << c.verifica;
        EXPECT_FALSE(d.PnlCambiarClave->isHidden());
    }
    EXPECT_EQ(site.scalar("select claveConsultor from Config"), "puerta");
}

TEST_F(LoginTest, AValidChangeIsStoredAtOnceAndUsedForTheLogin)
{
    setPasswords("admin", "puerta");
    TFrmClave d;
    cambiar(d, "puerta", "nueva", "nueva");
    EXPECT_TRUE(msgs->shown.empty());
    EXPECT_TRUE(d.PnlCambiarClave->isHidden());
    EXPECT_EQ(site.scalar("select claveConsultor from Config"), "nueva");
    EXPECT_FALSE(d.loginAceptado());   // changing is not logging in
    ingresar(d, 0, "puerta");
    EXPECT_FALSE(d.loginAceptado());
    ingresar(d, 0, "nueva");
    EXPECT_TRUE(d.loginAceptado());
}

// Enter in the change panel saves the change (or shows why not); it is never a login attempt.
TEST_F(LoginTest, EnterInTheChangePanelBelongsToGuardarAndTheDialogShrinksBack)
{
    setPasswords("admin", "puerta");
    TFrmClave d;
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    const QSize compacta = d.size();
    d.BtnCambiarClave->click();
    QApplication::processEvents();
    for (int i = 0; i < 3; ++i) QTest::keyClick(d.EdClaveAnterior, Qt::Key_Return);
    // empty boxes: the change's own message each time, never the login's
    EXPECT_EQ(msgs->texts(), QStringList(3, QString::fromUtf8("No puede dejar la nueva contraseña vacía")));
    EXPECT_FALSE(kv::QuitPending());
    EXPECT_FALSE(d.PnlCambiarClave->isHidden());

    msgs->shown.clear();
    QTest::keyClicks(d.EdClaveAnterior, "puerta");
    QTest::keyClicks(d.EdClaveNueva, "nueva");
    QTest::keyClicks(d.EdClaveVerifica, "nueva");
    QTest::keyClick(d.EdClaveVerifica, Qt::Key_Enter);
    EXPECT_TRUE(msgs->shown.empty());
    EXPECT_EQ(site.scalar("select claveConsultor from Config"), "nueva");
    EXPECT_TRUE(d.PnlCambiarClave->isHidden());
    QApplication::processEvents();
    EXPECT_EQ(d.size(), compacta);
    EXPECT_FALSE(d.loginAceptado());
}
