#pragma once
#include <functional>
// One SQLite file, shared by every cursor and query of the process that points at it,
// so a row posted through one is seen at once by all the others.
#include "data/Field.h"
#include <QHash>
#include <QObject>
#include <QVector>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace kv {

struct Column {
    QString name;
    FieldType type = FieldType::Unknown;
    QString declaredType;
};

// A change of one row; {Delete, -1} says "rows went, read the table again".
struct RowChange {
    enum Op { Insert, Update, Delete } op;
    qint64 rowid;
};

// Result of a select: column names/types plus materialised rows.
struct ResultSet {
    QVector<Column> columns;
    QVector<QVector<QVariant>> rows;
    int columnIndex(const QString& name) const; // case-insensitive, -1 when missing
};

class Database : public QObject {
    Q_OBJECT
public:
    // Name of the file that holds all tables of a site inside its tables directory.
    static QString siteFileName() { return QStringLiteral("kelvora.db"); }
    // File of the site list in the working directory.
    static QString siteListFileName() { return QStringLiteral("Config.DB"); }

    // The shared database of a tables directory (empty = working directory).
    // Raises DbError when the directory holds no site database.
    static std::shared_ptr<Database> forDirectory(const QString& dir);
    // The site list Config.DB of the working directory.
    static std::shared_ptr<Database> siteList(const QString& workingDir = QString());
    // Opens (or with create=true creates) a database file; shared per canonical path.
    static std::shared_ptr<Database> openFile(const QString& path, bool create = false);
    // Forgets every shared database (closing the session); open ones stay valid for holders.
    static void closeAll();

    ~Database() override;
    QString filePath() const { return path_; }
    sqlite3* handle() const { return db_; }

    bool hasTable(const QString& table) const;
    QString tableName(const QString& table) const;   // real spelling; DbError when missing
    QVector<Column> columns(const QString& table) const;
    // The statement runner's translation of a local statement, remembered while the tables
    // keep their shape (make computes it when it is not known yet).
    QString translated(const QString& localSql, const std::function<QString()>& make) const;

    // Run SQLite SQL (already translated). Values are bound to ? in order.
    int exec(const QString& sql, const QVariantList& params = {});
    ResultSet select(const QString& sql, const QVariantList& params = {});
    qint64 lastInsertRowId() const;

    // Transactions (nesting is counted; only the outermost commits).
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return txDepth_ > 0; }

signals:
    // Emitted after each statement that changed rows, once per table touched.
    void tableChanged(const QString& tableLower, const QVector<RowChange>& changes);
    // Emitted after a rollback: every cursor must read its rows anew.
    void resetAll();

private:
    explicit Database(const QString& path, sqlite3* db);
    void dispatchChanges();
    int runPrepared(sqlite3_stmt* st, const QString& sql, const QVariantList& params);
    sqlite3_stmt* keepPrepared(const QString& sql, sqlite3_stmt* st);
    void finalizePrepared();
    static void updateHook(void* self, int op, const char* dbName, const char* table, long long rowid);

    QString path_;
    sqlite3* db_ = nullptr;
    int txDepth_ = 0;
    QHash<QString, QVector<RowChange>> pending_;
    QStringList pendingOrder_;
    mutable QHash<QString, QVector<Column>> columnCache_;
    mutable QHash<QString, QString> translationCache_;
    // The last statements run, kept prepared: storing row after row (an import, the door)
    // or reading the same row again does not parse the same text each time.
    struct Prepared {
        QString sql;
        sqlite3_stmt* st;
    };
    std::vector<Prepared> prepared_;
};

// Commits on commit(), rolls back when left without it (an error thrown half-way).
class Transaction {
public:
    explicit Transaction(Database& db) : db_(db) { db_.begin(); }
    ~Transaction() { if (!done_) { try { db_.rollback(); } catch (...) {} } }
    void commit() { db_.commit(); done_ = true; }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
private:
    Database& db_;
    bool done_ = false;
};

} // namespace kv
