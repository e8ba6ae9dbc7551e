#include "register/forms/LlenarComboBox.h"
#include "data/Query.h"
#include "data/TableCursor.h"
#include <QComboBox>
#include <QLineEdit>

namespace {

QStringList itemsOf(const QComboBox* cb)
{
    QStringList l;
    for (int i = 0; i < cb->count(); ++i) l << cb->itemText(i);
    return l;
}

void apply(QComboBox* cb, const kv::ComboFill& f)
{
    cb->addItems(f.items);
    if (f.text.isEmpty() && f.items.isEmpty()) return;
    const int i = cb->findText(f.text, Qt::MatchExactly);
    if (i >= 0) cb->setCurrentIndex(i);
    else if (cb->isEditable()) cb->setEditText(f.text);
}

} // namespace

void LlenarComboBox(QComboBox* cb, kv::Query& ds, const QString& campo, const QString& campo2)
{
    apply(cb, kv::LlenarCombo(ds, campo, campo2, itemsOf(cb)));
}

void LlenarComboBox(QComboBox* cb, kv::TableCursor& ds, const QString& campo, const QString& campo2)
{
    apply(cb, kv::LlenarCombo(ds, campo, campo2, itemsOf(cb)));
}
