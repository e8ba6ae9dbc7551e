#pragma once
// A real site on disk for a test: a temporary working directory with Config.DB and a
// tables directory "site" with every table, made the way kelvora-admin makes them.
#include "data/Database.h"
#include "data/Query.h"
#include <QDir>
#include <QTemporaryDir>

namespace kvtest {

class TempSite {
public:
    // Makes the working directory current; withSite=false leaves the tables out.
    explicit TempSite(bool withSite = true, const QString& siteName = QStringLiteral("Colegio Prueba"));
    ~TempSite();

    QString workDir() const { return tmp_.path(); }
    QString tablesDir() const { return QDir(tmp_.path()).filePath(QStringLiteral("site")); }
    std::shared_ptr<kv::Database> db() const { return kv::Database::forDirectory(tablesDir()); }

    // Local-dialect statements through the statement runner.
    int exec(const QString& sql, const QVariantList& params = {}) const;
    kv::Query query(const QString& sql, const QVariantList& params = {}) const;
    // First column of the first row as text ("" when no row).
    QString scalar(const QString& sql, const QVariantList& params = {}) const;
    int count(const QString& table, const QString& where = QString(), const QVariantList& params = {}) const;

private:
    QTemporaryDir tmp_;
    QString oldCwd_;
};

} // namespace kvtest
