#include "data/Database.h"
#include "data/Schema.h"
#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <sqlite3.h>
#include <utility>

namespace kv {

namespace {

// Beyond this many changes of one table in one statement, its cursors simply read again.
constexpr int kMaxRowChanges = 10000;

QMap<QString, std::weak_ptr<Database>>& registry()
{
    static QMap<QString, std::weak_ptr<Database>> r;
    return r;
}

// upper()/lower() of SQLite only know ASCII; a Spanish register is full of á, é, ñ.
void unicodeCase(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool upper)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* txt = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int n = sqlite3_value_bytes(argv[0]);
    const QString s = QString::fromUtf8(txt, n);
    const QByteArray out = (upper ? s.toUpper() : s.toLower()).toUtf8();
    sqlite3_result_text(ctx, out.constData(), out.size(), SQLITE_TRANSIENT);
}
// Names in the order a Spanish reader expects: accents folded, ñ after n, capitals with
// their small letters. Each thread gets its own collator (they are not shared safely).
int spanishCompare(void*, int n1, const void* s1, int n2, const void* s2)
{
    thread_local const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Spanish, QLocale::Spain));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    const QString a = QString::fromUtf8(static_cast<const char*>(s1), n1);
    const QString b = QString::fromUtf8(static_cast<const char*>(s2), n2);
    const int r = collator.compare(a, b);
    // Equal for the collator but different bytes (case): a fixed order all the same.
    return r != 0 ? r : a.compare(b);
}

void sqlUpper(sqlite3_context* c, int n, sqlite3_value** v) { unicodeCase(c, n, v, true); }
void sqlLower(sqlite3_context* c, int n, sqlite3_value** v) { unicodeCase(c, n, v, false); }

// LIKE with % and _ (and an optional escape character), folding case for every letter as
// upper() does, so that '%mónica%' finds "MÓNICA".
bool likeMatch(const QList<uint>& p, int pi, const QList<uint>& s, int si, uint esc)
{
    while (pi < p.size()) {
        uint c = p[pi];
        if (c == esc && pi + 1 < p.size()) {
            if (si >= s.size() || s[si] != p[pi + 1]) return false;
            pi += 2; ++si;
        } else if (c == '%') {
            while (pi < p.size() && p[pi] == '%') ++pi;
            if (pi == p.size()) return true;
            for (int k = si; k <= s.size(); ++k)
                if (likeMatch(p, pi, s, k, esc)) return true;
            return false;
        } else if (c == '_') {
            if (si >= s.size()) return false;
            ++pi; ++si;
        } else {
            if (si >= s.size() || s[si] != c) return false;
            ++pi; ++si;
        }
    }
    return si == s.size();
}

QList<uint> foldedText(sqlite3_value* v)
{
    const auto* txt = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QString::fromUtf8(txt, sqlite3_value_bytes(v)).toUpper().toUcs4();
}

void sqlLike(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) { sqlite3_result_null(ctx); return; }
    uint esc = 0xFFFFFFFFu;
    if (argc == 3) {
        const QList<uint> e = foldedText(argv[2]);
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        esc = e[0];
    }
    sqlite3_result_int(ctx, likeMatch(foldedText(argv[0]), 0, foldedText(argv[1]), 0, esc) ? 1 : 0);
}

// What the engine says of the file itself, in words a person at the desk can act on;
// empty for errors of a statement.
QString fileErrorText(int code)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("La base de datos está ocupada; intente de nuevo.");
    case SQLITE_FULL:
        return QStringLiteral("El disco está lleno; no se pudo guardar en la base de datos.");
    case SQLITE_READONLY:
        return QStringLiteral("El archivo del sitio es de solo lectura");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("El archivo del sitio está dañado");
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return QStringLiteral("No se puede abrir el archivo del sitio (falta el archivo o no hay permiso)");
    case SQLITE_IOERR:
        return QStringLiteral("Error de lectura o escritura en el disco del sitio");
    case SQLITE_NOMEM:
        return QStringLiteral("No hay memoria suficiente");
    default:
        return QString();
    }
}

QString errorText(sqlite3* db)
{
    if (const QString f = fileErrorText(sqlite3_extended_errcode(db)); !f.isEmpty()) return f;
    const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
    if (msg.startsWith("no such table: "))
        return QStringLiteral("No existe la tabla %1.").arg(msg.mid(15));
    if (msg.startsWith("no such column: "))
        return QStringLiteral("No existe el campo %1.").arg(msg.mid(16));
    if (msg.startsWith("UNIQUE constraint failed: ")) {
        const QStringList tf = msg.mid(26).split(QLatin1Char(','), Qt::SkipEmptyParts).value(0).trimmed().split(QLatin1Char('.'));
        return QStringLiteral("Ya existe un registro de %1 con ese valor de %2.").arg(tf.value(0), tf.value(1));
    }
    if (msg.startsWith("NOT NULL constraint failed: ")) {
        const QStringList tf = msg.mid(28).trimmed().split(QLatin1Char('.'));
        return QStringLiteral("Falta el valor de %2 en un registro de %1.").arg(tf.value(0), tf.value(1));
    }
    return QStringLiteral("Error de la base de datos: %1").arg(msg);
}

void bindAll(sqlite3* db, sqlite3_stmt* st, const QVariantList& params, const QString& sql)
{
    const int expected = sqlite3_bind_parameter_count(st);
    if (expected != params.size())
        throw DbError(QStringLiteral("La sentencia espera %1 parámetros y recibió %2: %3")
                          .arg(expected).arg(params.size()).arg(sql));
    for (int i = 0; i < params.size(); ++i) {
        const QVariant v = toStorage(params[i]);
        int rc;
        if (!v.isValid() || v.isNull()) rc = sqlite3_bind_null(st, i + 1);
        else switch (v.metaType().id()) {
            case QMetaType::Int: case QMetaType::LongLong: case QMetaType::UInt:
            case QMetaType::ULongLong: case QMetaType::Short: case QMetaType::UShort:
                rc = sqlite3_bind_int64(st, i + 1, v.toLongLong()); break;
            case QMetaType::Double: case QMetaType::Float:
                rc = sqlite3_bind_double(st, i + 1, v.toDouble()); break;
            default: {
                const QByteArray b = v.toString().toUtf8();
                rc = sqlite3_bind_text(st, i + 1, b.constData(), b.size(), SQLITE_TRANSIENT);
            }
        }
        if (rc != SQLITE_OK) throw DbError(errorText(db));
    }
}

struct Stmt {
    sqlite3_stmt* st = nullptr;
    ~Stmt() { if (st) sqlite3_finalize(st); }
};

QVariant columnValue(sqlite3_stmt* st, int i)
{
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER: return QVariant(qint64(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(st, i));
    case SQLITE_NULL: return QVariant();
    case SQLITE_BLOB: {
        const void* p = sqlite3_column_blob(st, i);
        return QVariant(QByteArray(static_cast<const char*>(p), sqlite3_column_bytes(st, i)));
    }
    default: {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        return QVariant(QString::fromUtf8(t, sqlite3_column_bytes(st, i)));
    }
    }
}

} // namespace

int ResultSet::columnIndex(const QString& name) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

Database::Database(const QString& path, sqlite3* db) : path_(path), db_(db)
{
    sqlite3_update_hook(db_, &Database::updateHook, this);
    sqlite3_create_function(db_, "upper", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, sqlUpper, nullptr, nullptr);
    sqlite3_create_function(db_, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, sqlLike, nullptr, nullptr);
    sqlite3_create_function(db_, "like", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, sqlLike, nullptr, nullptr);
    sqlite3_create_function(db_, "lower", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, sqlLower, nullptr, nullptr);
    // Lists ordered by name say "order by NEstudiante collate espanol".
    sqlite3_create_collation(db_, "espanol", SQLITE_UTF8, nullptr, spanishCompare);
    sqlite3_busy_timeout(db_, 5000);
    // A posted row must survive a crash or a power cut.
    exec("PRAGMA journal_mode=WAL");
    exec("PRAGMA synchronous=FULL");
}

Database::~Database()
{
    finalizePrepared();
    if (db_) sqlite3_close_v2(db_);
}

std::shared_ptr<Database> Database::openFile(const QString& path, bool create)
{
    const QFileInfo fi(path);
    if (!create && !fi.isFile())
        throw DbError(QStringLiteral("No se encuentra la base de datos %1.").arg(QDir::toNativeSeparators(fi.absoluteFilePath())));
    const QString key = fi.exists() ? fi.canonicalFilePath() : fi.absoluteFilePath();
    if (auto existing = registry().value(key).lock()) return existing;
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
    if (create) flags |= SQLITE_OPEN_CREATE;
    const QByteArray p = QFile::encodeName(fi.absoluteFilePath());
    if (const int rc = sqlite3_open_v2(p.constData(), &db, flags, nullptr); rc != SQLITE_OK) {
        QString msg = fileErrorText(rc);
        if (msg.isEmpty()) msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("sin memoria");
        if (db) sqlite3_close_v2(db);
        throw DbError(QStringLiteral("No se puede abrir la base de datos %1: %2")
                          .arg(QDir::toNativeSeparators(fi.absoluteFilePath()), msg));
    }
    // The engine opens a file it cannot write for reading only and fails later, in English.
    if (sqlite3_db_readonly(db, "main") == 1) {
        sqlite3_close_v2(db);
        throw DbError(QStringLiteral("No se puede abrir la base de datos %1: %2")
                          .arg(QDir::toNativeSeparators(fi.absoluteFilePath()), fileErrorText(SQLITE_READONLY)));
    }
    std::shared_ptr<Database> d;
    try {
        d.reset(new Database(fi.absoluteFilePath(), db));
    } catch (const DbError& e) {
        sqlite3_close_v2(db);   // a damaged file fails its first statement
        throw DbError(QStringLiteral("No se puede abrir la base de datos %1: %2")
                          .arg(QDir::toNativeSeparators(fi.absoluteFilePath()), e.message()));
    }
    registry().insert(QFileInfo(fi.absoluteFilePath()).canonicalFilePath(), d);
    return d;
}

std::shared_ptr<Database> Database::forDirectory(const QString& dir)
{
    const QString base = dir.isEmpty() ? QDir::currentPath() : dir;
    const QString file = QDir(base).filePath(siteFileName());
    if (!QFileInfo(base).isDir())
        throw DbError(QStringLiteral("El directorio de tablas %1 no existe.").arg(QDir::toNativeSeparators(base)));
    if (!QFileInfo(file).isFile())
        throw DbError(QStringLiteral("El directorio %1 no contiene las tablas de un sitio.").arg(QDir::toNativeSeparators(base)));
    const bool nueva = !registry().value(QFileInfo(file).canonicalFilePath()).lock();
    auto db = openFile(file);
    if (nueva) {
        // A site made by an older version gets the columns added since, once per opening.
        // When the file cannot be changed its rows still read those columns' defaults.
        try {
            actualizarSitio(*db);
        } catch (const std::exception&) {
        }
    }
    return db;
}

std::shared_ptr<Database> Database::siteList(const QString& workingDir)
{
    const QString base = workingDir.isEmpty() ? QDir::currentPath() : workingDir;
    return openFile(QDir(base).filePath(siteListFileName()));
}

void Database::closeAll()
{
    registry().clear();
}

void Database::updateHook(void* self, int op, const char*, const char* table, long long rowid)
{
    auto* d = static_cast<Database*>(self);
    const QString t = QString::fromUtf8(table).toLower();
    RowChange::Op o = op == SQLITE_INSERT ? RowChange::Insert
                    : op == SQLITE_DELETE ? RowChange::Delete : RowChange::Update;
    auto it = d->pending_.find(t);
    if (it == d->pending_.end()) {
        d->pendingOrder_.append(t);
        it = d->pending_.insert(t, {});
    }
    // A deletion makes every cursor of the table read its rows again, whatever else
    // changed: one record says it all, and a batch of many deleted rows costs no memory.
    if (!it->isEmpty() && it->constLast().op == RowChange::Delete && it->constLast().rowid < 0) return;
    if (o == RowChange::Delete || it->size() >= kMaxRowChanges) {
        it->clear();
        it->append({RowChange::Delete, -1});
        return;
    }
    it->append({o, rowid});
}

void Database::dispatchChanges()
{
    if (pending_.isEmpty()) return;
    const auto pending = std::move(pending_);
    const auto order = std::move(pendingOrder_);
    pending_.clear();
    pendingOrder_.clear();
    for (const QString& t : order) emit tableChanged(t, pending.value(t));
}

bool Database::hasTable(const QString& table) const
{
    Stmt s;
    sqlite3_prepare_v2(db_, "SELECT 1 FROM sqlite_master WHERE type IN ('table','view') AND lower(name)=lower(?)", -1, &s.st, nullptr);
    const QByteArray b = table.toUtf8();
    sqlite3_bind_text(s.st, 1, b.constData(), b.size(), SQLITE_TRANSIENT);
    return sqlite3_step(s.st) == SQLITE_ROW;
}

QString Database::tableName(const QString& table) const
{
    Stmt s;
    sqlite3_prepare_v2(db_, "SELECT name FROM sqlite_master WHERE type IN ('table','view') AND lower(name)=lower(?)", -1, &s.st, nullptr);
    const QByteArray b = table.toUtf8();
    sqlite3_bind_text(s.st, 1, b.constData(), b.size(), SQLITE_TRANSIENT);
    if (sqlite3_step(s.st) != SQLITE_ROW)
        throw DbError(QStringLiteral("No existe la tabla %1 en %2.").arg(table, QDir::toNativeSeparators(QFileInfo(path_).absolutePath())));
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s.st, 0)));
}

QVector<Column> Database::columns(const QString& table) const
{
    const QString real = tableName(table);
    auto it = columnCache_.constFind(real.toLower());
    if (it != columnCache_.constEnd()) return *it;
    QVector<Column> cols;
    Stmt s;
    const QByteArray sql = QStringLiteral("PRAGMA table_info(\"%1\")").arg(real).toUtf8();
    if (sqlite3_prepare_v2(db_, sql.constData(), -1, &s.st, nullptr) != SQLITE_OK) throw DbError(errorText(db_));
    while (sqlite3_step(s.st) == SQLITE_ROW) {
        Column c;
        c.name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s.st, 1)));
        c.declaredType = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s.st, 2)));
        c.type = fieldTypeFromDeclared(c.declaredType);
        cols.append(c);
    }
    columnCache_.insert(real.toLower(), cols);
    return cols;
}

QString Database::translated(const QString& localSql, const std::function<QString()>& make) const
{
    const auto it = translationCache_.constFind(localSql);
    if (it != translationCache_.constEnd()) return *it;
    QString sql = make();   // raises for a statement the dialect refuses: nothing remembered
    // Statements with values pasted into their text are each new: keep the memory bounded.
    if (translationCache_.size() >= 512) translationCache_.clear();
    translationCache_.insert(localSql, sql);
    return sql;
}

int Database::exec(const QString& sql, const QVariantList& params)
{
    // A changed table shape must not be answered from the cache of columns.
    const QString head = sql.trimmed().left(6).toUpper();
    if (head.startsWith(QLatin1String("ALTER")) || head.startsWith(QLatin1String("DROP"))
        || head.startsWith(QLatin1String("CREATE"))) {
        columnCache_.clear();
        translationCache_.clear();
        finalizePrepared();
    }
    for (const Prepared& p : prepared_)
        if (p.sql == sql) return runPrepared(p.st, sql, params);
    const QByteArray utf = sql.toUtf8();
    const char* tail = utf.constData();
    int changes = 0;
    bool first = true;
    while (tail && *tail) {
        Stmt s;
        const char* next = nullptr;
        if (sqlite3_prepare_v2(db_, tail, -1, &s.st, &next) != SQLITE_OK) {
            pending_.clear(); pendingOrder_.clear();
            throw DbError(errorText(db_));
        }
        tail = next;
        if (!s.st) continue;   // only blanks or a comment
        const bool alone = first && QByteArray(next).trimmed().isEmpty();
        if (alone) {
            // One statement: it is kept for the next time the same text comes.
            return runPrepared(keepPrepared(sql, std::exchange(s.st, nullptr)), sql, params);
        }
        if (first) bindAll(db_, s.st, params, sql);
        first = false;
        int rc;
        while ((rc = sqlite3_step(s.st)) == SQLITE_ROW) {}
        if (rc != SQLITE_DONE) {
            const QString err = errorText(db_);
            dispatchChanges();
            throw DbError(err);
        }
        changes += sqlite3_changes(db_);
    }
    dispatchChanges();
    return changes;
}

sqlite3_stmt* Database::keepPrepared(const QString& sql, sqlite3_stmt* st)
{
    if (prepared_.size() >= 16) {
        sqlite3_finalize(prepared_.front().st);
        prepared_.erase(prepared_.begin());
    }
    prepared_.push_back({sql, st});
    return st;
}

int Database::runPrepared(sqlite3_stmt* st, const QString& sql, const QVariantList& params)
{
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    bindAll(db_, st, params, sql);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {}
    const QString err = rc == SQLITE_DONE ? QString() : errorText(db_);
    const int changes = sqlite3_changes(db_);
    // Reset at once: a statement left at its end would keep the file's read snapshot.
    sqlite3_reset(st);
    dispatchChanges();
    if (!err.isEmpty()) throw DbError(err);
    return changes;
}

void Database::finalizePrepared()
{
    for (const Prepared& p : prepared_) sqlite3_finalize(p.st);
    prepared_.clear();
}

ResultSet Database::select(const QString& sql, const QVariantList& params)
{
    sqlite3_stmt* st = nullptr;
    for (const Prepared& p : prepared_)
        if (p.sql == sql) st = p.st;
    if (!st) {
        Stmt s;
        const QByteArray utf = sql.toUtf8();
        if (sqlite3_prepare_v2(db_, utf.constData(), utf.size(), &s.st, nullptr) != SQLITE_OK)
            throw DbError(errorText(db_));
        if (!s.st) return {};
        st = keepPrepared(sql, std::exchange(s.st, nullptr));
    }
    // Reset on every way out: a statement left half read keeps the file's read snapshot.
    struct Reset {
        sqlite3_stmt* st;
        ~Reset() { sqlite3_reset(st); }
    } reset{st};
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    bindAll(db_, st, params, sql);
    // The columns are read after the first step: a kept statement is prepared again there
    // when the table changed shape since (this process or another).
    int rc = sqlite3_step(st);
    ResultSet rs;
    const int n = sqlite3_column_count(st);
    for (int i = 0; i < n; ++i) {
        Column c;
        c.name = QString::fromUtf8(sqlite3_column_name(st, i));
        const char* decl = sqlite3_column_decltype(st, i);
        c.declaredType = decl ? QString::fromUtf8(decl) : QString();
        c.type = fieldTypeFromDeclared(c.declaredType);
        rs.columns.append(c);
    }
    // Equal texts of a column share one string: the one just above (lists come ordered) or
    // one of the column's first distinct values (names, dates, hours, categories repeat all
    // through a long list), so a large report's rows take a fraction of the memory. A column
    // whose texts hardly repeat (codes) stops looking them up.
    struct Vistos {
        QHash<QByteArray, QString> textos;
        int aciertos = 0, fallos = 0;
        bool activo = true;
    };
    constexpr int kDistinctShared = 4096;
    QVector<QByteArray> above(n);
    QVector<Vistos> seen(n);
    for (; rc == SQLITE_ROW; rc = sqlite3_step(st)) {
        QVector<QVariant> row(n);
        for (int i = 0; i < n; ++i) {
            if (sqlite3_column_type(st, i) != SQLITE_TEXT) {
                row[i] = columnValue(st, i);
                continue;
            }
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            const QByteArrayView bytes(t, sqlite3_column_bytes(st, i));
            const QVariant* prev = rs.rows.isEmpty() ? nullptr : &rs.rows.constLast().at(i);
            if (prev && prev->typeId() == QMetaType::QString && bytes == above[i]) {
                row[i] = *prev;
                continue;
            }
            Vistos& v = seen[i];
            // The lookup starts at the second row, given the first row's text: a one-row
            // answer (most of the door's reads) makes no table of texts at all.
            if (rs.rows.size() == 1 && v.activo && prev && prev->typeId() == QMetaType::QString)
                v.textos.insert(above[i], prev->toString());
            above[i].resize(bytes.size());   // keeps its room: no allocation per row
            if (!bytes.isEmpty()) memcpy(above[i].data(), bytes.data(), size_t(bytes.size()));
            if (rs.rows.isEmpty()) {
                row[i] = QString::fromUtf8(bytes);
                continue;
            }
            if (v.activo) {
                const auto known = v.textos.constFind(QByteArray::fromRawData(bytes.data(), bytes.size()));
                if (known != v.textos.constEnd()) {
                    row[i] = *known;
                    ++v.aciertos;
                    continue;
                }
            }
            const QString text = QString::fromUtf8(bytes);
            row[i] = text;
            if (!v.activo) continue;
            ++v.fallos;
            if (v.textos.size() < kDistinctShared) {
                v.textos.insert(above[i], text);
            } else if (v.aciertos < v.fallos / 8) {
                v.activo = false;
                v.textos = {};
            }
        }
        rs.rows.append(std::move(row));
    }
    if (rc != SQLITE_DONE) throw DbError(errorText(db_));
    sqlite3_reset(st);
    dispatchChanges();
    return rs;
}

qint64 Database::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(db_);
}

void Database::begin()
{
    if (txDepth_++ == 0) {
        try { exec("BEGIN IMMEDIATE"); } catch (...) { txDepth_ = 0; throw; }
    }
}

void Database::commit()
{
    if (txDepth_ <= 0) return;
    if (--txDepth_ == 0) exec("COMMIT");
}

void Database::rollback()
{
    if (txDepth_ <= 0) return;
    txDepth_ = 0;
    pending_.clear();
    pendingOrder_.clear();
    if (!sqlite3_get_autocommit(db_)) exec("ROLLBACK");
    columnCache_.clear();
    translationCache_.clear();
    emit resetAll();
}

} // namespace kv
