#pragma once
// A data-aware grid: shows a table cursor, keeps its current row in step with the
// cursor both ways, and edits, inserts and deletes rows through it.
#include "data/CursorModel.h"
#include <QTableView>
#include <functional>

namespace kv {

class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);
    void setDataSet(TableCursor* cursor, const QVector<GridColumn>& columns = {});
    TableCursor* dataSet() const;
    CursorModel* cursorModel() const { return model_; }

    void setColumnReadOnly(int col, bool ro);
    void setGridReadOnly(bool ro);
    // Insert key / Down on the last row start a new row; Ctrl+Delete deletes after asking.
    void setAllowInsert(bool on) { allowInsert_ = on; }
    void setAllowDelete(bool on) { allowDelete_ = on; }
    // Called for every key press before the grid acts; return true to discard the key.
    void setKeyFilter(std::function<bool(QKeyEvent*)> f) { keyFilter_ = std::move(f); }

    // The cell being typed goes into the row now, before the row is stored by a navigator
    // or a button (they take no focus from it); false, after saying why, when the field
    // refuses it.
    bool commitOpenEditor();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void followCursor();
    void applyWidths();
    // Stores (or drops, when nothing was typed) the row being edited before the grid moves
    // to `row`; false, after the message, when it is refused: the grid stays on it.
    bool leaveRow(int row);
    CursorModel* model_ = nullptr;
    bool syncing_ = false;
    bool allowInsert_ = false;
    bool allowDelete_ = false;
    bool refused_ = false;       // the last commit of the cell editor was refused
    bool showingRefusal_ = false;
    bool committing_ = false;    // inside the view's commit of the cell editor
    bool storing_ = false;       // the cursor is storing its row
    std::function<bool(QKeyEvent*)> keyFilter_;
};

} // namespace kv
