#include "publish/forms/PublishCommands.h"
#include "settings/forms/Acceso.h"
#include "data/TDM.h"
#include "publish/forms/TfrmConsultantes.h"
#include "publish/forms/TfrmSubirInternet.h"
#include "settings/forms/Acceso.h"
#include "base/forms/MainShell.h"
#include <QAction>
#include <QPushButton>

namespace kv {

PublishCommands::PublishCommands(MainShell& shell, QObject* parent) : QObject(parent), shell_(shell)
{
    auto* a = shell_.required<QAction>(QStringLiteral("SubirAInternet1"));
    a->setEnabled(true);
    connect(a, &QAction::triggered, this, &PublishCommands::SubirAInternetClick);
    auto* b = shell_.required<QPushButton>(QStringLiteral("btnConsultantes"));
    b->setEnabled(true);
    connect(b, &QPushButton::clicked, this, &PublishCommands::btnConsultantesClick);
}

void PublishCommands::SubirAInternetClick()
{
    TfrmSubirInternet dlg(shell_.shellWindow());
    dlg.exec();
    // The persons list may have been re-read while sending; show the selected group again.
    shell_.ApplyPersonsFilter();
}

void PublishCommands::btnConsultantesClick()
{
    if (!AccesoPermitido()) return;
    TfrmConsultantes dlg(DM ? DM->TblConsultantes : nullptr, shell_.shellWindow());
    dlg.exec();
}

} // namespace kv
