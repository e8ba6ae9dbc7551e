#include "app/forms/TFrmMain.h"
#include <QAction>
#include <QPushButton>

// Person commands: not built yet.
void TFrmMain::setupPersons()
{
    for (QPushButton* b : {BtnAddEstudiante, BtnBorrarEst, BtnModEst, BtnCambiarDeGrupo, btnSuspender}) b->setEnabled(false);
    Buscarestudiante1->setEnabled(false);
}
void TFrmMain::BtnAddEstudianteClick() {}
void TFrmMain::BtnModEstClick() {}
void TFrmMain::BtnBorrarEstClick() {}
void TFrmMain::BtnCambiarDeGrupoClick() {}
void TFrmMain::btnSuspenderClick() {}
void TFrmMain::Buscarestudiante1Click() {}
