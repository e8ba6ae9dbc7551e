// Cost of the reports, from statement to PDF: an entries-and-exits report of 10,000
// movements and the attendance report over a site of 100,000 movements; then the
// late-arrival, consecutive-absence and daily-attendance reports on a site of 100,000 persons
// and 1,000,000 movements. Each report is written twice: rows let go of as they print and
// pages streamed to libharu (the program now), and every page kept then drawn by QPdfWriter
// (before). Prints the time of each step, the pages, and the peak memory of each way.
//
//   report_bench [DIR]
//
// DIR (default: a temporary directory) receives the benchmark sites (DIR and DIR-grande)
// and their PDF files; they must not hold a site.
#include "data/Database.h"
#include "data/Schema.h"
#include "data/TDM.h"
#include "reports/engine/ReportExport.h"
#include "reports/ReportKinds.h"
#include "reports/engine/ReportPainter.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <sqlite3.h>

namespace {

constexpr int kPersons = 1000;

long statusKb(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toLong();
    return -1;
}
long peakKb() { return statusKb("VmHWM:"); }

void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// Persons in ten categories; movements alternate entry and exit, 8 a day per... spread over
// as many days as `total` needs, from 2026-01-01 on.
void fill(kv::Database& db, int from, int total)
{
    sqlite3* h = db.handle();
    check(sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr), h);
    sqlite3_stmt* st = nullptr;
    if (from == 0) {
        check(sqlite3_prepare_v2(h, "INSERT INTO estudiantes (IGrado, IGrupo, NEstudiante, codigo, docIdent, "
                                    "telefestud) VALUES (?, 'A', ?, ?, ?, '3001234567')", -1, &st, nullptr), h);
        for (int i = 0; i < kPersons; ++i) {
            const QByteArray name = QStringLiteral("PERSONA NÚMERO %1 DE APELLIDO LARGO").arg(i).toUtf8();
            const QByteArray code = QStringLiteral("C%1").arg(i, 5, 10, QLatin1Char('0')).toUtf8();
            sqlite3_bind_int(st, 1, i % 10 + 1);
            sqlite3_bind_text(st, 2, name.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 3, code.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 4, code.constData(), -1, SQLITE_TRANSIENT);
            check(sqlite3_step(st), h);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
    }
    check(sqlite3_prepare_v2(h, "INSERT INTO entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent, "
                                "nestudiante, tipomvt, detalle, subido) VALUES (?, ?, ?, 2, ?, ?, ?, ?, 0)",
                             -1, &st, nullptr), h);
    for (int n = from; n < total; ++n) {
        const int person = n % kPersons;
        const int round = n / kPersons;                       // each person: entry, exit, entry, ...
        const QDate day = QDate(2026, 1, 1).addDays(round / 2);
        const QTime time = QTime(round % 2 ? 14 : 7, person % 60, person % 59);
        const QByteArray code = QStringLiteral("C%1").arg(person, 5, 10, QLatin1Char('0')).toUtf8();
        const QByteArray name = QStringLiteral("PERSONA NÚMERO %1 DE APELLIDO LARGO").arg(person).toUtf8();
        const QByteArray d = day.toString(Qt::ISODate).toUtf8(), t = time.toString(QStringLiteral("HH:mm:ss")).toUtf8();
        const QByteArray det = person % 7 ? QByteArray() : QByteArray("Llegó con permiso firmado por el acudiente");
        sqlite3_bind_text(st, 1, code.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, d.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, t.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, code.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 5, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 6, round % 2 ? "S" : "E", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 7, det.constData(), -1, SQLITE_TRANSIENT);
        check(sqlite3_step(st), h);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr), h);
}

constexpr int kPersonasGrande = 100000;
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
                .arg(kPersonasGrande));
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
                .arg(kPersonasGrande).arg(kLunes.toString(Qt::ISODate)).arg(kMovements));
    tx.commit();
}

// Processor time of the whole process in milliseconds: on a machine shared with builds, the
// wall time says little alone.
long cpuMs() { return long(std::clock() * 1000.0 / CLOCKS_PER_SEC); }

// The peak memory is measured per step: freed memory goes back to the system and the
// kernel's high-water mark starts again from what the process holds now.
long restartPeak()
{
    malloc_trim(0);
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
    return peakKb();
}

struct Step {
    qint64 wall = 0;
    long cpu = 0;
};

struct Laps {
    QElapsedTimer t;
    long cpu0 = cpuMs();
    Laps() { t.start(); }
    Step lap()
    {
        const Step s{t.elapsed(), cpuMs() - cpu0};
        t.restart();
        cpu0 = cpuMs();
        return s;
    }
};

// One report twice, its statement run for each: as the program writes it now (rows handed
// over and let go of as they print, pages streamed to libharu, none kept) and as it did
// before (every page kept, then QPdfWriter).
void run(const QString& dir, const char* kind, const kv::rpt::ReportArgs& args, const QString& pdf)
{
    using namespace kv::rpt;
    const long base = restartPeak();
    Laps c;
    PreparedReport handed = findReportKind(QString::fromLatin1(kind))->prepare(dir, args);
    const Step query = c.lap();
    const long afterRows = statusKb("VmRSS:");
    const int rows = int(handed.data.rows.size());
    // As kelvora-admin: the rows handed over, each let go of once printed.
    const Written w = exportReport(handed.layout, std::move(handed.data), ExportFormat::Pdf, pdf);
    const Step streamed = c.lap();
    const long peakNow = peakKb();
    const qint64 sizeNow = QFileInfo(pdf).size();
    handed = PreparedReport();

    restartPeak();
    c.lap();
    const PreparedReport r = findReportKind(QString::fromLatin1(kind))->prepare(dir, args);
    c.lap();
    const PageModel m = buildPages(r.layout, r.data);
    const Step layout = c.lap();
    QString before = pdf;
    before.replace(QStringLiteral(".pdf"), QStringLiteral("-qt.pdf"));
    writePdfQt(m, before);
    const Step qt = c.lap();
    const long peakBefore = peakKb();

    std::printf("%-17s %7d rows %5d pages  (%d kept)  before the report %ld kB\n", kind, rows,
                w.pages, int(m.pages.size()), base);
    std::printf("%-17s statement               wall %6lld ms  processor %6ld ms  resident after %7ld kB\n", "", query.wall,
                query.cpu, afterRows);
    std::printf("%-17s now:    streamed + PDF  wall %6lld ms  processor %6ld ms  total wall %6lld ms  peak %7ld kB"
                "  file %6lld kB\n",
                "", streamed.wall, streamed.cpu, query.wall + streamed.wall, peakNow, sizeNow / 1024);
    std::printf("%-17s before: page model      wall %6lld ms  processor %6ld ms\n", "", layout.wall, layout.cpu);
    std::printf("%-17s         QPdfWriter      wall %6lld ms  processor %6ld ms  total wall %6lld ms  peak %7ld kB"
                "  file %6lld kB\n",
                "", qt.wall, qt.cpu, query.wall + layout.wall + qt.wall, peakBefore, QFileInfo(before).size() / 1024);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.filePath(QStringLiteral("site"));
    kv::createSite(dir);
    kv::SetTablesDir(dir);
    auto db = kv::Database::forDirectory(dir);

    fill(*db, 0, 10000);
    kv::rpt::ReportArgs es;
    es.set(QStringLiteral("desde"), QStringLiteral("2026-01-01"));
    es.set(QStringLiteral("hasta"), QStringLiteral("2026-12-31"));
    es.set(QStringLiteral("grado-desde"), QStringLiteral("1"));
    es.set(QStringLiteral("grado-hasta"), QStringLiteral("10"));
    run(dir, "entradas-salidas", es, QDir(dir).filePath(QStringLiteral("es.pdf")));

    fill(*db, 10000, 100000);
    // Every person entered in the range, so every one of the 100,000 movements is listed.
    kv::rpt::ReportArgs as = es;
    as.set(QStringLiteral("hasta"), QStringLiteral("2026-01-01"));
    run(dir, "asistentes", as, QDir(dir).filePath(QStringLiteral("as.pdf")));

    // The late-arrival, consecutive-absence and daily-attendance reports on a large site.
    const QString grande = dir + QStringLiteral("-grande");
    kv::createSite(grande);
    kv::SetTablesDir(grande);
    {
        auto g = kv::Database::forDirectory(grande);
        QElapsedTimer load;
        load.start();
        fillSite(*g);
        std::printf("site of %d persons and %d movements from %s on, loaded in %.1f s\n", kPersonasGrande, kMovements,
                    qPrintable(kLunes.toString(Qt::ISODate)), load.elapsed() / 1000.0);
    }
    kv::rpt::ReportArgs semana;
    semana.set(QStringLiteral("desde"), kLunes.toString(Qt::ISODate));
    semana.set(QStringLiteral("hasta"), kLunes.addDays(7).toString(Qt::ISODate));
    semana.set(QStringLiteral("dias"), QStringLiteral("3"));
    // Late arrivals of one day (the list asked for every morning) and of the whole week.
    kv::rpt::ReportArgs lunes = semana;
    lunes.set(QStringLiteral("hasta"), kLunes.toString(Qt::ISODate));
    run(grande, "tarde", lunes, QDir(grande).filePath(QStringLiteral("tarde-dia.pdf")));
    for (const char* kind : {"tarde", "consecutivas", "diaria"})
        run(grande, kind, semana, QDir(grande).filePath(QString::fromLatin1(kind) + QStringLiteral(".pdf")));
    kv::SetTablesDir(QString());
    return 0;
}
