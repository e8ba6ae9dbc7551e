// The import windows: the gate, the persons preview (mapping, first rows, refused rows) and
// its import, the photos report and the old-site import's table of results.
#include "app/forms/TFrmEditarColegios.h"
#include "data/Query.h"
#include "import/forms/ImportCommands.h"
#include "import/forms/TFrmImportarPersonas.h"
#include "import/forms/TFrmImportarSitio.h"
#include "import/forms/TFrmResultadoFotos.h"
#include "support/gui/MainHarness.h"
#include "support/gui/Modal.h"
#include "support/ParadoxEscritor.h"
#include "support/Rows.h"
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kvtest::MainHarness;

TEST(ImportWindows, CaptureUserIsRefusedAdministratorPreviewsAndImports)
{
    MainHarness h;
    h.site.exec("insert into AbaGrados (IGrado, NGrado) values (11, 'X')");
    kvtest::insertarGrupo(h.site, 11, "A");
    QFile f(h.site.workDir() + "/p.csv");
    f.open(QIODevice::WriteOnly);
    f.write(QString::fromUtf8("Grado;Grupo;Nombre;Código;Color\n11;A;ANA;A1;rojo\n11;B;BETO;B1;azul\n").toUtf8());
    f.close();

    for (const char* nivel : {"0", "1"}) {
        SCOPED_TRACE(nivel);
        TFrmMain& w = h.start(QString::fromLatin1(nivel));
        auto* cmd = w.findChild<kv::ImportCommands*>();
        ASSERT_TRUE(cmd);
        int pedidos = 0;
        cmd->elegirArchivo = [&] { ++pedidos; return h.site.workDir() + "/p.csv"; };
        QAction* accion = w.findChild<QAction*>("ImportarPersonas1");
        ASSERT_TRUE(accion);
        if (QString::fromLatin1(nivel) == "0") {
            accion->trigger();
            EXPECT_EQ(h.msgs->lastText(), QString::fromUtf8("Acceso restringido."));
            EXPECT_EQ(pedidos, 0);
            h.w.reset();
            h.dm->CloseTables();
            continue;
        }
        QStringList mapeo, rechazos;
        int rechazosConGrupos = -1;
        kvtest::onNextModal([&](QWidget* m) {
            auto* dlg = qobject_cast<TFrmImportarPersonas*>(m);
            ASSERT_TRUE(dlg);
            for (int i = 0; i < dlg->TblMapeo->rowCount(); ++i)
                mapeo << dlg->TblMapeo->item(i, 0)->text() + "=" + dlg->TblMapeo->item(i, 1)->text();
            for (int i = 0; i < dlg->TblRechazadas->rowCount(); ++i)
                rechazos << dlg->TblRechazadas->item(i, 0)->text() + ": " + dlg->TblRechazadas->item(i, 1)->text();
            EXPECT_EQ(dlg->TblMuestra->rowCount(), 2);
            EXPECT_EQ(dlg->TblMuestra->item(1, 2)->text(), "BETO");
            EXPECT_EQ(h.site.count("estudiantes"), 0);   // the preview writes nothing
            dlg->chkCrearGrupos->setChecked(true);
            rechazosConGrupos = dlg->TblRechazadas->rowCount();
            dlg->BtnAceptar->click();
        });
        accion->trigger();
        EXPECT_EQ(mapeo, (QStringList{"Grado=IGrado", "Grupo=IGrupo", "Nombre=NEstudiante", QString::fromUtf8("Código=codigo"),
                                      "Color=(no se importa)"}));
        ASSERT_EQ(rechazos.size(), 1);
        EXPECT_TRUE(rechazos[0].startsWith("3: El grupo B de la categoría 11 no existe")) << rechazos[0].toStdString();
        EXPECT_EQ(rechazosConGrupos, 0);
        EXPECT_EQ(h.msgs->lastText(), QString::fromUtf8("Importación terminada: 2 personas nuevas, 0 actualizadas."));
        EXPECT_EQ(h.site.count("estudiantes"), 2);
        EXPECT_EQ(h.site.count("grupos", "IGrado=11 and IGrupo='B'"), 1);
    }
}

TEST(ImportWindows, OldSiteWindowShowsEachTable)
{
    kvtest::MessagesScope msgs;
    QTemporaryDir tmp;
    kvtest::EscribirSitioPx(tmp.filePath("viejo"), {{11, "A", 1, "ANA", "A1", QVariant(), QVariant()}});
    TFrmImportarSitio dlg;
    dlg.edAnterior->setText(tmp.filePath("viejo"));
    dlg.edNuevo->setText(tmp.filePath("nuevo"));
    dlg.BtnAceptar->click();
    EXPECT_TRUE(msgs->shown.empty()) << msgs->lastText().toStdString();
    ASSERT_EQ(dlg.TblResultado->rowCount(), 14);
    EXPECT_EQ(dlg.TblResultado->item(0, 0)->text(), "estudiantes");
    EXPECT_EQ(dlg.TblResultado->item(0, 2)->text(), "1");
    EXPECT_EQ(dlg.sitioNuevo(), QDir(tmp.filePath("nuevo")).absolutePath());
    EXPECT_EQ(dlg.nombreNuevo(), "nuevo");
    EXPECT_FALSE(dlg.BtnAceptar->isEnabled());

    // The same again into the same directory: refused with its reason, nothing replaced.
    TFrmImportarSitio otra;
    otra.edAnterior->setText(tmp.filePath("viejo"));
    otra.edNuevo->setText(tmp.filePath("nuevo"));
    otra.BtnAceptar->click();
    EXPECT_TRUE(msgs->lastText().contains("ya existe")) << msgs->lastText().toStdString();
}

TEST(ImportWindows, SiteEditorImportsAnOldSiteIntoTheList)
{
    kvtest::MessagesScope msgs;
    kvtest::TempSite site;
    QTemporaryDir tmp;
    kvtest::EscribirSitioPx(tmp.filePath("viejo"), {{11, "A", 1, "ANA", "A1", QVariant(), QVariant()}}, {"tessivard", 1252});
    TFrmEditarColegios editor(site.tablesDir());
    ASSERT_TRUE(editor.BtnImportarSitio);
    kvtest::onNextModal([&](QWidget* m) {
        auto* dlg = qobject_cast<TFrmImportarSitio*>(m);
        ASSERT_TRUE(dlg);
        dlg->edAnterior->setText(tmp.filePath("viejo"));
        dlg->edNuevo->setText(tmp.filePath("nuevo"));
        dlg->edNombre->setText(QString::fromUtf8("Sede Antigua"));
        dlg->BtnAceptar->click();
        dlg->BtnSalir->click();
    });
    editor.BtnImportarSitio->click();
    EXPECT_TRUE(msgs->shown.empty()) << msgs->lastText().toStdString();
    kv::Query q;
    q.setDatabase(kv::Database::siteList(site.workDir()));
    q.setSql("select RutaTablas from Config where colegio=?");
    q.open({QString::fromUtf8("Sede Antigua")});
    ASSERT_FALSE(q.isEmpty());
    EXPECT_EQ(q.fieldByName("RutaTablas").asString(), QDir(tmp.filePath("nuevo")).absolutePath());
    kv::Query n;
    kv::EjecutarSQL(tmp.filePath("nuevo"), n, "select count(*) as n from estudiantes");
    EXPECT_EQ(n.fieldByName("n").asInteger(), 1);
}
