// publish_bench: 10,000 movements to a loopback PostgreSQL server, the old way (one
// auto-committed insert per row, values pasted into the text) and SubirMovimientos (batches
// in transactions, values bound), one after the other in the same run.
//   eval "$(scripts/test-postgres.sh start /tmp/kvpg)"; build/bench/publish_bench [N]
#include "data/Database.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "publish/Publicacion.h"
#include "publish/Remote.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {

kv::PgParams server(const QString& db)
{
    return {{QStringLiteral("host"), qEnvironmentVariable("PGHOST")},
            {QStringLiteral("port"), qEnvironmentVariable("PGPORT")},
            {QStringLiteral("dbname"), db}};
}

void fill(const QString& dir, int n)
{
    auto db = kv::Database::forDirectory(dir);
    kv::Transaction tx(*db);
    for (int i = 0; i < n; ++i)
        db->exec(QStringLiteral("insert into entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent, nestudiante,"
                                " tipomvt, detalle) values (?, '2026-12-09', ?, 1, ?, ?, ?, '')"),
                 {QStringLiteral("C%1").arg(i % 2000), QTime(6, 0).addSecs(i).toString(QStringLiteral("HH:mm:ss")),
                  QStringLiteral("%1").arg(1000000 + i), QStringLiteral("Persona número %1").arg(i),
                  (i / 2000) % 2 ? QStringLiteral("S") : QStringLiteral("E")});
    tx.commit();
}

// The loop as it used to be: select, one statement per row committed on its own, mark all.
double oldLoop(kv::PgConnection& c, const QString& dir, int icolegio, long long* trips)
{
    QElapsedTimer t;
    t.start();
    const long long before = c.roundTrips();
    kv::Query q;
    kv::EjecutarSQL(dir, q, QStringLiteral("select * from entradassalidas where subido=false or subido is null"));
    for (q.first(); !q.eof(); q.next()) {
        auto s = [&q](const char* f) { return q.fieldByName(QLatin1String(f)).asString(); };
        c.exec(QStringLiteral("insert into entradassalidas  (icolegio,codigo,fecha,hora,docIdent,tipoDocIdent,nEstudiante,"
                              "tipoMvt,detalle) values (%1,'%2','%3','%4','%5',%6,'%7','%8','%9')")
                   .arg(icolegio).arg(s("codigo"), q.fieldByName("fecha").asDate().toString("yyyy-MM-dd"),
                                      q.fieldByName("hora").asTime().toString("HH:mm:ss"), s("docIdent"))
                   .arg(q.fieldByName("tipoDocIdent").asInteger())
                   .arg(s("nestudiante"), s("tipomvt"), s("detalle")));
    }
    kv::EjecutarSQL(dir, q, QStringLiteral("update entradassalidas set subido=true "));
    *trips = c.roundTrips() - before;
    return t.elapsed() / 1000.0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    if (qEnvironmentVariable("PGHOST") != QLatin1String("127.0.0.1") || qEnvironmentVariableIsEmpty("PGPORT")) {
        std::fprintf(stderr, "publish_bench: needs a loopback server in PGHOST=127.0.0.1 / PGPORT;\n"
                             "  eval \"$(scripts/test-postgres.sh start /tmp/kvpg)\"\n");
        return 2;
    }
    const QString dbName = QStringLiteral("kvbench_%1").arg(QCoreApplication::applicationPid());
    kv::PgConnection admin;
    admin.open(server(QStringLiteral("postgres")));
    admin.exec(QStringLiteral("create database ") + dbName);
    int rc = 0;
    try {
        kv::PgConnection c;
        c.open(server(dbName));
        kv::CrearEsquemaRemoto(c, 2026);
        c.exec(QStringLiteral("set search_path to 2026"));

        QTemporaryDir tmp;
        const QString a = QDir(tmp.path()).filePath(QStringLiteral("a")), b = QDir(tmp.path()).filePath(QStringLiteral("b"));
        kv::createSite(a);
        kv::createSite(b);
        fill(a, n);
        fill(b, n);

        long long oldTrips = 0;
        const double tOld = oldLoop(c, a, 7, &oldTrips);
        const long long before = c.roundTrips();
        QElapsedTimer t;
        t.start();
        const kv::ResultadoSubida r = kv::SubirMovimientos(c, b, 8);
        const double tNew = t.elapsed() / 1000.0;
        const long long newTrips = c.roundTrips() - before;
        const int remoteOld = c.exec(QStringLiteral("select count(*) from entradassalidas where icolegio=7")).value(0, 0).toInt();
        const int remoteNew = c.exec(QStringLiteral("select count(*) from entradassalidas where icolegio=8")).value(0, 0).toInt();

        std::printf("publish_bench: %d movements to 127.0.0.1:%s\n", n, qPrintable(qEnvironmentVariable("PGPORT")));
        std::printf("  %-34s %9s %14s %10s\n", "", "seconds", "trips/1000", "on server");
        std::printf("  %-34s %9.3f %14.1f %10d\n", "one auto-committed insert per row", tOld, oldTrips * 1000.0 / n, remoteOld);
        std::printf("  %-34s %9.3f %14.1f %10d\n", "SubirMovimientos (batches of 1000)", tNew, newTrips * 1000.0 / n, remoteNew);
        std::printf("  ratio %.1f times faster (target >= 30), %.1f remote statements per 1000 (target <= 10)\n",
                    tOld / tNew, newTrips * 1000.0 / n);
        if (r.enviadas != n || remoteNew != n) {
            std::fprintf(stderr, "publish_bench: sent %d of %d\n", r.enviadas, n);
            rc = 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "publish_bench: %s\n", e.what());
        rc = 1;
    }
    admin.exec(QStringLiteral("drop database ") + dbName + QStringLiteral(" with (force)"));
    return rc;
}
