#pragma once
// Entries and exits of residents or visitors over ranges of days, hours and categories.
#include "reports/forms/TfrmRangoInforme.h"

class QGroupBox;
class QRadioButton;
class QTimeEdit;

class TfrmEntradasSalidas : public TfrmRangoInforme {
    Q_OBJECT
public:
    explicit TfrmEntradasSalidas(QWidget* parent);

    QGroupBox* rgTipoPersona;
    QRadioButton* rbResidentes;
    QRadioButton* rbVisitantes;
    QTimeEdit* dtpHoraInicio;
    QTimeEdit* dtpHoraFinal;

protected:
    QString tipo() const override { return QStringLiteral("entradas-salidas"); }
    void agregarParametros(kv::rpt::ReportArgs& a) const override;
};
