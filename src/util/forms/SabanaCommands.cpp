#include "util/forms/SabanaCommands.h"
#include "base/forms/ErrorDisplay.h"
#include "data/DataSource.h"
#include "data/TDM.h"
#include "settings/forms/Acceso.h"
#include "base/Messages.h"
#include "util/forms/TfrmSabana.h"
#include <QPushButton>
#include <QTimer>

namespace kv {

SabanaCommands::SabanaCommands(MainShell& shell, QObject* parent) : QObject(parent), shell_(shell)
{
    auto* b = shell_.required<QPushButton>(QStringLiteral("BtnSabana"));
    b->setEnabled(true);
    connect(b, &QPushButton::clicked, this, &SabanaCommands::BtnSabanaClick);
    timer_ = shell_.required<QTimer>(QStringLiteral("Timer1"));
    ds_ = shell_.required<DataSource>(QStringLiteral("DSEstudiantes"));
}

void SabanaCommands::BtnSabanaClick()
{
    if (!AccesoPermitido() || !DM) return;
    // No automatic exit or upload runs while persons are being edited, and the main
    // window does not follow the grid's every row.
    const bool timerActivo = timer_->isActive();
    const bool dsActivo = ds_->isEnabled();
    timer_->stop();
    ds_->setEnabled(false);
    try {
        TfrmSabana frm(shell_.shellWindow(), DM->TblEstudiantes);
        frm.exec();
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
    ds_->setEnabled(dsActivo);
    if (timerActivo) timer_->start();
}

} // namespace kv
