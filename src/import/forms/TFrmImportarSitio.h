#pragma once
// "Importar sitio anterior...": a site kept in Paradox-format tables becomes a new Kelvora
// site; the window shows, per table, the rows read, written and refused with the reason.
#include "import/ImportarSitio.h"
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class TFrmImportarSitio : public QDialog {
    Q_OBJECT
public:
    explicit TFrmImportarSitio(QWidget* parent = nullptr);

    QComboBox* cbSitios = nullptr;       // sites of an old working directory's Config.DB
    QLineEdit* edAnterior = nullptr;     // tables directory of the old site
    QLineEdit* edNuevo = nullptr;        // directory of the new site
    QLineEdit* edNombre = nullptr;       // name of the new site in the site list
    QPushButton* BtnListaSitios = nullptr;
    QPushButton* BtnAnterior = nullptr;
    QPushButton* BtnNuevo = nullptr;
    QPushButton* BtnAceptar = nullptr;
    QPushButton* BtnSalir = nullptr;
    QLabel* LblEstado = nullptr;
    QTableWidget* TblResultado = nullptr;

    // Filled after a successful import: the new site and the name it goes under.
    QString sitioNuevo() const { return nuevo_; }
    QString nombreNuevo() const { return nombre_; }
    const kv::ResultadoSitio& resultado() const { return r_; }

public slots:
    // Reads the site list of an old working directory into cbSitios.
    void cargarLista(const QString& directorioTrabajo);
    void BtnAceptarClick();

private:
    void mostrar();

    QString nuevo_, nombre_;
    kv::ResultadoSitio r_;
    QVector<kv::SitioAnterior> sitios_;
};
