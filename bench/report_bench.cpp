// Cost of the late-arrival, consecutive-absence and daily-attendance reports on a large site:
// 100,000 persons and 1,000,000 movements over six school days around a weekend.
//
//   report_bench [DIR] [--runs N]
//
// DIR (default: a temporary directory) receives the benchmark site; a DIR that already holds
// one made by this program is measured again as it is.
#include "data/Database.h"
#include "data/Dialect.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "data/TDM.h"
#include "reports/InformesAsistencia.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int kPersons = 100000;
constexpr int kMovements = 1000000;
const QDate kLunes(2026, 11, 2);

// Built by the engine itself in one transaction: every person of eleven categories (every
// 50th suspended); on each school day 92 % come in (about 6 % of them after 07:00) and go out
// in the afternoon; every 97th person stops coming after the second day.
void fillSite(kv::Database& db)
{
    kv::Transaction tx(db);
    db.exec("INSERT INTO AbaGrados (IGrado, NGrado) SELECT value, 'GRADO ' || value FROM"
            " (WITH RECURSIVE g(value) AS (SELECT 1 UNION ALL SELECT value + 1 FROM g WHERE value < 11) SELECT value FROM g)");
    db.exec(QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < %1)"
                " INSERT INTO estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo, docIdent, tipoDocIdent,"
                " situacion, acudiente, telefacudiente, telefestud)"
                " SELECT 1 + i % 11, char(65 + (i / 11) % 4), i, 'PERSONA ' || i, 'C' || substr('00000' || i, -6), 10000000 + i, 1,"
                " CASE WHEN i % 50 = 0 THEN 'SUSPENDIDO' ELSE 'M' END, 'ACUDIENTE ' || i, '300' || i, '310' || i FROM n")
                .arg(kPersons));
    db.exec(QStringLiteral(
                "WITH RECURSIVE k(v) AS (SELECT 0 UNION ALL SELECT v + 1 FROM k WHERE v + 1 < %1 * 8),"
                " pd AS (SELECT v / %1 AS d, v % %1 AS i FROM k),"
                " vino AS (SELECT d, i FROM pd WHERE (i * 7 + d * 13) % 100 >= 8 AND NOT (i % 97 = 0 AND d >= 2))"
                " INSERT INTO entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent, nestudiante, tipomvt, subido)"
                " SELECT 'C' || substr('00000' || i, -6), date('%2', '+' || (d + 2 * (d / 5)) || ' days'),"
                " CASE WHEN t.m = 'S' THEN time('14:00:00', '+' || ((i * 53 + d) % 3600) || ' seconds')"
                "      WHEN (i * 31 + d * 17) % 100 < 6 THEN time('07:00:01', '+' || ((i * 13 + d) % 1800) || ' seconds')"
                "      ELSE time('06:20:00', '+' || ((i * 37 + d * 101) % 2400) || ' seconds') END,"
                " 1, 10000000 + i, 'PERSONA ' || i, t.m, 0"
                " FROM vino CROSS JOIN (SELECT 'E' AS m UNION ALL SELECT 'S') AS t LIMIT %3")
                .arg(kPersons).arg(kLunes.toString(Qt::ISODate)).arg(kMovements));
    tx.commit();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString dir;
    int runs = 3;
    bool plan = false;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size()) runs = qMax(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--plan")) plan = true;
        else dir = args[i];
    }
    QTemporaryDir tmp;
    if (dir.isEmpty()) dir = QDir(tmp.path()).filePath(QStringLiteral("sitio"));
    try {
        const bool nuevo = !QFileInfo::exists(QDir(dir).filePath(kv::Database::siteFileName()));
        if (nuevo) kv::createSite(dir);
        kv::SetTablesDir(dir);
        auto db = kv::Database::forDirectory(dir);
        QElapsedTimer load;
        load.start();
        if (nuevo) fillSite(*db);
        const double loadSecs = load.elapsed() / 1000.0;
        const QString n = db->select("SELECT COUNT(*) FROM entradasSalidas").rows.value(0).value(0).toString();
        const QString lastDay = db->select("SELECT MAX(fecha) FROM entradasSalidas").rows.value(0).value(0).toString();
        std::printf("report_bench: %d persons, %s movements from %s to %s (loaded in %.1f s), site %s\n",
                    kPersons, qPrintable(n), qPrintable(kLunes.toString(Qt::ISODate)), qPrintable(lastDay),
                    loadSecs, qPrintable(QDir::toNativeSeparators(dir)));

        const kv::RangoAsistencia r{1, 11, kLunes, QDate::fromString(lastDay, Qt::ISODate)};
        struct Report {
            const char* kind;
            std::function<void(kv::Query&)> query;
        };
        const Report reports[] = {
            {"tarde", [&](kv::Query& q) { kv::ConsultarLlegadasTarde(dir, q, r, QTime(7, 0, 0)); }},
            {"consecutivas", [&](kv::Query& q) { kv::ConsultarInasistenciasConsecutivas(dir, q, r, 3); }},
            {"diaria", [&](kv::Query& q) { kv::ConsultarAsistenciaPorDia(dir, q, r); }},
        };
        std::printf("%14s %10s %14s %14s\n", "report", "rows", "query med ms", "cpu med ms");
        for (const Report& rep : reports) {
            std::vector<double> ms, cpu;
            int rows = 0;
            for (int i = 0; i < runs; ++i) {
                kv::Query q;
                QElapsedTimer t;
                t.start();
                const std::clock_t c0 = std::clock();
                rep.query(q);
                cpu.push_back(1000.0 * double(std::clock() - c0) / CLOCKS_PER_SEC);
                ms.push_back(double(t.nsecsElapsed()) / 1e6);
                rows = q.recordCount();
            }
            std::printf("%14s %10d %14.1f %14.1f\n", rep.kind, rows, median(ms), median(cpu));
            if (plan) {
                // The engine's plan of the statement just run, with the parameters as the report bound them.
                kv::Query q;
                rep.query(q);
                const QString sql = QStringLiteral("EXPLAIN QUERY PLAN ") + kv::translateLocalSql(q.sql());
                const QVariantList p = {r.desde, r.hasta, r.gradoDesde, r.gradoHasta, QStringLiteral("07:00:00")};
                for (int n : {4, 5}) {
                    try {
                        for (const auto& row : db->select(sql, p.mid(0, n)).rows)
                            std::printf("      %s %s\n", qPrintable(row.value(1).toString()), qPrintable(row.value(3).toString()));
                        break;
                    } catch (const kv::DbError&) {
                    }
                }
            }
            std::fflush(stdout);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "report_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
