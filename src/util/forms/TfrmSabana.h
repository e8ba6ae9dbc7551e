#pragma once
// "Sábana": every person of the site in one editable grid, with ages recomputed from the
// dates of birth and the export to a spreadsheet. Works on the persons table the main
// window shows, with its filter to the current category and group.
#include "data/TableCursor.h"
#include <QDialog>
#include <QPointer>

class QButtonGroup;
class QGroupBox;
class QKeyEvent;
class QPushButton;
class QRadioButton;

namespace kv { class DBGrid; }

class TfrmSabana : public QDialog {
    Q_OBJECT
public:
    TfrmSabana(QWidget* parent, kv::TableCursor* personas);

    kv::DBGrid* DBGrid1 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;      // "Opciones": item 0 the current group, 1 everybody
    QButtonGroup* RadioGroup1Items = nullptr;
    QPushButton* btnExportarExcel = nullptr;
    QPushButton* btnActEdad = nullptr;

    int filaApertura() const { return filaApertura_; }

public slots:
    void btnExportarExcelClick();
    void btnActEdadClick();
    void RadioGroup1Click(int item);
    bool DBGrid1KeyDown(QKeyEvent* e);     // true = key discarded

public:
    void done(int r) override;

private:
    bool guardarFila();                    // posts a pending edit; false (after saying why) when refused
    QPointer<kv::TableCursor> personas_;
    int filaApertura_ = 0;                 // record number of the last row when the window opened
};
