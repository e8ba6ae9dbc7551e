// The site list before its first site, and the adding of a new site to it.
#include "data/Database.h"
#include "data/Schema.h"
#include "data/SiteList.h"
#include "support/TempSite.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

using namespace kvtest;

TEST(SiteListTest, BeforeTheFirstSiteTheListIsEmptyAndNoFileIsMade)
{
    TempSite work(false);
    EXPECT_EQ(kv::NombresSitios(), QStringList());
    EXPECT_FALSE(kv::RutaTablasDeSitio("Colegio").has_value());
    EXPECT_FALSE(QFile::exists("Config.DB"));
    // A site list file without its table (an interrupted first start) reads as empty too.
    kv::Database::openFile(QDir(work.workDir()).filePath("Config.DB"), true);
    EXPECT_EQ(kv::NombresSitios(), QStringList());
    EXPECT_FALSE(kv::RutaTablasDeSitio("Colegio").has_value());
}

TEST(SiteListTest, TheSuggestedFolderIsTheNameInPlainLetters)
{
    const struct {
        QString nombre, carpeta;
    } cases[] = {
        {"Colegio San José", "/d/colegio-san-jose"},
        {"  Ñandú   #2 ", "/d/nandu-2"},
        {"Sede-Norte", "/d/sede-norte"},
        {"***", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(kv::CarpetaSugerida("/d", c.nombre), c.carpeta) << c.nombre.toStdString();
}

TEST(SiteListTest, ANewSiteNamesEveryFault)
{
    TempSite work;   // "Colegio Prueba" in site/
    QFile file(QDir(work.workDir()).filePath("un-archivo"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString largo(41, QLatin1Char('x'));
    const struct {
        QString nombre, carpeta;
        QStringList errores;
    } cases[] = {
        {"Sede Norte", "norte", {}},
        {QString(40, QLatin1Char('x')), "norte", {}},
        {"", "", {"Escriba el nombre del sitio.", "Escriba la carpeta de las tablas."}},
        {"   ", "norte", {"Escriba el nombre del sitio."}},
        {largo, "norte", {"El nombre del sitio puede tener hasta 40 caracteres."}},
        {"Colegio Prueba", "otra", {"Ya hay un sitio llamado «Colegio Prueba»."}},
        {" Colegio Prueba ", "otra", {"Ya hay un sitio llamado «Colegio Prueba»."}},
        {"Sede Norte", "un-archivo", {QDir(work.workDir()).filePath("un-archivo") + " es un archivo, no una carpeta."}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(kv::ErroresNuevoSitio(work.workDir(), c.nombre, c.carpeta), c.errores) << c.nombre.toStdString();
}

TEST(SiteListTest, AddingMakesTablesOnlyWhereThereAreNone)
{
    TempSite work(false);
    // A folder that holds a site's tables already: added as it is, rows kept.
    const QString existente = QDir(work.workDir()).filePath("existente");
    kv::createSite(existente);
    kv::Database::forDirectory(existente)->exec("INSERT INTO AbaGrados (IGrado, NGrado) VALUES (11, 'Undécimo')");
    kv::Database::closeAll();
    EXPECT_FALSE(kv::AgregarSitio(work.workDir(), "Sede Vieja", "existente"));
    EXPECT_TRUE(kv::AgregarSitio(work.workDir(), " Sede Nueva ", "nueva/tablas"));   // relative to the list
    EXPECT_EQ(kv::NombresSitios(work.workDir()), QStringList({"Sede Vieja", "Sede Nueva"}));
    EXPECT_EQ(kv::RutaTablasDeSitio("Sede Vieja").value_or(""), existente);
    const QString nueva = QDir(work.workDir()).filePath("nueva/tablas");
    EXPECT_EQ(kv::RutaTablasDeSitio("Sede Nueva").value_or(""), nueva);
    EXPECT_EQ(kv::Database::forDirectory(existente)->select("select count(*) from AbaGrados").rows[0][0].toInt(), 1);
    EXPECT_EQ(kv::Database::forDirectory(nueva)->select("select count(*) from Config").rows[0][0].toInt(), 1);
    EXPECT_TRUE(QFileInfo(QDir(nueva).filePath("imagenes")).isDir());
}
