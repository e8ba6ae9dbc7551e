// The program's local SQL, translated and run on real SQLite files, and the statements kept
// prepared between runs.
#include "data/Dialect.h"
#include "data/Query.h"
#include "support/TempSite.h"
#include <QFile>
#include <QHash>
#include <sqlite3.h>
#include <gtest/gtest.h>

using namespace kv;
using kvtest::TempSite;

TEST(Dialect, LiteralsAndSubstringAreTranslated)
{
    EXPECT_EQ(translateLocalSql("select * from t where fecha>='12/09/2026' and hora<='23:59:59 '"),
              "select * from t where fecha>='2026-12-09' and hora<='23:59:59'");
    EXPECT_EQ(translateLocalSql("fecha='1/2/2026'"), "fecha='2026-01-02'");
    EXPECT_EQ(translateLocalSql("hora='7:05:00'"), "hora='07:05:00'");
    EXPECT_EQ(translateLocalSql("igrupo=\"A\""), "igrupo='A'");
    EXPECT_EQ(translateLocalSql("n=\"O'Hara\""), "n='O''Hara'");
    EXPECT_EQ(translateLocalSql("substring(upper(codigo) from 1 for 5)!='VISIT'"),
              "substr(upper(codigo), 1, 5)!='VISIT'");
    // a text that only looks like a date but is no real day stays as it is
    EXPECT_EQ(translateLocalSql("x='13/45/2026'"), "x='13/45/2026'");
    // parameters and words inside literals are left alone
    EXPECT_EQ(translateLocalSql("codigo=? and n='a ? b'"), "codigo=? and n='a ? b'");
    EXPECT_THROW(translateLocalSql("select 'abc"), DbError);
}

// Only a literal that stands for a date or time field's value is translated; everything else is
// stored and compared as typed.
TEST(Dialect, OnlyLiteralsOfDateAndTimeFieldsAreTranslated)
{
    const struct { const char* sql; const char* want; } cases[] = {
        {"insert into dependencias (ndependencia) values ('10:30')", "insert into dependencias (ndependencia) values ('10:30')"},
        {"insert into dependencias (ndependencia) values ('1/2/2026')", "insert into dependencias (ndependencia) values ('1/2/2026')"},
        {"insert into visitantes (nombre, fechaUltVisit, horaUltVisit) values ('1/2/2026', '1/2/2026', '7:05'), ('9:00', '12/31/2026', '9:00')",
         "insert into visitantes (nombre, fechaUltVisit, horaUltVisit) values ('1/2/2026', '2026-01-02', '07:05:00'), ('9:00', '2026-12-31', '09:00:00')"},
        {"update visitantes set observaciones='10:30', horaUltVisit='10:30' where nombre='1/2/2026'",
         "update visitantes set observaciones='10:30', horaUltVisit='10:30:00' where nombre='1/2/2026'"},
        {"e.fecha between '1/2/2026' and '12/01/2026 ' and '08:00'<=hora",
         "e.fecha between '2026-01-02' and '2026-12-01' and '08:00:00'<=hora"},
        {"fecha not in ('1/2/2026', '1/3/2026') and codigo in ('1/2/2026')",
         "fecha not in ('2026-01-02', '2026-01-03') and codigo in ('1/2/2026')"},
        {"select '10:30' as h, nestudiante from entradasSalidas where detalle like '%1/2/2026%'",
         "select '10:30' as h, nestudiante from entradasSalidas where detalle like '%1/2/2026%'"},
    };
    for (const auto& c : cases) EXPECT_EQ(translateLocalSql(c.sql), c.want) << c.sql;

    // a date or time that does not exist fails the statement instead of comparing as text
    for (const char* bad : {"fecha='11/31/2026'", "fecha>='02/29/2027'", "hora<'25:00:00'",
                            "insert into visitantes (fechaUltVisit) values ('13/01/2026')"})
        EXPECT_THROW(translateLocalSql(bad), DbError) << bad;

    TempSite site;
    site.exec("insert into dependencias (ndependencia) values ('10:30'), ('1/2/2026')");
    Query q = site.query("select ndependencia from dependencias order by ndependencia");
    QStringList got;
    for (q.first(); !q.eof(); q.next()) got << q.fieldByName("ndependencia").asString();
    EXPECT_EQ(got, (QStringList{"1/2/2026", "10:30"}));
    site.exec("insert into entradasSalidas (codigo, fecha, hora) values ('1', '12/01/2026', '08:00:00')");
    EXPECT_EQ(site.count("entradasSalidas", "fecha='12/01/2026 '"), 1);
    EXPECT_THROW(site.count("entradasSalidas", "fecha<='11/31/2026'"), DbError);
}

TEST(Dialect, LikeFoldsCaseOfAccentedLettersAsUpperDoes)
{
    TempSite site;
    for (const char* n : {"MÓNICA PEÑA", "mónica ñúñez", "MONICA DIAZ", "ANA_MARIA"})
        site.exec("insert into estudiantes (NEstudiante) values (?)", {QString::fromUtf8(n)});
    const struct { const char* where; int rows; } cases[] = {
        {"upper(NEstudiante) like '%mónica%'", 2},
        {"NEstudiante like '%MÓNICA%'", 2},
        {"NEstudiante like '%ÑÚÑ%'", 1},
        {"NEstudiante like 'm_nica%'", 3},       // _ is one letter, accented or not
        {"NEstudiante like '%monica%'", 1},      // an accent is still a different letter
        {"NEstudiante like 'ana\\_%' escape '\\'", 1},
        {"NEstudiante like 'ana\\_' escape '\\'", 0},
        {"NEstudiante not like '%peña'", 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(site.count("estudiantes", QString::fromUtf8(c.where)), c.rows) << c.where;
}

TEST(Dialect, LeadingKeywordDecidesWhetherRowsComeBack)
{
    EXPECT_TRUE(returnsRows("  select * from t"));
    EXPECT_TRUE(returnsRows("\n(SELECT 1)"));
    EXPECT_TRUE(returnsRows("with x as (select 1) select * from x"));
    EXPECT_TRUE(returnsRows("select * from Estudiantes where upper(NEstudiante) like '%WALTER%'"));
    EXPECT_TRUE(returnsRows("select 'delete from x' as t"));
    EXPECT_FALSE(returnsRows("update t set a=1"));
    EXPECT_FALSE(returnsRows("delete from t"));
    EXPECT_FALSE(returnsRows("insert into t select * from u"));
    EXPECT_TRUE(returnsRows("-- la lista\n  ( -- de hoy\nselect 1)"));
    EXPECT_FALSE(returnsRows("'select' from t"));
    EXPECT_FALSE(returnsRows("   "));
}

TEST(Dialect, UpperHandlesAccentsAndEnye)
{
    TempSite site;
    EXPECT_EQ(site.scalar("select upper('peña josé ñandú ü') as u"), QString::fromUtf8("PEÑA JOSÉ ÑANDÚ Ü"));
    EXPECT_EQ(site.scalar("select lower('ÁÉÍÓÚ') as u"), QString::fromUtf8("áéíóú"));
    site.exec("insert into estudiantes (NEstudiante, codigo) values (?, ?)", {QString::fromUtf8("muñoz pérez"), "1"});
    EXPECT_EQ(site.count("estudiantes", QString::fromUtf8("upper(NEstudiante) like '%MUÑOZ PÉ%'")), 1);
}

TEST(Dialect, DatesAndTimesCompareAndSortInOrder)
{
    TempSite site;
    // stored across a month and a year boundary: text order must equal time order
    const QList<QPair<QString, QString>> rows = {{"2026-12-31", "23:59:59"}, {"2027-01-01", "00:00:01"},
                                                 {"2026-02-01", "09:00:00"}, {"2026-12-31", "08:00:00"}};
    for (const auto& r : rows)
        site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt) values ('1', ?, ?, 'E')", {r.first, r.second});
    Query q = site.query("select fecha, hora from entradasSalidas where fecha>='12/31/2026' and fecha<='01/01/2027' order by fecha,hora");
    QStringList got;
    for (q.first(); !q.eof(); q.next()) got << q.fieldByName("fecha").asString() + " " + q.fieldByName("HORA").asString();
    EXPECT_EQ(got, (QStringList{"2026-12-31 08:00:00", "2026-12-31 23:59:59", "2027-01-01 00:00:01"}));
    // a time literal with a trailing blank inside the quotes reads as the time it starts with
    EXPECT_EQ(site.count("entradasSalidas", "hora>='08:00:00 ' and hora<='09:00:00 '"), 2);
    EXPECT_EQ(q.fieldByName("fecha").asDate(), QDate(2027, 1, 1));
    EXPECT_EQ(q.fieldByName("hora").asTime(), QTime(0, 0, 1));
}

TEST(Dialect, LogicalsJoinsInAndDoubleQuotedTexts)
{
    TempSite site;
    site.exec("insert into entradasSalidas (codigo, subido) values ('a', true), ('b', false), ('c', null)");
    EXPECT_EQ(site.count("entradasSalidas", "subido=false or subido is null"), 2);
    site.exec("delete from entradassalidas where subido=true");
    EXPECT_EQ(site.count("entradasSalidas"), 2);

    site.exec("insert into grupos (IGrado, IGrupo) values (5, 'A'), (5, 'B')");
    site.exec("insert into movmat (IGrado, IGrupo, IMateria) values (5, 'A', 'MAT'), (5, 'B', 'MAT')");
    site.exec("delete from movmat where igrado=5 and igrupo=\"A\"");
    EXPECT_EQ(site.count("MovMat"), 1);
    EXPECT_EQ(site.count("grupos", "IGrado not in (select igrado from movmat where igrupo='Z')"), 2);
    EXPECT_EQ(site.count("grupos g left join movmat as m on g.igrupo=m.igrupo", "m.imateria is null"), 1);
}

TEST(Dialect, JoinsKeepTheirColumnsAsWrittenAndABareSharedColumnIsRefused)
{
    // The program names the table of every column two tables of a join share; the runner
    // translates the literals only and never guesses a table for a bare one.
    TempSite site;
    site.exec("insert into estudiantes (codigo, IGrado, docIdent) values ('1', 5, 'D1')");
    site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt, docIdent) values"
              " ('1', '12/01/2026', '07:00:00', 'E', 'D1'), ('VISIT1', '12/01/2026', '08:00:00', 'E', 'D9')");
    site.exec("insert into visitantes (docIdent, nombre) values ('D9', 'V')");
    const struct { const char* sql; const char* sqlite; int rows; } qualified[] = {
        {" select a.* from entradasSalidas as a join estudiantes as b on a.codigo=b.codigo"
         " where a.fecha>='12/01/2026' and a.fecha<='12/01/2026' and substring(upper(a.codigo) from 1 for 5)!='VISIT'"
         " and b.igrado>=0 and b.igrado<=11 and a.hora>='01:00:00 ' and a.hora<='23:59:59 ' order by a.fecha,a.hora",
         " select a.* from entradasSalidas as a join estudiantes as b on a.codigo=b.codigo"
         " where a.fecha>='2026-12-01' and a.fecha<='2026-12-01' and substr(upper(a.codigo), 1, 5)!='VISIT'"
         " and b.igrado>=0 and b.igrado<=11 and a.hora>='01:00:00' and a.hora<='23:59:59' order by a.fecha,a.hora", 1},
        {"select a.* from entradasSalidas as a left join visitantes as b on a.docident=b.docident"
         " where substring(upper(a.codigo) from 1 for 5)='VISIT'",
         "select a.* from entradasSalidas as a left join visitantes as b on a.docident=b.docident"
         " where substr(upper(a.codigo), 1, 5)='VISIT'", 1},
        {"select e.nestudiante from estudiantes e join entradasSalidas es on e.codigo=es.codigo"
         " where e.codigo in (select codigo from entradasSalidas where codigo!='x') and e.docIdent='D1'",
         "select e.nestudiante from estudiantes e join entradasSalidas es on e.codigo=es.codigo"
         " where e.codigo in (select codigo from entradasSalidas where codigo!='x') and e.docIdent='D1'", 1},
    };
    for (const auto& c : qualified) {
        EXPECT_EQ(translateLocalSql(c.sql), QString(c.sqlite)) << c.sql;
        EXPECT_EQ(site.query(c.sql).recordCount(), c.rows) << c.sql;
    }
    const char* const bare[] = {
        "select a.* from entradasSalidas as a join estudiantes as b on a.codigo=b.codigo where codigo='1'",
        "select codigo from entradasSalidas, estudiantes where nestudiante='codigo'",
        "select a.* from entradasSalidas a left join visitantes b on a.docident=b.docident where docIdent='D9'",
    };
    for (const char* sql : bare) EXPECT_THROW(site.query(sql), DbError) << sql;
}

TEST(Runner, OpensOrExecutesByLeadingKeywordOnly)
{
    TempSite site;
    site.exec("insert into estudiantes (NEstudiante, codigo, IGrado, IGrupo) values ('WALTER UPDATE', 'W1', 1, 'A')");
    Query q;
    // ALTER and UPDATE inside the text do not turn a search into an execution
    EXPECT_TRUE(EjecutarSQL(site.tablesDir(), q, "select * from Estudiantes where upper(NEstudiante) like '%WALTER%'"));
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.fieldByName("nestudiante").asString(), "WALTER UPDATE");
    EXPECT_FALSE(EjecutarSQL(site.tablesDir(), q, "update estudiantes set igrupo='B' where codigo='W1'"));
    EXPECT_EQ(site.scalar("select igrupo from estudiantes"), "B");
    EXPECT_THROW(EjecutarSQL(site.tablesDir(), q, "select * from notatable"), DbError);
    EXPECT_THROW(EjecutarSQL(site.tablesDir(), q, "selec * from estudiantes"), DbError);
}

TEST(Runner, AColumnSharedLaterIsRefusedNotGuessed)
{
    TempSite site;
    const QString dir = site.tablesDir();
    Query q;
    EjecutarSQL(dir, q, "create table uno (clave integer, a text)");
    EjecutarSQL(dir, q, "create table dos (clave integer, b text)");
    EjecutarSQL(dir, q, "insert into uno values (1, 'x')");
    EjecutarSQL(dir, q, "insert into dos values (1, 'y')");
    const QString sql = "select a from uno join dos on uno.clave=dos.clave";
    ASSERT_TRUE(EjecutarSQL(dir, q, sql));
    EXPECT_EQ(q.fieldByName("a").asString(), "x");
    // Once dos has an "a" too, the same text is ambiguous: refused, never read from a
    // translation remembered from before; the qualified one reads the right table.
    EjecutarSQL(dir, q, "alter table dos add column a text");
    EjecutarSQL(dir, q, "update dos set a='z'");
    EXPECT_THROW(EjecutarSQL(dir, q, sql), DbError);
    ASSERT_TRUE(EjecutarSQL(dir, q, "select uno.a from uno join dos on uno.clave=dos.clave"));
    EXPECT_EQ(q.fieldByName("a").asString(), "x");
}

TEST(Runner, HostileTextBoundAsParameterChangesNothing)
{
    TempSite site;
    const QStringList hostile = {"O'Brien", "x'; delete from estudiantes; --", "\"", "a;b", "' or '1'='1",
                                 "DROP TABLE estudiantes", "%", "_"};
    for (const QString& h : hostile)
        site.exec("insert into estudiantes (NEstudiante, codigo) values (?, ?)", {h, h});
    EXPECT_EQ(site.count("estudiantes"), hostile.size());
    for (const QString& h : hostile) {
        Query q = site.query("select codigo from estudiantes where codigo=?", {h});
        ASSERT_EQ(q.recordCount(), 1) << qPrintable(h);
        EXPECT_EQ(q.fieldByName("codigo").asString(), h);
    }
    EXPECT_EQ(site.count("estudiantes", "codigo=?", {"nobody' or '1'='1"}), 0);
    // the parameter count must match the markers
    EXPECT_THROW(site.exec("delete from estudiantes where codigo=?"), DbError);
    EXPECT_EQ(site.count("estudiantes"), hostile.size());
}

// A select shares equal texts between rows: every value still comes back as stored, also
// past the column's first distinct values and where a text follows a number, a NULL or an
// empty text that looks the same.
TEST(Runner, RepeatedTextsComeBackAsStored)
{
    TempSite site;
    site.exec("create table v (n integer primary key, x)");
    QVariantList stored;
    for (int i = 0; i < 5000; ++i) stored << QStringLiteral("Núñez %1").arg(i % 4500);
    stored << QStringLiteral("Núñez 7") << QStringLiteral("Núñez 4700") << QStringLiteral("Núñez 4700") << QString("")
           << QVariant() << QString("") << qint64(5) << QStringLiteral("5") << QStringLiteral("5") << 2.5
           << QStringLiteral("2.5") << QStringLiteral("Núñez 7");
    const auto db = site.db();
    Transaction tx(*db);
    for (int i = 0; i < stored.size(); ++i) db->exec("insert into v values (?, ?)", {i, stored[i]});
    tx.commit();
    const ResultSet rs = db->select("select x from v order by n");
    ASSERT_EQ(rs.rows.size(), stored.size());
    for (int i = 0; i < stored.size(); ++i) {
        const QVariant& got = rs.rows[i][0];
        EXPECT_EQ(got.isNull(), stored[i].isNull()) << i;
        EXPECT_EQ(got.typeId() == QMetaType::QString, stored[i].typeId() == QMetaType::QString) << i;
        EXPECT_EQ(got.toString(), stored[i].toString()) << i;
    }
}

// Statements are kept prepared between runs: a run that failed leaves nothing behind, a
// kept select sees what another connection wrote since, and a changed table shape, by this
// connection or another, is read anew.
TEST(Runner, KeptStatementsSeeEveryChange)
{
    TempSite site;
    const auto db = site.db();
    db->exec("create table k (c text unique, n)");
    const QString insert = "insert into k (c, n) values (?, ?)";
    const QString read = "select * from k order by c";
    EXPECT_EQ(db->exec(insert, {"a", 1}), 1);
    EXPECT_THROW(db->exec(insert, {"a", 2}), DbError);   // unique: refused
    EXPECT_THROW(db->exec(insert, {"b"}), DbError);      // too few values
    EXPECT_EQ(db->exec(insert, {"b", 2}), 1);
    EXPECT_EQ(db->select(read).rows.size(), 2);

    sqlite3* otra = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(db->filePath()).constData(), &otra, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    sqlite3_busy_timeout(otra, 2000);
    EXPECT_EQ(sqlite3_exec(otra, "insert into k (c, n) values ('c', 3)", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(db->select(read).rows.size(), 3);
    EXPECT_EQ(sqlite3_exec(otra, "alter table k add column d; update k set d = 'x'", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(otra);
    const ResultSet rs = db->select(read);
    ASSERT_EQ(rs.columns.size(), 3);
    EXPECT_EQ(rs.rows.value(2).value(2).toString(), "x");
    db->exec("alter table k add column e");
    EXPECT_EQ(db->select(read).columns.size(), 4);
}
