#include "reports/forms/AsistenciaCommands.h"
#include "reports/forms/TfrmInformesAsistencia.h"
#include "settings/TConfig.h"
#include "base/forms/ErrorDisplay.h"
#include "base/forms/MainShell.h"
#include <QAction>

namespace {

QAction* agregar(QMenu* menu, const char* name, const QString& caption)
{
    auto* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

} // namespace

AsistenciaCommands::AsistenciaCommands(kv::MainShell& shell, QObject* parent) : QObject(parent), shell_(shell)
{
    setObjectName(QStringLiteral("AsistenciaCommands"));
    QMenu* informes = shell_.shellMenu(QStringLiteral("Informes"));
    informes->addSeparator();
    LlegadasTarde1 = agregar(informes, "LlegadasTarde1", QStringLiteral("Llegadas tarde"));
    InasistenciasConsecutivas1 =
        agregar(informes, "InasistenciasConsecutivas1", QStringLiteral("Inasistencias consecutivas"));
    AsistenciaPorDia1 = agregar(informes, "AsistenciaPorDia1", QStringLiteral("Asistencia por día"));
    connect(LlegadasTarde1, &QAction::triggered, this, &AsistenciaCommands::LlegadasTarde1Click);
    connect(InasistenciasConsecutivas1, &QAction::triggered, this, &AsistenciaCommands::InasistenciasConsecutivas1Click);
    connect(AsistenciaPorDia1, &QAction::triggered, this, &AsistenciaCommands::AsistenciaPorDia1Click);
}

template <typename Dialog>
void AsistenciaCommands::abrir()
{
    if (enCurso_) return;
    enCurso_ = true;
    try {
        Dialog dlg(shell_.shellWindow());
        dlg.exec();
    } catch (...) {
        kv::MostrarExcepcion();
    }
    enCurso_ = false;
}

void AsistenciaCommands::LlegadasTarde1Click() { abrir<TfrmLlegadasTarde>(); }
void AsistenciaCommands::InasistenciasConsecutivas1Click() { abrir<TfrmInasistenciasConsecutivas>(); }
void AsistenciaCommands::AsistenciaPorDia1Click() { abrir<TfrmAsistenciaDiaria>(); }
