#pragma once
// A data source: passes a cursor's notifications on to windows, only while enabled.
#include "data/TableCursor.h"
#include <QPointer>

namespace kv {

class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject* parent = nullptr) : QObject(parent) {}
    void setDataSet(TableCursor* cursor);
    TableCursor* dataSet() const { return cursor_; }
    void setEnabled(bool on) { enabled_ = on; }
    bool isEnabled() const { return enabled_; }

signals:
    void dataChange(const QString& fieldName);
    void stateChange();
    void updateData();     // before every post of the cursor's row

private:
    QPointer<TableCursor> cursor_;
    bool enabled_ = true;
    QList<QMetaObject::Connection> conns_;
};

} // namespace kv
