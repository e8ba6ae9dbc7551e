#pragma once
// The lists of a group ("planillas"): persons in name order with blank cells for marks.
#include "reports/engine/ReportLayout.h"

namespace kv::rpt {

// Persons of one group: binds the category (?1) and the group code (?2).
QString SQLPlanilla(bool incluirCancelados);

// MovMat: who gives this subject to this group. False when no row assigns it.
bool BuscarAsignacion(const QString& tablesDir, int grado, const QString& grupo, const QString& materia,
                      QString& iProfesor);
// AbaProfesores: the teacher's name, empty when the code is unknown.
QString NombreProfesor(const QString& tablesDir, const QString& iProfesor);
// AbaMaterias: the subject's name. Code "0" succeeds at once with an empty name.
bool BuscarMateria(const QString& tablesDir, int grado, const QString& materia, QString& nombre);
// The subjects of a category, in the table's order.
QStringList MateriasDeGrado(const QString& tablesDir, int grado);

struct DatosPlanilla {
    int formato = 1;              // 1: first layout; any other value: second layout
    QString colegio;
    QString profesor;             // printed as set (the layout's "*" only when unset)
    bool profesorFijado = false;
    QString materia;              // subject name; empty when unset
    bool materiaFijada = false;
    int grado = 0;                // the category and group asked for: the header of a list
    QString grupo;                // without persons still names them
};

// The layout of the list; the category's name is looked up in the tables directory.
ReportLayout TFrmRptPlanillas(const QString& tablesDir, const DatosPlanilla& d);

} // namespace kv::rpt
