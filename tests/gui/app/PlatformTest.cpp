// The pieces the operating system gives: the one-copy lock (also across processes, with
// the real program), the text editor's command, and the display of escaped errors.
#include "base/forms/ErrorDisplay.h"
#include "app/forms/KvApplication.h"
#include "platform/Desktop.h"
#include "platform/InstanceLock.h"
#include "StartupHelpers.h"
#include "support/FakeMessages.h"
#include "support/TempSite.h"
#include "base/MyException.h"
#include "data/Field.h"

#include <gtest/gtest.h>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTranslator>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

using namespace kvtest;

TEST(InstanceLockTest, NameIsTheFileNameWithoutDirectoryAndExtension)
{
    EXPECT_EQ(kv::InstanceName("/usr/local/bin/kelvora"), "kelvora");
    EXPECT_EQ(kv::InstanceName("C:\\Programas\\Kelvora\\prog.exe"), "prog");
    EXPECT_EQ(kv::InstanceName("D:prog.exe"), "D:prog");   // no directory separator: only the extension goes
    EXPECT_EQ(kv::InstanceName("./mi.prog.exe"), "mi.prog");
    EXPECT_EQ(kv::InstanceName("kelvora"), "kelvora");
}

TEST(InstanceLockTest, OneHolderPerNameAndFreeAgainAfterRelease)
{
    const QString name = QStringLiteral("kvtest-lock-%1").arg(QCoreApplication::applicationPid());
    kv::InstanceLock a, b, c;
    ASSERT_TRUE(a.acquire(name));
    EXPECT_TRUE(a.held());
    EXPECT_FALSE(b.acquire(name));
    EXPECT_TRUE(kv::InstanceLock::heldElsewhere(name));
    EXPECT_TRUE(c.acquire(name + "-otro"));   // differently named copies run side by side
    a.release();
    EXPECT_FALSE(kv::InstanceLock::heldElsewhere(name));
    EXPECT_TRUE(b.acquire(name));
    b.release();
    c.release();
    removeTestLocks();
}

namespace {

// Runs the real program in `workDir` with its own temporary directory (so its lock is
// private to the test) and messages on the error stream.
void startProgram(QProcess& p, const QString& workDir, const QString& tmpDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TMPDIR", tmpDir);
    env.insert("KELVORA_MENSAJES", "stderr");
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(KELVORA_PROGRAM), {});
    ASSERT_TRUE(p.waitForStarted(10000));
}

bool waitFor(const std::function<bool()>& cond, int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (cond()) return true;
        QThread::msleep(50);
    }
    return cond();
}

// The lock as the program sees it under TMPDIR=dir.
bool heldUnder(const QString& dir)
{
    const QByteArray old = qgetenv("TMPDIR");
    qputenv("TMPDIR", dir.toLocal8Bit());
    const bool held = kv::InstanceLock::heldElsewhere("kelvora");
    qputenv("TMPDIR", old);
    return held;
}

} // namespace

TEST(InstanceProcessTest, ASecondProgramIsRefusedWithExitCodeZeroAndAKilledOneFreesTheLock)
{
    TempSite site;
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());

    QProcess first;
    startProgram(first, site.workDir(), tmp.path());
    // The first copy waits at the site choice, holding the lock.
    ASSERT_TRUE(waitFor([&] { return heldUnder(tmp.path()); }, 20000));

    QProcess second;
    startProgram(second, site.workDir(), tmp.path());
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    const QString err = QString::fromLocal8Bit(second.readAllStandardError());
    EXPECT_TRUE(err.contains("Ya existe otra copia del programa funcionando.")) << err.toStdString();
    EXPECT_FALSE(err.contains("Error")) << err.toStdString();
    EXPECT_FALSE(QFile::exists(QDir(site.workDir()).filePath("pralune.ini")));
    EXPECT_EQ(first.state(), QProcess::Running);   // undisturbed

    first.kill();   // SIGKILL: no chance to clean up
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_FALSE(heldUnder(tmp.path()));

    // A new start after the crash is not refused: it reaches the site choice.
    QProcess third;
    startProgram(third, site.workDir(), tmp.path());
    EXPECT_TRUE(waitFor([&] { return heldUnder(tmp.path()); }, 20000));
    EXPECT_EQ(third.state(), QProcess::Running);
    third.kill();
    third.waitForFinished(10000);
    EXPECT_FALSE(QString::fromLocal8Bit(third.readAllStandardError()).contains("Ya existe otra copia"));
}

TEST(EditorCommandTest, PrefersAGraphicalVisualOrEditorThenTheDesktopsOwn)
{
    QMap<QString, QString> env;
    QSet<QString> installed;
    auto getenv = [&](const QString& v) { return env.value(v); };
    auto which = [&](const QString& p) {
        const QString name = p.section('/', -1);
        return installed.contains(name) ? "/usr/bin/" + name : QString();
    };
    const QString f = "/s/pendientes.txt";

    installed = {"gedit", "xdg-open", "mousepad", "vim"};
    env = {{"VISUAL", "vim"}, {"EDITOR", "gedit --new-window"}};
    EXPECT_EQ(kv::EditorCommand(f, getenv, which), QStringList({"/usr/bin/gedit", "--new-window", f}));

    env = {{"VISUAL", "vim"}, {"EDITOR", "nano"}};   // terminal editors have no window
    EXPECT_EQ(kv::EditorCommand(f, getenv, which), QStringList({"/usr/bin/xdg-open", f}));

    env = {{"EDITOR", "kate"}};                      // not installed
    installed = {"mousepad"};
    EXPECT_EQ(kv::EditorCommand(f, getenv, which), QStringList({"/usr/bin/mousepad", f}));

    installed.clear();
    EXPECT_TRUE(kv::EditorCommand(f, getenv, which).isEmpty());
}

namespace {
// An object whose handler throws what it is told to.
class Thrower : public QObject {
public:
    std::function<void()> action;
protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User) {
            action();
            return true;
        }
        return QObject::event(e);
    }
};
} // namespace

TEST(ErrorDisplayTest, AnErrorEscapingAHandlerIsShownAndTheProgramGoesOn)
{
    TempSite site;   // MyException writes its log in the working directory
    MessagesScope msgs;
    Thrower t;
    QEvent ev(QEvent::User);

    t.action = [] { throw kv::DbError("No se puede abrir la tabla X."); };
    EXPECT_FALSE(KvApplication::deliverGuarded(qApp, &t, &ev));
    t.action = [] { throw MyException("Error abriendo el archivo: a.txt"); };
    KvApplication::deliverGuarded(qApp, &t, &ev);
    t.action = [] { throw 42; };
    KvApplication::deliverGuarded(qApp, &t, &ev);
    t.action = [] {};
    EXPECT_TRUE(KvApplication::deliverGuarded(qApp, &t, &ev));

    ASSERT_EQ(msgs->shown.size(), 3u);
    EXPECT_EQ(msgs->shown[0].text, "No se puede abrir la tabla X.");
    EXPECT_EQ(msgs->shown[0].icon, kv::MsgIcon::Error);
    EXPECT_EQ(msgs->shown[1].text, "Error abriendo el archivo: a.txt");
    EXPECT_EQ(msgs->shown[1].caption, "Error");
    EXPECT_EQ(msgs->shown[1].icon, kv::MsgIcon::Error);
    EXPECT_TRUE(msgs->shown[2].text.startsWith("An exception of type int\nwas thrown by line "))
        << msgs->shown[2].text.toStdString();
    EXPECT_TRUE(msgs->shown[2].text.contains("\nof file "));
}

// The standard dialogs and buttons come from Qt itself: they speak Spanish only when the
// program installs Qt's Spanish translations.
TEST(QtTranslationsTest, StandardDialogsAndButtonsAreSpanish)
{
    QTranslator* qt = KvApplication::loadQtSpanish(*qApp);
    ASSERT_NE(qt, nullptr) << "qt6-translations-l10n is not installed";
    const struct { const char* context; const char* english; const char* spanish; } texts[] = {
        {"QFileDialog", "Look in:", "Ver en:"},
        {"QFileDialog", "&Open", "&Abrir"},
        {"QPlatformTheme", "Cancel", "Cancelar"},
        {"QPlatformTheme", "&Yes", "&Sí"},
    };
    for (const auto& t : texts)
        EXPECT_EQ(QCoreApplication::translate(t.context, t.english), QString::fromUtf8(t.spanish)) << t.english;
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), "Cancelar");
    QCoreApplication::removeTranslator(qt);
    delete qt;
}
