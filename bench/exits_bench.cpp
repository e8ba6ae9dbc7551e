// exits_bench: "Sacar los que se quedaron dentro del sistema" for 10,000 persons inside,
// the person-by-person walk (one inside test and one stored row per person) against the
// set-based SacarLosQueQuedaron, each on its own copy of the same site.
//   build/bench/exits_bench [PERSONS]
#include "capture/Capture.h"
#include "capture/SalidasSistema.h"
#include "data/Database.h"
#include "data/Query.h"
#include "data/Schema.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

namespace {

void fill(const QString& dir, int n)
{
    kv::createSite(dir);
    auto db = kv::Database::forDirectory(dir);
    kv::Transaction tx(*db);
    for (int i = 0; i < n; ++i) {
        const QString code = QStringLiteral("P%1").arg(i);
        db->exec(QStringLiteral("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo, docIdent)"
                                " values (?, 'A', ?, ?, ?, ?)"),
                 {i % 11, i, QStringLiteral("Persona %1").arg(i), code, QString::number(i)});
        // A day of comings and goings; everybody ends inside.
        for (const char* h : {"07:00:00", "12:00:00", "13:00:00"})
            db->exec(QStringLiteral("insert into entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent, nestudiante, tipomvt)"
                                    " values (?, '2026-12-09', ?, 1, ?, ?, ?)"),
                     {code, QLatin1String(h), QString::number(i), QStringLiteral("Persona %1").arg(i),
                      qstrcmp(h, "12:00:00") == 0 ? QStringLiteral("S") : QStringLiteral("E")});
    }
    tx.commit();
}

// The walk as it used to be: every person, its inside test, and a row stored at once.
int walk(const QString& dir)
{
    kv::Query persons;
    kv::EjecutarSQL(dir, persons, QStringLiteral("select codigo from estudiantes order by rowid"));
    int n = 0;
    for (persons.first(); !persons.eof(); persons.next()) {
        const QString code = persons.fieldByName(QStringLiteral("codigo")).asString();
        kv::UltimoMovimiento u;
        if (!kv::EstaDentro(dir, code, &u)) continue;
        kv::Query q;
        kv::EjecutarSQL(dir, q, QStringLiteral("insert into entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent,"
                                               " nestudiante, tipomvt, detalle) values (?, ?, ?, ?, ?, ?, 'S', ?)"),
                        {code, QDate::currentDate(), QTime::currentTime(), u.tipoDocIdent, u.docIdent, u.nestudiante,
                         kv::DetalleSalidaSistema()});
        ++n;
    }
    return n;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    QTemporaryDir tmp;
    const QString a = QDir(tmp.path()).filePath(QStringLiteral("a")), b = QDir(tmp.path()).filePath(QStringLiteral("b"));
    fill(a, n);
    fill(b, n);
    QElapsedTimer t;
    t.start();
    const int outOld = walk(a);
    const double tOld = t.elapsed() / 1000.0;
    t.restart();
    const int outNew = kv::SacarLosQueQuedaron(b);
    const double tNew = t.elapsed() / 1000.0;
    t.restart();
    const int again = kv::SacarLosQueQuedaron(b);
    const double tAgain = t.elapsed() / 1000.0;
    std::printf("exits_bench: %d persons inside, %d movements\n", n, 3 * n);
    std::printf("  person by person      %8.3f s  %6d exits\n", tOld, outOld);
    std::printf("  SacarLosQueQuedaron   %8.3f s  %6d exits  (target < 0.5 s)\n", tNew, outNew);
    std::printf("  second run            %8.3f s  %6d exits\n", tAgain, again);
    std::printf("  ratio %.1f times faster (target >= 20)\n", tOld / tNew);
    return outOld == n && outNew == n && again == 0 ? 0 : 1;
}
