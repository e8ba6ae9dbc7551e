#pragma once
// The report commands of the main window: "Informes" (attendance, entries and exits, one
// person) and "Planillas y formatos" (one list previewed, or one list per subject printed).
#include <QObject>

class QAction;
class QLineEdit;
namespace kv { class MainShell; }

class ReportCommands : public QObject {
    Q_OBJECT
public:
    ReportCommands(kv::MainShell& shell, QObject* parent);

public slots:
    void AsistentesInasistentes1Click();
    void EntradasYSalidas1Click();
    void ConsultarUnaPersona1Click();
    void UnaCategoria1Click();
    void UnGrupo1Click();

private:
    QAction* enable(const char* name, void (ReportCommands::*slot)());
    kv::MainShell& shell_;
    const QLineEdit* anio_ = nullptr;   // the main window's working year
    bool enCurso_ = false;   // one report command at a time (their previews are modal)
};
