// Cost of exporting the persons table to a spreadsheet workbook: 10,000 and 100,000
// persons with every field filled, through the same routine as "Exportar a Excel" and
// kelvora-admin export. Prints the time of each export, the time per person and the peak
// memory of the process after each.
//
//   export_bench [DIR]
//
// DIR (default: a temporary directory) receives the benchmark sites and workbooks.
#include "data/Database.h"
#include "data/Schema.h"
#include "data/TableCursor.h"
#include "export/Exportar.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

long picoMemoriaKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// Every column of estudiantes gets a value, bound through one prepared statement in one
// transaction (row by row commits would time the disk, not the export).
void llenar(kv::Database& db, int personas)
{
    sqlite3* h = db.handle();
    const QStringList campos = [&] {
        QStringList l;
        for (const kv::Column& c : db.columns("estudiantes")) l << c.name;
        return l;
    }();
    QStringList marcas;
    for (int i = 0; i < campos.size(); ++i) marcas << "?";
    const QByteArray sql = QStringLiteral("INSERT INTO estudiantes (%1) VALUES (%2)").arg(campos.join(','), marcas.join(',')).toUtf8();
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr), h);
    kv::Transaction tx(db);
    const QVector<kv::Column> cols = db.columns("estudiantes");
    for (int i = 0; i < personas; ++i) {
        for (int c = 0; c < cols.size(); ++c) {
            const kv::FieldType t = cols[c].type;
            if (t == kv::FieldType::Integer) sqlite3_bind_int(st, c + 1, (i * 7 + c) % 1000);
            else if (t == kv::FieldType::Date) {
                const QByteArray d = QDate(2005, 1, 1).addDays(i % 4000).toString(Qt::ISODate).toUtf8();
                sqlite3_bind_text(st, c + 1, d.constData(), d.size(), SQLITE_TRANSIENT);
            } else {
                const QByteArray v = QStringLiteral("%1 %2 ÑÁÉ").arg(cols[c].name).arg(i, 7, 10, QLatin1Char('0')).toUtf8();
                sqlite3_bind_text(st, c + 1, v.constData(), v.size(), SQLITE_TRANSIENT);
            }
        }
        check(sqlite3_step(st), h);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    tx.commit();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString base = app.arguments().size() > 1 ? app.arguments()[1] : tmp.path();
    std::printf("export_bench: persons table with every field filled, base %s\n", qPrintable(base));
    std::printf("%10s %10s %14s %12s %12s\n", "persons", "export s", "us per person", "file MB", "peak RSS MB");
    double primero = 0;
    for (const int personas : {10000, 100000}) {
        const QString dir = QDir(base).filePath(QStringLiteral("sitio%1").arg(personas));
        QDir().mkpath(dir);
        kv::createSite(dir);
        llenar(*kv::Database::forDirectory(dir), personas);
        kv::TableCursor t(QStringLiteral("Estudiantes"));
        t.setDirectory(dir);
        t.setIndexFieldNames(QStringLiteral("IGrado;IGrupo;IEstudiante"));
        t.open();
        const QString archivo = QDir(dir).filePath(QStringLiteral("personas.xlsx"));
        QElapsedTimer reloj;
        reloj.start();
        const int filas = kv::ExportarTabla(t, archivo);
        const double s = reloj.nsecsElapsed() / 1e9;
        if (filas != personas) { std::fprintf(stderr, "exported %d of %d\n", filas, personas); return 1; }
        if (personas == 10000) primero = s;
        std::printf("%10d %10.3f %14.1f %12.1f %12.1f\n", personas, s, s * 1e6 / personas,
                    QFileInfo(archivo).size() / 1048576.0, picoMemoriaKb() / 1024.0);
        std::fflush(stdout);
        if (personas == 100000) std::printf("100,000 / 10,000 time ratio: %.1f (10.0 = linear)\n", s / primero);
    }
    return 0;
}
