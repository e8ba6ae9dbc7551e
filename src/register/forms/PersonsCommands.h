#pragma once
// Person commands of the "Personas" tab and "Herramientas" → "Buscar persona".
// Adding, deleting, modifying, moving and suspending are administrator commands.
#include <QObject>

namespace kv { class MainShell; }

class PersonsCommands : public QObject {
    Q_OBJECT
public:
    PersonsCommands(kv::MainShell& shell, QObject* parent);

    // True when the persons list has a highlighted person; otherwise shows
    // "No hay una persona seleccionada." and returns false.
    bool PersonaSeleccionada();

    void BtnAddEstudianteClick();
    void BtnModEstClick();
    void BtnBorrarEstClick();
    void BtnCambiarDeGrupoClick();
    void btnSuspenderClick();
    void Buscarestudiante1Click();

private:
    kv::MainShell& shell_;
};
