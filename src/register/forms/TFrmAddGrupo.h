#pragma once
// "Adicionar grupo": adds a group to the current category.
#include <QDialog>

class QLineEdit;
class QPushButton;

class TFrmAddGrupo : public QDialog {
    Q_OBJECT
public:
    // grado: the category number as decimal text (empty = the current categories row).
    explicit TFrmAddGrupo(QWidget* parent = nullptr, const QString& grado = QString());

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
};
