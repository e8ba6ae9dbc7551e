#include "base/forms/QtMessages.h"
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace kv {

static QMessageBox::Icon toIcon(MsgIcon i)
{
    switch (i) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::Error: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

void QtMessages::showMessage(const QString& text, const QString& caption, MsgIcon icon)
{
    QMessageBox box(toIcon(icon), caption.isEmpty() ? QApplication::applicationDisplayName() : caption, text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool QtMessages::askYesNo(const QString& title, const QString& text, MsgIcon icon)
{
    QMessageBox box(toIcon(icon), title, text, QMessageBox::NoButton, QApplication::activeWindow());
    QPushButton* yes = box.addButton(QStringLiteral("&Sí"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace kv
