#pragma once
// The checks a person's data must pass, whichever door it comes through: the add and modify
// dialogs, or an import of many persons at once. The look-ups the checks need (is this
// code taken? is this internal number taken in the group?) are given by the caller, so a
// dialog asks the persons table and an import also sees the rows it has accepted so far.
#include "register/Persons.h"
#include <functional>

namespace kv {

using CodigoTomado = std::function<bool(const QString& codigo)>;
using InternoTomado = std::function<bool(const QString& iEstudiante)>;

// The add dialog's checks, messages in the order they are shown; also works out the code to
// store (the typed one, or the generated one when "Código:" is empty).
ValidacionAlta ReglasAlta(const QString& gradoTexto, const QString& grupo, const PersonaDatos& d,
                          const InternoTomado& internoTomado, const CodigoTomado& codigoTomado);

// The modify dialog's checks; the code is searched only when it differs from the old one.
QString ReglasModificacion(const PersonaDatos& d, const QString& codigoAnterior, const CodigoTomado& codigoTomado);

// A value typed for a field of estudiantes, checked as the person dialogs' boxes hold it:
// a text no longer than its field, a whole number where the field is one, a real date for
// the birth date. Returns "" when the value may be stored, else the reason in Spanish.
// An empty value always passes (the dialogs store an empty box as empty, numbers as 0).
QString ReglaDeCampo(const QString& campo, const QString& valor);

// Internal number of the next person of a group, from the group's highest (-1 when the
// group is empty): the add dialog offers this one.
inline qint64 SiguienteInterno(qint64 masAlto) { return masAlto + 1; }

} // namespace kv
