#pragma once
// What the two movement-report dialogs share: the category bounds, the two days and the
// buttons. The subclass adds its own choices and names the report kind to run.
#include "reports/ReportKinds.h"
#include <QDialog>
#include <functional>

class QDateEdit;
class QGridLayout;
class QLineEdit;
class QPushButton;

class TfrmRangoInforme : public QDialog {
    Q_OBJECT
public:
    explicit TfrmRangoInforme(QWidget* parent, const QString& caption);

    QLineEdit* edGradoInicial;
    QLineEdit* edGradoFinal;
    QDateEdit* edFechaInicial;
    QDateEdit* edFechaFinal;
    QPushButton* btnAceptar;
    QPushButton* btnCancelar;

public slots:
    void btnAceptarClick();

protected:
    // The kind to run and its parameters beyond the shared ones.
    virtual QString tipo() const = 0;
    virtual void agregarParametros(kv::rpt::ReportArgs& a) const = 0;
    // The parameters as the boxes hold them, with the subclass's own.
    kv::rpt::ReportArgs argumentos() const;
    QGridLayout* grid;   // rows 0-3 are taken; subclasses add from row 4
    // Runs a step of the report; a refused parameter is shown as a warning, any other error
    // through the program's error display. False when it did not finish.
    static bool intentar(const std::function<void()>& paso);

private:
    bool enCurso_ = false;
};
