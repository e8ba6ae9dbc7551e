#pragma once
// A box that writes a field of a site's table takes no more characters than the field holds.
#include "data/Schema.h"
#include <QLineEdit>

namespace kv {

inline void LimitarAlCampo(QLineEdit* box, const QString& table, const QString& field)
{
    if (const int w = fieldWidth(table, field); w > 0) box->setMaxLength(w);
}

} // namespace kv
