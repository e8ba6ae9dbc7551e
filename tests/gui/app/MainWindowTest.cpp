// The main window's activation and shell commands, on a real site.
#include "platform/Desktop.h"
#include "settings/IniFile.h"
#include "StartupHelpers.h"
#include "support/gui/MainHarness.h"
#include "support/gui/Modal.h"
#include "data/Schema.h"
#include "capture/Capture.h"
#include "publish/Publicados.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace kvtest;

namespace {

// Makes the window the active one (after another window was), which runs its activation.
void activate(TFrmMain& w)
{
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QApplication::processEvents();
}

void writeIni(const QByteArray& text)
{
    QFile f("pralune.ini");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { kv::addSite(h.site.workDir(), "Sede Norte", "/otra/ruta"); }
    QuitScope quit;
    MainHarness h;
};

} // namespace

TEST_F(MainWindowTest, ShowsTheSiteNameAtPositionAliasColegioPlusOne)
{
    TFrmMain& w = h.start();
    activate(w);
    EXPECT_EQ(w.LblNColegio->text(), "Colegio Prueba");   // no INI file: the first row
    kv::EscribirAliasColegio(1);
    activate(w);
    EXPECT_EQ(w.LblNColegio->text(), "Sede Norte");
    kv::EscribirAliasColegio(7);
    activate(w);
    EXPECT_EQ(w.LblNColegio->text(), "");
    EXPECT_TRUE(h.msgs->shown.empty());
}

TEST_F(MainWindowTest, AnAliasColegioThatIsNoNumberShowsTheFirstSiteQuietly)
{
    writeIni("[ACTION]\r\nAliasColegio=segundo\r\n");
    TFrmMain& w = h.start();
    activate(w);
    EXPECT_EQ(w.LblNColegio->text(), "Colegio Prueba");
    EXPECT_TRUE(h.msgs->shown.empty());
}

TEST_F(MainWindowTest, ShowsTheYearAndLoadsTheLogoKeepingItWhenTheFileGoes)
{
    const QString logo = writePicture(QDir(h.site.workDir()).filePath("escudo.png"), Qt::green);
    h.site.exec("update Config set anioactual = 2031, rutaEscudo = ?", {logo});
    TFrmMain& w = h.start();
    EXPECT_EQ(w.LblAnio->text(), "2031");
    EXPECT_EQ(w.EdAnio->text(), "2031");
    activate(w);
    ASSERT_FALSE(w.ImgEscudo->pixmap().isNull());
    const QImage img = w.ImgEscudo->pixmap().toImage();
    EXPECT_EQ(img.pixelColor(img.width() / 2, img.height() / 2), QColor(Qt::green));
    h.site.exec("update Config set rutaEscudo = '/no/existe.png'");
    activate(w);
    EXPECT_FALSE(w.ImgEscudo->pixmap().isNull());
    EXPECT_TRUE(h.msgs->shown.empty());
}

TEST_F(MainWindowTest, ActivationTakesTheCurrentCategoryGroupAndSubject)
{
    h.site.exec("insert into AbaGrados (IGrado, NGrado) values (6, 'Sexto')");
    h.site.exec("insert into Grupos (IGrado, IGrupo, NDirector) values (6, 'B', 'Ana')");
    h.site.exec("insert into AbaMaterias (IGrado, IMateria, NMateria) values (6, 'MAT', 'Matemáticas')");
    TFrmMain& w = h.start();
    activate(w);
    EXPECT_EQ(w.currentGrado, 6);
    EXPECT_EQ(w.currentGrupo, "B");
    EXPECT_EQ(w.currentMateria, "MAT");
}

TEST_F(MainWindowTest, StartDeletesOnlyThePublishedMovements)
{
    h.site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt, subido) values "
                "('P1', '12/01/2026', '07:00:00', 'E', true), ('P2', '12/01/2026', '08:00:00', 'S', true), "
                "('N1', '12/02/2026', '07:00:00', 'E', false), ('N2', '12/02/2026', '07:10:00', 'E', null)");
    h.start();
    // the window is there before the deletion, which runs in batches once it shows
    EXPECT_TRUE(kv::BorradoPublicadosPendiente());
    EXPECT_TRUE(QTest::qWaitFor([] { return !kv::BorradoPublicadosPendiente(); }, 5000));
    EXPECT_EQ(h.site.count("entradasSalidas"), 2);
    EXPECT_EQ(h.site.count("entradasSalidas", "codigo like 'N%'"), 2);
}

// Until the last batch has gone, a capture and a publication see the table as if the
// deletion were over.
TEST_F(MainWindowTest, PublishedMovementsNeverCountWhileTheyAreBeingDeleted)
{
    QStringList filas;
    for (int i = 0; i < 45; ++i)
        filas << QString("('P%1', '12/01/2026', '07:00:00', 'E', true)").arg(i % 3);
    h.site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt, subido) values " + filas.join(',')
                + ", ('N1', '12/01/2026', '07:00:00', 'E', false)");
    h.start();
    ASSERT_TRUE(kv::BorradoPublicadosPendiente());
    // P1's last movement was a published entry: with it gone, P1 is outside
    EXPECT_FALSE(kv::EstaDentro(h.site.tablesDir(), "P1"));
    EXPECT_TRUE(kv::EstaDentro(h.site.tablesDir(), "N1"));
    EXPECT_EQ(h.site.count("entradasSalidas", "codigo='P1'"), 0);
    EXPECT_EQ(h.site.count("entradasSalidas", "codigo='P0'"), 15);

    EXPECT_EQ(kv::BorrarLotePublicados(10), 10);      // batches of a given size
    EXPECT_TRUE(kv::BorradoPublicadosPendiente());
    kv::CompletarBorradoPublicados();                 // what a publication does first
    EXPECT_FALSE(kv::BorradoPublicadosPendiente());
    EXPECT_EQ(h.site.count("entradasSalidas", "subido=true"), 0);
    EXPECT_EQ(h.site.count("entradasSalidas"), 1);
}

TEST_F(MainWindowTest, ClosingTheWindowClosesTheTables)
{
    TFrmMain& w = h.start();
    w.show();
    EXPECT_TRUE(w.Timer1->isActive());
    w.Salir1->trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.Timer1->isActive());
    for (kv::TableCursor* t : h.dm->tables()) EXPECT_FALSE(t->isActive()) << t->objectName().toStdString();
}

TEST_F(MainWindowTest, NotesOpenTheSitesPendientesFileWithoutWaiting)
{
    // A desktop whose only editor is mousepad (a stand-in script on a private PATH).
    QTemporaryDir bin;
    const QString editor = QDir(bin.path()).filePath("mousepad");
    {
        QFile f(editor);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nexit 0\n");
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QByteArray oldPath = qgetenv("PATH"), oldVisual = qgetenv("VISUAL"), oldEditor = qgetenv("EDITOR");
    qputenv("PATH", bin.path().toLocal8Bit());
    qunsetenv("VISUAL");
    qunsetenv("EDITOR");
    QStringList started;
    auto old = kv::SetDetachedStarter([&](const QString& program, const QStringList& args) {
        started = QStringList{program} + args;
        return true;
    });
    TFrmMain& w = h.start();
    const QString notes = QDir(h.site.tablesDir()).filePath("pendientes.txt");
    ASSERT_FALSE(QFile::exists(notes));
    w.BlockDeNotas1->trigger();
    kv::SetDetachedStarter(old);
    qputenv("PATH", oldPath);
    if (!oldVisual.isNull()) qputenv("VISUAL", oldVisual);
    if (!oldEditor.isNull()) qputenv("EDITOR", oldEditor);
    EXPECT_TRUE(QFile::exists(notes));   // made when missing
    ASSERT_FALSE(started.isEmpty());
    EXPECT_EQ(started, QStringList({editor, QFileInfo(notes).absoluteFilePath()}));
    EXPECT_TRUE(h.msgs->shown.empty());

    auto failing = kv::SetDetachedStarter([](const QString&, const QStringList&) { return false; });
    w.BlockDeNotas1->trigger();
    kv::SetDetachedStarter(failing);
    EXPECT_TRUE(h.msgs->lastText().startsWith("No se pudo abrir el editor de textos")) << h.msgs->lastText().toStdString();
}

TEST_F(MainWindowTest, WebSiteAndAboutBoxShowTheMakersAddress)
{
    QString opened;
    auto old = kv::SetUrlOpener([&](const QString& url) { opened = url; return true; });
    TFrmMain& w = h.start();
    w.SitioWEB1->trigger();
    kv::SetUrlOpener(old);
    EXPECT_EQ(opened, kv::DireccionWebFabricante());

    QStringList texts;
    onNextModal([&](QWidget* box) {
        for (QLabel* l : box->findChildren<QLabel*>())
            if (!l->text().isEmpty()) texts << l->text();
        box->close();
    });
    w.Info1->trigger();
    EXPECT_EQ(texts, QStringList({"Kelvora versión 2011-1", "Programa para el control de asistencia",
                                  kv::DireccionWebFabricante()}));
}

TEST_F(MainWindowTest, ABrokenSettingsRowIsShownOnceNotAtEveryActivation)
{
    h.site.exec("update Config set anioactual = 2026");
    rawExec(h.site.tablesDir(), "ALTER TABLE Config DROP COLUMN NumHorasPierdeAnio");
    TFrmMain& w = h.start();
    // Closing the error box activates the window again, which reads the settings again.
    for (int i = 0; i < 3; ++i) activate(w);
    ASSERT_EQ(h.msgs->shown.size(), 1u);
    EXPECT_TRUE(h.msgs->shown[0].text.contains("NumHorasPierdeAnio")) << h.msgs->lastText().toStdString();
    EXPECT_EQ(h.msgs->shown[0].icon, kv::MsgIcon::Error);
    EXPECT_EQ(w.LblAnio->text(), "0");                      // read after the missing field
    EXPECT_EQ(w.LblNColegio->text(), "Colegio Prueba");     // the rest of the activation ran
}

TEST_F(MainWindowTest, APublishedRowThatCannotBeDeletedIsShownAndKeptWithTheWindowUp)
{
    h.site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt, subido) values "
                "('P1', '12/01/2026', '07:00:00', 'E', true)");
    rawExec(h.site.tablesDir(), "CREATE TRIGGER no_borrar BEFORE DELETE ON entradasSalidas "
                                "BEGIN SELECT RAISE(ABORT, 'borrado impedido'); END");
    h.start();   // the window is made: the deletion comes after it
    EXPECT_NE(h.w, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !h.msgs->shown.empty(); }, 5000));
    ASSERT_EQ(h.msgs->shown.size(), 1u);
    EXPECT_TRUE(h.msgs->lastText().contains("borrado impedido")) << h.msgs->lastText().toStdString();
    EXPECT_EQ(h.site.count("entradasSalidas"), 1);
    EXPECT_TRUE(kv::BorradoPublicadosPendiente());   // a publication would try again first
    EXPECT_THROW(kv::CompletarBorradoPublicados(), kv::DbError);
}
