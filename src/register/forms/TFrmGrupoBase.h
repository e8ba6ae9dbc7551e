#pragma once
// The boxes and buttons the two group dialogs share: "Grado:", "Grupo:", "Director:",
// "Mensaje:", "&Aceptar" (default) and "&Salir" (closes).
#include <QDialog>

class QLineEdit;
class QPushButton;

class TFrmGrupoBase : public QDialog {
    Q_OBJECT
public:
    QLineEdit* EdIGrado = nullptr;
    QLineEdit* EdIGrupo = nullptr;
    QLineEdit* EdNDirector = nullptr;
    QLineEdit* EdMensaje = nullptr;
    QPushButton* BtnAceptar = nullptr;
    QPushButton* BtnSalir = nullptr;

protected:
    explicit TFrmGrupoBase(QWidget* parent);
};
