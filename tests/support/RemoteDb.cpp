#include "support/RemoteDb.h"
#include "settings/IniFile.h"
#include <QAtomicInt>
#include <QCoreApplication>

namespace kvtest {

namespace {
kv::PgParams serverParams(const QString& db)
{
    return {{QStringLiteral("host"), qEnvironmentVariable("PGHOST")},
            {QStringLiteral("port"), qEnvironmentVariable("PGPORT")},
            {QStringLiteral("dbname"), db},
            {QStringLiteral("connect_timeout"), QStringLiteral("5")}};
}
} // namespace

QString PgServerProblem()
{
    const QString how = QStringLiteral(
        " Start one with: eval \"$(scripts/test-postgres.sh start /tmp/kvpg)\" (stop it with"
        " scripts/test-postgres.sh stop /tmp/kvpg), or run scripts/run-tests.sh.");
    if (qEnvironmentVariableIsEmpty("PGHOST") || qEnvironmentVariableIsEmpty("PGPORT"))
        return QStringLiteral("No PostgreSQL test server: PGHOST and PGPORT are not set.") + how;
    // Tests never talk to anything but this machine.
    if (qEnvironmentVariable("PGHOST") != QLatin1String("127.0.0.1"))
        return QStringLiteral("PGHOST must be 127.0.0.1 for the tests, not %1.").arg(qEnvironmentVariable("PGHOST")) + how;
    try {
        kv::PgConnection c;
        c.open(serverParams(QStringLiteral("postgres")));
    } catch (const kv::PgError& e) {
        return QStringLiteral("The PostgreSQL test server does not answer: ") + e.message() + how;
    }
    return QString();
}

RemoteDb::RemoteDb()
{
    static QAtomicInt n;
    name_ = QStringLiteral("kvt_%1_%2").arg(QCoreApplication::applicationPid()).arg(n.fetchAndAddRelaxed(1));
    kv::PgConnection c;
    c.open(serverParams(QStringLiteral("postgres")));
    c.exec(QStringLiteral("create database ") + name_);
    admin_.open(serverParams(name_));
}

RemoteDb::~RemoteDb()
{
    admin_.close();
    try {
        kv::PgConnection c;
        c.open(serverParams(QStringLiteral("postgres")));
        c.exec(QStringLiteral("drop database if exists ") + name_ + QStringLiteral(" with (force)"));
    } catch (const kv::PgError&) {
    }
}

void RemoteDb::writeIni(const QString& password) const
{
    const QString s = QStringLiteral("Internet");
    kv::EscribirIni(s, QStringLiteral("Servidor"), qEnvironmentVariable("PGHOST"));
    kv::EscribirIni(s, QStringLiteral("Puerto"), qEnvironmentVariable("PGPORT"));
    kv::EscribirIni(s, QStringLiteral("BaseDatos"), name_);
    kv::EscribirIni(s, QStringLiteral("Usuario"), qEnvironmentVariable("PGUSER"));
    kv::EscribirIni(s, QStringLiteral("Clave"), password.isEmpty() ? qEnvironmentVariable("PGPASSWORD") : password);
}

QString RemoteDb::scalar(const QString& sql, const QVariantList& params)
{
    const kv::PgResult r = admin_.exec(sql, params);
    return r.rows() ? r.value(0, 0) : QString();
}

int RemoteDb::count(const QString& table, const QString& where, const QVariantList& params)
{
    return scalar(QStringLiteral("select count(*) from ") + table + (where.isEmpty() ? QString() : QStringLiteral(" where ") + where),
                  params)
        .toInt();
}

} // namespace kvtest
