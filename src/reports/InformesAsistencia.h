#pragma once
// The statements of three attendance reports: late arrivals, runs of consecutive absences
// and the attendance of each school day. Each is one set-based statement run through the
// statement runner on the caller's query, so the query holds the rows the report prints.
//
// A school day is a day on which the site recorded at least one entry of a person (not a
// visitor badge): holidays and weekends without entries are no days at all. The persons
// counted as expected at school are those of the category range that are not suspended
// (a suspended code cannot come in, so it would always show as absent).
#include "reports/MovementReports.h"

namespace kv {
class Query;
}

namespace kv::rpt {

// Both ranges of RangoAsistencia are inclusive; a first day after the last or a lower
// category above the upper one gives no rows.

// Every person's first entry of each day that comes after `horaEntrada` (the hour itself is
// on time). Columns: igrado, igrupo, codigo, nestudiante, fecha, hora, minutos (late, a
// started minute counts whole), llegadas and minutosTotal (the person's count and sum over
// the range, on each of their rows). Ordered by category, group, name, code and day.
void ConsultarLlegadasTarde(const QString& tablesDir, Query& q, const RangoAsistencia& r,
                            const QTime& horaEntrada);

// Persons absent on at least `minimoDias` consecutive school days up to the last school day
// of the range (values below 1 count as 1). Columns: igrado, igrupo, codigo, docident,
// nestudiante, acudiente, telefacudiente, telefestud, dias, desde (first day of the run).
// Ordered by dias, most first, then category, group and name.
void ConsultarInasistenciasConsecutivas(const QString& tablesDir, Query& q, const RangoAsistencia& r,
                                        int minimoDias);

// For each school day of the range, one row per category of the range (those of AbaGrados
// and those that persons carry) and one row for all of them together (igrado NULL, after
// the categories). Columns: fecha, igrado, personas, presentes (at least one entry that day),
// porcentaje (share of presentes in personas, 0-100 rounded to one decimal; NULL when the
// category has no persons). Ordered by day, then category.
void ConsultarAsistenciaPorDia(const QString& tablesDir, Query& q, const RangoAsistencia& r);

} // namespace kv::rpt
