#include "reports/forms/TfrmEntradasSalidas.h"
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

TfrmEntradasSalidas::TfrmEntradasSalidas(QWidget* parent)
    : TfrmRangoInforme(parent, QStringLiteral("Entradas -salidas"))
{
    setObjectName(QStringLiteral("TfrmEntradasSalidas"));
    auto hora = [this](const char* name, const QTime& t) {
        auto* e = new QTimeEdit(t, this);
        e->setObjectName(QString::fromLatin1(name));
        e->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        return e;
    };
    dtpHoraInicio = hora("dtpHoraInicio", QTime(1, 0, 0));
    dtpHoraFinal = hora("dtpHoraFinal", QTime(23, 59, 59));
    auto* l1 = new QLabel(QStringLiteral("Hora I&nicial:"), this);
    l1->setBuddy(dtpHoraInicio);
    auto* l2 = new QLabel(QStringLiteral("Hora Fina&l:"), this);
    l2->setBuddy(dtpHoraFinal);
    grid->addWidget(l1, 3, 0);
    grid->addWidget(dtpHoraInicio, 3, 1);
    grid->addWidget(l2, 3, 2);
    grid->addWidget(dtpHoraFinal, 3, 3);
    rgTipoPersona = new QGroupBox(QStringLiteral("Tipo Persona"), this);
    rgTipoPersona->setObjectName(QStringLiteral("rgTipoPersona"));
    auto* v = new QVBoxLayout(rgTipoPersona);
    rbResidentes = new QRadioButton(QStringLiteral("Residentes"), rgTipoPersona);
    rbVisitantes = new QRadioButton(QStringLiteral("Visitantes"), rgTipoPersona);
    rbResidentes->setObjectName(QStringLiteral("rbResidentes"));
    rbVisitantes->setObjectName(QStringLiteral("rbVisitantes"));
    v->addWidget(rbResidentes);
    v->addWidget(rbVisitantes);
    rbResidentes->setChecked(true);
    grid->addWidget(rgTipoPersona, 4, 0, 1, 4);
}

void TfrmEntradasSalidas::agregarParametros(kv::rpt::ReportArgs& a) const
{
    a.set(QStringLiteral("hora-desde"), dtpHoraInicio->time().toString(QStringLiteral("HH:mm:ss")));
    a.set(QStringLiteral("hora-hasta"), dtpHoraFinal->time().toString(QStringLiteral("HH:mm:ss")));
    if (rbVisitantes->isChecked()) a.set(QStringLiteral("visitantes"), QStringLiteral("1"));
}
