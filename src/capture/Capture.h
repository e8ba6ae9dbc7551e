#pragma once
// Capture at the door, without windows: who a code belongs to, whether its holder is
// inside, the stored movement, the visitor directory and the invalid-codes file.
// Every code or document a person typed is bound as a parameter, never pasted into SQL.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace kv {

class TableCursor;

// File in the working directory that receives every refused code, one per line.
inline QString ArchivoCodigosInvalidos() { return QStringLiteral("codigosInvalidos.txt"); }
// First line of the main window's hidden detail box.
inline QString MotivoDeLaSalida() { return QStringLiteral("Motivo de la salida:\n"); }

// True when the first five characters, upper-cased, are "VISIT" (a visitor's badge).
bool EsCodigoVisitante(const QString& codigo);

// What the door reads of a person who is not suspended.
struct PersonaCaptura {
    QString igrado;
    QString igrupo;
    QString nestudiante;
    QString idFoto;
    QString docIdent;
    int tipoDocIdent = 0;
};

// Looks a code up among the persons that are not suspended (situacion other than exactly
// "SUSPENDIDO"). The first row in storage order wins when two persons share a code. An
// empty code is never a person's.
std::optional<PersonaCaptura> BuscarPersona(const QString& tablesDir, const QString& codigo);

// Data of the last movement of a code.
struct UltimoMovimiento {
    int tipoDocIdent = 0;
    QString docIdent;
    QString nestudiante;
    QDate fecha;   // when it was stored
    QTime hora;
};

// True when the code's last movement is an entry ("E", exact). The last movement is the
// latest date, then the latest time, then the last one stored, so two scans in the same
// second still alternate. When the code has movements, `ultimo` receives the data of the
// last one; otherwise it is left as it was.
bool EstaDentro(const QString& tablesDir, const QString& codigo, UltimoMovimiento* ultimo = nullptr);

inline QString TextoCodigoLargo(int ancho)
{
    return QStringLiteral("El código tiene más de %1 caracteres; no se registró el movimiento.").arg(ancho);
}

// One movement about to be stored.
struct Movimiento {
    QString codigo;          // the capture text, exactly as typed
    QString modo;            // "E" or "S"
    QString detalleMemo;     // text of the hidden detail box
    QString docIdent;
    int tipoDocIdent = 0;
    QString nombre;
};

// Appends one row to entradasSalidas and returns when it is on disk. fecha and hora come
// from one reading of the clock. detalle holds the detail box only for a visitor's entry
// and for a person's exit. Returns the moment written. A code longer than the table's
// field is refused (MyException with TextoCodigoLargo()) and nothing is stored.
QDateTime RegistrarMovimiento(const QString& tablesDir, const Movimiento& m);

// Deletes the movements already published (subido true), all of them now, in batches:
// they live on in the remote database, and the local table keeps only those still to
// send. The main window does the same after it shows (capture/Publicados.h).
void BorrarMovimientosSubidos(const QString& tablesDir);

// ---- repeated reads ----

// Readers fire twice and people scan twice. A read of a code whose last stored movement
// (fecha, hora) is less than `segundosRepetida` seconds before `ahora` is a repeated read
// and records nothing: returns how many whole seconds ago that movement was. Otherwise
// (guard off with 0, no movement, the window passed, a movement later than now because
// the clock was set back) returns nothing.
std::optional<int> LecturaRepetida(const QDate& fecha, const QTime& hora, const QDateTime& ahora,
                                   int segundosRepetida);
// "Lectura repetida: ya registrado hace N s"
QString TextoLecturaRepetida(int segundos);

// Name line of the main window: code, blank, name, category, " - ", group.
QString TextoNombreCaptura(const QString& codigo, const PersonaCaptura& p);

// Appends a refused code to codigosInvalidos.txt; raises MyException when the file
// cannot be opened.
void RegistrarCodigoInvalido(const QString& codigo);

// ---- visitors ----

// Document types of the visitor dialog; the stored number is the position.
QStringList TiposDocIdent();

struct Visitante {
    QString docIdent;
    int tipoDocIdent = 0;
    QString nombre;
};

// The directory row of a document number (exact, case-sensitive); first stored wins.
std::optional<Visitante> BuscarVisitante(const QString& tablesDir, const QString& docIdent);

// Destinations for the visitor dialog: each ndependencia once, in row order.
QStringList Dependencias(const QString& tablesDir);

// Writes the visitor's row through the directory table component: the row of the document
// number is edited when there is one, otherwise a row is appended. fechaUltVisit and
// horaUltVisit come from one reading of the clock. When the row cannot be stored the
// table is left browsing, without the pending row, and the error goes up.
void ActualizarVisitante(TableCursor& tblVisitantes, const Visitante& v, const QString& observaciones);

} // namespace kv
