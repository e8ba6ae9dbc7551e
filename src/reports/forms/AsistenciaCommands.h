#pragma once
// The commands "Llegadas tarde", "Inasistencias consecutivas" and "Asistencia por día" of
// the main window's menu "Informes", open to every user level.
#include <QObject>

class QAction;
namespace kv { class MainShell; }

class AsistenciaCommands : public QObject {
    Q_OBJECT
public:
    AsistenciaCommands(kv::MainShell& shell, QObject* parent);

    QAction* LlegadasTarde1;
    QAction* InasistenciasConsecutivas1;
    QAction* AsistenciaPorDia1;

public slots:
    void LlegadasTarde1Click();
    void InasistenciasConsecutivas1Click();
    void AsistenciaPorDia1Click();

private:
    template <typename Dialog>
    void abrir();
    kv::MainShell& shell_;
    bool enCurso_ = false;   // one dialog at a time
};
