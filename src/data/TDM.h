#pragma once
// The data module: the table components the main window and the dialogs share, so a
// row posted in a dialog shows at once in the main window's grids.
#include "data/TableCursor.h"

namespace kv {

// The tables directory of the chosen site; every table and statement points at it.
QString TablesDir();
void SetTablesDir(const QString& dir);

class TDM : public QObject {
    Q_OBJECT
public:
    explicit TDM(QObject* parent = nullptr);
    ~TDM() override;

    // Points the eleven components at the tables directory and opens them in the fixed
    // order. A table that cannot be opened raises DbError; those opened before stay open.
    void OpenTables();
    void CloseTables();
    QList<TableCursor*> tables() const;   // in the order of opening

    TableCursor* TblAbaMaterias;
    TableCursor* TblGrupos;
    TableCursor* TblAbaProfesores;
    TableCursor* TblAbaGrados;
    TableCursor* TblEstudiantes;
    TableCursor* TblMovMat;
    TableCursor* TblPeriodos;
    TableCursor* TblDependencias;
    TableCursor* TblEntradasSalidas;
    TableCursor* TblVisitantes;
    TableCursor* TblConsultantes;
};

// The single instance, made at start-up (nullptr before).
extern TDM* DM;

} // namespace kv
