#pragma once
// A small RAII wrapper over libpq: a connection, a result and a transaction. Every value
// goes to the server as a bound parameter; no text of ours is ever pasted into SQL.
#include <QString>
#include <QVariant>
#include <QVector>
#include "base/Error.h"
#include <utility>

struct pg_conn;
struct pg_result;

namespace kv {

// An error reported by the server or by libpq. `connectionLost` is true when the link to
// the server broke, so the outcome of the last statement is unknown.
class PgError : public Error {
public:
    PgError(const QString& msg, bool connectionLost = false, const QString& sqlState = QString())
        : Error(msg), lost_(connectionLost), state_(sqlState) {}
    bool connectionLost() const { return lost_; }
    // The server's five-character error code ("22001", "57014", ...); empty from libpq.
    QString sqlState() const { return state_; }
    // The statement was cut by statement_timeout or lock_timeout: the server is there but
    // busy, and the statement's transaction is rolled back.
    bool timedOut() const { return state_ == QLatin1String("57014") || state_ == QLatin1String("55P03"); }
private:
    bool lost_;
    QString state_;
};

// Owns one PGresult; rows and columns count from 0, values are text.
class PgResult {
public:
    PgResult() = default;
    explicit PgResult(pg_result* r) : r_(r) {}
    ~PgResult();
    PgResult(PgResult&& o) noexcept : r_(std::exchange(o.r_, nullptr)) {}
    PgResult& operator=(PgResult&& o) noexcept;
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;

    int rows() const;
    int columns() const;
    bool isNull(int row, int col) const;
    QString value(int row, int col) const;
    QString value(int row, const char* column) const;
    int affected() const;   // rows changed by an insert, update or delete
    pg_result* raw() const { return r_; }

private:
    pg_result* r_ = nullptr;
};

// Keywords and values for PQconnectdbParams; a keyword left out keeps libpq's default
// (environment variables, service file).
using PgParams = QVector<std::pair<QString, QString>>;

class PgConnection {
public:
    PgConnection() = default;
    ~PgConnection() { close(); }
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Opens the connection; PgError with the server's text when it cannot.
    void open(const PgParams& params);
    void close();
    bool isOpen() const;

    // One statement with its parameters bound ($1, $2, ...). A null QVariant is SQL NULL;
    // dates go as yyyy-mm-dd, times as hh:mm:ss, the rest as their text.
    PgResult exec(const QString& sql, const QVariantList& params = {});
    // Statements sent to the server so far (for the figures of the benchmark).
    long long roundTrips() const { return trips_; }
    // Connections this process has tried to open so far, every PgConnection together.
    static long long openings();
    pg_conn* handle() const { return c_; }

private:
    pg_conn* c_ = nullptr;
    long long trips_ = 0;
};

// BEGIN on construction, ROLLBACK when left without commit() (an error half-way).
class PgTransaction {
public:
    explicit PgTransaction(PgConnection& c) : c_(c) { c_.exec(QStringLiteral("begin")); }
    ~PgTransaction();
    void commit();
    PgTransaction(const PgTransaction&) = delete;
    PgTransaction& operator=(const PgTransaction&) = delete;
private:
    PgConnection& c_;
    bool done_ = false;
};

// The text a value is sent as (also used to write it into the error log).
QString PgText(const QVariant& v);

} // namespace kv
