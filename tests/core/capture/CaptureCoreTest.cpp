// The capture rules without windows: badge codes, the inside test and its index, the tone.
#include "capture/Capture.h"
#include "data/Fotos.h"
#include "platform/Beep.h"
#include "support/TempSite.h"
#include "data/Query.h"
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <cmath>

namespace {

// Only movements marked as published go; those still to send (false or never marked) stay.
TEST(CaptureCore, StartupDeletesOnlyPublishedMovements)
{
    kvtest::TempSite site;
    site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt, subido) values "
              "('1', '12/01/2026', '07:00:00', 'E', true), ('2', '12/01/2026', '07:01:00', 'E', false),"
              " ('3', '12/01/2026', '07:02:00', 'E', null), ('4', '12/01/2026', '07:03:00', 'S', true)");
    kv::BorrarMovimientosSubidos(site.tablesDir());
    QStringList quedan;
    kv::Query q = site.query("select codigo from entradasSalidas order by codigo");
    for (q.first(); !q.eof(); q.next()) quedan << q.fieldByName("codigo").asString();
    EXPECT_EQ(quedan, (QStringList{"2", "3"}));
}

TEST(CaptureCore, BadgeCodesAreTheFirstFiveLettersVisitInAnyCase)
{
    for (const char* c : {"VISIT", "visit01", "ViSiT-9", "VISITANTE"}) EXPECT_TRUE(kv::EsCodigoVisitante(c)) << c;
    for (const char* c : {"VISI", "", " VISIT1", "VISlT1", "123VISIT"}) EXPECT_FALSE(kv::EsCodigoVisitante(c)) << c;
    EXPECT_FALSE(kv::EsCodigoVisitante(QString::fromUtf8("vısıt1")));   // dotless i is not an i
}

// Records the SQL text of every statement the site's connection prepares.
int recordar(unsigned, void* ctx, void* p, void*)
{
    static_cast<QStringList*>(ctx)->append(QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt*>(p))));
    return 0;
}

QString plan(sqlite3* db, const QString& sql, const QString& codigo)
{
    sqlite3_stmt* st = nullptr;
    const QByteArray q = ("EXPLAIN QUERY PLAN " + sql).toUtf8();
    if (sqlite3_prepare_v2(db, q.constData(), -1, &st, nullptr) != SQLITE_OK) return "<no compila>";
    const QByteArray c = codigo.toUtf8();
    sqlite3_bind_text(st, 1, c.constData(), c.size(), SQLITE_TRANSIENT);
    QStringList rows;
    while (sqlite3_step(st) == SQLITE_ROW) rows << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 3)));
    sqlite3_finalize(st);
    return rows.join(" / ");
}

TEST(CaptureCore, InsideTestSeeksTheCodeIndexWithoutSorting)
{
    kvtest::TempSite site;
    auto db = site.db();
    QStringList sentencias;
    sqlite3_trace_v2(db->handle(), SQLITE_TRACE_STMT, recordar, &sentencias);
    kv::EstaDentro(site.tablesDir(), "123");
    sqlite3_trace_v2(db->handle(), 0, nullptr, nullptr);

    QStringList lecturas;
    for (const QString& s : sentencias)
        if (s.contains("entradasSalidas", Qt::CaseInsensitive)) lecturas << s;
    ASSERT_EQ(lecturas.size(), 1) << sentencias.join("\n").toStdString();
    const QString p = plan(db->handle(), lecturas[0], "123");
    EXPECT_TRUE(p.contains("USING INDEX ix_es_codigo")) << p.toStdString();
    EXPECT_FALSE(p.contains("TEMP B-TREE")) << p.toStdString();
    EXPECT_FALSE(p.startsWith("SCAN")) << p.toStdString();
}

TEST(CaptureCore, InsideTestReturnsTheLastMovementData)
{
    kvtest::TempSite site;
    site.exec("insert into entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent, nestudiante, tipomvt)"
              " values ('V', '2026-12-09', '09:00:00', 3, 'D1', 'PRIMERO', 'E')");
    site.exec("insert into entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent, nestudiante, tipomvt)"
              " values ('V', '2026-12-09', '09:00:00', 4, 'D2', 'SEGUNDO', 'S')");
    kv::UltimoMovimiento u{9, "sin", "tocar", {}, {}};
    EXPECT_FALSE(kv::EstaDentro(site.tablesDir(), "V", &u));   // same second: the later row wins
    EXPECT_EQ(u.tipoDocIdent, 4);
    EXPECT_EQ(u.docIdent, "D2");
    EXPECT_EQ(u.nestudiante, "SEGUNDO");
    kv::UltimoMovimiento nada{9, "sin", "tocar", {}, {}};
    EXPECT_FALSE(kv::EstaDentro(site.tablesDir(), "OTRO", &nada));
    EXPECT_EQ(nada.docIdent, "sin");                            // left unchanged without movements
    EXPECT_EQ(kv::RutaFoto(site.tablesDir(), ""), "");
    EXPECT_EQ(kv::RutaFoto("/x/sitio", "a.jpg"), "/x/sitio/imagenes/a.jpg");
}

TEST(Beep, ToneIs500HzFor100msAndNeverWaits)
{
    const QByteArray pcm = kv::TonoPCM(500, 100, 8000);
    ASSERT_EQ(pcm.size(), 800 * 2);
    const auto* s = reinterpret_cast<const qint16*>(pcm.constData());
    int cruces = 0, pico = 0;
    for (int i = 1; i < 800; ++i) {
        if ((s[i - 1] < 0) != (s[i] < 0)) ++cruces;
        pico = std::max(pico, std::abs(int(s[i])));
    }
    EXPECT_NEAR(cruces, 100, 2);        // two sign changes per period, 50 periods
    EXPECT_GT(pico, 8000);
    EXPECT_LT(std::abs(int(s[0])) + std::abs(int(s[799])), 200);   // soft ends, no click

    int campanas = 0;
    kv::SetBeepFallback([&] { ++campanas; });
    QElapsedTimer t;
    t.start();
    kv::Beep(500, 100);
    EXPECT_LT(t.elapsed(), 50);
    if (QStandardPaths::findExecutable("aplay").isEmpty()) {
        EXPECT_EQ(campanas, 1);   // no player: the bell
    }
    kv::SetBeepFallback(nullptr);
}

} // namespace
