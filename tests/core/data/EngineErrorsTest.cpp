// What the engine says when the site's file is busy, full, read-only or damaged reaches a
// person in Spanish, on a real site file with the fault made for real.
#include "data/Database.h"
#include "support/Disco.h"
#include "support/TempSite.h"
#include <QFile>
#include <gtest/gtest.h>

namespace {

// The message of the error the action raises ("" when it raises none).
template <typename F>
QString error(F accion)
{
    try {
        accion();
    } catch (const kv::DbError& e) {
        return e.message();
    }
    return QString();
}

void insertar(const kvtest::TempSite& site)
{
    site.db()->exec("insert into dependencias (ndependencia) values ('Rectoría')");
}

} // namespace

TEST(EngineErrors, BusyFullReadOnlyAndDamagedAreSaidInSpanish)
{
    enum Falla { Ocupado, Lleno, SoloLectura, Danado };
    struct Caso { Falla falla; const char* dice; };
    const Caso casos[] = {
        {Ocupado, "La base de datos está ocupada; intente de nuevo."},
        {Lleno, "El disco está lleno; no se pudo guardar en la base de datos."},
        {SoloLectura, "El archivo del sitio es de solo lectura"},
        {Danado, "El archivo del sitio está dañado"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.dice);
        kvtest::TempSite site;
        QString dicho;
        if (c.falla == Ocupado) {
            kvtest::BloqueoSitio bloqueo(site.tablesDir());   // another program holds it
            dicho = error([&] { insertar(site); });
        } else if (c.falla == Danado) {
            kv::Database::closeAll();
            QFile f(site.tablesDir() + "/kelvora.db");
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            f.write(QByteArray(4096, '\x5a'));   // the header and the first page overwritten
            f.close();
            dicho = error([&] { insertar(site); });
        } else {
            kvtest::DiscoPropio disco(site.tablesDir(), 4096);
            if (!disco.ok()) GTEST_SKIP() << disco.reason().toStdString();
            if (c.falla == Lleno) {
                auto db = site.db();   // opened with room; then the disk fills
                disco.llenar();
                dicho = error([&] {
                    for (int i = 0; i < 50; ++i)
                        db->exec("insert into dependencias (ndependencia) values (?)", {QString(2000, QChar('x'))});
                });
            } else {
                ASSERT_TRUE(disco.soloLectura());
                dicho = error([&] { insertar(site); });
            }
            kv::Database::closeAll();
        }
        EXPECT_TRUE(dicho.contains(QString::fromUtf8(c.dice))) << dicho.toStdString();
        for (const char* ingles : {"database", "locked", "disk", "readonly", "unable", "malformed"})
            EXPECT_FALSE(dicho.contains(QLatin1String(ingles))) << dicho.toStdString();
    }
}
