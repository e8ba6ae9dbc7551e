#include "data/Query.h"
#include "data/TableCursor.h"
#include "register/Register.h"

namespace kv {

namespace {

template <typename DataSet>
ComboFill fill(DataSet& ds, const QString& campo, const QString& campo2, const QStringList& existing)
{
    ComboFill r;
    ds.first();
    if (ds.recordCount() == 0) return r;
    r.text = ds.fieldByName(campo).asString();
    if (!campo2.isEmpty()) r.text += QLatin1Char(':') + ds.fieldByName(campo2).asString();
    const int n = ds.recordCount();
    for (int i = 0; i < n; ++i) {
        if (i > 0) ds.next();
        const QString v = ds.fieldByName(campo).asString();
        if (!existing.contains(v) && !r.items.contains(v)) r.items << v;
    }
    return r;
}

} // namespace

ComboFill LlenarCombo(Query& ds, const QString& campo, const QString& campo2, const QStringList& existing)
{
    return fill(ds, campo, campo2, existing);
}

ComboFill LlenarCombo(TableCursor& ds, const QString& campo, const QString& campo2, const QStringList& existing)
{
    return fill(ds, campo, campo2, existing);
}

} // namespace kv
