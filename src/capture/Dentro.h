#pragma once
// Who is inside now: every code whose last stored movement is an entry, for an evacuation
// roll call at the door. The list is read in one statement that walks the movements index
// code by code, so its cost follows the number of codes, not of stored movements.
#include <QDate>
#include <QHash>
#include <QString>
#include <QTime>
#include <QVector>

namespace kv {

struct PersonaDentro {
    QString codigo;
    QString nombre;        // from the register; the movement's name when not registered
    bool visitante = false;
    bool registrado = false; // a person still in the register (visitors: false)
    QString igrado;        // category and group of the register ("" for visitors and the
    QString igrupo;        // persons no longer registered)
    QString dependencia;   // visitors: the destination written at their entry
    QDate fecha;           // of the entry
    QTime hora;
    QString claveNombre;   // the name folded for sorting (accents ignored, Ñ after N)
};

struct TotalDentro {
    QString igrado;
    QString igrupo;
    int cantidad = 0;
    bool esCategoria = false;   // the whole category, before its groups
};

struct ListaDentro {
    // Persons by category, group and name; then persons no longer registered; then visitors.
    QVector<PersonaDentro> filas;
    // qHash of each row's code, in the order of filas: a capture finds its code's rows by
    // scanning these few bytes instead of following every row's string.
    QVector<size_t> clavesCodigo;
    int personas = 0;
    int visitantes = 0;
    // Registered persons per category, each followed by its groups, in category order.
    QVector<TotalDentro> totales;
};

ListaDentro PersonasDentro(const QString& tablesDir);

// Brings a list up to date with the movements just stored under these row numbers: only
// their codes are read again, so a list kept on screen costs the door next to nothing.
void ActualizarDentro(ListaDentro& lista, const QString& tablesDir, const QVector<qint64>& rowids);

// "Dentro: N personas y M visitantes" (singular for one).
QString TextoTotalDentro(int personas, int visitantes);

// The destination of a visitor's entry detail "Dependencia a donde se dirige:<destino>...":
// the longest known destination the text goes on with, else the rest of its first line.
QString DependenciaDelDetalle(const QString& detalle, const QStringList& dependencias);

// The list as CSV with a header line; a value holding the separator, a quote or a line
// break is quoted.
QString DentroCSV(const ListaDentro& lista, QChar separador = QLatin1Char(';'));

} // namespace kv

// Every member moves by a plain copy of its bytes, so keeping the list in order shifts
// memory instead of moving rows one by one.
Q_DECLARE_TYPEINFO(kv::PersonaDentro, Q_RELOCATABLE_TYPE);
