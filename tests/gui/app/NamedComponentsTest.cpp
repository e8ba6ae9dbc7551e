// Every component an area of the main window finds by name, and every named widget of each
// dialog, exists with its type: a renamed widget fails here (and, for the main window, at
// its making, naming the component), never as a null pointer at run time.
#include "app/forms/TFrmAcercaDe.h"
#include "app/forms/TFrmEditarColegios.h"
#include "app/forms/TFrmPedirColegio.h"
#include "base/Error.h"
#include "capture/forms/TFrmDentro.h"
#include "capture/forms/TfrmEntradaVisit.h"
#include "data/DataSource.h"
#include "data/forms/DBGrid.h"
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
#include "settings/forms/TFrmClave.h"
#include "settings/forms/TFrmConfig.h"
#include "support/gui/MainHarness.h"
#include "util/forms/TfrmSabana.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <functional>
#include <memory>

using namespace kvtest;

namespace {

template <typename T>
void tiene(TFrmMain& w, const char* nombre)
{
    EXPECT_NE(w.findChild<T*>(QString::fromLatin1(nombre)), nullptr)
        << nombre << " (" << T::staticMetaObject.className() << ")";
    EXPECT_NO_THROW(w.required<T>(QString::fromLatin1(nombre))) << nombre;
}

TEST(NamedComponents, TheMainWindowHasEveryComponentItsAreasFind)
{
    MainHarness h;
    h.site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo) values (5, 'A', 0, 'ANA', 'A1')");
    TFrmMain& w = h.start();   // each area finds its components here, or the making fails

    for (const char* n : {"BtnSabana", "btnConsultantes", "BtnAddEstudiante", "BtnBorrarEst", "BtnModEst",
                          "BtnCambiarDeGrupo", "btnSuspender", "BtnAddGrupo", "BtnModGrupo", "BtnBorGrupo",
                          "BtnFusionarGrupos"})
        tiene<QPushButton>(w, n);
    for (const char* n : {"SubirAInternet1", "Buscarestudiante1", "SacarLosQueQuedaron1", "AsistentesInasistentes1",
                          "EntradasYSalidas1", "ConsultarUnaPersona1", "UnaCategoria1", "UnGrupo1"})
        tiene<QAction>(w, n);
    for (const char* n : {"DSEstudiantes", "DSAbaGrados", "DSGrupos", "DSAbaMaterias"}) tiene<kv::DataSource>(w, n);
    for (const char* n : {"DBGrid1", "DBGEstudiantes"}) tiene<kv::DBGrid>(w, n);
    for (const char* n : {"Label8", "lblSinEstud", "Image1", "lblNEstudiante", "Label7"}) tiene<QLabel>(w, n);
    for (const char* n : {"edCodigo", "EdAnio"}) tiene<QLineEdit>(w, n);
    tiene<QTabWidget>(w, "PgGrados");
    tiene<QWidget>(w, "TSGrupos");
    tiene<QPlainTextEdit>(w, "Memo1");
    tiene<QProgressBar>(w, "ProgressBar1");
    tiene<QTimer>(w, "Timer1");

    // A name the window does not have fails loudly, naming it and the type asked for.
    try {
        w.required<QLabel>(QStringLiteral("lblNoExiste"));
        ADD_FAILURE() << "no error for a missing component";
    } catch (const kv::Error& e) {
        EXPECT_EQ(e.message(), "La ventana principal no tiene el componente lblNoExiste (QLabel).");
    }
    // The right name with the wrong type is missing too.
    EXPECT_THROW(w.required<QLabel>(QStringLiteral("edCodigo")), kv::Error);
}

TEST(NamedComponents, EveryDialogHasItsNamedWidgets)
{
    MainHarness h;
    h.site.exec("insert into grupos (IGrado, IGrupo) values (5, 'A')");
    h.site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo) values (5, 'A', 0, 'ANA', 'A1')");
    TFrmMain& w = h.start();
    h.dm->TblEstudiantes->first();

    kv::rpt::PageModel modelo;
    modelo.headings = {"Nombre"};
    const struct {
        const char* dialogo;
        std::function<QWidget*()> crear;
        QStringList nombres;   // its own objectName first, then its named widgets
    } casos[] = {
        {"TFrmAcercaDe", [&] { return new TFrmAcercaDe(&w); }, {"FrmAcercaDe", "Image1"}},
        {"TFrmEditarColegios", [&] { return new TFrmEditarColegios(h.site.workDir()); },
         {"FrmEditarColegios", "Label1", "DBGrid1", "TblColegios"}},
        {"TFrmPedirColegio", [&] { return new TFrmPedirColegio(&w); },
         {"FrmPedirColegio", "Image1", "Label1", "cbColegios", "BtnSeleccionar", "BtnCancelar"}},
        {"TfrmEntradaVisit", [&] { return new TfrmEntradaVisit(h.site.tablesDir(), &w); },
         {"frmEntradaVisit", "btnContinuar", "btnCancel"}},
        {"TFrmDentro", [&] { return new TFrmDentro(&w); },
         {"FrmDentro", "LblTotal", "LblTotales", "GrdDentro", "BtnImprimir", "BtnCerrar"}},
        {"TfrmConsultantes", [&] { return new TfrmConsultantes(h.dm->TblConsultantes, &w); },
         {"TfrmConsultantes", "DBNavigator1", "DBGrid1", "btnPonerClave"}},
        {"TfrmSubirInternet", [&] { return new TfrmSubirInternet(&w); }, {"TfrmSubirInternet", "ProgressBar1", "Button1"}},
        {"TFrmBuscarEstudiante", [&] { return new TFrmBuscarEstudiante(&w); },
         {"FrmBuscarEstudiante", "EdNEstudiante", "BtnBuscar", "BtnSalir", "DBGrid1"}},
        {"TFrmCambiarDeGrupo", [&] { return new TFrmCambiarDeGrupo(5, "A", "A1", &w); },
         {"FrmCambiarDeGrupo", "lblNEstudiante", "GBOrigen", "lblGrado", "lblGrupo", "GBDestino", "CBGradoDestino",
          "CBGrupoDestino", "Label5", "Label6", "BtnAceptar", "BtnCancelar"}},
        {"TFrmEstudiantes", [&] { return new TFrmEstudiantes("5", "A", &w); },
         {"FrmEstudiantes", "EdIEstudiante", "EdNEstudiante", "EdNumMatr", "edDocIdent", "edSitSocial", "edNumCarnet",
          "edRH", "edIdFoto", "dtpFechaNac", "BtnAddEst", "BtnCrearEst", "BtnSalir", "edCodigo"}},
        {"TFrmFusionar", [&] { return new TFrmFusionar(&w, 5); },
         {"FrmFusionar", "LblGrado", "CBGrupoOrigen", "CBGrupoDestino", "BtnAceptar", "BtnCancelar"}},
        {"TFrmAddGrupo", [&] { return new TFrmAddGrupo(&w, "5"); },
         {"FrmAddGrupo", "EdIGrado", "EdIGrupo", "EdNDirector", "EdMensaje", "BtnAceptar", "BtnSalir"}},
        {"TFrmModGrupo", [&] { return new TFrmModGrupo(&w, "5", "A"); },
         {"FrmModGrupo", "EdIGrado", "EdIGrupo", "EdNDirector", "EdMensaje", "BtnAceptar", "BtnSalir"}},
        {"TFrmModEst", [&] { return new TFrmModEst("5", "A", &w); },
         {"FrmModEst", "LblIEstudiante", "EdGrado", "EdGrupo", "EdNEstudiante", "edSitAcad", "EdNumMatr", "edDocIdent",
          "edSitSocial", "edNumCarnet", "edRH", "edIdFoto", "dtpFechaNac", "edCodigo", "LblNotaCodigo", "BtnAceptar",
          "BtnSalir"}},
        {"TfrmAsistieron", [&] { return new TfrmAsistieron(&w, "2026"); },
         {"TfrmAsistieron", "edFechaInicial", "edFechaFinal", "btnAceptar", "btnCancelar", "rgModoConsulta",
          "rbAsistentes"}},
        {"TfrmEntradasSalidas", [&] { return new TfrmEntradasSalidas(&w); },
         {"TfrmEntradasSalidas", "edFechaInicial", "edFechaFinal", "btnAceptar", "btnCancelar", "rgTipoPersona",
          "rbResidentes", "rbVisitantes"}},
        {"TFrmClave", [&] { return new TFrmClave(&w); },
         {"FrmClave", "GbTipoUsuario", "cbTipoUsuario", "LblClave", "BtnCambiarClave", "BtnIngresar", "BtnSalir",
          "PnlCambiarClave", "BtnGuardar"}},
        {"TFrmConfig", [&] { return new TFrmConfig(&w); },
         {"FrmConfig", "pgConfig", "TSDatos", "ImgEscudo", "BtnBuscarEscudo", "TSCabecera", "cbFormatoPlanilla",
          "chkIncluirCancelados", "TSGeneral", "dtpHoraSalidaAuto", "LblHoraSalidaAuto", "seSegundosRepetida",
          "chkTonosDistintos", "dtpHoraEntrada", "TblConfig", "BtnAceptar", "BtnSalir"}},
        {"TfrmSabana", [&] { return new TfrmSabana(&w, h.dm->TblEstudiantes); }, {"frmSabana", "RadioGroup1", "DBGrid1"}},
        {"TFrmPreview", [&] { return new TFrmPreview(modelo, true, &w); }, {"TFrmPreview", "lblPagina", "scroll", "imgPagina"}},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.dialogo);
        std::unique_ptr<QWidget> d(c.crear());
        ASSERT_TRUE(d);
        if (!c.nombres.first().isEmpty()) {
            EXPECT_EQ(d->objectName(), c.nombres.first());
        }
        for (const QString& n : c.nombres.mid(1))
            EXPECT_NE(d->findChild<QObject*>(n), nullptr) << n.toStdString();
    }
}

} // namespace
