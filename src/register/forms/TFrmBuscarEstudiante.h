#pragma once
// "Buscar estudiante": lists the persons whose name contains the typed text.
// The list only shows; it does not move the main window to the person found.
#include <QDialog>

class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

class TFrmBuscarEstudiante : public QDialog {
    Q_OBJECT
public:
    explicit TFrmBuscarEstudiante(QWidget* parent = nullptr);

    QLineEdit* EdNEstudiante = nullptr;
    QPushButton* BtnBuscar = nullptr;
    QPushButton* BtnSalir = nullptr;
    QTableView* DBGrid1 = nullptr;
    QStandardItemModel* resultado = nullptr;

public slots:
    void BtnBuscarClick();
};
