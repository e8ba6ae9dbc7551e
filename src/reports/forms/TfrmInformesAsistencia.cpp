#include "reports/forms/TfrmInformesAsistencia.h"
#include "data/Query.h"
#include "data/TDM.h"
#include "reports/InformesAsistencia.h"
#include "settings/TConfig.h"
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

TfrmLlegadasTarde::TfrmLlegadasTarde(QWidget* parent) : TfrmRangoInforme(parent, QStringLiteral("Llegadas tarde"))
{
    setObjectName(QStringLiteral("frmLlegadasTarde"));
    lblHoraEntrada = new QLabel(kv::TConfig().horaEntrada().toString(QStringLiteral("HH:mm:ss")), this);
    lblHoraEntrada->setObjectName(QStringLiteral("lblHoraEntrada"));
    grid->addWidget(new QLabel(QStringLiteral("Hora de entrada:"), this), 4, 0);
    grid->addWidget(lblHoraEntrada, 4, 1);
}

TfrmInasistenciasConsecutivas::TfrmInasistenciasConsecutivas(QWidget* parent)
    : TfrmRangoInforme(parent, QStringLiteral("Inasistencias consecutivas"))
{
    setObjectName(QStringLiteral("frmInasistenciasConsecutivas"));
    edDias = new QSpinBox(this);
    edDias->setObjectName(QStringLiteral("edDias"));
    edDias->setRange(1, 366);
    edDias->setValue(3);
    auto* l = new QLabel(QStringLiteral("Días &consecutivos:"), this);
    l->setBuddy(edDias);
    grid->addWidget(l, 4, 0);
    grid->addWidget(edDias, 4, 1);
}

void TfrmInasistenciasConsecutivas::agregarParametros(kv::rpt::ReportArgs& a) const
{
    a.set(QStringLiteral("dias"), QString::number(edDias->value()));
    a.setLabel(QStringLiteral("dias"), QStringLiteral("«Días consecutivos:»"));
}

TGraficoAsistencia::TGraficoAsistencia(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("GrafAsistencia"));
    setMinimumSize(480, 300);
}

void TGraficoAsistencia::setDatos(const kv::rpt::DatosGraficoAsistencia& d)
{
    datos_ = d;
    update();
}

void TGraficoAsistencia::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    kv::rpt::DibujarGraficoAsistencia(p, QRectF(rect()), datos_);
}

TfrmAsistenciaDiaria::TfrmAsistenciaDiaria(QWidget* parent)
    : TfrmRangoInforme(parent, QStringLiteral("Asistencia por día"))
{
    setObjectName(QStringLiteral("frmAsistenciaDiaria"));
    btnVer = new QPushButton(QStringLiteral("&Ver"), this);
    btnVer->setObjectName(QStringLiteral("btnVer"));
    btnVer->setAutoDefault(false);
    grid->addWidget(btnVer, 4, 3);
    GrafAsistencia = new TGraficoAsistencia(this);
    TblAsistencia = new QTableWidget(0, 5, this);
    TblAsistencia->setObjectName(QStringLiteral("TblAsistencia"));
    TblAsistencia->setHorizontalHeaderLabels({QStringLiteral("Fecha"), QStringLiteral("Cat"), QStringLiteral("Personas"),
                                              QStringLiteral("Presentes"), QStringLiteral("Asistencia")});
    TblAsistencia->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TblAsistencia->verticalHeader()->hide();
    TblAsistencia->setMinimumHeight(160);
    grid->addWidget(GrafAsistencia, 5, 0, 1, 4);
    grid->addWidget(TblAsistencia, 6, 0, 1, 4);
    connect(btnVer, &QPushButton::clicked, this, &TfrmAsistenciaDiaria::btnVerClick);
}

void TfrmAsistenciaDiaria::btnVerClick()
{
    kv::Query q;
    if (!intentar([&] {
            kv::rpt::ConsultarAsistenciaPorDia(kv::TablesDir(), q, kv::rpt::rangoAsistencia(kv::TablesDir(), argumentos()));
        }))
        return;
    const kv::ResultSet& rs = q.result();
    GrafAsistencia->setDatos(kv::rpt::DatosGrafico(rs));
    TblAsistencia->setRowCount(0);
    TblAsistencia->setRowCount(rs.rows.size());
    const int cFecha = rs.columnIndex(QStringLiteral("fecha")), cGrado = rs.columnIndex(QStringLiteral("igrado"));
    const int cPersonas = rs.columnIndex(QStringLiteral("personas"));
    const int cPresentes = rs.columnIndex(QStringLiteral("presentes")), cPct = rs.columnIndex(QStringLiteral("porcentaje"));
    for (int i = 0; i < rs.rows.size(); ++i) {
        const auto& row = rs.rows[i];
        const QStringList celdas = {
            QDate::fromString(row.value(cFecha).toString(), Qt::ISODate).toString(QStringLiteral("dd/MM/yyyy")),
            row.value(cGrado).isNull() ? QStringLiteral("Todas") : row.value(cGrado).toString(),
            row.value(cPersonas).toString(), row.value(cPresentes).toString(),
            row.value(cPct).isNull() ? QStringLiteral("sin personas")
                                     : QString::number(row.value(cPct).toDouble(), 'f', 1) + QStringLiteral(" %")};
        for (int c = 0; c < celdas.size(); ++c) TblAsistencia->setItem(i, c, new QTableWidgetItem(celdas[c]));
    }
    TblAsistencia->resizeColumnsToContents();
}
