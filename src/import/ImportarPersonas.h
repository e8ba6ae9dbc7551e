#pragma once
// Persons from a spreadsheet file (.csv or .xlsx) into a site's persons table. Each row is
// checked with the rules of the person dialogs; the accepted rows are written in one
// transaction, the refused ones listed with their line and reason.
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace kv {

// Field of estudiantes a column heading stands for, matched without regard to case, accents,
// spaces or punctuation: the field names the export writes ("NEstudiante", "telefacudiente")
// and the usual Spanish headings ("Nombre", "Código", "Teléfono acudiente", ...). "" when
// the heading names no field.
QString CampoDeEncabezado(const QString& encabezado);

struct OpcionesImportacion {
    bool crearGrupos = false;     // "Crear grupos que falten": missing categories and groups are made
    bool actualizar = false;      // "Actualizar existentes": a known code updates that person
    bool escribir = true;         // false: check and report only (the preview, --prueba)
    int filasDeMuestra = 10;      // first rows kept for the preview
    std::function<void(int)> alAvanzar;   // rows read so far, now and then
};

struct FilaRechazada {
    int linea = 0;
    QString motivo;
};

struct ResultadoImportacion {
    QStringList encabezados;            // the file's first row
    QStringList campos;                 // field of each column ("" = not imported)
    QVector<QStringList> muestra;       // first rows as read
    int leidas = 0;                     // data rows read (the heading row not counted)
    int nuevas = 0;
    int actualizadas = 0;               // rows that changed a person
    int sinCambios = 0;                 // rows of known persons that changed nothing
    QVector<FilaRechazada> rechazadas;
    QStringList gruposCreados;          // "11 B", categories made shown as "11"
    bool escrito = false;               // the accepted rows are stored
};

// Reads `archivo` and imports its persons into the site of `tablesDir`. Raises ImportError
// when the file cannot be read or names no field, DbError when the site cannot be written
// (then nothing is stored). A refused row is reported, never an exception.
ResultadoImportacion ImportarPersonas(const QString& tablesDir, const QString& archivo, const OpcionesImportacion& o);

// The report of an import as the command line prints it, one refused row per line.
QString InformeImportacion(const ResultadoImportacion& r);

} // namespace kv
