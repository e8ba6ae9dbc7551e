#pragma once
// Changes the director and the message of the current group.
#include "register/forms/TFrmGrupoBase.h"

class TFrmModGrupo : public TFrmGrupoBase {
    Q_OBJECT
public:
    TFrmModGrupo(QWidget* parent, const QString& grado, const QString& grupo);

public slots:
    void BtnAceptarClick();

private:
    QString grado_;
    QString grupo_;
};
