// The options dialog on a real site.
#include "app/forms/TFrmMain.h"
#include "settings/TConfig.h"
#include "settings/forms/TFrmConfig.h"
#include "StartupHelpers.h"
#include "support/FakeMessages.h"
#include "support/gui/MainHarness.h"
#include "support/gui/Modal.h"
#include "support/TempSite.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

using namespace kvtest;

namespace {

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        logo = writePicture(QDir(site.workDir()).filePath("escudo.png"));
        site.exec("update Config set clave = 'admin', NColegio = 'Colegio Sol', Encabezado1 = 'E1', "
                  "Encabezado2 = 'E2', Jornada = 'Tarde', rutaEscudo = ?, horaSalidaAuto = ?",
                  {logo, QStringLiteral("1899-12-30 17:45:30")});
        kv::SetTablesDir(site.tablesDir());
    }
    QString stored(const char* field) { return site.scalar(QStringLiteral("select %1 from Config").arg(field)); }

    TempSite site;
    MessagesScope msgs;
    QuitScope quit;
    QString logo;
};

} // namespace

TEST_F(OptionsTest, OpensWithTheRowAndItsLogo)
{
    TFrmConfig d;
    d.MostrarEscudo();
    EXPECT_TRUE(msgs->shown.empty());
    EXPECT_EQ(d.EdNColegio->text(), "Colegio Sol");
    EXPECT_TRUE(d.EdNColegio->isReadOnly());
    EXPECT_EQ(d.EdClave->text(), "admin");
    EXPECT_EQ(d.EdClave2->text(), "admin");
    EXPECT_EQ(d.EdJornada->text(), "Tarde");
    EXPECT_EQ(d.EdRutaEscudo->text(), logo);
    EXPECT_FALSE(d.ImgEscudo->pixmap().isNull());
    EXPECT_EQ(d.dtpHoraSalidaAuto->time(), QTime(17, 45, 30));
    EXPECT_TRUE(d.dtpHoraSalidaAuto->isHidden());
}

TEST_F(OptionsTest, DifferentPasswordsAreRefusedAndNothingIsStored)
{
    TFrmConfig d;
    d.EdEncabezado1->setText("Nuevo encabezado");
    d.EdClave->setText("uno");
    d.EdClave2->setText("dos");
    d.BtnAceptar->click();
    ASSERT_EQ(msgs->shown.size(), 1u);
    EXPECT_EQ(msgs->shown[0].text, "Contraseñas no coinciden.\n");
    EXPECT_EQ(msgs->shown[0].caption, "Error");
    EXPECT_EQ(d.result(), 0);
    EXPECT_EQ(stored("Encabezado1"), "E1");
    EXPECT_EQ(stored("clave"), "admin");
}

TEST_F(OptionsTest, AcceptStoresTheBoxesAndTheHiddenHourUnchanged)
{
    const QString hourBefore = stored("horaSalidaAuto");
    TFrmConfig d;
    d.EdEncabezado1->setText("Secretaría");
    d.EdEncabezado2->setText("Año 2026");
    d.EdJornada->setText("Única");
    d.EdClave->setText("Nueva1");
    d.EdClave2->setText("Nueva1");
    d.BtnAceptar->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    ASSERT_EQ(msgs->shown.size(), 1u);
    EXPECT_EQ(msgs->shown[0].text, "Algunos cambios tendrán efecto la próxima vez que reinicie el programa.");
    EXPECT_EQ(msgs->shown[0].caption, "Información");
    EXPECT_EQ(stored("Encabezado1"), "Secretaría");
    EXPECT_EQ(stored("Encabezado2"), "Año 2026");
    EXPECT_EQ(stored("Jornada"), "Única");
    EXPECT_EQ(stored("clave"), "Nueva1");
    EXPECT_EQ(stored("NColegio"), "Colegio Sol");
    EXPECT_EQ(stored("horaSalidaAuto"), hourBefore);
}

TEST_F(OptionsTest, APickedLogoIsStoredAtOnceAndKeptAfterSalir)
{
    const QString other = writePicture(QDir(site.workDir()).filePath("otro.png"), Qt::blue);
    TFrmConfig d;
    d.escogerImagen = [&](QWidget*) { return other; };
    d.EdEncabezado1->setText("no se guarda");
    d.BtnBuscarEscudo->click();
    EXPECT_EQ(d.EdRutaEscudo->text(), other);
    EXPECT_EQ(stored("rutaEscudo"), other);
    EXPECT_EQ(d.ImgEscudo->pixmap().toImage().pixelColor(d.ImgEscudo->pixmap().width() / 2,
                                                        d.ImgEscudo->pixmap().height() / 2),
              QColor(Qt::blue));
    d.BtnSalir->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(stored("rutaEscudo"), other);
    EXPECT_EQ(stored("Encabezado1"), "E1");
}

TEST_F(OptionsTest, AFileThatIsNoPictureIsRefusedBeforeItIsStored)
{
    const QString texto = QDir(site.workDir()).filePath("notas.png");
    QFile f(texto);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("esto no es una imagen");
    f.close();
    for (const QString& elegido : {texto, QDir(site.workDir()).filePath("no-existe.jpg")}) {
        msgs->shown.clear();
        TFrmConfig d;
        d.escogerImagen = [&](QWidget*) { return elegido; };
        d.BtnBuscarEscudo->click();
        ASSERT_EQ(msgs->shown.size(), 1u) << qPrintable(elegido);
        EXPECT_EQ(msgs->shown[0].text,
                  QString::fromUtf8("Debe escoger bien la ruta del escudo.\nPulse el botón buscar escudo y úbiquelo."));
        EXPECT_EQ(msgs->shown[0].caption, "Error");
        EXPECT_EQ(stored("rutaEscudo"), logo);
        EXPECT_EQ(d.EdRutaEscudo->text(), logo);
    }
}

TEST_F(OptionsTest, ALogoThatCannotBeStoredIsNotShownAsChosen)
{
    const QString other = writePicture(QDir(site.workDir()).filePath("otro.png"), Qt::blue);
    rawExec(site.tablesDir(), "CREATE TRIGGER solo_lectura BEFORE UPDATE ON Config "
                              "BEGIN SELECT RAISE(ABORT, 'tabla protegida'); END");
    TFrmConfig d;
    d.escogerImagen = [&](QWidget*) { return other; };
    d.BtnBuscarEscudo->click();
    ASSERT_EQ(msgs->shown.size(), 1u);
    EXPECT_TRUE(msgs->shown[0].text.contains("tabla protegida")) << msgs->lastText().toStdString();
    EXPECT_EQ(stored("rutaEscudo"), logo);
    EXPECT_EQ(d.EdRutaEscudo->text(), logo);
}

TEST_F(OptionsTest, NoFilePickedChangesNothing)
{
    TFrmConfig d;
    d.escogerImagen = [](QWidget*) { return QString(); };
    d.BtnBuscarEscudo->click();
    EXPECT_EQ(stored("rutaEscudo"), logo);
    EXPECT_EQ(d.EdRutaEscudo->text(), logo);
}

TEST_F(OptionsTest, AMissingLogoIsReportedButTheOtherSettingsCanBeAccepted)
{
    site.exec("update Config set rutaEscudo = '/no/existe/escudo.jpg'");
    TFrmConfig d;
    d.MostrarEscudo();
    ASSERT_EQ(msgs->shown.size(), 1u);
    EXPECT_EQ(msgs->shown[0].text, "Debe escoger bien la ruta del escudo.\nPulse el botón buscar escudo y úbiquelo.");
    EXPECT_EQ(msgs->shown[0].caption, "Error");
    EXPECT_EQ(msgs->shown[0].icon, kv::MsgIcon::None);
    d.EdEncabezado2->setText("Otro");
    d.BtnAceptar->click();
    EXPECT_EQ(stored("Encabezado2"), "Otro");
}

TEST(OptionsCommandTest, RefusedToTheCaptureLevelAndOpenedForTheAdministrator)
{
    QuitScope quit;
    MainHarness h;
    TFrmMain& w = h.start("0");
    w.Opciones1->trigger();
    EXPECT_EQ(h.msgs->texts(), QStringList({"Acceso restringido."}));

    kv::SetUserLevel("1");
    QString seen;
    onNextModal([&](QWidget* dlg) {
        seen = dlg->objectName() + "|" + dlg->windowTitle();
        static_cast<QDialog*>(dlg)->reject();
    });
    w.Opciones1->trigger();
    EXPECT_EQ(seen, "FrmConfig|Opciones");
}

TEST(OptionsCommandTest, AConfigTableThatCannotBeOpenedIsShownAndNoDialogAppears)
{
    QuitScope quit;
    MainHarness h;
    TFrmMain& w = h.start("1");
    rawExec(h.site.tablesDir(), "ALTER TABLE Config RENAME TO ConfigVieja");
    DialogSpy spy;
    w.Opciones1->trigger();
    EXPECT_TRUE(spy.shown.isEmpty());
    ASSERT_FALSE(h.msgs->shown.empty());
    EXPECT_EQ(h.msgs->shown.back().icon, kv::MsgIcon::Error);
    EXPECT_TRUE(h.msgs->shown.back().text.contains("Config")) << h.msgs->shown.back().text.toStdString();
}

TEST_F(OptionsTest, ListSettingsAreAddedToAnOlderSiteWhenStored)
{
    // A site made before the two list fields gets them, with their defaults, when it is opened.
    site.db()->exec("ALTER TABLE Config DROP COLUMN formatoPlanilla");
    site.db()->exec("ALTER TABLE Config DROP COLUMN incluirCancelados");
    ASSERT_EQ(site.scalar("select count(*) from pragma_table_info('Config') where name='formatoPlanilla'"), "1");
    TFrmConfig d;
    EXPECT_EQ(d.cbFormatoPlanilla->currentData().toInt(), 1);
    EXPECT_FALSE(d.chkIncluirCancelados->isChecked());
    d.cbFormatoPlanilla->setCurrentIndex(1);
    d.chkIncluirCancelados->setChecked(true);
    d.BtnAceptar->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(msgs->shown.size(), 1u) << msgs->lastText().toStdString();
    EXPECT_EQ(stored("formatoPlanilla"), "2");
    EXPECT_TRUE(kv::TConfig().incluirCancelados());
    EXPECT_EQ(stored("Encabezado1"), "E1");
    TFrmConfig again;
    EXPECT_EQ(again.cbFormatoPlanilla->currentData().toInt(), 2);
    EXPECT_TRUE(again.chkIncluirCancelados->isChecked());
}
