// The hour after which a first entry is late: its field, older sites and the options box.
#include "data/Database.h"
#include "data/TDM.h"
#include "settings/TConfig.h"
#include "settings/forms/TFrmConfig.h"
#include "support/FakeMessages.h"
#include "support/TempSite.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QLabel>
#include <QTimeEdit>

using namespace kvtest;

namespace {

class HoraEntrada : public ::testing::Test {
protected:
    void SetUp() override { kv::SetTablesDir(site.tablesDir()); }
    void TearDown() override { kv::SetTablesDir(QString()); }
    TempSite site;
    MessagesScope msgs;
};

TEST_F(HoraEntrada, OlderSiteReadsTheDefaultGetsTheIndexWhenOpenedAndTheFieldWhenStored)
{
    {
        // A site made before the field and the index.
        auto db = kv::Database::openFile(QDir(site.tablesDir()).filePath(kv::Database::siteFileName()));
        db->exec("ALTER TABLE Config DROP COLUMN horaEntrada");
        db->exec("DROP INDEX ix_es_tipo");
        db->exec("UPDATE Config SET NColegio = 'Antiguo'");
    }
    kv::Database::closeAll();
    EXPECT_EQ(site.scalar("select count(*) from sqlite_master where type = 'index' and name = 'ix_es_tipo'"), "1");
    {
        const kv::TConfig config;
        EXPECT_EQ(config.error(), "");
        EXPECT_EQ(config.NColegio(), "Antiguo");
        EXPECT_EQ(config.horaEntrada(), QTime(7, 0, 0));
    }
    TFrmConfig d;
    EXPECT_EQ(d.dtpHoraEntrada->time(), QTime(7, 0, 0));
    d.dtpHoraEntrada->setTime(QTime(7, 20, 0));
    d.BtnAceptarClick();
    EXPECT_EQ(site.scalar("select horaEntrada from Config"), "07:20:00");
}

TEST_F(HoraEntrada, OptionsDialogShowsAndStoresTheHour)
{
    site.exec("update Config set horaEntrada = '06:45:00'");
    {
        TFrmConfig d;
        ASSERT_NE(d.dtpHoraEntrada, nullptr);
        EXPECT_EQ(d.dtpHoraEntrada->objectName(), "dtpHoraEntrada");
        EXPECT_EQ(d.dtpHoraEntrada->time(), QTime(6, 45, 0));
        const auto labels = d.findChildren<QLabel*>();
        EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](QLabel* l) {
            return l->buddy() == d.dtpHoraEntrada && l->text() == "Hora de entrada:";
        }));
        d.dtpHoraEntrada->setTime(QTime(7, 15, 30));
        d.BtnAceptarClick();
    }
    EXPECT_EQ(site.scalar("select horaEntrada from Config"), "07:15:30");
    EXPECT_EQ(kv::TConfig().horaEntrada(), QTime(7, 15, 30));
}

} // namespace
