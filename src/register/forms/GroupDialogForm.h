#pragma once
// The four boxes and two buttons the two group dialogs share.
#include <QString>

class QDialog;
class QLineEdit;
class QPushButton;

struct GroupDialogWidgets {
    QLineEdit* grado;
    QLineEdit* grupo;
    QLineEdit* director;
    QLineEdit* mensaje;
    QPushButton* aceptar;
    QPushButton* salir;
};

GroupDialogWidgets buildGroupDialog(QDialog* dlg);
