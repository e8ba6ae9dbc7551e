#include "base/forms/BotonesDialogo.h"
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

namespace kv {

BotonesDialogo CrearBotonesDialogo(QDialog* dialogo, const QString& textoCerrar, const QString& nombreCerrar,
                                   bool aceptarPorDefecto)
{
    BotonesDialogo b;
    b.caja = new QDialogButtonBox(dialogo);
    // A button box makes its first accept-role button the default when it is shown; a
    // dialog where Enter must press nothing gives Aceptar the action role instead.
    b.aceptar = b.caja->addButton(QStringLiteral("&Aceptar"),
                                  aceptarPorDefecto ? QDialogButtonBox::AcceptRole : QDialogButtonBox::ActionRole);
    b.aceptar->setObjectName(QStringLiteral("BtnAceptar"));
    b.aceptar->setAutoDefault(false);
    b.aceptar->setDefault(aceptarPorDefecto);
    b.cerrar = b.caja->addButton(textoCerrar, QDialogButtonBox::RejectRole);
    b.cerrar->setObjectName(nombreCerrar);
    b.cerrar->setAutoDefault(false);
    QObject::connect(b.caja, &QDialogButtonBox::rejected, dialogo, &QDialog::reject);
    return b;
}

} // namespace kv
