#include "reports/forms/ReportCommands.h"
#include "base/forms/ErrorDisplay.h"
#include "data/TDM.h"
#include "reports/Planillas.h"
#include "reports/ReportKinds.h"
#include "reports/engine/forms/TFrmPreview.h"
#include "reports/forms/TfrmAsistieron.h"
#include "reports/forms/TfrmEntradasSalidas.h"
#include "settings/TConfig.h"
#include "base/Messages.h"
#include "base/forms/ErrorDisplay.h"
#include "base/forms/MainShell.h"
#include <QAction>
#include <QApplication>
#include <QLineEdit>

using namespace kv::rpt;

namespace {

// Runs a command unless another report command is still on screen; shows what escapes.
template <typename F>
void guarded(bool& busy, F f)
{
    if (busy) return;
    busy = true;
    try {
        f();
    } catch (const ReportError& e) {
        kv::Messages::instance().showMessage(e.message(), QStringLiteral("Error"), kv::MsgIcon::Warning);
    } catch (...) {
        kv::MostrarExcepcion();
    }
    busy = false;
}

} // namespace

ReportCommands::ReportCommands(kv::MainShell& shell, QObject* parent) : QObject(parent), shell_(shell)
{
    setObjectName(QStringLiteral("ReportCommands"));
    anio_ = shell_.required<QLineEdit>(QStringLiteral("EdAnio"));
    enable("AsistentesInasistentes1", &ReportCommands::AsistentesInasistentes1Click);
    enable("EntradasYSalidas1", &ReportCommands::EntradasYSalidas1Click);
    enable("ConsultarUnaPersona1", &ReportCommands::ConsultarUnaPersona1Click);
    enable("UnaCategoria1", &ReportCommands::UnaCategoria1Click);
    enable("UnGrupo1", &ReportCommands::UnGrupo1Click);
}

QAction* ReportCommands::enable(const char* name, void (ReportCommands::*slot)())
{
    QAction* a = shell_.required<QAction>(QString::fromLatin1(name));
    a->setEnabled(true);
    connect(a, &QAction::triggered, this, slot);
    return a;
}

void ReportCommands::AsistentesInasistentes1Click()
{
    guarded(enCurso_, [this] {
        TfrmAsistieron dlg(shell_.shellWindow(), anio_->text());
        dlg.exec();
    });
}

void ReportCommands::EntradasYSalidas1Click()
{
    guarded(enCurso_, [this] {
        TfrmEntradasSalidas dlg(shell_.shellWindow());
        dlg.exec();
    });
}

void ReportCommands::ConsultarUnaPersona1Click()
{
    guarded(enCurso_, [this] {
        // The person selected now; a later change of the selection does not touch the report.
        QString codigo, nombre;
        if (kv::DM && kv::DM->TblEstudiantes->isActive() && !kv::DM->TblEstudiantes->isEmpty()) {
            codigo = kv::DM->TblEstudiantes->fieldByName(QStringLiteral("codigo")).asString();
            nombre = kv::DM->TblEstudiantes->fieldByName(QStringLiteral("nestudiante")).asString();
        }
        ReportArgs a;
        a.set(QStringLiteral("codigo"), codigo);
        a.set(QStringLiteral("nombre"), nombre);
        MostrarInforme(findReportKind(QStringLiteral("persona"))->prepare(kv::TablesDir(), a), true,
                       shell_.shellWindow());
    });
}

void ReportCommands::UnaCategoria1Click()
{
    guarded(enCurso_, [this] {
        ReportArgs a;
        a.set(QStringLiteral("grado"), QString::number(shell_.gradoActual()));
        a.set(QStringLiteral("grupo"), shell_.grupoActual());
        a.set(QStringLiteral("materia"), shell_.materiaActual());
        MostrarInforme(findReportKind(QStringLiteral("planilla"))->prepare(kv::TablesDir(), a), false,
                       shell_.shellWindow());
    });
}

void ReportCommands::UnGrupo1Click()
{
    guarded(enCurso_, [this] {
        kv::Messages& msg = kv::Messages::instance();
        const int grado = shell_.gradoActual();
        const QString grupo = shell_.grupoActual();
        if (grupo.isEmpty()) {
            msg.showMessage(QStringLiteral("Especifique primero el grupo "), QStringLiteral("Error"), kv::MsgIcon::Warning);
            return;
        }
        if (!msg.askYesNo(QString(), QStringLiteral("¿Tiene la impresora preparada?"), kv::MsgIcon::Question)) return;
        if (!HayImpresora(true)) return;
        const QString dir = kv::TablesDir();
        DatosPlanilla base;
        base.grado = grado;
        base.grupo = grupo;
        bool incluir = false;
        {
            kv::TConfig cfg;
            base.formato = cfg.formatoPlanilla();
            incluir = cfg.incluirCancelados();
            base.colegio = cfg.NColegio();
        }
        const kv::ResultSet personas = RunReportQuery(dir, SQLPlanilla(incluir), {grado, grupo});
        for (const QString& materia : MateriasDeGrado(dir, grado)) {
            QString iProfesor;
            if (!BuscarAsignacion(dir, grado, grupo, materia, iProfesor)
                && !msg.askYesNo(QStringLiteral("Advertencia"),
                                 QStringLiteral("Profesor: %1 no encontrado:Continúa?").arg(iProfesor)))
                break;
            DatosPlanilla d = base;
            d.profesor = iProfesor.isEmpty() ? QString() : NombreProfesor(dir, iProfesor);
            d.profesorFijado = true;
            d.materiaFijada = BuscarMateria(dir, grado, materia, d.materia);
            if (!d.materiaFijada
                && !msg.askYesNo(QStringLiteral("Advertencia"),
                                 QStringLiteral("Grado= %1, Materia= %2 no encontrado:Continúa?").arg(grado).arg(materia)))
                break;
            if (!ImprimirInforme(buildPages(TFrmRptPlanillas(dir, d), personas), shell_.shellWindow())) break;
        }
    });
}
