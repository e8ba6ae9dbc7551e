#pragma once
// The parameter dialogs of "Llegadas tarde", "Inasistencias consecutivas" and
// "Asistencia por día", on the range of categories and days of "Asistentes - Inasistentes".
#include "reports/GraficoAsistencia.h"
#include "reports/forms/TfrmRangoInforme.h"
#include <QWidget>

class QLabel;
class QSpinBox;
class QTableWidget;

class TfrmLlegadasTarde : public TfrmRangoInforme {
    Q_OBJECT
public:
    explicit TfrmLlegadasTarde(QWidget* parent);
    QLabel* lblHoraEntrada;   // the hour set in the options dialog

protected:
    QString tipo() const override { return QStringLiteral("tarde"); }
    void agregarParametros(kv::rpt::ReportArgs&) const override {}
};

class TfrmInasistenciasConsecutivas : public TfrmRangoInforme {
    Q_OBJECT
public:
    explicit TfrmInasistenciasConsecutivas(QWidget* parent);
    QSpinBox* edDias;         // K: the shortest run listed

protected:
    QString tipo() const override { return QStringLiteral("consecutivas"); }
    void agregarParametros(kv::rpt::ReportArgs& a) const override;
};

// Paints the attendance chart, scaled to the widget.
class TGraficoAsistencia : public QWidget {
    Q_OBJECT
public:
    explicit TGraficoAsistencia(QWidget* parent = nullptr);
    void setDatos(const kv::rpt::DatosGraficoAsistencia& d);
    const kv::rpt::DatosGraficoAsistencia& datos() const { return datos_; }
    QSize sizeHint() const override { return {620, 400}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    kv::rpt::DatosGraficoAsistencia datos_;
};

class TfrmAsistenciaDiaria : public TfrmRangoInforme {
    Q_OBJECT
public:
    explicit TfrmAsistenciaDiaria(QWidget* parent);
    QPushButton* btnVer;                  // chart and table here, before any report
    TGraficoAsistencia* GrafAsistencia;
    QTableWidget* TblAsistencia;

public slots:
    void btnVerClick();

protected:
    QString tipo() const override { return QStringLiteral("diaria"); }
    void agregarParametros(kv::rpt::ReportArgs&) const override {}
};
