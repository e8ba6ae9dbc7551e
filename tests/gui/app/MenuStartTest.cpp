// Started from the desktop's menu: the real program with a scratch user's HOME, in $HOME,
// where there is no site list. It works in the user's data directory and opens the site
// choice there; started where a site list is, it works there as it always did.
#include "support/TempSite.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <optional>

using namespace kvtest;

namespace {

// A user of the desktop: own HOME, temporary and runtime directories.
struct ScratchUser {
    QTemporaryDir root;
    QString home() const { return root.path() + "/home/ana"; }
    ScratchUser()
    {
        QDir().mkpath(home());
        QDir().mkpath(root.path() + "/tmp");
        QDir().mkpath(root.path() + "/run");
        QFile::setPermissions(root.path() + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QProcessEnvironment env(const std::optional<QString>& xdgDataHome) const
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("HOME", home());
        if (xdgDataHome) e.insert("XDG_DATA_HOME", *xdgDataHome);
        else e.remove("XDG_DATA_HOME");
        e.insert("TMPDIR", root.path() + "/tmp");   // its own single-instance lock
        e.insert("XDG_RUNTIME_DIR", root.path() + "/run");
        e.insert("QT_QPA_PLATFORM", "offscreen");
        e.insert("KELVORA_MENSAJES", "stderr");
        // The off-screen platform's own warnings are not the program's messages.
        e.insert("QT_LOGGING_RULES", "*.warning=false");
        return e;
    }
};

// Starts the program in `workDir` and waits until it names the window it opened on its
// error stream; returns everything it wrote there by then.
QString startUntilWindow(QProcess& p, const QProcessEnvironment& env, const QString& workDir)
{
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    p.start(QStringLiteral(KELVORA_PROGRAM), {});
    EXPECT_TRUE(p.waitForStarted(10000));
    QString err;
    QElapsedTimer t;
    t.start();
    while (!err.contains("ventana ") && p.state() == QProcess::Running && t.elapsed() < 30000) {
        p.waitForReadyRead(200);
        err += QString::fromLocal8Bit(p.readAllStandardError());
    }
    return err;
}

QString workingDirOf(const QProcess& p)
{
    return QFileInfo(QStringLiteral("/proc/%1/cwd").arg(p.processId())).canonicalFilePath();
}

void stop(QProcess& p)
{
    p.kill();
    p.waitForFinished(10000);
}

} // namespace

TEST(MenuStartTest, FromHomeWithoutSiteListTheDataDirectoryAppearsAndTheSiteChoiceOpensInIt)
{
    struct Case {
        const char* name;
        std::optional<QString> xdgDataHome;   // relative to the scratch root
        QString dataDir;                      // relative to the scratch root
    };
    const Case cases[] = {
        {"XDG_DATA_HOME set", QString("/datos"), "/datos/kelvora"},
        {"XDG_DATA_HOME unset", std::nullopt, "/home/ana/.local/share/kelvora"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchUser user;
        ASSERT_TRUE(user.root.isValid());
        const QString root = user.root.path();
        const auto xdg = c.xdgDataHome ? std::optional<QString>(root + *c.xdgDataHome) : std::nullopt;
        QProcess p;
        const QString err = startUntilWindow(p, user.env(xdg), user.home());
        EXPECT_EQ(err.trimmed(), "kelvora: ventana FrmPedirColegio «Kelvora»");   // and nothing else
        EXPECT_EQ(p.state(), QProcess::Running);
        EXPECT_TRUE(QFileInfo(root + c.dataDir).isDir());
        EXPECT_EQ(workingDirOf(p), QFileInfo(root + c.dataDir).canonicalFilePath());
        stop(p);
        // Nothing lands in HOME itself; the empty choice wrote no site list.
        EXPECT_EQ(QDir(user.home()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
        EXPECT_FALSE(QFileInfo::exists(root + c.dataDir + "/Config.DB"));
    }
}

TEST(MenuStartTest, StartedWhereTheSiteListIsItWorksThereAndMakesNoDataDirectory)
{
    TempSite site;
    ScratchUser user;
    ASSERT_TRUE(user.root.isValid());
    QProcess p;
    const QString err = startUntilWindow(p, user.env(user.root.path() + "/datos"), site.workDir());
    EXPECT_EQ(err.trimmed(), "kelvora: ventana FrmPedirColegio «Kelvora»");
    EXPECT_EQ(workingDirOf(p), QFileInfo(site.workDir()).canonicalFilePath());
    stop(p);
    EXPECT_FALSE(QFileInfo::exists(user.root.path() + "/datos/kelvora"));
}
