#pragma once
// What "Importar fotos..." did: how many pictures were copied and every file it skipped, with
// the reason.
#include "import/ImportarFotos.h"
#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

class TFrmResultadoFotos : public QDialog {
    Q_OBJECT
public:
    TFrmResultadoFotos(const kv::ResultadoFotos& r, QWidget* parent = nullptr);

    QLabel* LblResumen = nullptr;
    QTableWidget* TblOmitidas = nullptr;
    QPushButton* BtnSalir = nullptr;
};
