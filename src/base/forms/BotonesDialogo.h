#pragma once
// The "&Aceptar" / "&Cancelar" (or "&Salir") row that closes the dialogs of the program.
#include <QDialogButtonBox>   // callers place it in their layouts: the whole type
#include <QString>

class QDialog;
class QPushButton;

namespace kv {

struct BotonesDialogo {
    QDialogButtonBox* caja = nullptr;   // to be placed in the dialog's layout
    QPushButton* aceptar = nullptr;     // "BtnAceptar"; the dialog connects its clicked()
    QPushButton* cerrar = nullptr;      // rejects the dialog, as Esc does
};

// Builds the row in `dialogo`. Aceptar only runs the dialog's own handler, which decides
// whether the dialog closes. With aceptarPorDefecto, Enter in any box presses Aceptar;
// without it Enter presses no button at all, not even the one that has the focus.
BotonesDialogo CrearBotonesDialogo(QDialog* dialogo, const QString& textoCerrar, const QString& nombreCerrar,
                                   bool aceptarPorDefecto);

} // namespace kv
