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
    // Turning a source on over an open table reports its state and data once, so the
    // windows bound to it show the current row right away.
    void setEnabled(bool on);
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
