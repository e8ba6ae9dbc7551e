// Who is inside now, at the size of a large school: 100,000 persons and 1,000,000 stored
// movements (every person alternates entry and exit day after day; the last day leaves a
// third of them inside). Times the whole list as the window and kelvora-admin read it, and
// the cost the door's new helpers add to one capture, measured in the same run: the plain
// capture of capture_bench against the same capture with the repeated-read guard, the
// publication queue following the movements table and the list kept up to date.
//
//   inside_bench [DIR] [--runs N] [--captures N]
//
// DIR (default: a temporary directory) receives the benchmark site; it must not hold one.
#include "BenchSite.h"
#include "capture/Capture.h"
#include "publish/ColaSubida.h"
#include "capture/Dentro.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/TDM.h"
#include "base/Clock.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <ctime>
#include <vector>

namespace {

constexpr int kPersons = 100000;
constexpr qint64 kMovements = 1000000;

// CPU time of the process: on a machine shared with other work, the wall clock mostly
// measures the wait for a core.
double cpuMs()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The rows the last capture stored, as an open inside list hears of them: through the
// site's change notice, which hands over their row numbers.
QVector<qint64> nuevas;

// One capture as the window does it; with `puerta` also what the door's helpers add.
double capturar(const QString& dir, const QString& code, kv::ListaDentro* lista, bool puerta)
{
    QElapsedTimer t;
    t.start();
    const std::optional<kv::PersonaCaptura> p = kv::BuscarPersona(dir, code);
    if (!p) return double(t.nsecsElapsed()) / 1e6;
    kv::UltimoMovimiento u;
    const bool dentro = kv::EstaDentro(dir, code, &u);
    if (puerta && kv::LecturaRepetida(u.fecha, u.hora, kv::Clock::instance().now(), 5))
        return double(t.nsecsElapsed()) / 1e6;
    kv::Movimiento m;
    m.codigo = code;
    m.modo = dentro ? QStringLiteral("S") : QStringLiteral("E");
    m.docIdent = p->docIdent;
    m.tipoDocIdent = p->tipoDocIdent;
    m.nombre = p->nestudiante;
    nuevas.clear();
    kv::RegistrarMovimiento(dir, m);   // the queue counts it through the change notice
    if (puerta && lista) kv::ActualizarDentro(*lista, dir, nuevas);
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString dir;
    int runs = 15, captures = 200;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size()) runs = qMax(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--captures") && i + 1 < args.size()) captures = qMax(1, args[++i].toInt());
        else dir = args[i];
    }
    QTemporaryDir tmp;
    if (dir.isEmpty()) dir = QDir(tmp.path()).filePath(QStringLiteral("sitio"));
    try {
        kv::createSite(dir);
        kv::SetTablesDir(dir);
        auto db = kv::Database::forDirectory(dir);
        QElapsedTimer load;
        load.start();
        bench::addPersons(*db, kPersons);
        qint64 stored = 0;
        QDate day(2020, 1, 6);
        bench::growMovements(*db, kPersons, kMovements - kPersons / 3, stored, day);
        // The last morning: a third of the persons came in.
        db->exec(QStringLiteral("insert into entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent, nestudiante,"
                                " tipomvt, subido) select codigo, ?, '07:00:00', 1, docIdent, NEstudiante, 'E', 0"
                                " from estudiantes where IEstudiante % 3 = 0"),
                 {day.addDays(1)});
        const qint64 total = db->select(QStringLiteral("select count(*) from entradasSalidas")).rows[0][0].toLongLong();
        std::printf("inside_bench: %d persons, %lld movements (loaded in %.1f s), site %s\n", kPersons,
                    static_cast<long long>(total), load.elapsed() / 1000.0, qPrintable(QDir::toNativeSeparators(dir)));

        kv::TDM dm;
        dm.OpenTables();
        std::vector<double> lista, cpu;
        int dentro = 0;
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            const double c0 = cpuMs();
            const kv::ListaDentro l = kv::PersonasDentro(dir);
            cpu.push_back(cpuMs() - c0);
            lista.push_back(double(t.nsecsElapsed()) / 1e6);
            dentro = l.personas + l.visitantes;
        }
        std::printf("whole list: %d inside; wall median %.1f ms (min %.1f, max %.1f); cpu median %.1f ms (min %.1f);"
                    " %d runs\n",
                    dentro, median(lista), *std::min_element(lista.begin(), lista.end()),
                    *std::max_element(lista.begin(), lista.end()), median(cpu), *std::min_element(cpu.begin(), cpu.end()),
                    runs);

        // Captures alternate plain / with the helpers so both meet the same disk and load.
        kv::ColaSubida cola(dir);
        QObject::connect(db.get(), &kv::Database::tableChanged, [](const QString& t, const QVector<kv::RowChange>& cs) {
            if (t != QLatin1String("entradassalidas")) return;
            for (const kv::RowChange& c : cs)
                if (c.op == kv::RowChange::Insert) nuevas << c.rowid;
        });
        kv::ListaDentro l = kv::PersonasDentro(dir);
        QRandomGenerator pick(4242);
        std::vector<double> sin, con;
        for (int n = 0; n < captures; ++n) {
            sin.push_back(capturar(dir, bench::codeOf(int(pick.bounded(kPersons))), nullptr, false));
            // The open list follows every capture; the plain one's share is not timed.
            if (!qEnvironmentVariableIsSet("SINLISTA")) kv::ActualizarDentro(l, dir, nuevas);
            con.push_back(capturar(dir, bench::codeOf(int(pick.bounded(kPersons))), qEnvironmentVariableIsSet("SINLISTA") ? nullptr : &l, true));
        }
        const double ms = median(sin), mc = median(con);
        std::printf("capture median: plain %.3f ms, with guard + queue + list %.3f ms, ratio %.2f (%d each)\n", ms, mc,
                    mc / ms, captures);
        std::printf("queue: %d pending\n", cola.pendientes());
        // The list the captures kept up to date must be the one a fresh reading gives.
        int rc = 0;
        if (!qEnvironmentVariableIsSet("SINLISTA")) {
            const kv::ListaDentro fresca = kv::PersonasDentro(dir);
            bool igual = fresca.filas.size() == l.filas.size();
            for (int i = 0; igual && i < l.filas.size(); ++i) igual = l.filas[i].codigo == fresca.filas[i].codigo;
            std::printf("kept list: %d inside, %s a fresh reading\n", l.personas + l.visitantes,
                        igual ? "the same as" : "DIFFERENT from");
            rc = igual ? 0 : 1;
        }
        dm.CloseTables();
        return rc;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "inside_bench: %s\n", e.what());
        return 1;
    }
}
