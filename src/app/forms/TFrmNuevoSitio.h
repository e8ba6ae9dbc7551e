#pragma once
// A new site, from the site choice: its name and the folder of its tables. A folder that
// already holds a site's tables is added as it is; any other gets the empty tables of a
// new site. This is how a first start, with an empty list, gets its first site.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TFrmNuevoSitio : public QDialog {
    Q_OBJECT
public:
    // `directorioTrabajo`: where the site list is; new sites' folders go there by default.
    explicit TFrmNuevoSitio(const QString& directorioTrabajo, QWidget* parent = nullptr);

    QLineEdit* EdNombre = nullptr;
    QLineEdit* EdCarpeta = nullptr;
    QPushButton* BtnExaminar = nullptr;
    QPushButton* BtnAceptar = nullptr;
    QPushButton* BtnCancelar = nullptr;

public slots:
    void BtnAceptarClick();
    void BtnExaminarClick();

private:
    QString directorio_;
    bool carpetaEscrita_ = false;   // the operator typed or chose a folder of their own
};
