#include "data/CursorModel.h"
#include "data/Schema.h"
#include <QSize>

namespace kv {

CursorModel::CursorModel(TableCursor* cursor, QObject* parent) : QAbstractTableModel(parent), cursor_(cursor)
{
    connect(cursor, &TableCursor::rowsReset, this, [this] { beginResetModel(); hadInsertRow_ = cursor_ && cursor_->state() == DataSetState::Insert; endResetModel(); });
    connect(cursor, &TableCursor::rowInserted, this, [this](int row) {
        // a row stored while another is being inserted: simplest to start over
        beginResetModel();
        hadInsertRow_ = cursor_->state() == DataSetState::Insert;
        endResetModel();
        Q_UNUSED(row);
    });
    connect(cursor, &TableCursor::stateChanged, this, [this] {
        const bool ins = cursor_ && cursor_->state() == DataSetState::Insert;
        if (ins != hadInsertRow_) { beginResetModel(); hadInsertRow_ = ins; endResetModel(); }
        else if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    });
    connect(cursor, &TableCursor::dataChanged, this, [this](const QString& field) {
        if (!cursor_ || field.isEmpty()) return;
        const int row = cursor_->state() == DataSetState::Insert ? cursor_->recordCount() : cursor_->currentRow();
        if (row >= 0 && row < rowCount()) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void CursorModel::setColumns(const QVector<GridColumn>& cols)
{
    beginResetModel();
    cols_ = cols;
    endResetModel();
}

void CursorModel::setColumnReadOnly(int col, bool ro)
{
    if (col >= 0 && col < cols_.size()) cols_[col].readOnly = ro;
}

int CursorModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !cursor_ || !cursor_->isActive()) return 0;
    return cursor_->recordCount() + (cursor_->state() == DataSetState::Insert ? 1 : 0);
}

int CursorModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    if (!cols_.isEmpty()) return cols_.size();
    return cursor_ ? cursor_->columns().size() : 0;
}

static QString fieldOf(const CursorModel& m, int col)
{
    if (!m.columns().isEmpty()) return m.columns()[col].field;
    return m.cursor()->columns()[col].name;
}

int CursorModel::fieldWidth(int col) const
{
    if (!cursor_ || col < 0 || col >= columnCount()) return 0;
    const QString f = fieldOf(*this, col);
    for (const Column& c : cursor_->columns())
        if (c.name.compare(f, Qt::CaseInsensitive) == 0) return declaredWidth(c.declaredType);
    return 0;
}

QVariant CursorModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !cursor_) return QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole) return QVariant();
    const QString f = fieldOf(*this, index.column());
    const bool insertRow = cursor_->state() == DataSetState::Insert && index.row() == cursor_->recordCount();
    const bool editRow = cursor_->state() == DataSetState::Edit && index.row() == cursor_->currentRow();
    if (insertRow || editRow) return cursor_->fieldByName(f).asString();
    return cursor_->fieldAt(index.row(), f).asString();
}

QVariant CursorModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role == Qt::DisplayRole && o == Qt::Horizontal) {
        if (!cols_.isEmpty() && section < cols_.size()) return cols_[section].heading;
        if (cursor_ && section < cursor_->columns().size()) return cursor_->columns()[section].name;
    }
    if (role == Qt::SizeHintRole && o == Qt::Horizontal && !cols_.isEmpty() && section < cols_.size())
        return QSize(cols_[section].width, 20);
    return QAbstractTableModel::headerData(section, o, role);
}

Qt::ItemFlags CursorModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!index.isValid() || readOnly_) return f;
    if (!cols_.isEmpty() && cols_[index.column()].readOnly) return f;
    return f | Qt::ItemIsEditable;
}

bool CursorModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    lastError_.clear();
    if (role != Qt::EditRole || !cursor_ || !(flags(index) & Qt::ItemIsEditable)) return false;
    const QString f = fieldOf(*this, index.column());
    const bool insertRow = cursor_->state() == DataSetState::Insert && index.row() == cursor_->recordCount();
    try {
        if (!insertRow) {
            if (cursor_->state() == DataSetState::Edit && index.row() != cursor_->currentRow()) cursor_->post();
            if (cursor_->currentRow() != index.row()) cursor_->setRecNo(index.row() + 1);
            if (cursor_->fieldByName(f).asString() == value.toString()) return true;
            cursor_->edit();
        }
        cursor_->setFieldValue(f, value);
    } catch (const std::exception& e) {
        lastError_ = QString::fromUtf8(e.what());
        return false;
    }
    emit dataChanged(index, index);
    return true;
}

} // namespace kv
