#include "app/forms/TFrmMain.h"
#include <QAction>
#include <QKeyEvent>

// Capture at the door: not built yet.
void TFrmMain::setupCapture() { SacarLosQueQuedaron1->setEnabled(false); }
void TFrmMain::edCodigoKeyPress(QKeyEvent*) {}
void TFrmMain::RegistrarMovimiento(const QString&, int, const QString&) {}
void TFrmMain::Timer1Timer() {}
void TFrmMain::SacarLosQueQuedaron() {}
