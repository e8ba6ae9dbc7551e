#pragma once
// Reading tables kept in the Paradox format (.DB, with their memo file .MB), password-
// protected ones included, through pxlib. Row by row: a table of any size is never held in
// memory whole.
#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>

namespace kv {

struct CampoParadox {
    QString nombre;
    int tipo = 0;      // pxlib's field type (pxfAlpha, pxfDate, ...)
    int largo = 0;     // bytes in the record
};

class TablaParadox {
public:
    // Opens `archivo` (a .DB file) and, when there is one beside it, its .MB memo file (name
    // in any letter case). Raises ImportError naming the file when it cannot be read.
    explicit TablaParadox(const QString& archivo);
    ~TablaParadox();
    TablaParadox(const TablaParadox&) = delete;
    TablaParadox& operator=(const TablaParadox&) = delete;

    const QVector<CampoParadox>& campos() const { return campos_; }
    int filas() const { return filas_; }
    int paginaDeCodigos() const { return codePage_; }
    QString archivo() const { return archivo_; }

    // Values of row n (from 0), one per field: null is an invalid QVariant; texts QString (in
    // Unicode, from the table's code page), whole numbers qint64, numbers double, dates QDate,
    // times QTime, timestamps QDateTime, logicals bool. Raises ImportError when the row (or
    // one of its memos) cannot be read; the message says which field.
    QVector<QVariant> fila(int n);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
    QString archivo_;
    QVector<CampoParadox> campos_;
    int filas_ = 0;
    int codePage_ = 0;
};

// A file of `dir` by its name, letter case ignored ("ESTUDIANTES.DB" for "estudiantes.db");
// empty when there is none.
QString ArchivoSinMayusculas(const QString& dir, const QString& nombre);

} // namespace kv
