#pragma once
// Rules of the person commands: adding, modifying, deleting, moving, searching and
// suspending persons. Each takes the site's tables directory `dir` and the person's key
// (`fila`, the row's rowid, or the code) and returns what it found or did; none reads a
// window's current row, so kelvora-admin calls them as the windows do. Rows are written
// through table cursors, so every cursor on the persons table (the main window's list)
// shows the change at once; state codes are normalised before they are stored. Typed
// values are always bound parameters.
#include "data/Database.h"
#include <QDate>
#include <QString>

namespace kv {

class Query;
class TableCursor;

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
bool CodigoAsignado(const QString& dir, const QString& codigo);

struct ValidacionAlta {
    QString mensajes;   // collected texts, empty when the person can be saved
    QString codigo;     // code to store (typed or generated)
};
// Checks of the add dialog, in the order the messages are shown.
ValidacionAlta ValidarNuevaPersona(const QString& dir, const QString& gradoTexto, const QString& grupo, const PersonaDatos& d);

// Appends the person through `personas` (an open cursor on the persons table; the new row
// becomes its current row) and posts it. When any step fails the half-filled row is
// discarded and the error propagates (nothing is stored).
void GrabarNuevaPersona(TableCursor& personas, const QString& gradoTexto, const QString& grupo, const PersonaDatos& d,
                        const QString& codigo);

// Checks of the modify dialog; the uniqueness of the code is searched only when
// the code differs from the one the person had.
QString ValidarModificacion(const QString& dir, const PersonaDatos& d, const QString& codigoAnterior);

// Stores the boxes into the persons row `fila` (category, group and internal number
// stay). A failure discards the edit and propagates.
void GrabarModificacion(const QString& dir, qint64 fila, const PersonaDatos& d);

// Marks follow a person's new code within the category; movements keep the old one.
void ActualizarCodigoEnNotas(const QString& dir, const QString& codigoNuevo, const QString& codigoAnterior, int grado);

// Stores a modified person; when the code changed, the marks follow it (movements already
// recorded keep the old one).
void ModificarPersona(const QString& dir, qint64 fila, const PersonaDatos& d, const QString& codigoAnterior, int grado);

// Destinations of a move, read into `q`: every category in key order, and the groups of
// one category in key order.
void LeerCategoriasDestino(const QString& dir, Query& q);
void LeerGruposDestino(const QString& dir, Query& q, int grado);

// Moves one person to another category and group; internal number, code and the
// other fields stay.
void CambiarDeGrupo(const QString& dir, const QString& codigo, int gradoOrigen, const QString& grupoOrigen,
                    int gradoDestino, const QString& grupoDestino);

// Text of the move confirmation.
QString TextoConfirmarCambio(int gradoOrigen, const QString& grupoOrigen, int gradoDestino,
                             const QString& grupoDestino);

// Persons whose name contains the text, letter case ignored (accented letters and ñ too; an
// accent still counts: "mónica" does not find "MONICA"); every field in table order. An
// empty text lists everyone.
ResultSet BuscarPersonas(const QString& dir, const QString& texto);

// Suspends the person of row `fila`, or enables it again when it is suspended.
// Returns the new state ("SUSPENDIDO" or empty). A failure discards the edit.
QString AlternarSuspension(const QString& dir, qint64 fila);

// Text of the delete confirmation of the person of row `fila`.
QString TextoConfirmarBorrado(const QString& dir, qint64 fila, const QString& grupo, int grado);

} // namespace kv
