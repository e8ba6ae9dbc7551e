// Every window of the program fits a 1,280 x 1,024 screen; the main window, the door's list
// of who is inside and the report preview fit 1,024 x 768.
#include "app/forms/TFrmAcercaDe.h"
#include "app/forms/TFrmEditarColegios.h"
#include "app/forms/TFrmPedirColegio.h"
#include "capture/forms/TFrmDentro.h"
#include "capture/forms/TfrmEntradaVisit.h"
#include "publish/forms/TfrmConsultantes.h"
#include "publish/forms/TfrmSubirInternet.h"
#include "register/forms/TFrmAddGrupo.h"
#include "register/forms/TFrmBuscarEstudiante.h"
#include "register/forms/TFrmCambiarDeGrupo.h"
#include "register/forms/TFrmEstudiantes.h"
#include "register/forms/TFrmFusionar.h"
#include "register/forms/TFrmModEst.h"
#include "register/forms/TFrmModGrupo.h"
#include "reports/engine/forms/TFrmPreview.h"
#include "reports/forms/TfrmAsistieron.h"
#include "reports/forms/TfrmEntradasSalidas.h"
#include "reports/forms/TfrmInformesAsistencia.h"
#include "settings/forms/TFrmClave.h"
#include "settings/forms/TFrmConfig.h"
#include "util/forms/TfrmSabana.h"
#include "support/gui/MainHarness.h"
#include <QLabel>
#include <gtest/gtest.h>

TEST(WindowSizes, EveryWindowFitsItsScreen)
{
    kvtest::MainHarness h;
    h.site.exec("insert into AbaGrados (IGrado, NGrado) values (1, 'Primero')");
    h.site.exec("insert into grupos (IGrado, IGrupo) values (1, 'A')");
    TFrmMain& main = h.start();
    const QString dir = h.site.tablesDir();
    const QSize pequena(1024, 768), grande(1280, 1024);
    using Make = std::function<QWidget*(QWidget*)>;
    struct Case { const char* name; QSize screen; Make make; };
    const Case cases[] = {
        {"TFrmMain", pequena, [&](QWidget*) -> QWidget* { return &main; }},
        {"TFrmDentro", pequena, [](QWidget* p) -> QWidget* { return new TFrmDentro(p); }},
        {"TFrmPreview", pequena, [](QWidget* p) -> QWidget* { return new TFrmPreview(kv::rpt::PageModel(), true, p); }},
        {"TFrmAcercaDe", grande, [](QWidget* p) -> QWidget* { return new TFrmAcercaDe(p); }},
        {"TFrmEditarColegios", grande, [&](QWidget* p) -> QWidget* { return new TFrmEditarColegios(dir, QString(), p); }},
        {"TFrmPedirColegio", grande, [](QWidget* p) -> QWidget* { return new TFrmPedirColegio(p); }},
        {"TfrmEntradaVisit", grande, [&](QWidget* p) -> QWidget* { return new TfrmEntradaVisit(dir, p); }},
        {"TfrmConsultantes", grande, [&](QWidget* p) -> QWidget* { return new TfrmConsultantes(h.dm->TblConsultantes, p); }},
        {"TfrmSubirInternet", grande, [](QWidget* p) -> QWidget* { return new TfrmSubirInternet(p); }},
        {"TFrmAddGrupo", grande, [](QWidget* p) -> QWidget* { return new TFrmAddGrupo(p, "1"); }},
        {"TFrmModGrupo", grande, [](QWidget* p) -> QWidget* { return new TFrmModGrupo(p, "1", "A"); }},
        {"TFrmBuscarEstudiante", grande, [](QWidget* p) -> QWidget* { return new TFrmBuscarEstudiante(p); }},
        {"TFrmCambiarDeGrupo", grande, [](QWidget* p) -> QWidget* { return new TFrmCambiarDeGrupo(1, "A", "X1", p); }},
        {"TFrmEstudiantes", grande, [](QWidget* p) -> QWidget* { return new TFrmEstudiantes("1", "A", p); }},
        {"TFrmModEst", grande, [](QWidget* p) -> QWidget* { return new TFrmModEst("1", "A", p); }},
        {"TFrmFusionar", grande, [](QWidget* p) -> QWidget* { return new TFrmFusionar(p, 1); }},
        {"TfrmAsistieron", grande, [](QWidget* p) -> QWidget* { return new TfrmAsistieron(p, "2026"); }},
        {"TfrmEntradasSalidas", grande, [](QWidget* p) -> QWidget* { return new TfrmEntradasSalidas(p); }},
        {"TfrmLlegadasTarde", grande, [](QWidget* p) -> QWidget* { return new TfrmLlegadasTarde(p); }},
        {"TfrmInasistenciasConsecutivas", grande, [](QWidget* p) -> QWidget* { return new TfrmInasistenciasConsecutivas(p); }},
        {"TfrmAsistenciaDiaria", grande, [](QWidget* p) -> QWidget* { return new TfrmAsistenciaDiaria(p); }},
        {"TFrmClave", grande, [](QWidget* p) -> QWidget* { return new TFrmClave(p); }},
        {"TFrmConfig", grande, [](QWidget* p) -> QWidget* { return new TFrmConfig(p); }},
        {"TfrmSabana", grande, [&](QWidget* p) -> QWidget* { return new TfrmSabana(p, h.dm->TblEstudiantes); }},
    };
    // Room left on the screen for the window's title bar and the desktop's panel.
    constexpr int kMarco = 60;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget* w = c.make(&main);
        ASSERT_TRUE(w);
        w->setWindowFlag(Qt::Window);
        const QSize minimo = w->minimumSizeHint().expandedTo(w->minimumSize());
        EXPECT_LE(minimo.width(), c.screen.width()) << minimo.width() << "x" << minimo.height();
        EXPECT_LE(minimo.height() + kMarco, c.screen.height()) << minimo.width() << "x" << minimo.height();
        if (w != &main) delete w;
    }
}
