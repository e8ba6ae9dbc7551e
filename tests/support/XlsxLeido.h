#pragma once
// Reads back a written .xlsx workbook for real (libzip + the XML of its parts): the sheet
// names, the cells of the first sheet and whether each is formatted as text ("@").
#include <QString>
#include <QStringList>
#include <QVector>

namespace kvtest {

struct XlsxLeido {
    bool ok = false;                // the file is a workbook with at least one sheet
    QStringList hojas;              // sheet names, in the workbook's order
    QVector<QStringList> filas;     // first sheet: row r, column c; "" where no value
    int celdas = 0;                 // cells present in the first sheet (with or without value)
    int celdasNoTexto = 0;          // of them, those without the text number format

    QString at(int fila, int col) const { return filas.value(fila).value(col); }
};

XlsxLeido LeerXlsx(const QString& archivo);

} // namespace kvtest
