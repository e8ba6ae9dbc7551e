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
    if (auto* b = shell_.component<QPushButton>(QStringLiteral("BtnSabana"))) {
        b->setEnabled(true);
        connect(b, &QPushButton::clicked, this, &SabanaCommands::BtnSabanaClick);
    }
}

void SabanaCommands::BtnSabanaClick()
{
    if (!AccesoPermitido() || !DM) return;
    // No automatic exit or upload runs while persons are being edited, and the main
    // window does not follow the grid's every row.
    QTimer* timer = shell_.component<QTimer>(QStringLiteral("Timer1"));
    DataSource* ds = shell_.component<DataSource>(QStringLiteral("DSEstudiantes"));
    const bool timerActivo = timer && timer->isActive();
    const bool dsActivo = ds && ds->isEnabled();
    if (timer) timer->stop();
    if (ds) ds->setEnabled(false);
    try {
        TfrmSabana frm(shell_.shellWindow(), DM->TblEstudiantes);
        frm.exec();
    } catch (const std::exception&) {
        kv::MostrarExcepcion();
    }
    if (ds) ds->setEnabled(dsActivo);
    if (timer && timerActivo) timer->start();
}

} // namespace kv
