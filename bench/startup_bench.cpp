// Start-up at scale: from opening the site's tables to the main window on screen and
// answering its first scan, with 10,000 and 1,000,000 stored movements of which 0 %, 10 %
// or 100 % are already published (to be deleted at start-up). Each start runs in a child
// process of its own, so its peak memory (VmHWM) is its own.
//
//   startup_bench [DIR] [--antes]
//
// DIR (default: a temporary directory) receives the benchmark sites. --antes repeats each
// start in the order the program used to follow: every row of the movements table read
// when it opens, and the published rows deleted by one statement before the window shows.
#include "app/forms/TFrmMain.h"
#include "publish/Publicados.h"
#include "data/Database.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "data/TDM.h"
#include "settings/UserLevel.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sqlite3.h>

namespace {

constexpr int kPersons = 1000;

QString codeOf(int i) { return QStringLiteral("C%1").arg(i, 5, 10, QLatin1Char('0')); }

void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

void exec(sqlite3* h, const char* sql) { check(sqlite3_exec(h, sql, nullptr, nullptr, nullptr), h); }

// A site with persons, a category and group each, and `movements` unpublished movements.
void buildSite(const QString& dir, qint64 movements)
{
    kv::createSite(dir);
    auto db = kv::Database::openFile(QDir(dir).filePath(kv::Database::siteFileName()), false);
    sqlite3* h = db->handle();
    kv::Transaction tx(*db);
    exec(h, "INSERT INTO AbaGrados (IGrado, NGrado) VALUES (1, 'PRIMERO')");
    exec(h, "INSERT INTO grupos (IGrado, IGrupo) VALUES (1, 'A')");
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(h, "INSERT INTO estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo)"
                                " VALUES (1, 'A', ?, ?, ?)", -1, &st, nullptr), h);
    for (int i = 0; i < kPersons; ++i) {
        const QByteArray code = codeOf(i).toUtf8(), name = ("PERSONA " + codeOf(i)).toUtf8();
        sqlite3_bind_int(st, 1, i);
        sqlite3_bind_text(st, 2, name.constData(), name.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, code.constData(), code.size(), SQLITE_TRANSIENT);
        check(sqlite3_step(st), h);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_prepare_v2(h, "INSERT INTO entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent,"
                                " nestudiante, tipomvt, subido) VALUES (?, ?, ?, 1, '1', 'PERSONA', ?, 0)",
                             -1, &st, nullptr), h);
    QDate day(2020, 1, 1);
    for (qint64 n = 0; n < movements; ++n) {
        const bool exit = (n / kPersons) % 2 == 1;
        if (n > 0 && n % (2 * kPersons) == 0) day = day.addDays(1);
        const QByteArray code = codeOf(int(n % kPersons)).toUtf8(), fecha = day.toString(Qt::ISODate).toUtf8();
        sqlite3_bind_text(st, 1, code.constData(), code.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, fecha.constData(), fecha.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, exit ? "15:00:00" : "07:00:00", 8, SQLITE_STATIC);
        sqlite3_bind_text(st, 4, exit ? "S" : "E", 1, SQLITE_STATIC);
        check(sqlite3_step(st), h);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    tx.commit();
    exec(h, "PRAGMA wal_checkpoint(TRUNCATE)");
}

// One start, in this process: prints "ready_ms scan_ms purged_ms vmhwm_mb".
int runStart(const QString& dir, bool antes)
{
    QElapsedTimer t;
    t.start();
    kv::SetTablesDir(dir);
    kv::TDM dm;
    dm.OpenTables();
    if (antes) {
        dm.TblEntradasSalidas->recordCount();   // the rows were read at opening
        kv::Query q;
        kv::EjecutarSQL(dir, q, QStringLiteral("delete from entradassalidas where subido=true"));
    }
    kv::SetUserLevel(QStringLiteral("1"));
    TFrmMain w(nullptr, false);
    w.show();
    QCoreApplication::processEvents();
    const double ready = t.nsecsElapsed() / 1e6;
    // The operator scans at once; the scan waits at most for the batch under way.
    double scanned = 0;
    QTimer::singleShot(0, &w, [&] {
        w.edCodigo->setText(codeOf(7));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QCoreApplication::sendEvent(w.edCodigo, &enter);
        scanned = t.nsecsElapsed() / 1e6;
    });
    while (scanned == 0 || kv::BorradoPublicadosPendiente()) QCoreApplication::processEvents();
    const double purged = t.nsecsElapsed() / 1e6;
    double hwm = 0;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& l : status.readAll().split('\n'))
            if (l.startsWith("VmHWM:")) hwm = l.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    std::printf("%.1f %.1f %.1f %.1f\n", ready, scanned, purged, hwm);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && QByteArray(argv[1]) == "--run") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("KELVORA_MENSAJES", "stderr");
        QApplication app(argc, argv);
        return runStart(QString::fromLocal8Bit(argv[2]), argc >= 4 && QByteArray(argv[3]) == "--antes");
    }
    QCoreApplication app(argc, argv);
    QString dir;
    bool antes = false;
    for (const QString& a : app.arguments().mid(1)) {
        if (a == QLatin1String("--antes")) antes = true;
        else dir = a;
    }
    QTemporaryDir tmp;
    if (dir.isEmpty()) dir = tmp.path();
    std::printf("startup_bench%s: %d persons; times in ms from opening the tables\n", antes ? " --antes" : "", kPersons);
    std::printf("%10s %10s %10s %12s %12s %10s\n", "movements", "published", "window ms", "1st scan ms",
                "all gone ms", "peak MB");
    std::fflush(stdout);
    for (qint64 size : {qint64(10000), qint64(1000000)}) {
        const QString base = QDir(dir).filePath(QStringLiteral("base-%1").arg(size));
        QElapsedTimer load;
        load.start();
        if (!QFileInfo::exists(QDir(base).filePath(kv::Database::siteFileName()))) buildSite(base, size);
        std::fprintf(stderr, "site of %lld movements ready in %.1f s\n", qlonglong(size), load.elapsed() / 1000.0);
        for (int share : {0, 10, 100}) {
            const QString run = QDir(dir).filePath(QStringLiteral("run-%1-%2").arg(size).arg(share));
            QDir(run).removeRecursively();
            QDir().mkpath(QDir(run).filePath(QStringLiteral("imagenes")));
            QFile::copy(QDir(base).filePath(kv::Database::siteFileName()), QDir(run).filePath(kv::Database::siteFileName()));
            {
                auto db = kv::Database::openFile(QDir(run).filePath(kv::Database::siteFileName()), false);
                if (share > 0)
                    db->exec(QStringLiteral("UPDATE entradasSalidas SET subido=1 WHERE rowid % %1 = 0").arg(100 / share));
                db->exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
                kv::Database::closeAll();
            }
            QProcess p;
            QStringList args{QStringLiteral("--run"), run};
            if (antes) args << QStringLiteral("--antes");
            p.start(QCoreApplication::applicationFilePath(), args);
            p.waitForFinished(-1);
            const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
            if (p.exitCode() != 0 || f.size() != 4) {
                std::fprintf(stderr, "start failed: %s\n", p.readAllStandardError().constData());
                return 1;
            }
            std::printf("%10lld %9d%% %10s %12s %12s %10s\n", qlonglong(size), share, f[0].constData(),
                        f[1].constData(), f[2].constData(), f[3].constData());
            std::fflush(stdout);
            QDir(run).removeRecursively();
        }
    }
    return 0;
}
