// A site made by the first version is brought up to date when it is opened: every column
// and index a new site has, the rows already there kept and reading the later columns'
// defaults; opening it again changes nothing.
#include "data/Database.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "support/FirstSchema.h"
#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace {

// "table: col1 TYPE, col2 TYPE, ..." with names in lower case, in the file's order, and
// the names of the table's indexes.
QStringList layout(kv::Database& db)
{
    QStringList out;
    for (const kv::TableDef& t : kv::siteTables()) {
        QStringList cols;
        for (const kv::Column& c : db.columns(t.name)) cols << c.name.toLower() + ' ' + c.declaredType.toUpper();
        out << t.name + ": " + cols.join(", ");
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db.handle(), "select name from sqlite_master where type='index'"
                                     " and tbl_name=? order by name", -1, &st, nullptr), SQLITE_OK);
        const QByteArray tabla = db.tableName(t.name).toUtf8();
        sqlite3_bind_text(st, 1, tabla.constData(), -1, SQLITE_TRANSIENT);
        QStringList ix;
        while (sqlite3_step(st) == SQLITE_ROW)
            ix << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        out << t.name + " indexes: " + ix.join(", ");
    }
    return out;
}

QString scalar(const QString& dir, const QString& sql)
{
    kv::Query q;
    kv::EjecutarSQL(dir, q, sql);
    return q.isEmpty() ? QString() : q.fieldByName(q.fieldNames().value(0)).asString();
}

TEST(SchemaUpgrade, FirstLayoutSiteOpensAsANewOne)
{
    QTemporaryDir tmp;
    const QString viejo = tmp.filePath("viejo"), nuevo = tmp.filePath("nuevo");
    kvtest::crearSitioPrimerEsquema(viejo);
    kv::createSite(nuevo);

    const QStringList esperado = layout(*kv::Database::forDirectory(nuevo));
    ASSERT_FALSE(kv::columnasAgregadas().isEmpty());
    {
        auto db = kv::Database::forDirectory(viejo);   // the first opening upgrades
        EXPECT_EQ(layout(*db), esperado);
        EXPECT_TRUE(kv::ultimosAlDia(*db));
    }
    // The settings row of the old site is kept and reads each later column's default.
    EXPECT_EQ(scalar(viejo, "select NColegio from Config"), "Colegio Viejo");
    struct Case { const char* column; const char* value; };
    const Case defaults[] = {{"formatoPlanilla", "1"}, {"incluirCancelados", "False"}, {"segundosRepetida", "5"},
                             {"tonosDistintos", "True"}, {"horaEntrada", "07:00:00"}};
    for (const Case& c : defaults)
        EXPECT_EQ(scalar(viejo, QString("select %1 from Config").arg(c.column)), c.value) << c.column;
    // The list names each later column once.
    QStringList nombres;
    for (const kv::ColumnaAgregada& c : kv::columnasAgregadas()) nombres << (c.table + '.' + c.column).toLower();
    EXPECT_EQ(nombres.removeDuplicates(), 0);

    // Another opening, and the routine run again by hand, leave the file as it is.
    kv::Database::closeAll();
    auto db = kv::Database::forDirectory(viejo);
    kv::actualizarSitio(*db);
    EXPECT_EQ(layout(*db), esperado);
    EXPECT_EQ(scalar(viejo, "select count(*) from Config"), "1");
}

} // namespace
