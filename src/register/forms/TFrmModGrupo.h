#pragma once
// Changes the director and the message of the current group.
#include <QDialog>

class QLineEdit;
class QPushButton;

class TFrmModGrupo : public QDialog {
    Q_OBJECT
public:
    TFrmModGrupo(QWidget* parent, const QString& grado, const QString& grupo);

    QLineEdit* EdIGrado = nullptr;
    QLineEdit* EdIGrupo = nullptr;
    QLineEdit* EdNDirector = nullptr;
    QLineEdit* EdMensaje = nullptr;
    QPushButton* BtnAceptar = nullptr;
    QPushButton* BtnSalir = nullptr;

public slots:
    void BtnAceptarClick();

private:
    QString grado_;
    QString grupo_;
};
