#pragma once
// Photographs from a folder: each picture named after a person's code or document is copied
// into the site's imagenes directory and becomes that person's photo.
#include <QString>
#include <QStringList>
#include <QVector>

namespace kv {

struct FotoOmitida {
    QString archivo;   // file name in the folder
    QString motivo;
};

struct ResultadoFotos {
    int copiadas = 0;              // pictures copied
    int personas = 0;              // persons whose idFoto was set
    QVector<FotoOmitida> omitidas; // not pictures, or matching nobody
};

// Looks at the files of `carpeta` (not its subfolders) ending in .jpg, .jpeg, .png or .bmp
// in any letter case. A file whose name without extension is a person's code (or else a
// person's document number) and that reads as a picture is copied into
// <tablesDir>/imagenes under its own name (replacing a file of that name) and set as the
// idFoto of the persons it names, all persons in one transaction. Raises ImportError when the
// folder is missing, DbError when the site cannot be written.
ResultadoFotos ImportarFotos(const QString& tablesDir, const QString& carpeta);

QString InformeFotos(const ResultadoFotos& r);

} // namespace kv
