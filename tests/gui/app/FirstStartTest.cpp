// A first start, with no site yet: the site choice opens with an empty list and offers a
// new site, which then is chosen and leads on to the login.
#include "app/forms/Arranque.h"
#include "app/forms/TFrmNuevoSitio.h"
#include "app/forms/TFrmPedirColegio.h"
#include "data/Database.h"
#include "data/SiteList.h"
#include "platform/InstanceLock.h"
#include "StartupHelpers.h"
#include "support/FakeMessages.h"
#include "support/TempSite.h"
#include "support/gui/Modal.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace kvtest;

namespace {

class FirstStartTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        kv::ProgramInstanceLock().release();
        removeTestLocks();
    }
    QString path(const QString& name) const { return QDir(work.workDir()).filePath(name); }

    QuitScope quit;
    TempSite work{false};   // current directory, with no site list
    MessagesScope msgs;
};

// Types a name into the new-site dialog as the operator would, so the folder follows it.
// (QTest::keyClicks takes ASCII only; a name has accents.)
void escribirNombre(QWidget* dlg, const QString& nombre)
{
    QLineEdit* caja = dlg->findChild<QLineEdit*>("EdNombre");
    for (const QChar c : nombre) {
        QKeyEvent tecla(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(caja, &tecla);
    }
}

} // namespace

TEST_F(FirstStartTest, TheEmptyChoiceOffersANewSiteAndNothingElse)
{
    TFrmPedirColegio d;
    EXPECT_EQ(d.cbColegios->count(), 0);
    EXPECT_TRUE(d.LblSinSitios->isVisibleTo(&d));
    EXPECT_EQ(d.LblSinSitios->text(), "Todavía no hay ningún sitio. Cree el primero con «Nuevo sitio...».");
    EXPECT_FALSE(d.BtnSeleccionar->isEnabled());
    EXPECT_TRUE(d.BtnNuevoSitio->isDefault());
    EXPECT_EQ(d.BtnNuevoSitio->text(), "&Nuevo sitio...");
    EXPECT_TRUE(msgs->shown.empty());
    EXPECT_FALSE(QFile::exists(path("Config.DB")));   // only a real site makes the list
}

TEST_F(FirstStartTest, ANewSiteIsMadeInTheFolderFollowingItsNameThenChosen)
{
    TFrmPedirColegio d;
    QString carpeta;
    onNextModal([&](QWidget* dlg) {
        EXPECT_EQ(dlg->objectName(), "FrmNuevoSitio");
        escribirNombre(dlg, "Colegio San José");
        carpeta = dlg->findChild<QLineEdit*>("EdCarpeta")->text();
        dlg->findChild<QPushButton*>("BtnAceptar")->click();
    });
    d.BtnNuevoSitio->click();
    EXPECT_EQ(carpeta, path("colegio-san-jose"));
    EXPECT_EQ(d.cbColegios->count(), 1);
    EXPECT_EQ(d.cbColegios->currentText(), "Colegio San José");
    EXPECT_FALSE(d.LblSinSitios->isVisibleTo(&d));
    EXPECT_TRUE(d.BtnSeleccionar->isEnabled());
    EXPECT_TRUE(d.BtnSeleccionar->isDefault());
    EXPECT_TRUE(QFileInfo(QDir(carpeta).filePath(kv::Database::siteFileName())).isFile());
    d.BtnSeleccionar->click();
    EXPECT_EQ(kv::TablesDir(), carpeta);
    EXPECT_TRUE(msgs->shown.empty());
}

TEST_F(FirstStartTest, ANewSiteWithFaultsIsRefusedWithEveryFaultAndTheDialogStays)
{
    TFrmNuevoSitio dlg(work.workDir());
    dlg.show();
    dlg.BtnAceptar->click();
    EXPECT_EQ(msgs->lastText(), "Debe Corregir: \nEscriba el nombre del sitio.\nEscriba la carpeta de las tablas.");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 0);
    // A folder typed by hand stays when the name changes afterwards.
    QTest::keyClicks(dlg.EdCarpeta, "tablas");
    QTest::keyClicks(dlg.EdNombre, "Sede Norte");
    EXPECT_EQ(dlg.EdCarpeta->text(), "tablas");
    dlg.BtnAceptar->click();
    EXPECT_EQ(dlg.result(), int(QDialog::Accepted));
    EXPECT_EQ(kv::RutaTablasDeSitio("Sede Norte").value_or(""), path("tablas"));   // relative to the list
    EXPECT_EQ(msgs->shown.size(), 1u);
}

TEST_F(FirstStartTest, FromAnEmptyListANewSiteLeadsToTheLogin)
{
    DialogSpy spy;
    QStringList lista;
    onNextModal([&](QWidget* choice) {
        onNextModal([&](QWidget* nuevo) {
            escribirNombre(nuevo, "Colegio Uno");
            nuevo->findChild<QPushButton*>("BtnAceptar")->click();
            onNextModal([&](QWidget* again) {   // the choice again, with the new site
                auto* cb = again->findChild<QComboBox*>("cbColegios");
                for (int i = 0; i < cb->count(); ++i) lista << cb->itemText(i);
                onNextModal([](QWidget* login) { login->findChild<QPushButton*>("BtnSalir")->click(); });
                again->findChild<QPushButton*>("BtnSeleccionar")->click();
            });
        });
        EXPECT_EQ(choice->findChild<QComboBox*>("cbColegios")->count(), 0);
        choice->findChild<QPushButton*>("BtnNuevoSitio")->click();
    });
    Arranque a(true);
    const QString programa = QStringLiteral("/opt/kelvora/bin/kvtest-primero-%1").arg(QCoreApplication::applicationPid());
    EXPECT_FALSE(a.iniciar(programa));   // the login was left
    EXPECT_EQ(spy.shown, QStringList({"FrmPedirColegio", "FrmNuevoSitio", "FrmClave"}));
    EXPECT_EQ(lista, QStringList({"Colegio Uno"}));
    EXPECT_EQ(kv::TablesDir(), path("colegio-uno"));
    EXPECT_TRUE(msgs->shown.empty()) << msgs->texts().join(" | ").toStdString();
}
