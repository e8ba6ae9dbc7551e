// The start of the program: site choice, failed opening, second copy, login, main window.
#include "app/forms/Arranque.h"
#include "data/SiteList.h"
#include "app/forms/TFrmPedirColegio.h"
#include "platform/InstanceLock.h"
#include "settings/IniFile.h"
#include "StartupHelpers.h"
#include "support/FakeMessages.h"
#include "support/gui/Modal.h"
#include "support/TempSite.h"
#include "data/Schema.h"
#include "publish/Publicados.h"
#include <QTest>
#include "data/forms/DBGrid.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace kvtest;

namespace {

QPushButton* buttonOf(QWidget* w, const char* name)
{
    auto* b = w->findChild<QPushButton*>(QString::fromLatin1(name));
    EXPECT_NE(b, nullptr) << name;
    return b;
}

// A program name of its own per test, so no test meets another's lock.
QString programPath(const char* tag)
{
    return QStringLiteral("/opt/kelvora/bin/kvtest-%1-%2.exe").arg(QLatin1String(tag)).arg(QCoreApplication::applicationPid());
}

bool anyTableOpen(const kv::TDM& dm)
{
    for (kv::TableCursor* t : dm.tables())
        if (t->isActive()) return true;
    return false;
}

// Answers the site choice with the first site, then logs in as administrator.
void elegirSitioEIngresarComoAdministrador()
{
    onNextModal([](QWidget* w) {
        onNextModal([](QWidget* login) {
            login->findChild<QComboBox*>("cbTipoUsuario")->setCurrentIndex(1);
            login->findChild<QLineEdit*>("EdClave")->setText("admin");
            buttonOf(login, "BtnIngresar")->click();
        });
        buttonOf(w, "BtnSeleccionar")->click();
    });
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        site.exec("update Config set clave = 'admin', claveConsultor = 'puerta', anioactual = 2026");
    }
    void TearDown() override
    {
        kv::ProgramInstanceLock().release();
        removeTestLocks();
    }

    QuitScope quit;
    TempSite site;
    MessagesScope msgs;
};

} // namespace

TEST_F(StartupTest, SiteChoiceListsEachNameOnceAndPreselectsTheRememberedOne)
{
    const QString other = QDir(site.workDir()).filePath("otro");
    kv::createSite(other);
    kv::addSite(site.workDir(), "Colegio Prueba", "/copia/del/primero");   // same name again
    kv::addSite(site.workDir(), "Sede Norte", other);
    {
        TFrmPedirColegio d;
        EXPECT_EQ(d.windowTitle(), "Kelvora");
        QStringList items;
        for (int i = 0; i < d.cbColegios->count(); ++i) items << d.cbColegios->itemText(i);
        EXPECT_EQ(items, QStringList({"Colegio Prueba", "Sede Norte"}));
        EXPECT_FALSE(d.cbColegios->isEditable());
        EXPECT_EQ(d.cbColegios->currentIndex(), 0);   // no INI file: the first one
        d.BtnSeleccionar->click();
        EXPECT_EQ(kv::TablesDir(), site.tablesDir());   // the first row of that name
        EXPECT_EQ(kv::LeerAliasColegio(), 0);
    }
    kv::EscribirAliasColegio(1);
    TFrmPedirColegio d;
    EXPECT_EQ(d.cbColegios->currentText(), "Sede Norte");
    d.BtnSeleccionar->click();
    EXPECT_EQ(kv::TablesDir(), other);
    EXPECT_EQ(kv::LeerIni("ACTION", "AliasColegio"), "1");
    EXPECT_TRUE(msgs->shown.empty());
}

TEST_F(StartupTest, ARememberedPositionOutsideTheListSelectsNothing)
{
    kv::EscribirAliasColegio(5);
    TFrmPedirColegio d;
    EXPECT_EQ(d.cbColegios->currentIndex(), -1);
    d.BtnSeleccionar->click();
    EXPECT_EQ(msgs->lastText(), "Colegio no encontrado");
    EXPECT_EQ(msgs->shown.back().caption, "Error");
    EXPECT_TRUE(kv::TablesDir().isEmpty());
    EXPECT_EQ(kv::LeerAliasColegio(), 5);
}

TEST_F(StartupTest, CancelEndsWithoutOpeningATableOrAskingTheLogin)
{
    DialogSpy spy;
    onNextModal([](QWidget* w) { buttonOf(w, "BtnCancelar")->click(); });
    Arranque a(true);
    EXPECT_FALSE(a.iniciar(programPath("cancel")));
    EXPECT_TRUE(kv::QuitPending());
    EXPECT_EQ(spy.shown, QStringList({"FrmPedirColegio"}));
    ASSERT_TRUE(a.dm);
    EXPECT_FALSE(anyTableOpen(*a.dm));
    EXPECT_TRUE(kv::UserLevel().isEmpty());
    EXPECT_FALSE(QFile::exists("pralune.ini"));
}

TEST_F(StartupTest, ASecondCopyIsRefusedBeforeAnyDialog)
{
    const QString path = programPath("second");
    kv::InstanceLock first;
    ASSERT_TRUE(first.acquire(kv::InstanceName(path)));
    DialogSpy spy;
    Arranque a(true);
    EXPECT_FALSE(a.iniciar(path));
    EXPECT_EQ(msgs->texts(), QStringList({"Ya existe otra copia del programa funcionando."}));
    EXPECT_TRUE(kv::QuitPending());
    EXPECT_TRUE(spy.shown.isEmpty());
    EXPECT_FALSE(anyTableOpen(*a.dm));
    EXPECT_TRUE(kv::UserLevel().isEmpty());
}

TEST_F(StartupTest, ASecondCopyStartedWhereThereIsNoSiteListShowsOnlyItsMessage)
{
    const QString path = programPath("second-elsewhere");
    kv::InstanceLock first;
    ASSERT_TRUE(first.acquire(kv::InstanceName(path)));
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    Arranque a(true);
    const bool sigue = a.iniciar(path);
    QDir::setCurrent(before);
    EXPECT_FALSE(sigue);
    EXPECT_EQ(msgs->texts(), QStringList({"Ya existe otra copia del programa funcionando."}));
    EXPECT_FALSE(QFile::exists(QDir(elsewhere.path()).filePath("Config.DB")));
}

TEST_F(StartupTest, AFailedOpeningLetsTheOperatorMendTheSiteListThenEnds)
{
    // The only site points at a directory that holds no tables.
    kv::Database::siteList()->exec("UPDATE Config SET RutaTablas = '/no/existe/sitio'");
    QString caption, label;
    QStringList headings;
    onNextModal([&](QWidget* w) {
        onNextModal([&](QWidget* editor) {
            caption = editor->windowTitle();
            label = editor->findChild<QLabel*>("Label1")->text();
            auto* grid = editor->findChild<kv::DBGrid*>("DBGrid1");
            for (int c = 0; c < grid->model()->columnCount(); ++c)
                headings << grid->model()->headerData(c, Qt::Horizontal).toString();
            grid->model()->setData(grid->model()->index(0, 1), site.tablesDir());
            editor->close();   // by its frame
        });
        buttonOf(w, "BtnSeleccionar")->click();
    });
    Arranque a(true);
    EXPECT_FALSE(a.iniciar(programPath("failed")));
    EXPECT_EQ(caption, "Colegios");
    EXPECT_EQ(label, "/no/existe/sitio incorrecta. Debe corregir...");
    EXPECT_EQ(headings, QStringList({"Alias", "RutaTablas"}));
    ASSERT_GE(msgs->shown.size(), 2u);
    EXPECT_EQ(msgs->shown.front().icon, kv::MsgIcon::Error);    // the engine's error first
    EXPECT_EQ(msgs->lastText(), "El Programa terminará. Reinícielo.");
    EXPECT_TRUE(kv::QuitPending());
    EXPECT_TRUE(kv::TablesDir().isEmpty());
    EXPECT_FALSE(anyTableOpen(*a.dm));
    EXPECT_EQ(kv::RutaTablasDeSitio("Colegio Prueba").value_or(""), site.tablesDir());   // mended
}

TEST_F(StartupTest, ChoiceAndLoginLeadToTheMainWindow)
{
    site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt, subido) values "
              "('A1', '12/01/2026', '07:00:00', 'E', true), ('A2', '12/01/2026', '07:05:00', 'E', false)");
    DialogSpy spy;
    elegirSitioEIngresarComoAdministrador();
    Arranque a(true);
    ASSERT_TRUE(a.iniciar(programPath("full")));
    EXPECT_EQ(spy.shown, QStringList({"FrmPedirColegio", "FrmClave"}));
    EXPECT_TRUE(msgs->shown.empty()) << msgs->lastText().toStdString();
    EXPECT_EQ(kv::UserLevel(), "1");
    // "Sandrivo" titles the plain message boxes. It must not be pinned as the display
    // name, which X11 would append to every window caption ("Kelvora — Sandrivo").
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Sandrivo");
    QCoreApplication::setApplicationName("otro");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "otro");
    QCoreApplication::setApplicationName("Sandrivo");
    TFrmMain& w = *a.ventana;
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "Kelvora");
    EXPECT_EQ(w.LblAnio->text(), "2026");
    EXPECT_EQ(w.EdAnio->text(), "2026");
    EXPECT_EQ(w.modoMovimiento, "E");
    // Published movements are gone once the window is up, the rest stays.
    EXPECT_TRUE(QTest::qWaitFor([] { return !kv::BorradoPublicadosPendiente(); }, 5000));
    EXPECT_EQ(site.scalar("select codigo from entradasSalidas"), "A2");
    EXPECT_EQ(site.count("entradasSalidas"), 1);
    for (kv::TableCursor* t : a.dm->tables()) EXPECT_TRUE(t->isActive()) << t->objectName().toStdString();
    w.close();
    EXPECT_FALSE(anyTableOpen(*a.dm));
}

TEST_F(StartupTest, LeavingTheLoginEndsWithoutTouchingTheMovements)
{
    site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt, subido) values "
              "('A1', '12/01/2026', '07:00:00', 'E', true)");
    onNextModal([&](QWidget* w) {
        onNextModal([](QWidget* login) { buttonOf(login, "BtnSalir")->click(); });
        buttonOf(w, "BtnSeleccionar")->click();
    });
    Arranque a(true);
    EXPECT_FALSE(a.iniciar(programPath("salir")));
    EXPECT_TRUE(kv::QuitPending());
    EXPECT_EQ(site.count("entradasSalidas"), 1);
}

// The editor's label names what is wrong: no site at all, a directory without a site, or
// a site's directory that is right but lacks a table.
TEST_F(StartupTest, TheSiteEditorSaysWhatIsWrongWithTheSite)
{
    rawExec(site.tablesDir(), "DROP TABLE periodos");
    QStringList labels, errores;
    for (const char* elegir : {"", "Colegio Prueba"}) {
        msgs->shown.clear();
        kv::SetTablesDir(QString());
        onNextModal([&, elegir](QWidget* w) {
            onNextModal([&](QWidget* editor) {
                labels << editor->findChild<QLabel*>("Label1")->text();
                editor->close();
            });
            auto* cb = w->findChild<QComboBox*>("cbColegios");
            cb->setCurrentIndex(cb->findText(elegir));
            buttonOf(w, "BtnSeleccionar")->click();
        });
        kv::TDM dm;
        kv::ElegirSitioYAbrirTablas(dm);
        ASSERT_FALSE(msgs->shown.empty());
        errores << msgs->shown.back().text;
        kv::ClearQuitRequest();
    }
    ASSERT_EQ(labels.size(), 2);
    EXPECT_EQ(labels[0], QString::fromUtf8("No se eligió ningún colegio. Debe corregir..."));
    EXPECT_TRUE(labels[1].startsWith(QDir::toNativeSeparators(site.tablesDir()) + ": ")) << labels[1].toStdString();
    EXPECT_TRUE(labels[1].contains("periodos")) << labels[1].toStdString();
    EXPECT_FALSE(labels[1].contains("incorrecta")) << labels[1].toStdString();
    EXPECT_TRUE(labels[1].endsWith(" Debe corregir...")) << labels[1].toStdString();
}

TEST_F(StartupTest, ASettingsRowMissingAFieldIsShownOnceAtStartUp)
{
    rawExec(site.tablesDir(), "ALTER TABLE Config DROP COLUMN NumHorasPierdeAnio");
    elegirSitioEIngresarComoAdministrador();
    Arranque a(true);
    ASSERT_TRUE(a.iniciar(programPath("config")));
    ASSERT_EQ(msgs->shown.size(), 1u) << msgs->texts().join(" | ").toStdString();
    EXPECT_TRUE(msgs->shown[0].text.contains("NumHorasPierdeAnio")) << msgs->lastText().toStdString();
}
