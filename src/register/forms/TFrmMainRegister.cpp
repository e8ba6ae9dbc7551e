#include "app/forms/TFrmMain.h"
#include <QKeyEvent>
#include <QPushButton>

// Categories, groups and the persons list: not built yet.
void TFrmMain::setupRegister()
{
    for (QPushButton* b : {BtnAddGrupo, BtnModGrupo, BtnBorGrupo, BtnFusionarGrupos}) b->setEnabled(false);
}
void TFrmMain::RefreshSelection() {}
void TFrmMain::ApplyPersonsFilter() {}
void TFrmMain::PgGradosChange(int) {}
void TFrmMain::DSAbaGradosDataChange(const QString&) {}
void TFrmMain::DSAbaGradosStateChange() {}
void TFrmMain::DSAbaMateriasDataChange(const QString&) {}
void TFrmMain::BtnAddGrupoClick() {}
void TFrmMain::BtnModGrupoClick() {}
void TFrmMain::BtnBorGrupoClick() {}
void TFrmMain::BtnFusionarGruposClick() {}
void TFrmMain::DSEstudiantesDataChange(const QString&) {}
void TFrmMain::DSEstudiantesUpdateData() {}
bool TFrmMain::DBGEstudiantesKeyDown(QKeyEvent*) { return false; }
