#pragma once
// A table component: a positioned cursor over one table, with filter, locate,
// edit/append/post and notifications that grids and windows bind to.
#include "data/Database.h"
#include <QVector>

namespace kv {

enum class DataSetState { Inactive, Browse, Edit, Insert };

class TableCursor : public QObject {
    Q_OBJECT
public:
    explicit TableCursor(QObject* parent = nullptr);
    TableCursor(const QString& tableName, QObject* parent = nullptr);
    ~TableCursor() override;

    // "Config.db" names table Config: an extension is dropped.
    void setTableName(const QString& name);
    QString tableName() const { return table_; }
    void setDirectory(const QString& dir);           // tables directory (empty = working dir)
    QString directory() const { return dir_; }
    void setDatabase(std::shared_ptr<Database> db);  // e.g. the site list
    std::shared_ptr<Database> database() const { return db_; }
    // Row order: fields joined with ";" (e.g. "IGrado;IGrupo"); empty = order of storage.
    void setIndexFieldNames(const QString& fields);

    void open();              // DbError naming the table when it is missing
    void close();
    bool isActive() const { return state_ != DataSetState::Inactive; }
    DataSetState state() const { return state_; }

    // Navigation (record numbers count from 1).
    void first();
    void next();
    void prior();
    void last();
    void moveBy(int n);
    bool eof() const;
    bool bof() const;
    bool isEmpty() const;
    int recordCount() const;
    int recNo() const;
    void setRecNo(int n);

    // Fields of the current row (or of the row being edited/inserted).
    Field fieldByName(const QString& name) const;
    bool hasField(const QString& name) const;
    QStringList fieldNames() const;
    const QVector<Column>& columns() const { return columns_; }

    void edit();
    void append();
    void setFieldValue(const QString& name, const QVariant& value);
    void post();
    void cancel();
    void deleteRecord();
    void refresh();

    // Exact, case-sensitive search; fields joined with ";" and one value per field.
    bool locate(const QString& fields, const QVariantList& values);

    void setFilter(const QString& expr);
    // A filter whose values are bound to its '?' marks, in order: nothing in a value can
    // change the condition.
    void setFilter(const QString& expr, const QVariantList& params);
    QString filter() const { return filter_; }
    QVariantList filterParams() const { return filterParams_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }

    // For grids: value of a field in a given row (0-based), without moving the cursor.
    QVariant valueAt(int row, const QString& field) const;
    Field fieldAt(int row, const QString& field) const;
    qint64 rowIdAt(int row) const;
    int currentRow() const { ensureLoaded(); return pos_; }      // 0-based, -1 when empty
    const QVariantList& editBuffer() const { return buffer_; }

signals:
    // Scroll, edit of a field (fieldName set), post, filter change, rows changed.
    void dataChanged(const QString& fieldName = QString());
    void stateChanged();
    void beforePost();                 // the row is about to be stored; handlers may change it
    void rowsReset();                  // the set of rows was read anew
    void rowInserted(int row);         // one row added at `row`
    void rowUpdated(int row);          // values of one row changed

private:
    void ensureDatabase();
    void ensureLoaded() const;
    void reload(bool keepPosition);
    QString whereClause() const;
    QString orderClause() const;
    void loadCurrent() const;
    int columnIndex(const QString& name) const;
    void requireBrowse(const char* what) const;
    void onTableChanged(const QString& tableLower, const QVector<RowChange>& changes);
    void setState(DataSetState s);
    void applyFilter(const QString& expr, const QString& translated, const QVariantList& params, bool on);

    QString table_;
    QString dir_;
    bool dirSet_ = false;
    QString indexFields_;
    QString filter_;
    QString filterSql_;
    QVariantList filterParams_;
    bool filtered_ = false;
    std::shared_ptr<Database> db_;
    QVector<Column> columns_;
    DataSetState state_ = DataSetState::Inactive;

    mutable bool loaded_ = false;
    mutable QVector<qint64> rowids_;
    // The rows are read at their first use, not at opening: a table no window shows (the
    // movements) costs nothing however many rows it holds. Until then the cursor stands
    // "on the first row".
    mutable bool atFirst_ = false;
    mutable int pos_ = -1;
    mutable bool eof_ = true;
    mutable bool bof_ = true;
    mutable qint64 cachedRowId_ = -1;
    mutable QVariantList current_;
    QVariantList buffer_;
    qint64 editRowId_ = -1;
    QMetaObject::Connection dbConn_, resetConn_;
    bool posting_ = false;
};

} // namespace kv
