#pragma once
// Attendance and non-attendance over a range of days and categories.
#include "reports/forms/TfrmRangoInforme.h"

class QGroupBox;
class QRadioButton;

class TfrmAsistieron : public TfrmRangoInforme {
    Q_OBJECT
public:
    // `anio`: the working year the attendance title prints.
    TfrmAsistieron(QWidget* parent, const QString& anio);

    QGroupBox* rgModoConsulta;
    QRadioButton* rbAsistentes;
    QRadioButton* rbInasistentes;

protected:
    QString tipo() const override;
    void agregarParametros(kv::rpt::ReportArgs& a) const override;

private:
    QString anio_;
};
