// The working directory of a start: where the site list is, else the user's data directory.
#include "settings/DirectorioTrabajo.h"
#include "data/Schema.h"
#include "support/TempSite.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <optional>

using namespace kvtest;

namespace {

// Sets environment variables (nullopt: unset) for one test and restores them at its end.
class EnvScope {
public:
    explicit EnvScope(const std::map<QByteArray, std::optional<QByteArray>>& vars)
    {
        for (const auto& [name, value] : vars) {
            old_[name] = qEnvironmentVariableIsSet(name.constData()) ? std::optional(qgetenv(name.constData())) : std::nullopt;
            set(name, value);
        }
    }
    ~EnvScope()
    {
        for (const auto& [name, value] : old_) set(name, value);
    }

private:
    static void set(const QByteArray& name, const std::optional<QByteArray>& value)
    {
        if (value) qputenv(name.constData(), *value);
        else qunsetenv(name.constData());
    }
    std::map<QByteArray, std::optional<QByteArray>> old_;
};

} // namespace

TEST(DirectorioTrabajoTest, TheUsersDataDirectoryFollowsAnAbsoluteXdgDataHomeElseHome)
{
    struct Case {
        std::optional<QByteArray> xdg;
        QString expected;
    };
    const Case cases[] = {
        {QByteArray("/srv/datos"), "/srv/datos/kelvora"},
        {QByteArray("/srv/datos/"), "/srv/datos/kelvora"},
        {std::nullopt, "/home/ana/.local/share/kelvora"},
        {QByteArray(""), "/home/ana/.local/share/kelvora"},
        {QByteArray("datos/relativos"), "/home/ana/.local/share/kelvora"},   // not absolute: ignored
    };
    for (const Case& c : cases) {
        EnvScope env({{"XDG_DATA_HOME", c.xdg}, {"HOME", QByteArray("/home/ana")}});
        EXPECT_EQ(kv::DirectorioDatosUsuario(), c.expected) << (c.xdg ? c.xdg->constData() : "(unset)");
    }
}

TEST(DirectorioTrabajoTest, ADirectoryHoldingTheSiteListIsKeptAnyOtherGivesTheDataDirectory)
{
    TempSite withList;                    // Config.DB in its working directory
    TempSite withoutList(false);
    TempSite listIsAFolder(false);
    ASSERT_TRUE(QDir(listIsAFolder.workDir()).mkdir("Config.DB"));
    const QString datos = "/home/ana/.local/share/kelvora";
    EXPECT_EQ(kv::DirectorioDeTrabajo(withList.workDir(), datos), withList.workDir());
    EXPECT_EQ(kv::DirectorioDeTrabajo(withList.workDir() + "/", datos), withList.workDir());
    EXPECT_EQ(kv::DirectorioDeTrabajo(withoutList.workDir(), datos), datos);
    EXPECT_EQ(kv::DirectorioDeTrabajo(listIsAFolder.workDir(), datos), datos);
}

TEST(DirectorioTrabajoTest, AStartWithoutSiteListCreatesAndEntersTheDataDirectoryOnce)
{
    TempSite home(false);   // current directory, with no site list
    const QString xdg = QDir(home.workDir()).filePath("datos/de/ana");
    EnvScope env({{"XDG_DATA_HOME", xdg.toLocal8Bit()}});
    const QString expected = xdg + "/kelvora";
    EXPECT_EQ(kv::EntrarDirectorioDeTrabajo(), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    EXPECT_EQ(QDir::currentPath(), expected);
    // Started again from there, before any site exists: the same directory.
    EXPECT_EQ(kv::EntrarDirectorioDeTrabajo(), expected);
    EXPECT_EQ(QDir::currentPath(), expected);
}

TEST(DirectorioTrabajoTest, AStartWhereTheSiteListIsStaysThereAndMakesNoDataDirectory)
{
    TempSite site;
    QTemporaryDir other;
    ASSERT_TRUE(other.isValid());
    EnvScope env({{"XDG_DATA_HOME", other.path().toLocal8Bit()}});
    EXPECT_EQ(kv::EntrarDirectorioDeTrabajo(), site.workDir());
    EXPECT_EQ(QDir::currentPath(), site.workDir());
    EXPECT_FALSE(QFileInfo::exists(other.path() + "/kelvora"));
}

TEST(DirectorioTrabajoTest, ADataDirectoryThatCannotBeMadeIsRefusedInSpanishAndTheDirectoryStays)
{
    TempSite home(false);
    QFile blocker(QDir(home.workDir()).filePath("archivo"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // Under a plain file no directory can be made, whoever runs the test.
    EnvScope env({{"XDG_DATA_HOME", blocker.fileName().toLocal8Bit()}});
    try {
        kv::EntrarDirectorioDeTrabajo();
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), "No se puede usar el directorio de datos " + blocker.fileName() + "/kelvora.");
    }
    EXPECT_EQ(QDir::currentPath(), home.workDir());
    EXPECT_FALSE(QFile::exists(QDir(home.workDir()).filePath("LogError.txt")));   // nothing left where it started
}
