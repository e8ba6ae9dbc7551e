#include "data/DataSource.h"

namespace kv {

void DataSource::setDataSet(TableCursor* cursor)
{
    for (const auto& c : conns_) disconnect(c);
    conns_.clear();
    cursor_ = cursor;
    if (!cursor) return;
    conns_ << connect(cursor, &TableCursor::dataChanged, this, [this](const QString& f) { if (enabled_) emit dataChange(f); });
    conns_ << connect(cursor, &TableCursor::stateChanged, this, [this] { if (enabled_) emit stateChange(); });
    conns_ << connect(cursor, &TableCursor::beforePost, this, [this] { if (enabled_) emit updateData(); });
}

void DataSource::setEnabled(bool on)
{
    if (on == enabled_) return;
    enabled_ = on;
    if (on && cursor_ && cursor_->isActive()) {
        emit stateChange();
        emit dataChange(QString());
    }
}

} // namespace kv
