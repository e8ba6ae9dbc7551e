#pragma once
// The reports "Llegadas tarde", "Inasistencias consecutivas" and "Asistencia por día": their
// layouts on the frame of the movement reports and the report kinds that run them.
#include "reports/GraficoAsistencia.h"
#include "reports/ReportKinds.h"
#include "reports/engine/TitleBlock.h"

namespace kv::rpt {

// Kind `tarde`: --hora-entrada (the options' hour by default) besides the range.
PreparedReport InformeLlegadasTarde(const QString& dir, const ReportArgs& a);
// Kind `consecutivas`: --dias K (3 by default, at least 1).
PreparedReport InformeInasistenciasConsecutivas(const QString& dir, const ReportArgs& a);
// Kind `diaria`: the table and, at the top of the first page, the bar chart.
PreparedReport InformeAsistenciaPorDia(const QString& dir, const ReportArgs& a);

// The late arrivals with a total line after each person's last one: "Total:" in the day
// column, "N llegada(s)" in the hour column and the minutes summed.
ResultSet ConTotalesPorPersona(const ResultSet& tarde);

// The chart as a picture of `mm` at `dpi`, for an image element of a report.
QImage ImagenGraficoAsistencia(const DatosGraficoAsistencia& d, const QSizeF& mm, double dpi);

} // namespace kv::rpt
