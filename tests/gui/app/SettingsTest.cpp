// The settings record and the INI file, on a real site on disk.
#include "settings/IniFile.h"
#include "settings/TConfig.h"
#include "base/forms/ErrorDisplay.h"
#include "StartupHelpers.h"
#include "support/FakeMessages.h"
#include "support/TempSite.h"

#include <gtest/gtest.h>
#include <QFile>

using namespace kvtest;

namespace {

QString readFile(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
}

void writeFile(const QString& name, const QByteArray& text)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

} // namespace

TEST(TConfigTest, NoSiteChosenLeavesEveryValueEmptyAndShowsNothing)
{
    TempSite site;
    MessagesScope msgs;
    QuitScope q;
    kv::SetTablesDir(QString());
    kv::TConfig c;
    EXPECT_EQ(c.anioactual(), 0);
    EXPECT_EQ(c.iColegio(), 0);
    EXPECT_TRUE(c.clave().isEmpty());
    EXPECT_TRUE(c.claveConsultor().isEmpty());
    EXPECT_TRUE(c.NColegio().isEmpty());
    EXPECT_FALSE(c.horaSalidaAuto().isValid());
    EXPECT_TRUE(msgs->shown.empty());
}

TEST(TConfigTest, ReadsTheRowWithEmptyFieldsAsEmptyOrZero)
{
    TempSite site;
    MessagesScope msgs;
    QuitScope q;
    site.exec("update Config set iColegio = 17, NColegio = 'Colegio Sol', clave = 'Ab1', claveConsultor = '', "
              "anioactual = 2026, rutaEscudo = '/x/escudo.png', NumHorasPierdeAnio = null");
    kv::SetTablesDir(site.tablesDir());
    kv::TConfig c;
    EXPECT_EQ(c.iColegio(), 17);
    EXPECT_EQ(c.NColegio(), "Colegio Sol");
    EXPECT_EQ(c.clave(), "Ab1");
    EXPECT_EQ(c.claveConsultor(), "");
    EXPECT_EQ(c.NumHorasPierdeAnio(), 0);
    EXPECT_EQ(c.anioactual(), 2026);
    EXPECT_EQ(c.rutaEscudo(), "/x/escudo.png");
    EXPECT_EQ(c.horaSalidaAuto().time(), QTime(18, 0, 0));
    EXPECT_TRUE(msgs->shown.empty());
}

TEST(TConfigTest, AMissingFieldIsKeptForTheWindowAndLeavesItAndTheLaterValuesEmpty)
{
    TempSite site;
    MessagesScope msgs;
    QuitScope q;
    site.exec("update Config set NColegio = 'Colegio Sol', Jornada = 'Mañana', clave = 'adm', "
              "claveConsultor = 'cap', anioactual = 2026");
    rawExec(site.tablesDir(), "ALTER TABLE Config DROP COLUMN periodoactual");
    kv::SetTablesDir(site.tablesDir());
    kv::TConfig c;
    EXPECT_TRUE(msgs->shown.empty());   // the record shows nothing itself
    EXPECT_TRUE(c.error().contains("periodoactual")) << c.error().toStdString();
    kv::MostrarExcepcion(c.excepcion());
    ASSERT_EQ(msgs->shown.size(), 1u);
    EXPECT_EQ(msgs->shown[0].text, c.error());
    EXPECT_EQ(msgs->shown[0].icon, kv::MsgIcon::Error);
    // Read before the missing one ...
    EXPECT_EQ(c.NColegio(), "Colegio Sol");
    EXPECT_EQ(c.Jornada(), "Mañana");
    // ... and not after it.
    EXPECT_EQ(c.clave(), "");
    EXPECT_EQ(c.claveConsultor(), "");
    EXPECT_EQ(c.anioactual(), 0);
    EXPECT_FALSE(c.horaSalidaAuto().isValid());
}

TEST(TConfigTest, AChangeIsStoredAndSeenByLaterRecordsOnly)
{
    TempSite site;
    MessagesScope msgs;
    QuitScope q;
    site.exec("update Config set claveConsultor = 'vieja'");
    kv::SetTablesDir(site.tablesDir());
    kv::TConfig before;
    {
        kv::TConfig c;
        c.setClaveConsultor("nueva");
        c.setRutaEscudo("/fotos/logo.jpg");
        EXPECT_EQ(c.claveConsultor(), "nueva");
    }
    kv::TConfig after;
    EXPECT_EQ(after.claveConsultor(), "nueva");
    EXPECT_EQ(after.rutaEscudo(), "/fotos/logo.jpg");
    EXPECT_EQ(before.claveConsultor(), "vieja");
    EXPECT_EQ(site.scalar("select claveConsultor from Config"), "nueva");
    EXPECT_EQ(site.count("Config"), 1);
    EXPECT_TRUE(msgs->shown.empty());

    // A store the engine refuses raises and keeps the value the record had.
    rawExec(site.tablesDir(), "CREATE TRIGGER sin_cambios BEFORE UPDATE ON Config BEGIN SELECT RAISE(ABORT, 'solo lectura'); END");
    EXPECT_THROW(after.setClaveConsultor("otra"), std::exception);
    EXPECT_EQ(after.claveConsultor(), "nueva");
    EXPECT_EQ(site.scalar("select claveConsultor from Config"), "nueva");
    EXPECT_TRUE(msgs->shown.empty());
}

TEST(IniFileTest, MissingFileReadsZeroAndWritingCreatesTheSection)
{
    TempSite site;
    EXPECT_EQ(kv::LeerAliasColegio(), 0);
    EXPECT_EQ(kv::LeerIni("ACTION", "AliasColegio", "0"), "0");
    ASSERT_TRUE(kv::EscribirAliasColegio(2));
    EXPECT_TRUE(readFile("pralune.ini").contains("[ACTION]\r\nAliasColegio=2\r\n"));
    EXPECT_EQ(kv::LeerAliasColegio(), 2);
}

TEST(IniFileTest, ReadsWithoutRegardToCaseAndKeepsOtherLines)
{
    TempSite site;
    writeFile("pralune.ini", "; notas\r\n[Otro]\r\nAliasColegio=9\r\n[action]\r\n aliascolegio = 3 \r\nX=1\r\n");
    EXPECT_EQ(kv::LeerAliasColegio(), 3);
    ASSERT_TRUE(kv::EscribirAliasColegio(1));
    const QString text = readFile("pralune.ini");
    EXPECT_EQ(kv::LeerAliasColegio(), 1);
    EXPECT_TRUE(text.contains("; notas")) << text.toStdString();
    EXPECT_TRUE(text.contains("[Otro]\r\nAliasColegio=9")) << text.toStdString();
    EXPECT_TRUE(text.contains("X=1"));
    EXPECT_EQ(text.count("liascolegio", Qt::CaseInsensitive), 2) << text.toStdString();
}

TEST(IniFileTest, AValueThatIsNoNumberReadsAsZero)
{
    TempSite site;
    for (const char* bad : {"abc", "", "2x", "1.5"}) {
        writeFile("pralune.ini", QByteArray("[ACTION]\r\nAliasColegio=") + bad + "\r\n");
        EXPECT_EQ(kv::LeerAliasColegio(), 0) << bad;
    }
}
