#include "register/forms/PersonsCommands.h"
#include "data/TDM.h"
#include "register/Persons.h"
#include "register/forms/TFrmBuscarEstudiante.h"
#include "register/forms/TFrmCambiarDeGrupo.h"
#include "register/forms/TFrmEstudiantes.h"
#include "register/forms/TFrmModEst.h"
#include "settings/UserLevel.h"
#include "settings/forms/Acceso.h"
#include "base/Messages.h"
#include "base/forms/ErrorDisplay.h"
#include "base/forms/MainShell.h"
#include <QAction>
#include <QPushButton>

namespace {
// True when the persons list has a highlighted row (a row being inserted is not a person yet).
bool HayPersonaActual()
{
    if (!kv::DM || !kv::DM->TblEstudiantes) return false;
    const kv::TableCursor& t = *kv::DM->TblEstudiantes;
    return t.isActive() && t.state() != kv::DataSetState::Insert && !t.isEmpty() && t.currentRow() >= 0;
}

// The highlighted person's row, the key the person commands take.
qint64 filaActual()
{
    const kv::TableCursor& t = *kv::DM->TblEstudiantes;
    return t.rowIdAt(t.currentRow());
}
} // namespace

PersonsCommands::PersonsCommands(kv::MainShell& shell, QObject* parent) : QObject(parent), shell_(shell)
{
    setObjectName(QStringLiteral("PersonsCommands"));
    const std::pair<const char*, void (PersonsCommands::*)()> botones[] = {
        {"BtnAddEstudiante", &PersonsCommands::BtnAddEstudianteClick},
        {"BtnBorrarEst", &PersonsCommands::BtnBorrarEstClick},
        {"BtnModEst", &PersonsCommands::BtnModEstClick},
        {"BtnCambiarDeGrupo", &PersonsCommands::BtnCambiarDeGrupoClick},
        {"btnSuspender", &PersonsCommands::btnSuspenderClick},
    };
    for (const auto& [nombre, accion] : botones) {
        QPushButton* b = shell.required<QPushButton>(QString::fromLatin1(nombre));
        b->setEnabled(true);
        connect(b, &QPushButton::clicked, this, accion);
    }
    QAction* buscar = shell.required<QAction>(QStringLiteral("Buscarestudiante1"));
    buscar->setEnabled(true);
    connect(buscar, &QAction::triggered, this, &PersonsCommands::Buscarestudiante1Click);
}

bool PersonsCommands::PersonaSeleccionada()
{
    if (HayPersonaActual()) return true;
    // With an empty list there is no one to act on; nothing may start a new row.
    kv::Messages::instance().showMessage(QStringLiteral("No hay una persona seleccionada."));
    return false;
}

void PersonsCommands::BtnAddEstudianteClick()
{
    if (!kv::AccesoPermitido()) return;
    try {
        TFrmEstudiantes f(QString::number(shell_.gradoActual()), shell_.grupoActual(), shell_.shellWindow());
        f.exec();
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
}

void PersonsCommands::BtnModEstClick()
{
    if (!kv::AccesoPermitido()) return;
    if (!PersonaSeleccionada()) return;
    try {
        TFrmModEst f(QString::number(shell_.gradoActual()), shell_.grupoActual(), shell_.shellWindow());
        f.exec();
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
}

void PersonsCommands::BtnBorrarEstClick()
{
    if (!kv::AccesoPermitido()) return;
    if (!PersonaSeleccionada()) return;
    try {
        const QString detalle = kv::TextoConfirmarBorrado(kv::TablesDir(), filaActual(), shell_.grupoActual(), shell_.gradoActual());
        if (!kv::Messages::instance().askYesNo(QStringLiteral("Confirma borrar el estudiante?"), detalle,
                                               kv::MsgIcon::Warning))
            return;
        // Only the person's row: movements, visits and marks stay.
        kv::DM->TblEstudiantes->deleteRecord();
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
}

void PersonsCommands::BtnCambiarDeGrupoClick()
{
    if (!kv::AccesoPermitido()) return;
    if (!PersonaSeleccionada()) return;
    try {
        const QString codigo = kv::DM->TblEstudiantes->fieldByName(QStringLiteral("codigo")).asString();
        TFrmCambiarDeGrupo f(shell_.gradoActual(), shell_.grupoActual(), codigo, shell_.shellWindow());
        f.exec();
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
}

void PersonsCommands::btnSuspenderClick()
{
    if (!kv::AccesoPermitido()) return;
    if (!PersonaSeleccionada()) return;
    try {
        kv::AlternarSuspension(kv::TablesDir(), filaActual());
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
}

void PersonsCommands::Buscarestudiante1Click()
{
    TFrmBuscarEstudiante f(shell_.shellWindow());
    f.exec();
}
