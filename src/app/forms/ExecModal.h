#pragma once
// Shows a dialog modally unless the program is ending: with a quit request pending the
// dialog is not shown and counts as cancelled, so start-up runs to its end quietly.
#include "platform/QuitRequest.h"
#include <QDialog>

namespace kv {

inline int ExecModal(QDialog& d)
{
    if (QuitPending()) return QDialog::Rejected;
    const int r = d.exec();
    if (QuitPending()) {
        d.hide();   // the quit ended the dialog's loop without closing it
        return QDialog::Rejected;
    }
    return r;
}

} // namespace kv
