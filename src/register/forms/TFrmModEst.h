#pragma once
// "Modificar un estudiante": corrects the highlighted person of the persons list.
// Closes after "Aceptar" whatever the outcome.
#include "register/Persons.h"
#include <QDialog>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

class TFrmModEst : public QDialog {
    Q_OBJECT
public:
    // grado: the category number as decimal text; grupo: the group code.
    TFrmModEst(const QString& grado, const QString& grupo, QWidget* parent = nullptr);

    QLabel* LblIEstudiante = nullptr;
    QLineEdit* EdGrado = nullptr;
    QLineEdit* EdGrupo = nullptr;
    QLineEdit* EdNEstudiante = nullptr;
    QLineEdit* edSitAcad = nullptr;
    QLineEdit* EdNumMatr = nullptr;
    QLineEdit* edDocIdent = nullptr;
    QLineEdit* edSitSocial = nullptr;
    QLineEdit* edNumCarnet = nullptr;
    QLineEdit* edRH = nullptr;
    QLineEdit* edIdFoto = nullptr;
    QDateEdit* dtpFechaNac = nullptr;
    QLineEdit* edCodigo = nullptr;
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
    QString codigoAnterior_;   // the code the person had when the dialog opened
};
