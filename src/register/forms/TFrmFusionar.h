#pragma once
// Merges two groups of a category: the persons of one go to the other.
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

class TFrmFusionar : public QDialog {
    Q_OBJECT
public:
    TFrmFusionar(QWidget* parent, int grado);

    QLabel* LblGrado = nullptr;
    QComboBox* CBGrupoOrigen = nullptr;
    QComboBox* CBGrupoDestino = nullptr;
    QPushButton* BtnAceptar = nullptr;
    QPushButton* BtnCancelar = nullptr;

public slots:
    void BtnAceptarClick();

private:
    int grado_;
};
