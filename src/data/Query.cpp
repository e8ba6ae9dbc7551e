#include "data/Query.h"
#include "data/Dialect.h"

namespace kv {

namespace {

// The program's statement in SQLite's words. Its joins name each column's table
// themselves; nothing is guessed here.
QString sqliteStatement(const QString& localSql, const Database& db)
{
    // The door runs the same few statements all day: each is translated once.
    return db.translated(localSql, [&] { return translateLocalSql(localSql); });
}

} // namespace

void Query::setDirectory(const QString& dir)
{
    if (dirSet_ && dir == dir_ && db_) return;
    close();
    dir_ = dir;
    dirSet_ = true;
    db_.reset();
}

void Query::setDatabase(std::shared_ptr<Database> db)
{
    close();
    db_ = std::move(db);
    dirSet_ = false;
}

std::shared_ptr<Database> Query::database() const
{
    if (!db_) {
        auto* self = const_cast<Query*>(this);
        self->db_ = Database::forDirectory(dir_);
    }
    return db_;
}

void Query::close()
{
    rs_ = ResultSet();
    pos_ = 0;
    active_ = false;
    eof_ = bof_ = true;
}

void Query::open(const QVariantList& params)
{
    close();
    auto db = database();
    rs_ = db->select(sqliteStatement(sql_, *db), params);
    active_ = true;
    pos_ = 0;
    bof_ = true;
    eof_ = rs_.rows.isEmpty();
}

int Query::execute(const QVariantList& params)
{
    close();
    auto db = database();
    return db->exec(sqliteStatement(sql_, *db), params);
}

void Query::first() { pos_ = 0; bof_ = true; eof_ = rs_.rows.isEmpty(); }
void Query::next()
{
    bof_ = false;
    if (pos_ + 1 < rs_.rows.size()) ++pos_;
    else eof_ = true;
}
void Query::prior()
{
    eof_ = false;
    if (pos_ > 0) --pos_;
    else bof_ = true;
}
void Query::last()
{
    pos_ = qMax(0, int(rs_.rows.size()) - 1);
    eof_ = rs_.rows.isEmpty();
    bof_ = rs_.rows.isEmpty();
}
bool Query::eof() const { return eof_; }
bool Query::bof() const { return bof_; }
void Query::setRecNo(int n)
{
    if (rs_.rows.isEmpty()) return;
    pos_ = qBound(0, n - 1, int(rs_.rows.size()) - 1);
    eof_ = bof_ = false;
}

Field Query::fieldByName(const QString& name) const
{
    const int i = rs_.columnIndex(name);
    if (i < 0) throw DbError(QStringLiteral("Campo '%1' no encontrado.").arg(name));
    const QVariant v = rs_.rows.isEmpty() ? QVariant() : rs_.rows[pos_][i];
    return Field(rs_.columns[i].name, rs_.columns[i].type, v);
}

QStringList Query::fieldNames() const
{
    QStringList l;
    for (const auto& c : rs_.columns) l << c.name;
    return l;
}

bool EjecutarSQL(const QString& tablesDir, Query& query, const QString& sql, const QVariantList& params)
{
    query.close();
    query.setSql(sql);
    query.setDirectory(tablesDir);
    // Whether rows come back is decided by the leading keyword only: a name that
    // happens to contain UPDATE or ALTER must still be searched, not executed.
    if (returnsRows(sql)) {
        query.open(params);
        return true;
    }
    query.execute(params);
    return false;
}

} // namespace kv
