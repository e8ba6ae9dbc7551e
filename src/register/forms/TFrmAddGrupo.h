#pragma once
// "Adicionar grupo": adds a group to the current category.
#include "register/forms/TFrmGrupoBase.h"

class TFrmAddGrupo : public TFrmGrupoBase {
    Q_OBJECT
public:
    // grado: the category number as decimal text (empty = the current categories row).
    explicit TFrmAddGrupo(QWidget* parent = nullptr, const QString& grado = QString());

public slots:
    void BtnAceptarClick();

private:
    QString grado_;
};
