#pragma once
// A query component: SQL text run against the tables of one directory; its rows are
// read like a table cursor (navigation and field by name).
#include "data/Database.h"

namespace kv {

class Query {
public:
    Query() = default;
    explicit Query(const QString& directory) { setDirectory(directory); }

    void setDirectory(const QString& dir);       // points the query at a tables directory
    void setDatabase(std::shared_ptr<Database> db);
    std::shared_ptr<Database> database() const;  // DbError when not pointed anywhere

    void setSql(const QString& localSql) { close(); sql_ = localSql; }
    const QString& sql() const { return sql_; }

    void open(const QVariantList& params = {});  // runs a select and keeps its rows
    int execute(const QVariantList& params = {});// runs a writing statement; rows changed
    void close();
    bool isActive() const { return active_; }

    // Navigation over the rows of the last open().
    void first();
    void next();
    void prior();
    void last();
    bool eof() const;
    bool bof() const;
    bool isEmpty() const { return rs_.rows.isEmpty(); }
    int recordCount() const { return rs_.rows.size(); }
    int recNo() const { return pos_ + 1; }
    void setRecNo(int n);

    Field fieldByName(const QString& name) const;
    bool hasField(const QString& name) const { return rs_.columnIndex(name) >= 0; }
    QStringList fieldNames() const;
    const ResultSet& result() const { return rs_; }

private:
    std::shared_ptr<Database> db_;
    QString dir_;
    bool dirSet_ = false;
    QString sql_;
    ResultSet rs_;
    int pos_ = 0;
    bool active_ = false;
    bool eof_ = true;
    bool bof_ = true;
};

// The statement runner: the one door for SQL on the local tables. Points the query at
// the directory, then opens it when the statement starts with SELECT/WITH and executes
// it otherwise. Values a person typed go in `params`, bound to the ? markers.
// Returns true when the query was opened. Engine errors propagate as DbError.
bool EjecutarSQL(const QString& tablesDir, Query& query, const QString& sql,
                 const QVariantList& params = {});

} // namespace kv
