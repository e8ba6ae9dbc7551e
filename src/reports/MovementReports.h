#pragma once
// The four movement reports: their statements and their layouts.
#include "reports/engine/TitleBlock.h"
#include <QDate>
#include <QTime>

namespace kv::rpt {

// Letter paper, 10 mm margins, in the orientation given.
ReportLayout movementLayout(const QString& name, QPageLayout::Orientation o);
struct Column {
    const char* heading;
    double x;
    const char* field;
};
// Headings in bold, 4.2 mm from the top of their band, and the detail fields under them,
// each kept to its column (fitColumns).
void addColumns(ReportLayout& l, std::initializer_list<Column> cols, double headerHeight);
// Gives every detail field without a width the room up to the next column.
void fitColumns(ReportLayout& l);

struct RangoAsistencia {
    QDate desde, hasta;
    int gradoDesde = 0, gradoHasta = 0;
};

// Dates go into the statements as 'mm/dd/yyyy', categories as decimal integers.
QString FechaSQL(const QDate& d);
QString SQLAsistentes(const RangoAsistencia& r);
QString SQLInasistentes(const RangoAsistencia& r);
ReportLayout TfrmRptAsistieron(const TitleBlock& t, const QString& anio);
// Title line: `titulo` + " desde " + first day + " hasta " + last day (short dates).
ReportLayout TfrmRptFaltaron(const TitleBlock& t, const QString& titulo, const QDate& desde, const QDate& hasta);

struct RangoEntradasSalidas {
    QDate desde, hasta;
    QTime horaDesde{1, 0, 0}, horaHasta{23, 59, 59};
    int gradoDesde = 0, gradoHasta = 0;
    bool visitantes = false;
};
QString SQLEntradasSalidas(const RangoEntradasSalidas& r);
QString TituloEntradasSalidas(bool visitantes);
// "CC", "TI", "CE", "RC" for 1, 2, 3, 5; nothing for any other number or an empty value.
QString AbreviaturaTipoDoc(const QString& valor);
ReportLayout TfrmRptEntradasSalidas(const TitleBlock& t, const QString& titulo);

// The person's code is bound to the one ? of the statement.
QString SQLUnaPersona();
// A reason text as memo lines: one line per line break (CR LF, LF or CR); an empty text
// is one empty line.
QStringList LineasMemo(const QString& detalle);
ReportLayout TfrmRptInformeUnEstudiante(const TitleBlock& t, const QString& nombre);

} // namespace kv::rpt
