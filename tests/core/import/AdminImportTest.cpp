// kelvora-admin import-personas / import-fotos / import-sitio, the real program on real files.
#include "support/AdminRun.h"
#include "support/ParadoxEscritor.h"
#include "support/Rows.h"
#include "support/TempSite.h"
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kvtest::runAdmin;
using kvtest::TempSite;

TEST(AdminImport, CommandsReportAndExitAsDocumented)
{
    TempSite s;
    s.exec("insert into AbaGrados (IGrado, NGrado) values (11, 'X')");
    kvtest::insertarGrupo(s, 11, "A");
    QFile f(s.workDir() + "/p.csv");
    f.open(QIODevice::WriteOnly);
    f.write("Grado;Grupo;Nombre;Codigo\n11;A;ANA;A1\n11;B;BETO;B1\n");
    f.close();
    QFile g(s.workDir() + "/bien.csv");
    g.open(QIODevice::WriteOnly);
    g.write("Grado;Grupo;Nombre;Codigo\n11;A;CIRO;C1\n");
    g.close();
    QDir().mkpath(s.workDir() + "/fotos");
    QImage(4, 4, QImage::Format_RGB32).save(s.workDir() + "/fotos/C1.png");
    QTemporaryDir viejo;
    kvtest::EscribirSitioPx(viejo.filePath("t"), {{11, "A", 1, "ANA", "A1", QVariant(), QVariant()}}, {"tessivard", 1252});

    struct Caso {
        QStringList args;
        int rc;
        const char* salida;     // in stdout
        int personas;           // persons of the site afterwards
    };
    const Caso casos[] = {
        {{"import-personas", "site", "p.csv", "--prueba"}, 2, "línea 3: El grupo B de la categoría 11 no existe", 0},
        {{"import-personas", "site", "p.csv"}, 2, "Personas nuevas: 1", 1},
        {{"import-personas", "site", "bien.csv"}, 0, "Importación guardada.", 2},
        {{"import-personas", "site", "bien.csv", "--actualizar"}, 0, "Sin cambios: 1", 2},
        {{"import-personas", "site", "falta.csv"}, 1, "", 2},
        {{"import-personas", "site"}, 2, "", 2},
        {{"import-fotos", "site", "fotos"}, 0, "Fotos copiadas: 1", 2},
        {{"import-sitio", viejo.filePath("t"), "nuevo"}, 0, "estudiantes", 2},
        {{"import-sitio", viejo.filePath("t"), "nuevo"}, 1, "", 2},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const kvtest::AdminResult r = runAdmin(c.args, s.workDir());
        EXPECT_EQ(r.rc, c.rc) << r.out.toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(c.salida))) << r.out.toStdString();
        EXPECT_EQ(s.count("estudiantes"), c.personas);
    }
    EXPECT_EQ(s.scalar("select idFoto from estudiantes where codigo='C1'"), "C1.png");
    EXPECT_EQ(runAdmin({"sql", "nuevo", "select NEstudiante from estudiantes"}, s.workDir()).out, "NEstudiante\nANA\n");
}
