#include "data/TDM.h"

namespace kv {

TDM* DM = nullptr;

namespace {
QString& tablesDirSlot()
{
    static QString dir;
    return dir;
}
} // namespace

QString TablesDir() { return tablesDirSlot(); }
void SetTablesDir(const QString& dir) { tablesDirSlot() = dir; }

TDM::TDM(QObject* parent) : QObject(parent)
{
    auto make = [this](const char* name, const char* table, const char* order = "") {
        auto* t = new TableCursor(QString::fromLatin1(table), this);
        t->setObjectName(QString::fromLatin1(name));
        t->setIndexFieldNames(QString::fromLatin1(order));
        return t;
    };
    // Key order of the tables, as the grids list them.
    TblAbaMaterias = make("TblAbaMaterias", "AbaMaterias", "IGrado;IMateria");
    TblGrupos = make("TblGrupos", "Grupos", "IGrado;IGrupo");
    TblAbaProfesores = make("TblAbaProfesores", "AbaProfesores", "IProfesor");
    TblAbaGrados = make("TblAbaGrados", "AbaGrados", "IGrado");
    TblEstudiantes = make("TblEstudiantes", "Estudiantes", "IGrado;IGrupo;IEstudiante");
    TblMovMat = make("TblMovMat", "MovMat", "IGrado;IGrupo;IMateria");
    TblPeriodos = make("TblPeriodos", "periodos");
    TblDependencias = make("TblDependencias", "dependencias");
    TblEntradasSalidas = make("TblEntradasSalidas", "entradasSalidas");
    TblVisitantes = make("TblVisitantes", "visitantes");
    TblConsultantes = make("TblConsultantes", "consultantes");
    if (!DM) DM = this;
}

TDM::~TDM()
{
    if (DM == this) DM = nullptr;
}

QList<TableCursor*> TDM::tables() const
{
    return {TblAbaMaterias, TblGrupos, TblAbaProfesores, TblAbaGrados, TblEstudiantes, TblMovMat,
            TblPeriodos, TblDependencias, TblEntradasSalidas, TblVisitantes, TblConsultantes};
}

void TDM::OpenTables()
{
    for (TableCursor* t : tables()) t->setDirectory(TablesDir());
    for (TableCursor* t : tables()) t->open();
}

void TDM::CloseTables()
{
    for (TableCursor* t : tables()) t->close();
    Database::closeAll();
}

} // namespace kv
