#pragma once
// Item model over a table cursor for data-aware grids: the grid's current row follows
// the cursor and edits are posted through it.
#include "data/TableCursor.h"
#include <QAbstractTableModel>
#include <QPointer>

namespace kv {

struct GridColumn {
    QString field;
    QString heading;
    int width = 80;
    bool readOnly = false;
};

class CursorModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CursorModel(TableCursor* cursor, QObject* parent = nullptr);
    void setColumns(const QVector<GridColumn>& cols);   // empty = every field of the table
    const QVector<GridColumn>& columns() const { return cols_; }
    void setColumnReadOnly(int col, bool ro);
    void setReadOnly(bool ro) { readOnly_ = ro; }
    TableCursor* cursor() const { return cursor_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A value the cursor refuses (a bad number, a repeated key) returns false and leaves the
    // refusal in lastError(); no error escapes into the view's commit of the cell editor.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QString lastError() const { return lastError_; }
    // Characters the column's field holds; 0 when unlimited.
    int fieldWidth(int col) const;

private:
    QPointer<TableCursor> cursor_;
    QVector<GridColumn> cols_;
    bool readOnly_ = false;
    bool hadInsertRow_ = false;
    QString lastError_;
};

} // namespace kv
