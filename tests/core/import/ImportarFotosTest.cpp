// Photographs from a folder into a real site: named after a code or a document, checked as
// pictures, copied into imagenes and set as the persons' photos.
#include "import/ImportarFotos.h"
#include "import/LectorFilas.h"
#include "support/Rows.h"
#include "support/TempSite.h"
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kvtest::TempSite;

TEST(ImportarFotos, PicturesOfKnownPersonsCopiedTheRestListed)
{
    TempSite s;
    kvtest::Persona(11, "A", "ANA", "11A1L").numero(1).documento("1001", 1).en(s);
    kvtest::Persona(11, "A", "BETO", "11A2L").numero(2).documento("2002", 1).foto("vieja.jpg").en(s);
    QTemporaryDir carpeta;
    QImage img(8, 6, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(carpeta.filePath("11A1L.JPG"), "JPG"));   // by code, capital extension
    ASSERT_TRUE(img.save(carpeta.filePath("2002.png"), "PNG"));    // by document
    ASSERT_TRUE(img.save(carpeta.filePath("nadie.bmp"), "BMP"));   // matches nobody
    {
        QFile f(carpeta.filePath("11A2L.jpeg"));                   // not a picture
        f.open(QIODevice::WriteOnly);
        f.write("esto no es una foto");
        QFile t(carpeta.filePath("notas.txt"));                    // not looked at
        t.open(QIODevice::WriteOnly);
    }
    const kv::ResultadoFotos r = kv::ImportarFotos(s.tablesDir(), carpeta.path());
    EXPECT_EQ(r.copiadas, 2);
    EXPECT_EQ(r.personas, 2);
    ASSERT_EQ(r.omitidas.size(), 2);
    EXPECT_EQ(r.omitidas[0].archivo, "11A2L.jpeg");
    EXPECT_EQ(r.omitidas[0].motivo, "no es una imagen legible");
    EXPECT_EQ(r.omitidas[1].archivo, "nadie.bmp");
    EXPECT_EQ(r.omitidas[1].motivo, "ninguna persona tiene ese código o documento");
    EXPECT_EQ(s.scalar("select group_concat(idFoto, ',') from (select idFoto from estudiantes order by codigo)"), "11A1L.JPG,2002.png");
    EXPECT_TRUE(QImage(s.tablesDir() + "/imagenes/11A1L.JPG").size() == QSize(8, 6));
    EXPECT_TRUE(QFile::exists(s.tablesDir() + "/imagenes/2002.png"));
    EXPECT_THROW(kv::ImportarFotos(s.tablesDir(), carpeta.filePath("no-existe")), kv::ImportError);
}
