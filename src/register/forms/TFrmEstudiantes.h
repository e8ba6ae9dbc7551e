#pragma once
// "Adicionar estudiantes": registers persons into the current category and group.
// Ready to save ("Grabar" on, "Crear otro" off) until a save succeeds, then the other
// way round; stays open until "Salir".
#include "register/forms/TFrmPersonaBase.h"

class QLineEdit;
class QPushButton;

// Makes a box turn what is typed into capitals (accented letters too).
void ForzarMayusculas(QLineEdit* ed);

class TFrmEstudiantes : public TFrmPersonaBase {
    Q_OBJECT
public:
    // grado: the category number as decimal text; grupo: the group code.
    TFrmEstudiantes(const QString& grado, const QString& grupo, QWidget* parent = nullptr);

    QLineEdit* EdIEstudiante = nullptr;
    QPushButton* BtnAddEst = nullptr;
    QPushButton* BtnCrearEst = nullptr;
    QPushButton* BtnSalir = nullptr;

    qint64 siguiente() const { return siguiente_; }
    QString codigoCalculado() const { return codigo_; }

public slots:
    void BtnAddEstClick();
    void BtnCrearEstClick();

private:
    kv::PersonaDatos leer() const;

    QString grado_;
    QString grupo_;
    qint64 siguiente_ = 0;   // next internal number offered (wide: the highest one + 1 cannot overflow)
    QString codigo_;         // code of the last validation
};
