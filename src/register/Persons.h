#pragma once
// Rules of the person commands: adding, modifying, deleting, moving, searching and
// suspending persons. Rows are written through the data module's persons table
// (kv::DM->TblEstudiantes), so the main window's list shows them at once and its
// data source normalises state codes before every post. Typed values are always
// bound parameters.
#include "data/Database.h"
#include <QDate>
#include <QString>

namespace kv {

class Query;

// What the person dialogs read from their boxes, as typed.
struct PersonaDatos {
    QString iEstudiante;   // "Id interno:" (add dialog only)
    QString nombre;
    QString situacion;     // "Situación académica:" (modify dialog only)
    QString numMatr;
    QString docIdent;
    QString sitSocial;
    QString numCarnet;
    QString rh;
    QString idFoto;
    QDate fechaNac;
    QString codigo;
};

// Check letter of a generated code: the character (category + 65) mod 256, so
// category 0 gives A and 11 gives L.
QChar LetraControl(int grado);
// Code for an empty "Código:": category text + group + internal number + check letter.
QString CodigoGenerado(const QString& gradoTexto, const QString& grupo, const QString& iEstudiante);

// True when some person already carries this code (whole table, exact text).
bool CodigoAsignado(const QString& codigo);

struct ValidacionAlta {
    QString mensajes;   // collected texts, empty when the person can be saved
    QString codigo;     // code to store (typed or generated)
};
// Checks of the add dialog, in the order the messages are shown.
ValidacionAlta ValidarNuevaPersona(const QString& gradoTexto, const QString& grupo, const PersonaDatos& d);

// Appends the person to the persons table and posts it. When any step fails the
// half-filled row is discarded and the error propagates (nothing is stored).
void GrabarNuevaPersona(const QString& gradoTexto, const QString& grupo, const PersonaDatos& d,
                        const QString& codigo);

// Checks of the modify dialog; the uniqueness of the code is searched only when
// the code differs from the one the person had.
QString ValidarModificacion(const PersonaDatos& d, const QString& codigoAnterior);

// Stores the boxes into the highlighted persons row (category, group and internal
// number stay). A failure discards the edit and propagates.
void GrabarModificacion(const PersonaDatos& d);

// Marks follow a person's new code within the category; movements keep the old one.
void ActualizarCodigoEnNotas(const QString& codigoNuevo, const QString& codigoAnterior, int grado);

// Stores a modified person; when the code changed, the marks follow it (movements already
// recorded keep the old one).
void ModificarPersona(const PersonaDatos& d, const QString& codigoAnterior, int grado);

// Destinations of a move, read into `q`: every category in key order, and the groups of
// one category in key order.
void LeerCategoriasDestino(Query& q);
void LeerGruposDestino(Query& q, int grado);

// Moves one person to another category and group; internal number, code and the
// other fields stay.
void CambiarDeGrupo(const QString& codigo, int gradoOrigen, const QString& grupoOrigen,
                    int gradoDestino, const QString& grupoDestino);

// Text of the move confirmation.
QString TextoConfirmarCambio(int gradoOrigen, const QString& grupoOrigen, int gradoDestino,
                             const QString& grupoDestino);

// Persons whose name contains the text, letter case ignored (accented letters and ñ too; an
// accent still counts: "mónica" does not find "MONICA"); every field in table order. An
// empty text lists everyone.
ResultSet BuscarPersonas(const QString& texto);

// Suspends the highlighted person, or enables it again when it is suspended.
// Returns the new state ("SUSPENDIDO" or empty). A failure discards the edit.
QString AlternarSuspension();

// True when the persons list has a highlighted row.
bool HayPersonaActual();

// Text of the delete confirmation of the highlighted person.
QString TextoConfirmarBorrado(const QString& grupo, int grado);

} // namespace kv
