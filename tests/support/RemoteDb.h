#pragma once
// A fresh database on the test PostgreSQL server for one test, dropped afterwards. The
// server is the one scripts/run-tests.sh starts on 127.0.0.1 (PGHOST, PGPORT, PGUSER,
// PGPASSWORD). Without one the test fails under CI and is skipped, with how to start one,
// when run by hand.
#include "publish/Pg.h"
#include <gtest/gtest.h>

namespace kvtest {

// Empty when the environment names a usable loopback server; otherwise why not.
QString PgServerProblem();

#define KV_REQUIRE_PG()                                                                       \
    do {                                                                                      \
        const QString kvProblem = kvtest::PgServerProblem();                                  \
        if (!kvProblem.isEmpty()) {                                                           \
            if (qEnvironmentVariableIsSet("CI")) FAIL() << kvProblem.toStdString();           \
            GTEST_SKIP() << kvProblem.toStdString();                                          \
        }                                                                                     \
    } while (0)

class RemoteDb {
public:
    RemoteDb();    // creates the database (call after KV_REQUIRE_PG)
    ~RemoteDb();
    QString name() const { return name_; }
    // Writes section Internet of pralune.ini in the current directory for this database.
    void writeIni(const QString& password = QString()) const;
    // A connection of the test's own to the database (search path unset).
    kv::PgConnection& admin() { return admin_; }
    // First column of the first row as text.
    QString scalar(const QString& sql, const QVariantList& params = {});
    int count(const QString& table, const QString& where = QString(), const QVariantList& params = {});

private:
    QString name_;
    kv::PgConnection admin_;
};

} // namespace kvtest
