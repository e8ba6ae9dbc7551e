#include "app/forms/TFrmMain.h"
#include "data/TDM.h"
#include "register/Persons.h"
#include "register/forms/TFrmBuscarEstudiante.h"
#include "register/forms/TFrmCambiarDeGrupo.h"
#include "register/forms/TFrmEstudiantes.h"
#include "register/forms/TFrmModEst.h"
#include "settings/UserLevel.h"
#include "util/Messages.h"
#include <QAction>
#include <QPushButton>

// Person commands of the "Personas" tab and "Herramientas" → "Buscar persona".
// Adding, deleting, modifying, moving and suspending are administrator commands.

namespace {
void mostrarError(const std::exception& e)
{
    kv::Messages::instance().showError(QString::fromUtf8(e.what()));
}
} // namespace

void TFrmMain::setupPersons()
{
    for (QPushButton* b : {BtnAddEstudiante, BtnBorrarEst, BtnModEst, BtnCambiarDeGrupo, btnSuspender}) b->setEnabled(true);
    Buscarestudiante1->setEnabled(true);
}

bool TFrmMain::PersonaSeleccionada()
{
    if (kv::HayPersonaActual()) return true;
    // With an empty list there is no one to act on; nothing may start a new row.
    kv::Messages::instance().showMessage(QStringLiteral("No hay una persona seleccionada."));
    return false;
}

void TFrmMain::BtnAddEstudianteClick()
{
    if (!kv::AccesoPermitido()) return;
    try {
        TFrmEstudiantes f(QString::number(currentGrado), currentGrupo, this);
        f.exec();
    } catch (const std::exception& e) {
        mostrarError(e);
    }
}

void TFrmMain::BtnModEstClick()
{
    if (!kv::AccesoPermitido()) return;
    if (!PersonaSeleccionada()) return;
    try {
        TFrmModEst f(QString::number(currentGrado), currentGrupo, this);
        f.exec();
    } catch (const std::exception& e) {
        mostrarError(e);
    }
}

void TFrmMain::BtnBorrarEstClick()
{
    if (!kv::AccesoPermitido()) return;
    if (!PersonaSeleccionada()) return;
    try {
        const QString detalle = kv::TextoConfirmarBorrado(currentGrupo, currentGrado);
        if (!kv::Messages::instance().askYesNo(QStringLiteral("Confirma borrar el estudiante?"), detalle,
                                               kv::MsgIcon::Warning))
            return;
        // Only the person's row: movements, visits and marks stay.
        kv::DM->TblEstudiantes->deleteRecord();
    } catch (const std::exception& e) {
        mostrarError(e);
    }
}

void TFrmMain::BtnCambiarDeGrupoClick()
{
    if (!kv::AccesoPermitido()) return;
    if (!PersonaSeleccionada()) return;
    try {
        const QString codigo = kv::DM->TblEstudiantes->fieldByName(QStringLiteral("codigo")).asString();
        TFrmCambiarDeGrupo f(currentGrado, currentGrupo, codigo, this);
        f.exec();
    } catch (const std::exception& e) {
        mostrarError(e);
    }
}

void TFrmMain::btnSuspenderClick()
{
    if (!kv::AccesoPermitido()) return;
    if (!PersonaSeleccionada()) return;
    try {
        kv::AlternarSuspension();
    } catch (const std::exception& e) {
        mostrarError(e);
    }
}

void TFrmMain::Buscarestudiante1Click()
{
    TFrmBuscarEstudiante f(this);
    f.exec();
}
