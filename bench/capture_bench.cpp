// Cost of one capture at the door (person lookup + inside test + stored movement, on disk
// when it returns) as the movements table grows: 10,000 persons and 10,000 / 100,000 /
// 1,000,000 stored movements. Runs exactly the routines the main window runs, with the data
// module's tables open as in the program.
//
//   capture_bench [DIR] [--captures N]
//
// DIR (default: a temporary directory) receives the benchmark site; it must not hold one.
#include "BenchSite.h"
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
        bench::addPersons(*db, kPersons);

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
            bench::growMovements(*db, kPersons, size, stored, day);
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
                const QString code = bench::codeOf(int(pick.bounded(kPersons)));
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
