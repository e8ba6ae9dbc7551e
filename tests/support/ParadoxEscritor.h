#pragma once
// Paradox-format tables made by the tests themselves with pxlib's writer: plain or
// password-protected, with memo fields in a .MB file, in a given code page.
#include <QString>
#include <QVariant>
#include <QVector>

namespace kvtest {

struct CampoPx {
    QString nombre;
    char tipo;      // pxlib's pxfAlpha, pxfShort, pxfLong, pxfDate, pxfTime, pxfTimestamp, pxfLogical, pxfNumber, pxfMemoBLOb
    int largo;      // bytes in the record (alpha: characters; memo: 10 + the part kept in the record)
};

struct OpcionesPx {
    QString clave;                  // password; empty = not protected
    int paginaDeCodigos = 1252;     // the code page texts are written in
};

// Writes `archivo` (and its .MB when a field is a memo). Values per field: an invalid
// QVariant is NULL; QString for alpha and memo (encoded into the code page); integers;
// QDate, QTime, QDateTime; bool; double. Fails the test (ADD_FAILURE) when pxlib refuses.
void EscribirTablaPx(const QString& archivo, const QVector<CampoPx>& campos,
                     const QVector<QVector<QVariant>>& filas, const OpcionesPx& o = {});

// The tables of an old site laid out with the fields Kelvora's tables have, every table of the
// site with one or more rows (persons as given); returns nothing, writes into `dir`.
struct PersonaPx {
    int grado;
    QString grupo;
    int numero;
    QString nombre, codigo;
    QVariant fechaNac;      // QDate or null
    QVariant observaciones; // memo text or null
};
void EscribirSitioPx(const QString& dir, const QVector<PersonaPx>& personas, const OpcionesPx& o = {});

} // namespace kvtest
