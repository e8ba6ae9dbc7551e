#include "data/Query.h"
#include "data/Dialect.h"
#include <QRegularExpression>

namespace kv {

namespace {

// The alias (or name) of the first table after FROM; ambiguous bare columns of a join
// belong to it, as the program's statements were written for an engine that did so.
QString firstTableAlias(const QString& sql)
{
    static const QRegularExpression re(
        QStringLiteral("\\bfrom\\s+([A-Za-z_][A-Za-z0-9_]*)(?:\\s+(?:as\\s+)?([A-Za-z_][A-Za-z0-9_]*))?"),
        QRegularExpression::CaseInsensitiveOption);
    static const QStringList keywords = {"join", "left", "inner", "right", "cross", "where", "order",
                                         "group", "on", "natural", "full", "outer", "limit", "union"};
    const auto m = re.match(sql);
    if (!m.hasMatch()) return QString();
    const QString alias = m.captured(2);
    if (!alias.isEmpty() && !keywords.contains(alias.toLower())) return alias;
    return m.captured(1);
}

template <typename F>
auto withAmbiguityRetry(const QString& translated, F run) -> decltype(run(translated))
{
    QString sql = translated;
    for (int attempt = 0;; ++attempt) {
        try {
            return run(sql);
        } catch (const DbError& e) {
            static const QRegularExpression amb(QStringLiteral("ambiguous column name: ([A-Za-z_][A-Za-z0-9_]*)"));
            const auto m = amb.match(e.message());
            const QString alias = firstTableAlias(sql);
            if (!m.hasMatch() || alias.isEmpty() || attempt > 8) throw;
            sql = qualifyColumn(sql, m.captured(1), alias);
        }
    }
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
    rs_ = withAmbiguityRetry(translateLocalSql(sql_), [&](const QString& s) { return db->select(s, params); });
    active_ = true;
    pos_ = 0;
    bof_ = true;
    eof_ = rs_.rows.isEmpty();
}

int Query::execute(const QVariantList& params)
{
    close();
    auto db = database();
    return withAmbiguityRetry(translateLocalSql(sql_), [&](const QString& s) { return db->exec(s, params); });
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
