// A posted row must survive a crash or a power cut: every connection the program opens on a
// site's file writes ahead (WAL) and waits for the disk on each commit (synchronous=FULL).
#include "data/Database.h"
#include "support/TempSite.h"
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QString pragma(sqlite3* db, const char* name)
{
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, (QByteArray("PRAGMA ") + name).constData(), -1, &st, nullptr), SQLITE_OK);
    QString v;
    if (sqlite3_step(st) == SQLITE_ROW) v = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return v;
}

TEST(Durability, SiteConnectionsWriteAheadAndSyncFully)
{
    kvtest::TempSite site;
    for (const auto& db : {site.db(), kv::Database::siteList()}) {
        SCOPED_TRACE(db->filePath().toStdString());
        EXPECT_EQ(pragma(db->handle(), "journal_mode"), "wal");
        EXPECT_EQ(pragma(db->handle(), "synchronous"), "2");   // FULL
    }
}

} // namespace
