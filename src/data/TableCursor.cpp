#include "data/TableCursor.h"
#include "data/Dialect.h"
#include <QFileInfo>

namespace kv {

namespace {
constexpr int kRowCacheLimit = 4000;
}

// Row values read for grids, keyed by rowid; dropped whenever rows change.
struct RowCache {
    QHash<qint64, QVariantList> rows;
};
static QHash<const TableCursor*, RowCache>& rowCaches()
{
    static QHash<const TableCursor*, RowCache> c;
    return c;
}

TableCursor::TableCursor(QObject* parent) : QObject(parent) {}
TableCursor::TableCursor(const QString& tableName, QObject* parent) : QObject(parent)
{
    setTableName(tableName);
}

TableCursor::~TableCursor()
{
    rowCaches().remove(this);
}

void TableCursor::setTableName(const QString& name)
{
    if (isActive()) close();
    QString n = name.trimmed();
    const int dot = n.lastIndexOf('.');
    if (dot > 0) n = n.left(dot);
    table_ = n;
}

void TableCursor::setDirectory(const QString& dir)
{
    if (isActive()) close();
    dir_ = dir;
    dirSet_ = true;
    db_.reset();
}

void TableCursor::setDatabase(std::shared_ptr<Database> db)
{
    if (isActive()) close();
    db_ = std::move(db);
    dirSet_ = false;
}

void TableCursor::setIndexFieldNames(const QString& fields)
{
    indexFields_ = fields;
    if (isActive()) { reload(true); emit rowsReset(); emit dataChanged(); }
}

void TableCursor::ensureDatabase()
{
    if (db_) return;
    try {
        db_ = Database::forDirectory(dir_);
    } catch (const DbError& e) {
        throw DbError(QStringLiteral("No se puede abrir la tabla %1: %2").arg(table_, e.message()));
    }
}

void TableCursor::open()
{
    if (isActive()) return;
    ensureDatabase();
    if (!db_->hasTable(table_))
        throw DbError(QStringLiteral("No se puede abrir la tabla %1: no existe en %2.")
                          .arg(table_, QFileInfo(db_->filePath()).absolutePath()));
    table_ = db_->tableName(table_);
    columns_ = db_->columns(table_);
    filterSql_ = (filter_.isEmpty() ? QString() : translateLocalSql(filter_));
    dbConn_ = connect(db_.get(), &Database::tableChanged, this, &TableCursor::onTableChanged);
    resetConn_ = connect(db_.get(), &Database::resetAll, this, [this] {
        if (!isActive()) return;
        if (state_ != DataSetState::Browse) setState(DataSetState::Browse);
        reload(true);
        emit rowsReset();
        emit dataChanged();
    });
    state_ = DataSetState::Browse;
    loaded_ = false;
    pos_ = -1;
    cachedRowId_ = -1;
    atFirst_ = true;
    emit stateChanged();
    emit rowsReset();
    emit dataChanged();
}

void TableCursor::close()
{
    if (!isActive()) return;
    disconnect(dbConn_);
    disconnect(resetConn_);
    state_ = DataSetState::Inactive;
    rowids_.clear();
    loaded_ = false;
    atFirst_ = false;
    pos_ = -1;
    cachedRowId_ = -1;
    current_.clear();
    buffer_.clear();
    rowCaches().remove(this);
    emit stateChanged();
    emit rowsReset();
}

void TableCursor::setState(DataSetState s)
{
    if (state_ == s) return;
    state_ = s;
    emit stateChanged();
}

QString TableCursor::whereClause() const
{
    if (filtered_ && !filterSql_.trimmed().isEmpty()) return QStringLiteral(" WHERE (") + filterSql_ + ')';
    return QString();
}

QString TableCursor::orderClause() const
{
    QStringList parts;
    for (const QString& f : indexFields_.split(';', Qt::SkipEmptyParts)) parts << '"' + f.trimmed() + '"';
    parts << QStringLiteral("rowid");
    return QStringLiteral(" ORDER BY ") + parts.join(',');
}

void TableCursor::ensureLoaded() const
{
    if (loaded_ || state_ == DataSetState::Inactive) return;
    const ResultSet rs = db_->select(QStringLiteral("SELECT rowid FROM \"%1\"").arg(table_) + whereClause() + orderClause(),
                                     filtered_ ? filterParams_ : QVariantList());
    rowids_.clear();
    rowids_.reserve(rs.rows.size());
    for (const auto& r : rs.rows) rowids_.append(r[0].toLongLong());
    loaded_ = true;
    if (atFirst_) {
        atFirst_ = false;
        pos_ = rowids_.isEmpty() ? -1 : 0;
        bof_ = true;
        eof_ = rowids_.isEmpty();
    }
}

void TableCursor::reload(bool keepPosition)
{
    const qint64 keep = (keepPosition && loaded_ && pos_ >= 0 && pos_ < rowids_.size()) ? rowids_[pos_] : -1;
    const int oldPos = pos_;
    const bool neverRead = atFirst_;
    loaded_ = false;
    cachedRowId_ = -1;
    rowCaches().remove(this);
    ensureLoaded();
    if (neverRead) return;   // standing on the first row, as at opening
    if (rowids_.isEmpty()) { pos_ = -1; eof_ = bof_ = true; return; }
    if (!keepPosition) { pos_ = 0; bof_ = true; eof_ = false; return; }
    const int idx = keep >= 0 ? rowids_.indexOf(keep) : -1;
    pos_ = idx >= 0 ? idx : qBound(0, oldPos, int(rowids_.size()) - 1);
    eof_ = bof_ = false;
}

void TableCursor::loadCurrent() const
{
    if (pos_ < 0 || pos_ >= rowids_.size()) { current_.clear(); cachedRowId_ = -1; return; }
    const qint64 rid = rowids_[pos_];
    if (rid == cachedRowId_) return;
    const ResultSet rs = db_->select(QStringLiteral("SELECT * FROM \"%1\" WHERE rowid=?").arg(table_), {rid});
    current_.clear();
    if (!rs.rows.isEmpty()) for (const auto& v : rs.rows[0]) current_.append(v);
    cachedRowId_ = rid;
}

int TableCursor::columnIndex(const QString& name) const
{
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

bool TableCursor::hasField(const QString& name) const { return columnIndex(name) >= 0; }

QStringList TableCursor::fieldNames() const
{
    QStringList l;
    for (const auto& c : columns_) l << c.name;
    return l;
}

void TableCursor::requireBrowse(const char* what) const
{
    if (state_ == DataSetState::Inactive)
        throw DbError(QStringLiteral("No se puede %1: la tabla %2 está cerrada.").arg(QString::fromUtf8(what), table_));
}

Field TableCursor::fieldByName(const QString& name) const
{
    const int i = columnIndex(name);
    if (i < 0) throw DbError(QStringLiteral("Campo '%1' no encontrado en la tabla %2.").arg(name, table_));
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        return Field(columns_[i].name, columns_[i].type, buffer_.value(i));
    if (state_ == DataSetState::Inactive) return Field(columns_[i].name, columns_[i].type, QVariant());
    ensureLoaded();
    loadCurrent();
    return Field(columns_[i].name, columns_[i].type, current_.value(i));
}

// Moving while a row is being edited posts it first, as a grid does.
#define CHECK_BROWSE() do { requireBrowse("navegar"); if (state_ != DataSetState::Browse) post(); } while (0)

void TableCursor::first()
{
    CHECK_BROWSE();
    ensureLoaded();
    const int old = pos_;
    pos_ = rowids_.isEmpty() ? -1 : 0;
    bof_ = true;
    eof_ = rowids_.isEmpty();
    if (old != pos_) emit dataChanged();
}

void TableCursor::next()
{
    CHECK_BROWSE();
    ensureLoaded();
    bof_ = false;
    if (pos_ + 1 < rowids_.size()) { ++pos_; eof_ = false; emit dataChanged(); }
    else eof_ = true;
}

void TableCursor::prior()
{
    CHECK_BROWSE();
    ensureLoaded();
    eof_ = false;
    if (pos_ > 0) { --pos_; bof_ = false; emit dataChanged(); }
    else bof_ = true;
}

void TableCursor::last()
{
    CHECK_BROWSE();
    ensureLoaded();
    const int old = pos_;
    pos_ = int(rowids_.size()) - 1;
    eof_ = true;
    bof_ = rowids_.isEmpty();
    if (rowids_.isEmpty()) pos_ = -1;
    if (old != pos_) emit dataChanged();
}

void TableCursor::moveBy(int n)
{
    CHECK_BROWSE();
    ensureLoaded();
    if (rowids_.isEmpty()) return;
    const int target = pos_ + n;
    const int old = pos_;
    pos_ = qBound(0, target, int(rowids_.size()) - 1);
    eof_ = target >= rowids_.size();
    bof_ = target < 0;
    if (old != pos_) emit dataChanged();
}

bool TableCursor::eof() const { ensureLoaded(); return eof_ || !isActive(); }
bool TableCursor::bof() const { ensureLoaded(); return bof_ || !isActive(); }
bool TableCursor::isEmpty() const { ensureLoaded(); return rowids_.isEmpty(); }
int TableCursor::recordCount() const { ensureLoaded(); return rowids_.size(); }
int TableCursor::recNo() const
{
    if (state_ == DataSetState::Insert) return -1;
    ensureLoaded();
    return pos_ < 0 ? 0 : pos_ + 1;
}

void TableCursor::setRecNo(int n)
{
    CHECK_BROWSE();
    ensureLoaded();
    if (rowids_.isEmpty()) return;
    const int target = qBound(0, n - 1, int(rowids_.size()) - 1);
    eof_ = bof_ = false;
    if (target != pos_) { pos_ = target; emit dataChanged(); }
}

void TableCursor::edit()
{
    requireBrowse("modificar");
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return;
    ensureLoaded();
    if (pos_ < 0) throw DbError(QStringLiteral("No hay un registro de %1 para modificar.").arg(table_));
    loadCurrent();
    buffer_ = current_;
    while (buffer_.size() < columns_.size()) buffer_.append(QVariant());
    editRowId_ = rowids_[pos_];
    setState(DataSetState::Edit);
    emit dataChanged();
}

void TableCursor::append()
{
    requireBrowse("agregar");
    if (state_ != DataSetState::Browse) post();
    buffer_.clear();
    for (int i = 0; i < columns_.size(); ++i) buffer_.append(QVariant());
    editRowId_ = -1;
    setState(DataSetState::Insert);
    emit dataChanged();
}

void TableCursor::setFieldValue(const QString& name, const QVariant& value)
{
    const int i = columnIndex(name);
    if (i < 0) throw DbError(QStringLiteral("Campo '%1' no encontrado en la tabla %2.").arg(name, table_));
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        throw DbError(QStringLiteral("La tabla %1 no está en modo de edición ni de inserción.").arg(table_));
    buffer_[i] = toStorage(value, columns_[i].type, columns_[i].name);
    emit dataChanged(columns_[i].name);
}

void TableCursor::post()
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    emit beforePost();
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;  // a handler cancelled
    QStringList names, marks;
    QVariantList values;
    for (int i = 0; i < columns_.size(); ++i) {
        names << '"' + columns_[i].name + '"';
        marks << QStringLiteral("?");
        values << buffer_.value(i);
    }
    qint64 rid;
    posting_ = true;
    try {
        if (state_ == DataSetState::Insert) {
            db_->exec(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)").arg(table_, names.join(','), marks.join(',')), values);
            rid = db_->lastInsertRowId();
        } else {
            QStringList sets;
            for (const QString& n : names) sets << n + QStringLiteral("=?");
            values << editRowId_;
            db_->exec(QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid=?").arg(table_, sets.join(',')), values);
            rid = editRowId_;
        }
    } catch (...) {
        posting_ = false;
        throw;   // the row stays in edit/insert state, as typed
    }
    posting_ = false;
    buffer_.clear();
    editRowId_ = -1;
    cachedRowId_ = -1;
    ensureLoaded();
    const int idx = rowids_.indexOf(rid);
    if (idx >= 0) pos_ = idx;
    else if (pos_ >= rowids_.size()) pos_ = int(rowids_.size()) - 1;
    eof_ = bof_ = rowids_.isEmpty();
    setState(DataSetState::Browse);
    emit dataChanged();
}

void TableCursor::cancel()
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    buffer_.clear();
    editRowId_ = -1;
    setState(DataSetState::Browse);
    emit dataChanged();
}

void TableCursor::deleteRecord()
{
    requireBrowse("borrar");
    if (state_ == DataSetState::Insert) { cancel(); return; }
    if (state_ == DataSetState::Edit) cancel();
    ensureLoaded();
    if (pos_ < 0) throw DbError(QStringLiteral("No hay un registro de %1 para borrar.").arg(table_));
    db_->exec(QStringLiteral("DELETE FROM \"%1\" WHERE rowid=?").arg(table_), {rowids_[pos_]});
    emit dataChanged();
}

void TableCursor::refresh()
{
    CHECK_BROWSE();
    reload(true);
    emit rowsReset();
    emit dataChanged();
}

bool TableCursor::locate(const QString& fields, const QVariantList& values)
{
    CHECK_BROWSE();
    const QStringList fs = fields.split(';', Qt::SkipEmptyParts);
    if (fs.size() != values.size())
        throw DbError(QStringLiteral("La búsqueda en %1 necesita un valor por campo.").arg(table_));
    QStringList conds;
    QVariantList params;
    for (int i = 0; i < fs.size(); ++i) {
        const int c = columnIndex(fs[i].trimmed());
        if (c < 0) throw DbError(QStringLiteral("Campo '%1' no encontrado en la tabla %2.").arg(fs[i].trimmed(), table_));
        QVariant v;
        try { v = toStorage(values[i], columns_[c].type, columns_[c].name); }
        catch (const DbError&) { return false; }   // a value the field cannot hold matches nothing
        conds << '"' + columns_[c].name + QStringLiteral("\" IS ?");
        params << v;
    }
    QString where = QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
    if (filtered_ && !filterSql_.trimmed().isEmpty()) {
        where += QStringLiteral(" AND (") + filterSql_ + ')';
        params += filterParams_;
    }
    const ResultSet rs = db_->select(QStringLiteral("SELECT rowid FROM \"%1\"").arg(table_) + where + orderClause() + QStringLiteral(" LIMIT 1"), params);
    if (rs.rows.isEmpty()) return false;
    ensureLoaded();
    const int idx = rowids_.indexOf(rs.rows[0][0].toLongLong());
    if (idx < 0) return false;
    eof_ = bof_ = false;
    if (idx != pos_) { pos_ = idx; emit dataChanged(); }
    return true;
}

void TableCursor::setFilter(const QString& expr)
{
    setFilter(expr, {});
}

void TableCursor::setFilter(const QString& expr, const QVariantList& params)
{
    if (expr == filter_ && params == filterParams_) return;
    const QString translated = expr.trimmed().isEmpty() ? QString() : translateLocalSql(expr);
    if (isActive() && state_ != DataSetState::Browse) post();
    applyFilter(expr, translated, params, filtered_);
}

void TableCursor::setFiltered(bool on)
{
    if (on == filtered_) return;
    if (isActive() && state_ != DataSetState::Browse) post();
    applyFilter(filter_, filterSql_, filterParams_, on);
}

// A filter the engine refuses leaves the cursor showing what it showed before.
void TableCursor::applyFilter(const QString& expr, const QString& translated, const QVariantList& params, bool on)
{
    const QString oldExpr = filter_, oldSql = filterSql_;
    const QVariantList oldParams = filterParams_;
    const bool oldOn = filtered_;
    filter_ = expr;
    filterSql_ = translated;
    filterParams_ = params;
    filtered_ = on;
    if (!isActive() || (!on && !oldOn)) return;
    try {
        reload(false);
    } catch (const DbError&) {
        filter_ = oldExpr;
        filterSql_ = oldSql;
        filterParams_ = oldParams;
        filtered_ = oldOn;
        reload(false);
        emit rowsReset();
        emit dataChanged();
        throw;
    }
    emit rowsReset();
    emit dataChanged();
}

qint64 TableCursor::rowIdAt(int row) const
{
    ensureLoaded();
    return (row >= 0 && row < rowids_.size()) ? rowids_[row] : -1;
}

Field TableCursor::fieldAt(int row, const QString& field) const
{
    const int i = columnIndex(field);
    if (i < 0) throw DbError(QStringLiteral("Campo '%1' no encontrado en la tabla %2.").arg(field, table_));
    return Field(columns_[i].name, columns_[i].type, valueAt(row, field));
}

QVariant TableCursor::valueAt(int row, const QString& field) const
{
    const int i = columnIndex(field);
    if (i < 0 || !isActive()) return QVariant();
    ensureLoaded();
    if (row < 0 || row >= rowids_.size()) return QVariant();
    const qint64 rid = rowids_[row];
    auto& cache = rowCaches()[this].rows;
    auto it = cache.find(rid);
    if (it == cache.end()) {
        if (cache.size() > kRowCacheLimit) cache.clear();
        // read a page of rows around the requested one, as grids ask row by row
        const int from = row, to = qMin(int(rowids_.size()), row + 100);
        QStringList ids;
        for (int r = from; r < to; ++r) if (!cache.contains(rowids_[r])) ids << QString::number(rowids_[r]);
        const ResultSet rs = db_->select(QStringLiteral("SELECT rowid, * FROM \"%1\" WHERE rowid IN (%2)").arg(table_, ids.join(',')));
        for (const auto& r : rs.rows) cache.insert(r[0].toLongLong(), QVariantList(r.begin() + 1, r.end()));
        it = cache.find(rid);
        if (it == cache.end()) return QVariant();
    }
    return it->value(i);
}

void TableCursor::onTableChanged(const QString& tableLower, const QVector<RowChange>& changes)
{
    if (!isActive() || tableLower != table_.toLower()) return;
    rowCaches().remove(this);
    cachedRowId_ = -1;
    if (!loaded_) { emit dataChanged(); return; }
    const bool plain = indexFields_.isEmpty() && !(filtered_ && !filterSql_.trimmed().isEmpty());
    bool needReload = false;
    QVector<qint64> appended;
    bool updated = false;
    for (const RowChange& c : changes) {
        if (c.op == RowChange::Delete) { needReload = true; break; }
        if (c.op == RowChange::Update) { if (!plain) { needReload = true; break; } updated = true; continue; }
        if (!indexFields_.isEmpty()) { needReload = true; break; }
        appended.append(c.rowid);
    }
    if (needReload) {
        reload(true);
        emit rowsReset();
        emit dataChanged();
        return;
    }
    if (!appended.isEmpty() && !plain) {
        // keep only the new rows the filter lets through
        QStringList ids;
        for (qint64 r : appended) ids << QString::number(r);
        const ResultSet rs = db_->select(QStringLiteral("SELECT rowid FROM \"%1\" WHERE rowid IN (%2) AND (%3) ORDER BY rowid")
                                             .arg(table_, ids.join(','), filterSql_),
                                         filterParams_);
        appended.clear();
        for (const auto& r : rs.rows) appended.append(r[0].toLongLong());
    }
    for (qint64 r : appended) {
        rowids_.append(r);
        if (pos_ < 0) { pos_ = 0; eof_ = bof_ = false; }
        emit rowInserted(int(rowids_.size()) - 1);
    }
    if (updated) emit rowsReset();
    emit dataChanged();
}

} // namespace kv
