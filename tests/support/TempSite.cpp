#include "support/TempSite.h"
#include "data/Schema.h"

namespace kvtest {

TempSite::TempSite(bool withSite, const QString& siteName)
{
    oldCwd_ = QDir::currentPath();
    QDir::setCurrent(tmp_.path());
    if (withSite) {
        kv::createSite(tablesDir());
        kv::addSite(tmp_.path(), siteName, tablesDir());
    }
}

TempSite::~TempSite()
{
    kv::Database::closeAll();
    QDir::setCurrent(oldCwd_);
}

int TempSite::exec(const QString& sql, const QVariantList& params) const
{
    kv::Query q;
    q.setSql(sql);
    q.setDirectory(tablesDir());
    return q.execute(params);
}

kv::Query TempSite::query(const QString& sql, const QVariantList& params) const
{
    kv::Query q;
    kv::EjecutarSQL(tablesDir(), q, sql, params);
    return q;
}

QString TempSite::scalar(const QString& sql, const QVariantList& params) const
{
    kv::Query q = query(sql, params);
    if (q.isEmpty()) return QString();
    return q.fieldByName(q.fieldNames().value(0)).asString();
}

int TempSite::count(const QString& table, const QString& where, const QVariantList& params) const
{
    const QString sql = QStringLiteral("select count(*) as n from ") + table
                        + (where.isEmpty() ? QString() : QStringLiteral(" where ") + where);
    return scalar(sql, params).toInt();
}

} // namespace kvtest
