// Cost of one capture at the door (person lookup + inside test + stored movement, on disk
// when it returns) as the movements table grows: 10,000 persons and 10,000 / 100,000 /
// 1,000,000 stored movements. Runs exactly the routines the main window runs, with the data
// module's tables open as in the program.
//
//   capture_bench [DIR] [--captures N]
//
// DIR (default: a temporary directory) receives the benchmark site; it must not hold one.
#include "capture/Capture.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/TDM.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int kPersons = 10000;

QString codeOf(int i) { return QStringLiteral("C%1").arg(i, 6, 10, QLatin1Char('0')); }

void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// Bulk rows go straight through one prepared statement inside one transaction: loading a
// million rows one commit at a time would take hours with synchronous=FULL.
void addPersons(kv::Database& db)
{
    sqlite3* h = db.handle();
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(h,
                             "INSERT INTO estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo, docIdent,"
                             " tipoDocIdent, situacion, idFoto) VALUES (?, ?, ?, ?, ?, ?, 1, ?, ?)",
                             -1, &st, nullptr), h);
    kv::Transaction tx(db);
    for (int i = 0; i < kPersons; ++i) {
        const QByteArray grupo = QByteArray(1, char('A' + i % 4));
        const QByteArray nombre = QStringLiteral("PERSONA %1").arg(i).toUtf8();
        const QByteArray code = codeOf(i).toUtf8();
        const QByteArray doc = QByteArray::number(10000000 + i);
        const QByteArray foto = code + ".jpg";
        sqlite3_bind_int(st, 1, 1 + i % 11);
        sqlite3_bind_text(st, 2, grupo.constData(), grupo.size(), SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 3, i);
        sqlite3_bind_text(st, 4, nombre.constData(), nombre.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 5, code.constData(), code.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 6, doc.constData(), doc.size(), SQLITE_TRANSIENT);
        if (i % 50 == 0) sqlite3_bind_text(st, 7, "SUSPENDIDO", -1, SQLITE_STATIC);
        else sqlite3_bind_text(st, 7, "M", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 8, foto.constData(), foto.size(), SQLITE_TRANSIENT);
        check(sqlite3_step(st), h);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    tx.commit();
}

// Appends movements until the table holds `target` rows: every person alternates entry and
// exit, one school day after another, so each code ends up with many rows.
void growMovements(kv::Database& db, qint64 target, qint64& stored, QDate& day)
{
    sqlite3* h = db.handle();
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(h,
                             "INSERT INTO entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent, nestudiante,"
                             " tipomvt, detalle, subido) VALUES (?, ?, ?, 1, ?, ?, ?, NULL, 0)",
                             -1, &st, nullptr), h);
    QRandomGenerator rng(20261209);
    kv::Transaction tx(db);
    while (stored < target) {
        const QByteArray fecha = day.toString(Qt::ISODate).toUtf8();
        for (int i = 0; i < kPersons && stored < target; ++i) {
            const bool exit = (stored / kPersons) % 2 == 1;
            const int secs = exit ? 14 * 3600 + rng.bounded(3600) : 6 * 3600 + rng.bounded(3600);
            const QByteArray hora = QTime(0, 0).addSecs(secs).toString(QStringLiteral("HH:mm:ss")).toUtf8();
            const QByteArray code = codeOf(i).toUtf8();
            const QByteArray doc = QByteArray::number(10000000 + i);
            const QByteArray nombre = QStringLiteral("PERSONA %1").arg(i).toUtf8();
            sqlite3_bind_text(st, 1, code.constData(), code.size(), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, fecha.constData(), fecha.size(), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 3, hora.constData(), hora.size(), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 4, doc.constData(), doc.size(), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 5, nombre.constData(), nombre.size(), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 6, exit ? "S" : "E", 1, SQLITE_STATIC);
            check(sqlite3_step(st), h);
            sqlite3_reset(st);
            ++stored;
        }
        if ((stored / kPersons) % 2 == 0) day = day.addDays(1);
    }
    sqlite3_finalize(st);
    tx.commit();
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5));
    return v[i];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString dir;
    int captures = 300;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--captures") && i + 1 < args.size()) captures = args[++i].toInt();
        else dir = args[i];
    }
    QTemporaryDir tmp;
    if (dir.isEmpty()) dir = QDir(tmp.path()).filePath(QStringLiteral("sitio"));
    try {
        kv::createSite(dir);
        kv::SetTablesDir(dir);
        auto db = kv::Database::forDirectory(dir);
        addPersons(*db);

        std::printf("capture_bench: %d persons, %d captures per size, site %s\n", kPersons, captures,
                    qPrintable(QDir::toNativeSeparators(dir)));
        std::printf("%12s %10s %10s %10s %14s %14s %8s\n", "movements", "median ms", "p99 ms", "max ms",
                    "reads med ms", "reads p99 ms", "load s");
        std::fflush(stdout);

        qint64 stored = 0;
        QDate day(2020, 1, 6);
        QRandomGenerator pick(4242);
        for (qint64 size : {qint64(10000), qint64(100000), qint64(1000000)}) {
            QElapsedTimer load;
            load.start();
            growMovements(*db, size, stored, day);
            const double loadSecs = load.elapsed() / 1000.0;

            // The program runs with the data module's tables open; a stored movement
            // reaches their cursors too.
            kv::TDM dm;
            dm.OpenTables();

            std::vector<double> ms, reads;   // whole capture; lookup + inside test alone
            ms.reserve(size_t(captures));
            reads.reserve(size_t(captures));
            int refused = 0;
            for (int n = 0; n < captures; ++n) {
                const QString code = codeOf(int(pick.bounded(kPersons)));
                QElapsedTimer t;
                t.start();
                // What the window does for one code, minus labels, photo and tone.
                const std::optional<kv::PersonaCaptura> p = kv::BuscarPersona(dir, code);
                const bool dentro = p && kv::EstaDentro(dir, code);
                reads.push_back(double(t.nsecsElapsed()) / 1e6);
                if (p) {
                    kv::Movimiento m;
                    m.codigo = code;
                    m.modo = dentro ? QStringLiteral("S") : QStringLiteral("E");
                    m.docIdent = p->docIdent;
                    m.tipoDocIdent = p->tipoDocIdent;
                    m.nombre = p->nestudiante;
                    kv::RegistrarMovimiento(dir, m);
                    ++stored;
                } else {
                    ++refused;   // every 50th person is suspended: refused after the lookup
                }
                ms.push_back(double(t.nsecsElapsed()) / 1e6);
            }
            dm.CloseTables();
            db = kv::Database::forDirectory(dir);
            std::printf("%12lld %10.3f %10.3f %10.3f %14.3f %14.3f %8.1f   (%d suspended: lookup only)\n",
                        static_cast<long long>(size), percentile(ms, 0.5), percentile(ms, 0.99),
                        *std::max_element(ms.begin(), ms.end()), percentile(reads, 0.5), percentile(reads, 0.99),
                        loadSecs, refused);
            std::fflush(stdout);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "capture_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
