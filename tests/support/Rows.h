#pragma once
// Rows the tests put into a site's tables: a group, and a person with only the fields a
// test cares about set (the rest stay empty, as an operator would leave them).
#include "support/TempSite.h"
#include <QVariant>

namespace kvtest {

void insertarGrupo(const TempSite& site, int grado, const QString& grupo, const QString& director = QString());

class Persona {
public:
    Persona(int grado, const QString& grupo, const QString& nombre, const QString& codigo)
        : grado_(grado), grupo_(grupo), nombre_(nombre), codigo_(codigo) {}
    Persona& numero(const QVariant& iestudiante) { iestudiante_ = iestudiante; return *this; }
    Persona& situacion(const QVariant& s) { situacion_ = s; return *this; }
    Persona& foto(const QVariant& idFoto) { idFoto_ = idFoto; return *this; }
    Persona& documento(const QVariant& docIdent, const QVariant& tipo) { docIdent_ = docIdent; tipoDoc_ = tipo; return *this; }
    // Stores the row in estudiantes.
    void en(const TempSite& site) const;

private:
    int grado_;
    QString grupo_, nombre_, codigo_;
    QVariant iestudiante_, situacion_, idFoto_, docIdent_, tipoDoc_;
};

} // namespace kvtest
