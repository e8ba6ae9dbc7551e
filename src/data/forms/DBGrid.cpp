#include "data/forms/DBGrid.h"
#include "base/forms/ErrorDisplay.h"
#include "base/Messages.h"
#include "data/forms/FieldLimits.h"
#include <QApplication>
#include <QHeaderView>
#include <QTimer>
#include <QStyle>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QPointer>

namespace kv {

namespace {
// The cell editor takes no more characters than the column's field holds.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
        auto* box = qobject_cast<QLineEdit*>(w);
        auto* model = qobject_cast<const CursorModel*>(index.model());
        if (box && model && model->fieldWidth(index.column()) > 0) LimitarLargo(box, model->fieldWidth(index.column()));
        editor_ = w;
        editorColumn_ = index.column();
        return w;
    }
    // The last editor opened; null once it is gone.
    mutable QPointer<QWidget> editor_;
    mutable int editorColumn_ = 0;
};
} // namespace

DBGrid::DBGrid(QWidget* parent) : QTableView(parent)
{
    setItemDelegate(new CellDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setHighlightSections(false);
}

void DBGrid::setDataSet(TableCursor* cursor, const QVector<GridColumn>& columns)
{
    if (model_) model_->deleteLater();
    model_ = new CursorModel(cursor, this);
    model_->setColumns(columns);
    setModel(model_);
    applyWidths();
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { applyWidths(); followCursor(); });
    connect(cursor, &TableCursor::dataChanged, this, [this](const QString& field) { if (field.isEmpty()) followCursor(); });
    connect(cursor, &TableCursor::stateChanged, this, [this] { followCursor(); });
    // While the row is being stored (by a navigator, a button) the grid's rows are read
    // anew; the current row that moves meanwhile must not store it a second time.
    connect(cursor, &TableCursor::beforePost, this, [this] {
        storing_ = true;
        QTimer::singleShot(0, this, [this] { storing_ = false; });
    });
    followCursor();
}

TableCursor* DBGrid::dataSet() const { return model_ ? model_->cursor() : nullptr; }

void DBGrid::applyWidths()
{
    if (!model_) return;
    // Never narrower than the heading: a cut heading names no field.
    const QHeaderView* h = horizontalHeader();
    const int margin = 2 * h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h) + 6;
    for (int i = 0; i < model_->columns().size(); ++i) {
        const GridColumn& c = model_->columns()[i];
        setColumnWidth(i, qMax(c.width, h->fontMetrics().horizontalAdvance(c.heading) + margin));
    }
}

void DBGrid::setColumnReadOnly(int col, bool ro) { if (model_) model_->setColumnReadOnly(col, ro); }
void DBGrid::setGridReadOnly(bool ro)
{
    if (model_) model_->setReadOnly(ro);
    setEditTriggers(ro ? QAbstractItemView::NoEditTriggers
                       : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
}

void DBGrid::followCursor()
{
    TableCursor* c = dataSet();
    if (!c || syncing_ || !c->isActive()) return;
    const int row = c->state() == DataSetState::Insert ? c->recordCount() : c->currentRow();
    if (row < 0 || row >= model_->rowCount()) return;
    const QModelIndex cur = currentIndex();
    if (cur.isValid() && cur.row() == row) return;
    syncing_ = true;
    setCurrentIndex(model_->index(row, qMax(0, cur.column())));
    syncing_ = false;
}

bool DBGrid::commitOpenEditor()
{
    auto* delegate = dynamic_cast<CellDelegate*>(itemDelegate());
    // The cell editor is where the keys go (a navigator's button takes no focus).
    QWidget* editor = QApplication::focusWidget();
    if (!editor || !viewport()->isAncestorOf(editor)) editor = delegate ? delegate->editor_.data() : nullptr;
    if (committing_ || showingRefusal_ || !editor || !viewport()->isAncestorOf(editor) || !model_) return true;
    while (editor->parentWidget() && editor->parentWidget() != viewport()) editor = editor->parentWidget();
    // The view may have lost track of the editor when the rows were read anew (a new row
    // taking its place): its cell is the current one.
    committing_ = true;
    const int col = editor == delegate->editor_.data() ? delegate->editorColumn_ : currentIndex().column();
    itemDelegate()->setModelData(editor, model_, model_->index(currentIndex().row(), col));
    committing_ = false;
    if (const QString error = model_->lastError(); !error.isEmpty()) {
        // The cell stays open with what was typed, to mend it or cancel it (Esc).
        showingRefusal_ = true;
        Messages::instance().showError(error);
        showingRefusal_ = false;
        QPointer<QWidget> keep(editor);
        if (keep) keep->setFocus();
        return false;
    }
    if (state() == QAbstractItemView::EditingState) QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    editor->hide();
    editor->deleteLater();
    setFocus();
    return true;
}

bool DBGrid::leaveRow(int row)
{
    TableCursor* c = dataSet();
    if (!c || !c->isActive()) return true;
    if (c->state() == DataSetState::Edit && row == c->currentRow()) return true;
    if (c->state() == DataSetState::Insert && row == c->recordCount()) return true;
    if (!commitOpenEditor()) return false;
    if (c->state() == DataSetState::Browse) return true;
    try {
        if (c->state() == DataSetState::Insert) {
            // leaving a new row: keep it when something was typed, drop it otherwise
            bool typed = false;
            for (const QVariant& v : c->editBuffer()) if (v.isValid() && !v.isNull()) typed = true;
            if (typed) c->post(); else c->cancel();
        } else {
            c->post();
        }
    } catch (const std::exception& e) {
        // The row keeps what was typed and the grid stays on it; the next move tries again.
        showingRefusal_ = true;
        Messages::instance().showError(QString::fromUtf8(e.what()));
        showingRefusal_ = false;
        return false;
    }
    return true;
}

QModelIndex DBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex target = QTableView::moveCursor(action, modifiers);
    const QModelIndex cur = currentIndex();
    if (!target.isValid() || !cur.isValid() || target.row() == cur.row()) return target;
    if (!leaveRow(target.row())) return currentIndex();
    // The stored row may have changed the rows (a new row in its place): ask again.
    return QTableView::moveCursor(action, modifiers);
}

void DBGrid::mousePressEvent(QMouseEvent* e)
{
    const QModelIndex at = indexAt(e->position().toPoint());
    if (at.isValid() && currentIndex().isValid() && at.row() != currentIndex().row() && !leaveRow(at.row())) {
        e->accept();
        return;
    }
    QTableView::mousePressEvent(e);
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    TableCursor* c = dataSet();
    if (syncing_ || storing_ || !c || !c->isActive() || !current.isValid()) return;
    if (previous.isValid() && current.row() == previous.row()) return;
    syncing_ = true;
    try {
        if (c->state() == DataSetState::Insert && current.row() != c->recordCount()) {
            // leaving a new row: keep it when something was typed, drop it otherwise
            bool typed = false;
            for (const QVariant& v : c->editBuffer()) if (v.isValid() && !v.isNull()) typed = true;
            if (typed) c->post(); else c->cancel();
        }
        if (current.row() < c->recordCount()) c->setRecNo(current.row() + 1);
    } catch (const std::exception&) {
        syncing_ = false;
        kv::MostrarExcepcion();
        followCursor();
        return;
    }
    syncing_ = false;
}

// A refused value keeps the cell in edit with the typed text, after its message; the next
// attempt starts clean.
void DBGrid::commitData(QWidget* editor)
{
    if (showingRefusal_ || committing_) return;   // the message box took the focus from the editor
    refused_ = false;
    committing_ = true;
    QTableView::commitData(editor);
    committing_ = false;
    if (!model_ || model_->lastError().isEmpty()) return;
    refused_ = true;
    showingRefusal_ = true;
    Messages::instance().showError(model_->lastError());
    showingRefusal_ = false;
    QPointer<QWidget> keep(editor);
    if (keep) keep->setFocus();
}

void DBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (showingRefusal_) return;
    if (refused_ && hint != QAbstractItemDelegate::RevertModelCache) {
        refused_ = false;
        return;
    }
    refused_ = false;
    QTableView::closeEditor(editor, hint);
}

void DBGrid::keyPressEvent(QKeyEvent* e)
{
    if (keyFilter_ && keyFilter_(e)) return;
    TableCursor* c = dataSet();
    if (c && c->isActive()) {
        try {
            if (e->key() == Qt::Key_Insert && allowInsert_) { c->append(); return; }
            if (e->key() == Qt::Key_Down && allowInsert_ && c->state() == DataSetState::Browse
                && (c->isEmpty() || c->currentRow() == c->recordCount() - 1)) {
                c->append();
                return;
            }
            if (e->key() == Qt::Key_Escape && c->state() != DataSetState::Browse) { c->cancel(); return; }
            if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && state() != QAbstractItemView::EditingState
                && c->state() != DataSetState::Browse) {
                c->post();
                return;
            }
            if (e->key() == Qt::Key_Delete && (e->modifiers() & Qt::ControlModifier) && allowDelete_) {
                if (c->state() == DataSetState::Insert) { c->cancel(); return; }
                if (!c->isEmpty()
                    && Messages::instance().askYesNo(QStringLiteral("¿Borrar el registro?"),
                                                     QStringLiteral("El registro seleccionado se borrará."))) {
                    c->deleteRecord();
                }
                return;
            }
        } catch (const std::exception&) {
            kv::MostrarExcepcion();
            return;
        }
    }
    QTableView::keyPressEvent(e);
}

} // namespace kv
