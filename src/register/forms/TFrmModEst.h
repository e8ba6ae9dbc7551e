#pragma once
// "Modificar un estudiante": corrects the highlighted person of the persons list.
// Closes after "Aceptar" whatever the outcome.
#include "register/forms/TFrmPersonaBase.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TFrmModEst : public TFrmPersonaBase {
    Q_OBJECT
public:
    // grado: the category number as decimal text; grupo: the group code.
    TFrmModEst(const QString& grado, const QString& grupo, QWidget* parent = nullptr);

    QLabel* LblIEstudiante = nullptr;
    QLineEdit* EdGrado = nullptr;
    QLineEdit* EdGrupo = nullptr;
    QLineEdit* edSitAcad = nullptr;
    QPushButton* BtnAceptar = nullptr;
    QPushButton* BtnSalir = nullptr;

    QString codigoAnterior() const { return codigoAnterior_; }

public slots:
    void BtnAceptarClick();

private:
    void llenar();
    kv::PersonaDatos leer() const;

    QString grado_;
    QString grupo_;
    int iEstudiante_ = 0;
    qint64 fila_ = -1;          // the person's row, as the list had it highlighted
    QString codigoAnterior_;   // the code the person had when the dialog opened
};
