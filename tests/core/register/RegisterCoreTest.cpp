// Shared routines of the register on a real site: the internal-number query, the combo
// filler and the state-code rule.
#include "support/RegisterHelpers.h"
#include "data/TDM.h"
#include "data/TableCursor.h"
#include "register/PersonsList.h"
#include "register/Register.h"
#include <gtest/gtest.h>
#include <QFile>
#include <QImage>

using namespace regtest;

namespace {

class RegisterCore : public ::testing::Test {
protected:
    void SetUp() override { kv::SetTablesDir(site.tablesDir()); }
    void TearDown() override { kv::SetTablesDir(QString()); }
    kvtest::TempSite site;
};

TEST_F(RegisterCore, NextInternalNumberIsTheHighestOfThatCategoryAndGroupOnly)
{
    EXPECT_EQ(kv::NextInternalNumber(site.tablesDir(), 5, "A"), -1);   // no persons at all
    persona(site, 5, "A", 3, "X", "c1");
    persona(site, 5, "A", 12, "Y", "c2");   // numeric, not text, order: 12 > 3
    persona(site, 5, "A", 9, "Z", "c3");
    persona(site, 5, "B", 40, "W", "c4");   // other group
    persona(site, 6, "A", 50, "V", "c5");   // same code, other category
    EXPECT_EQ(kv::NextInternalNumber(site.tablesDir(), 5, "A"), 12);
    EXPECT_EQ(kv::NextInternalNumber(site.tablesDir(), 5, "B"), 40);
    EXPECT_EQ(kv::NextInternalNumber(site.tablesDir(), 6, "A"), 50);
    EXPECT_EQ(kv::NextInternalNumber(site.tablesDir(), 5, "C"), -1);
    EXPECT_EQ(kv::NextInternalNumber(site.tablesDir(), 5, "a"), -1);   // codes compare exactly

    // A code with an apostrophe is a value, not a piece of the statement.
    persona(site, 5, "O'", 7, "Q", "c6");
    EXPECT_EQ(kv::NextInternalNumber(site.tablesDir(), 5, "O'"), 7);
    EXPECT_EQ(kv::NextInternalNumber(site.tablesDir(), 5, "' or '1'='1"), -1);
}

TEST_F(RegisterCore, ComboFillerTakesFirstRowTextDistinctValuesInOrderAndStopsOnTheLastRow)
{
    grupo(site, 5, "B");
    grupo(site, 5, "A");
    grupo(site, 5, "B");   // listed once
    grupo(site, 5, "C");

    kv::Query q;
    kv::EjecutarSQL(site.tablesDir(), q, "select * from grupos");
    kv::ComboFill f = kv::LlenarCombo(q, "IGrupo");
    EXPECT_EQ(f.text, "B");
    EXPECT_EQ(f.items, QStringList({"B", "A", "C"}));
    EXPECT_EQ(q.recNo(), 4);

    kv::TableCursor t("grupos");
    t.setDirectory(site.tablesDir());
    t.open();
    f = kv::LlenarCombo(t, "IGrupo", "IGrado", {"A"});   // A already listed
    EXPECT_EQ(f.text, "B:5");
    EXPECT_EQ(f.items, QStringList({"B", "C"}));
    EXPECT_EQ(t.recNo(), 4);

    t.setFilter("IGrado=9");
    t.setFiltered(true);
    f = kv::LlenarCombo(t, "IGrupo");
    EXPECT_TRUE(f.text.isEmpty());
    EXPECT_TRUE(f.items.isEmpty());
}

TEST_F(RegisterCore, StateCodesTypedInLowerCaseAreUpperCasedAccentsIncluded)
{
    EXPECT_EQ(kv::NormalizarCodigoEstado("d"), "D");
    EXPECT_EQ(kv::NormalizarCodigoEstado("suspendido"), "SUSPENDIDO");
    EXPECT_EQ(kv::NormalizarCodigoEstado("desplazé ñu"), QString::fromUtf8("DESPLAZÉ ÑU"));
    EXPECT_EQ(kv::NormalizarCodigoEstado("Suspendido"), "Suspendido");   // starts upper: as typed
    EXPECT_EQ(kv::NormalizarCodigoEstado(QString::fromUtf8("éxito")), QString::fromUtf8("éxito"));
    EXPECT_EQ(kv::NormalizarCodigoEstado(" m"), " m");
    EXPECT_EQ(kv::NormalizarCodigoEstado(""), "");
}

TEST_F(RegisterCore, PhotoPathIsUnderImagenesOfTheTablesDirectory)
{
    EXPECT_EQ(kv::RutaFoto(kv::TablesDir(), "ana.jpg"), site.tablesDir() + "/imagenes/ana.jpg");
    EXPECT_EQ(kv::RutaFoto(kv::TablesDir(), "sub\\ana.jpg"), site.tablesDir() + "/imagenes/sub/ana.jpg");
}

TEST_F(RegisterCore, PhotosLargerThanTheBoxAreReducedOthersKeptUnreadableOnesNull)
{
    const QString dir = site.tablesDir() + "/imagenes/";
    QImage ancha(800, 400, QImage::Format_RGB32);
    ancha.fill(Qt::red);
    ASSERT_TRUE(ancha.save(dir + "ancha.png"));
    QImage chica(60, 80, QImage::Format_RGB32);
    chica.fill(Qt::blue);
    ASSERT_TRUE(chica.save(dir + "chica.png"));
    QFile roto(dir + "roto.jpg");
    ASSERT_TRUE(roto.open(QIODevice::WriteOnly));
    roto.write("no es una imagen");
    roto.close();

    EXPECT_EQ(kv::CargarFoto(dir + "ancha.png", QSize(130, 170)).size(), QSize(130, 65));
    EXPECT_EQ(kv::CargarFoto(dir + "chica.png", QSize(130, 170)).size(), QSize(60, 80));
    EXPECT_TRUE(kv::CargarFoto(dir + "roto.jpg", QSize(130, 170)).isNull());
    EXPECT_TRUE(kv::CargarFoto(dir + "no-existe.jpg", QSize(130, 170)).isNull());
    EXPECT_TRUE(kv::CargarFoto(QString(), QSize(130, 170)).isNull());
}

} // namespace
