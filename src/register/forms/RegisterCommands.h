#pragma once
// Categories, groups and the persons list of the main window: the grids' keys, the group
// buttons, merge, and what the panes show of the highlighted row.
#include <QObject>
#include <QString>

class QKeyEvent;
class QLabel;
class QPushButton;
class QTabWidget;

namespace kv { class MainShell; class DBGrid; }

class RegisterCommands : public QObject {
    Q_OBJECT
public:
    RegisterCommands(kv::MainShell& shell, QObject* parent);

    void PgGradosChange(int index);
    void DSAbaGradosDataChange(const QString& field);
    void DSAbaGradosStateChange();
    void DSAbaMateriasDataChange(const QString& field);
    void BtnAddGrupoClick();
    void BtnModGrupoClick();
    void BtnBorGrupoClick();
    void BtnFusionarGruposClick();
    void DSEstudiantesDataChange(const QString& field);
    void DSEstudiantesUpdateData();
    bool DBGEstudiantesKeyDown(QKeyEvent* e);   // true = key discarded

private:
    kv::MainShell& shell_;
    QTabWidget* PgGrados_ = nullptr;
    QWidget* TSGrupos_ = nullptr;
    kv::DBGrid* DBGrid1_ = nullptr;
    QLabel* Label8_ = nullptr;
    QLabel* lblSinEstud_ = nullptr;
    QLabel* Image1_ = nullptr;
    QPushButton* btnSuspender_ = nullptr;
};
