#pragma once
// "Cambiar de grupo a un estudiante": moves the highlighted person to another category
// and group, or to the store category -99 ("La bodega") when the person leaves.
#include "data/Query.h"
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

class TFrmCambiarDeGrupo : public QDialog {
    Q_OBJECT
public:
    TFrmCambiarDeGrupo(int gradoOrigen, const QString& grupoOrigen, const QString& codigo,
                       QWidget* parent = nullptr);

    QLabel* lblNEstudiante = nullptr;
    QLabel* lblGrado = nullptr;
    QLabel* lblGrupo = nullptr;
    QComboBox* CBGradoDestino = nullptr;
    QComboBox* CBGrupoDestino = nullptr;
    QPushButton* BtnAceptar = nullptr;
    QPushButton* BtnCancelar = nullptr;

public slots:
    void CBGradoDestinoChange();
    void BtnAceptarClick();

private:
    int gradoOrigen_;
    QString grupoOrigen_;
    QString codigo_;
    kv::Query Query1;
};
