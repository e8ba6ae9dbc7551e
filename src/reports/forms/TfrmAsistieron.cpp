#include "reports/forms/TfrmAsistieron.h"
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmAsistieron::TfrmAsistieron(QWidget* parent, const QString& anio)
    : TfrmRangoInforme(parent, QStringLiteral("Asistentes - inasistentes")), anio_(anio)
{
    setObjectName(QStringLiteral("TfrmAsistieron"));
    rgModoConsulta = new QGroupBox(QStringLiteral("Modo de consulta"), this);
    rgModoConsulta->setObjectName(QStringLiteral("rgModoConsulta"));
    auto* v = new QVBoxLayout(rgModoConsulta);
    rbAsistentes = new QRadioButton(QStringLiteral("Asistentes"), rgModoConsulta);
    rbInasistentes = new QRadioButton(QStringLiteral("Inasistentes"), rgModoConsulta);
    rbAsistentes->setObjectName(QStringLiteral("rbAsistentes"));
    rbInasistentes->setObjectName(QStringLiteral("rbInasistentes"));
    v->addWidget(rbAsistentes);
    v->addWidget(rbInasistentes);
    rbInasistentes->setChecked(true);
    grid->addWidget(rgModoConsulta, 4, 0, 1, 4);
}

QString TfrmAsistieron::tipo() const
{
    return rbAsistentes->isChecked() ? QStringLiteral("asistentes") : QStringLiteral("inasistentes");
}

void TfrmAsistieron::agregarParametros(kv::rpt::ReportArgs& a) const
{
    a.set(QStringLiteral("anio"), anio_);
}
