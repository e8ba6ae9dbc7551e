#pragma once
// The preview of a persons import: how the file's columns map to the persons' fields, its
// first rows, and every row the import would refuse with its line and reason. Nothing is
// written until "Importar".
#include "import/ImportarPersonas.h"
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

class TFrmImportarPersonas : public QDialog {
    Q_OBJECT
public:
    // `revision`: the file already checked without writing, with the options of the boxes.
    TFrmImportarPersonas(const QString& tablesDir, const QString& archivo, const kv::OpcionesImportacion& o,
                         const kv::ResultadoImportacion& revision, QWidget* parent = nullptr);

    QLabel* LblResumen = nullptr;
    QTableWidget* TblMapeo = nullptr;
    QTableWidget* TblMuestra = nullptr;
    QTableWidget* TblRechazadas = nullptr;
    QCheckBox* chkCrearGrupos = nullptr;
    QCheckBox* chkActualizar = nullptr;
    QPushButton* BtnAceptar = nullptr;
    QPushButton* BtnCancelar = nullptr;

    // What the last import wrote (valid after the dialog was accepted).
    const kv::ResultadoImportacion& resultado() const { return r_; }

private slots:
    void revisar();
    void BtnAceptarClick();

private:
    void mostrar();
    kv::OpcionesImportacion opciones(bool escribir) const;

    QString dir_, archivo_;
    kv::ResultadoImportacion r_;
};
