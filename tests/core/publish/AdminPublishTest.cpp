#include "PublishFixture.h"
#include "support/AdminRun.h"

TEST_F(PublishTest, AdminPreparesTheServerAndPublishesWhatTheWindowWould)
{
    // remote-init leaves existing tables and rows alone, and makes a missing year.
    remote->admin().exec("insert into consultantes (icolegio, docident) values (8, 'X')");
    kvtest::AdminResult r = kvtest::runAdmin({"remote-init", "--year", "2026"}, site.workDir());
    EXPECT_EQ(r.rc, 0) << r.err.toStdString();
    EXPECT_EQ(remote->count("consultantes"), 1);
    r = kvtest::runAdmin({"remote-init", "--year", "2027"}, site.workDir());
    EXPECT_EQ(r.rc, 0) << r.err.toStdString();
    EXPECT_EQ(remote->count("\"2027\".entradassalidas"), 0);

    site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo) values (5, 'A', 1, 'Uno', 'U1'),"
              " (5, 'A', 2, 'Sin Código', '')");
    site.exec("insert into consultantes (docIdent, nombre, clave) values ('10', 'Ana', '10')");
    addMov("U1", "07:00:00");
    r = kvtest::runAdmin({"publish", site.tablesDir(), "--movimientos", "--estudiantes"}, site.workDir());
    EXPECT_EQ(r.rc, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Información subida a Internet"));
    EXPECT_TRUE(r.err.contains("Debe asignarle código al estudiante: Sin Código"));
    EXPECT_EQ(remote->count("entradassalidas", "icolegio=7"), 1);
    EXPECT_EQ(remote->count("estudiantes", "icolegio=7"), 1);
    EXPECT_EQ(remote->count("consultantes", "icolegio=7"), 0);   // not asked for
    EXPECT_EQ(site.count("entradasSalidas", "subido=1"), 1);

    struct Case { QStringList args; int rc; const char* err; } cases[] = {
        {{"publish"}, 2, "publish necesita el directorio"},
        {{"publish", site.tablesDir(), "--todo"}, 2, "Opción desconocida: --todo"},
        {{"remote-init", "--year", "dos mil"}, 2, "--year necesita un año positivo"},
        {{"publish", site.workDir()}, 1, ""},   // no site there
    };
    for (const Case& c : cases) {
        r = kvtest::runAdmin(c.args, site.workDir());
        EXPECT_EQ(r.rc, c.rc) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.err))) << r.err.toStdString();
    }
    // A connection that fails says why.
    struct Why { QString password; int year; QString err; } whys[] = {
        {"equivocada", 2026, "Sin conexión con el servidor: el servidor rechazó el usuario o la clave"},
        {"", 2031, "El servidor no tiene el esquema del año 2031"},
    };
    for (const Why& w : whys) {
        remote->writeIni(w.password);
        site.exec("update Config set anioactual=?", {w.year});
        r = kvtest::runAdmin({"publish", site.tablesDir()}, site.workDir());
        EXPECT_EQ(r.rc, 1);
        EXPECT_TRUE(r.err.contains(w.err)) << r.err.toStdString();
    }
    remote->writeIni();
    site.exec("update Config set anioactual=0");
    r = kvtest::runAdmin({"publish", site.tablesDir()}, site.workDir());
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(r.err.contains(kv::TextoAnioSinConfigurar()));
}
