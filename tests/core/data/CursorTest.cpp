// Table cursors: navigation, filter, locate, posting and the notifications grids bind to.
#include "support/Rows.h"
#include "data/CursorModel.h"
#include "data/DataSource.h"
#include "data/Query.h"
#include "data/TableCursor.h"
#include "support/TempSite.h"
#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace kv;
using kvtest::TempSite;

namespace {
class Cursor : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int g = 3; g <= 5; ++g)
            for (const char* grp : {"A", "B"})
                for (int n = 0; n < 3; ++n)
                    kvtest::Persona(g, grp, QString("P%1%2%3").arg(g).arg(grp).arg(n), QString("%1%2%3").arg(g).arg(grp).arg(n))
                        .numero(n)
                        .en(site);
        cur.setTableName("Estudiantes");
        cur.setDirectory(site.tablesDir());
        cur.open();
    }
    TempSite site;
    TableCursor cur;
};
} // namespace

TEST_F(Cursor, NavigatesInTableOrderWithRecordNumbersFromOne)
{
    EXPECT_EQ(cur.recordCount(), 18);
    EXPECT_EQ(cur.recNo(), 1);
    EXPECT_TRUE(cur.bof());
    EXPECT_EQ(cur.fieldByName("codigo").asString(), "3A0");
    int seen = 0;
    for (cur.first(); !cur.eof(); cur.next()) ++seen;
    EXPECT_EQ(seen, 18);
    EXPECT_EQ(cur.recNo(), 18);
    cur.moveBy(-5);
    EXPECT_EQ(cur.recNo(), 13);
    cur.setRecNo(2);
    EXPECT_EQ(cur.fieldByName("CODIGO").asString(), "3A1");
    cur.last();
    EXPECT_TRUE(cur.eof());
    EXPECT_EQ(cur.fieldByName("codigo").asString(), "5B2");
    cur.moveBy(100);
    EXPECT_EQ(cur.recNo(), 18);
    EXPECT_THROW(cur.fieldByName("nofield"), DbError);
}

TEST_F(Cursor, EmptyFieldsReadAsEmptyTextOrZero)
{
    EXPECT_EQ(cur.fieldByName("NumMatr").asInteger(), 0);
    EXPECT_EQ(cur.fieldByName("rh").asString(), "");
    EXPECT_FALSE(cur.fieldByName("fechaNac").asDateTime().isValid());
    EXPECT_EQ(cur.fieldByName("IGrado").asInteger(), 3);
}

TEST_F(Cursor, FilterExpressionsOfTheDialect)
{
    cur.setFilter("IGrado=5 and IGrupo='A'");
    cur.setFiltered(true);
    EXPECT_EQ(cur.recordCount(), 3);
    EXPECT_EQ(cur.fieldByName("codigo").asString(), "5A0");
    cur.setFilter("igrado=4 and igrupo=\"B\"");
    EXPECT_EQ(cur.recordCount(), 3);
    EXPECT_EQ(cur.fieldByName("codigo").asString(), "4B0");
    cur.setFiltered(false);
    EXPECT_EQ(cur.recordCount(), 18);
    cur.setFilter("IGrado=9");
    cur.setFiltered(true);
    EXPECT_TRUE(cur.isEmpty());
    EXPECT_TRUE(cur.eof());
    EXPECT_EQ(cur.fieldByName("codigo").asString(), "");
    EXPECT_THROW(cur.edit(), DbError);   // no row to edit: nothing is started
    EXPECT_EQ(cur.state(), DataSetState::Browse);
}

TEST_F(Cursor, AFilterTheEngineRefusesLeavesTheRowsAsTheyWere)
{
    cur.setFilter("IGrado=4");
    cur.setFiltered(true);
    cur.next();
    EXPECT_THROW(cur.setFilter("IGrado=4 and nosuchfield=1"), DbError);
    EXPECT_EQ(cur.filter(), "IGrado=4");
    EXPECT_EQ(cur.recordCount(), 6);
    EXPECT_EQ(cur.fieldByName("IGrado").asInteger(), 4);
    EXPECT_THROW(cur.setFilter("IGrado='4"), DbError);   // unterminated text
    EXPECT_EQ(cur.recordCount(), 6);
    cur.setFiltered(false);
    EXPECT_EQ(cur.recordCount(), 18);
}

TEST_F(Cursor, LocateIsExactAndCaseSensitive)
{
    EXPECT_TRUE(cur.locate("IGrado;IGrupo;IEstudiante", {4, "B", "2"}));
    EXPECT_EQ(cur.fieldByName("codigo").asString(), "4B2");
    EXPECT_FALSE(cur.locate("IGrado;IGrupo;IEstudiante", {4, "b", 2}));
    EXPECT_EQ(cur.fieldByName("codigo").asString(), "4B2");   // a miss does not move
    EXPECT_TRUE(cur.locate("codigo", {"3A1"}));
    EXPECT_FALSE(cur.locate("codigo", {"3a1"}));
    EXPECT_FALSE(cur.locate("IGrado", {"not a number"}));
    cur.setFilter("IGrado=5");
    cur.setFiltered(true);
    EXPECT_FALSE(cur.locate("codigo", {"3A1"}));   // filtered out
}

TEST_F(Cursor, PostedRowsAreSeenByOtherCursorsAndQueriesAtOnce)
{
    TableCursor other("estudiantes");
    other.setDirectory(site.tablesDir());
    other.setFilter("IGrado=9");
    other.setFiltered(true);
    other.open();
    QSignalSpy otherData(&other, &TableCursor::dataChanged);
    QSignalSpy states(&cur, &TableCursor::stateChanged);
    QSignalSpy before(&cur, &TableCursor::beforePost);
    QObject::connect(&cur, &TableCursor::beforePost, [&] { cur.setFieldValue("situacion", "N"); });

    cur.append();
    EXPECT_EQ(cur.state(), DataSetState::Insert);
    cur.setFieldValue("IGrado", "9");          // text converted by the field
    cur.setFieldValue("IGrupo", "A");
    cur.setFieldValue("codigo", "NEW");
    cur.setFieldValue("fechaNac", QDate(2007, 5, 22));
    cur.post();
    EXPECT_EQ(cur.state(), DataSetState::Browse);
    EXPECT_EQ(before.count(), 1);
    EXPECT_GE(states.count(), 2);
    EXPECT_EQ(cur.fieldByName("codigo").asString(), "NEW");   // positioned on the posted row
    EXPECT_EQ(cur.recordCount(), 19);

    EXPECT_EQ(other.recordCount(), 1);
    EXPECT_GE(otherData.count(), 1);
    EXPECT_EQ(other.fieldByName("situacion").asString(), "N");
    EXPECT_EQ(other.fieldByName("fechaNac").asDate(), QDate(2007, 5, 22));
    EXPECT_EQ(site.scalar("select fechaNac from estudiantes where codigo='NEW'"), "2007-05-22");

    other.edit();
    other.setFieldValue("IGrado", 3);
    other.post();
    EXPECT_TRUE(other.isEmpty());   // left the filter
    EXPECT_TRUE(cur.locate("codigo", {"NEW"}));
    EXPECT_EQ(cur.fieldByName("IGrado").asInteger(), 3);

    site.exec("delete from estudiantes where codigo='NEW'");
    EXPECT_EQ(cur.recordCount(), 18);
    EXPECT_NE(cur.fieldByName("codigo").asString(), "NEW");
}

TEST_F(Cursor, BadValuesAndCancelLeaveTheTableUnchanged)
{
    cur.append();
    EXPECT_THROW(cur.setFieldValue("IEstudiante", "12x"), DbError);
    EXPECT_THROW(cur.setFieldValue("fechaNac", "no es fecha"), DbError);
    cur.setFieldValue("codigo", "TMP");
    cur.cancel();
    EXPECT_EQ(site.count("estudiantes"), 18);
    EXPECT_THROW(cur.setFieldValue("codigo", "X"), DbError);   // not editing

    cur.locate("codigo", {"4A1"});
    cur.edit();
    cur.setFieldValue("NEstudiante", "CAMBIADO");
    cur.next();                                  // moving posts, as a grid does
    EXPECT_EQ(site.scalar("select NEstudiante from estudiantes where codigo='4A1'"), "CAMBIADO");
    cur.locate("codigo", {"4A1"});
    cur.deleteRecord();
    EXPECT_EQ(site.count("estudiantes"), 17);
    EXPECT_EQ(cur.fieldByName("codigo").asString(), "4A2");
}

TEST_F(Cursor, IndexOrderAndDataSourceGate)
{
    TableCursor grupos("grupos");
    grupos.setDirectory(site.tablesDir());
    grupos.setIndexFieldNames("IGrado;IGrupo");
    site.exec("insert into grupos (IGrado, IGrupo) values (5,'B'),(3,'A'),(5,'A')");
    grupos.open();
    QStringList order;
    for (grupos.first(); !grupos.eof(); grupos.next())
        order << grupos.fieldByName("IGrado").asString() + grupos.fieldByName("IGrupo").asString();
    EXPECT_EQ(order, (QStringList{"3A", "5A", "5B"}));

    DataSource ds;
    ds.setDataSet(&grupos);
    ds.setEnabled(false);
    QSignalSpy changes(&ds, &DataSource::dataChange);
    grupos.first();
    EXPECT_EQ(changes.count(), 0);
    QSignalSpy stateChanges(&ds, &DataSource::stateChange);
    ds.setEnabled(true);   // switching on reports the current row once
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(stateChanges.count(), 1);
    grupos.next();
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(Cursor, ModelShowsRowsAndPostsEdits)
{
    CursorModel model(&cur);
    model.setColumns({{"NEstudiante", "Nombre", 213, false}, {"codigo", QString::fromUtf8("Código"), 80, true}});
    EXPECT_EQ(model.rowCount(), 18);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString::fromUtf8("Código"));
    EXPECT_EQ(model.data(model.index(4, 1), Qt::DisplayRole).toString(), "3B1");
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.setData(model.index(4, 0), "NOMBRE NUEVO", Qt::EditRole));
    cur.post();
    EXPECT_EQ(site.scalar("select NEstudiante from estudiantes where codigo='3B1'"), "NOMBRE NUEVO");
    site.exec("insert into estudiantes (codigo) values ('Z')");
    EXPECT_EQ(model.rowCount(), 19);
    cur.append();
    EXPECT_EQ(model.rowCount(), 20);
    cur.cancel();
    EXPECT_EQ(model.rowCount(), 19);
}

TEST(CursorOpen, MissingTableOrSiteNamesTheTable)
{
    TempSite site;
    site.db()->exec("DROP TABLE periodos");
    TableCursor c("periodos");
    c.setDirectory(site.tablesDir());
    try {
        c.open();
        FAIL() << "opened a missing table";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("periodos")) << qPrintable(e.message());
    }
    TableCursor d("estudiantes");
    d.setDirectory(site.workDir() + "/nowhere");
    try {
        d.open();
        FAIL() << "opened a table in a missing directory";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("estudiantes")) << qPrintable(e.message());
    }
    EXPECT_FALSE(QFile::exists(site.workDir() + "/nowhere/kelvora.db"));   // nothing created
}

TEST(CursorOpen, ARepeatedCategoryNumberIsRefusedInSpanishAndTheRowStaysToMend)
{
    TempSite site;
    site.exec("insert into AbaGrados (IGrado, NGrado) values (5, 'QUINTO')");
    TableCursor g("AbaGrados");
    g.setDirectory(site.tablesDir());
    g.open();
    g.append();
    g.setFieldValue("IGrado", 5);
    g.setFieldValue("NGrado", "OTRO");
    try {
        g.post();
        FAIL() << "a repeated category number was stored";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QString::fromUtf8("Ya existe un registro de AbaGrados con ese valor de IGrado."));
    }
    EXPECT_EQ(g.state(), DataSetState::Insert);   // what was typed is still there to correct
    g.setFieldValue("IGrado", 6);
    g.post();
    EXPECT_EQ(site.count("AbaGrados"), 2);
}

TEST(CursorOpen, TransactionRollbackRestoresRowsForEveryCursor)
{
    TempSite site;
    site.exec("insert into grupos (IGrado, IGrupo) values (1,'A'),(1,'B')");
    TableCursor g("grupos");
    g.setDirectory(site.tablesDir());
    g.open();
    auto db = site.db();
    try {
        Transaction tx(*db);
        db->exec("DELETE FROM grupos WHERE IGrupo='A'");
        EXPECT_EQ(g.recordCount(), 1);
        db->exec("DELETE FROM nosuchtable");
        tx.commit();
    } catch (const DbError&) {
    }
    EXPECT_EQ(site.count("grupos"), 2);
    EXPECT_EQ(g.recordCount(), 2);
}

// A cursor reads its rows at first use, and a statement that changes many rows at once
// (more than are worth recording one by one) still leaves every open cursor right.
TEST_F(Cursor, RowsAreReadAtFirstUseAndMassChangesAreSeen)
{
    EXPECT_EQ(cur.recordCount(), 18);   // this one has read its rows
    TableCursor later("estudiantes");
    later.setDirectory(site.tablesDir());
    later.open();
    site.exec("delete from estudiantes where IGrado=3");   // before `later` has read anything
    EXPECT_EQ(later.recNo(), 1);
    EXPECT_EQ(later.currentRow(), 0);
    EXPECT_FALSE(later.eof());
    EXPECT_EQ(later.fieldByName("codigo").asString(), "4A0");
    EXPECT_EQ(later.recordCount(), 12);

    site.exec("with recursive n(i) as (select 1 union all select i + 1 from n where i < 12000) "
              "insert into estudiantes (IGrado, IGrupo, codigo) select 9, 'Z', 'z' || i from n");
    EXPECT_EQ(cur.recordCount(), 12 + 12000);
    EXPECT_EQ(later.recordCount(), 12 + 12000);
    cur.last();
    EXPECT_EQ(cur.fieldByName("codigo").asString(), "z12000");
    site.exec("delete from estudiantes where IGrado=9 and codigo<>'z5'");
    EXPECT_EQ(cur.recordCount(), 13);
    EXPECT_EQ(later.recordCount(), 13);
    cur.last();
    EXPECT_EQ(cur.fieldByName("codigo").asString(), "z5");
}

// Values of a bound filter are data, never part of the condition: a quote is matched as a
// character and an injected condition matches nothing, in the first reading, in a locate
// inside the filter and for rows added while the filter is on.
TEST_F(Cursor, BoundFilterKeepsValuesOutOfTheCondition)
{
    kvtest::Persona(7, "O'B", "OBRIEN", "7OB").en(site);
    kvtest::Persona(7, "' or '1'='1", "TRAMPA", "7X").en(site);
    const struct {
        QString grupo;
        QStringList codigos;
    } casos[] = {
        {"O'B", {"7OB"}},
        {"' or '1'='1", {"7X"}},
        {"A' or 1=1 --", {}},
        {"A", {}},   // category 7 has no group A
    };
    for (const auto& c : casos) {
        cur.setFilter("IGrado=? and IGrupo=?", {7, c.grupo});
        cur.setFiltered(true);
        QStringList vistos;
        for (cur.first(); !cur.eof(); cur.next()) vistos << cur.fieldByName("codigo").asString();
        EXPECT_EQ(vistos, c.codigos) << c.grupo.toStdString();
    }

    cur.setFilter("IGrado=? and IGrupo=?", {7, "O'B"});
    EXPECT_TRUE(cur.locate("codigo", {"7OB"}));
    EXPECT_FALSE(cur.locate("codigo", {"7X"}));   // exists, but outside the filter
    kvtest::Persona(7, "O'B", "OTRO", "7OB2").en(site);
    kvtest::Persona(7, "C", "FUERA", "7C").en(site);
    EXPECT_EQ(cur.recordCount(), 2);

    // Changing only the values reads the rows again.
    cur.setFilter("IGrado=? and IGrupo=?", {7, "C"});
    EXPECT_EQ(cur.recordCount(), 1);
    EXPECT_EQ(cur.fieldByName("codigo").asString(), "7C");
}
