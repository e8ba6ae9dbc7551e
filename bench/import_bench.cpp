// import_bench: 100,000 persons from a .csv and from an .xlsx file, and an old site of
// Paradox-format tables with 100,000 persons and 1,000,000 movements. Each import runs in a
// child process of its own, so its peak memory is its own.
#include "data/Database.h"
#include "data/Schema.h"
#include "data/TableCursor.h"
#include "export/Exportar.h"
#include "import/ImportarPersonas.h"
#include "import/ImportarSitio.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <cstring>
extern "C" {
#include <paradox.h>
}
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kPersonas = 100000;
constexpr int kMovimientos = 1000000;
constexpr int kGrupos = 100;

long picoKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    f.open(QIODevice::ReadOnly);
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmHWM:")) return l.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

QString grupoDe(int i) { return QString(QChar(char16_t('A' + (i / 26) % 26))) + QChar(char16_t('A' + i % 26)); }

// A site with category 11 and kGrupos groups, no persons.
void sitioVacio(const QString& dir)
{
    kv::createSite(dir);
    auto db = kv::Database::forDirectory(dir);
    kv::Transaction tx(*db);
    db->exec(QStringLiteral("INSERT INTO AbaGrados (IGrado, NGrado) VALUES (11, 'Once')"));
    for (int g = 0; g < kGrupos; ++g) db->exec(QStringLiteral("INSERT INTO grupos (IGrado, IGrupo) VALUES (11, ?)"), {grupoDe(g)});
    tx.commit();
}

void escribirCsv(const QString& archivo)
{
    QFile f(archivo);
    f.open(QIODevice::WriteOnly);
    QTextStream out(&f);
    out << QString::fromUtf8("Grado;Grupo;Nombre;Código;Documento;Fecha de nacimiento;Teléfono acudiente;Acudiente\n");
    for (int i = 0; i < kPersonas; ++i)
        out << "11;" << grupoDe(i % kGrupos) << ";" << QString::fromUtf8("PERSONA ÑÚ %1").arg(i) << ";C" << i << ";"
            << 10000000 + i << ";" << QStringLiteral("%1/%2/20%3").arg(1 + i % 28).arg(1 + i % 12).arg(10 + i % 9) << ";"
            << 3000000000LL + i << ";\"ACUDIENTE; " << i << "\"\n";
}

// The .xlsx as the program's own export writes it, from a site holding the same persons.
void escribirXlsx(const QString& dirTmp, const QString& archivo)
{
    const QString dir = dirTmp + QStringLiteral("/origen-xlsx");
    sitioVacio(dir);
    const kv::ResultadoImportacion r = kv::ImportarPersonas(dir, dirTmp + QStringLiteral("/personas.csv"), {});
    if (r.nuevas != kPersonas) std::fprintf(stderr, "origen: %d personas\n", r.nuevas);
    kv::TableCursor t(QStringLiteral("estudiantes"));
    t.setDirectory(dir);
    t.open();
    kv::ExportarTabla(t, archivo);
}

void escribirParadox(const QString& dir)
{
    QDir().mkpath(dir);
    auto tabla = [](const QString& archivo, std::vector<pxfield_t> campos, const std::function<void(pxdoc_t*, int, pxval_t**)>& fila, int n) {
        pxdoc_t* px = PX_new();
        auto* f = static_cast<pxfield_t*>(calloc(campos.size(), sizeof(pxfield_t)));
        memcpy(f, campos.data(), campos.size() * sizeof(pxfield_t));
        PX_create_file(px, f, int(campos.size()), QFile::encodeName(archivo).constData(), pxfFileTypNonIndexDB);
        PX_set_parameter(px, "password", "tessivard");
        std::vector<pxval_t*> v(campos.size());
        for (auto& p : v) { MAKE_PXVAL(px, p); }
        for (int i = 0; i < n; ++i) {
            fila(px, i, v.data());
            PX_insert_record(px, v.data());
        }
        for (auto* p : v) px->free(px, p);
        PX_close(px);
        PX_delete(px);
    };
    auto campo = [](const char* n, char t, int l) { return pxfield_t{strdup(n), t, l, 0}; };
    static QByteArray textos[4];
    auto texto = [](pxval_t* v, int k, const QByteArray& s) {
        textos[k] = s;
        v->isnull = 0;
        v->value.str.val = textos[k].data();
        v->value.str.len = textos[k].size();
    };
    tabla(dir + QStringLiteral("/ESTUDIANTES.DB"),
          {campo("IGrado", pxfShort, 2), campo("IGrupo", pxfAlpha, 2), campo("IEstudiante", pxfLong, 4),
           campo("NEstudiante", pxfAlpha, 60), campo("codigo", pxfAlpha, 20), campo("fechaNac", pxfDate, 4)},
          [&](pxdoc_t*, int i, pxval_t** v) {
              v[0]->value.lval = 11;
              texto(v[1], 0, grupoDe(i % kGrupos).toLatin1());
              v[2]->value.lval = i / kGrupos;
              texto(v[3], 1, QByteArray("PERSONA \xD1\xDA ") + QByteArray::number(i));
              texto(v[4], 2, "C" + QByteArray::number(i));
              v[5]->value.lval = PX_GregorianToSdn(2010, 1 + i % 12, 1 + i % 28) - 1721425;
          },
          kPersonas);
    tabla(dir + QStringLiteral("/entradasSalidas.DB"),
          {campo("codigo", pxfAlpha, 20), campo("fecha", pxfDate, 4), campo("hora", pxfTime, 4), campo("nestudiante", pxfAlpha, 60),
           campo("tipomvt", pxfAlpha, 1), campo("subido", pxfLogical, 1)},
          [&](pxdoc_t*, int i, pxval_t** v) {
              texto(v[0], 0, "C" + QByteArray::number(i % kPersonas));
              v[1]->value.lval = PX_GregorianToSdn(2025, 1 + (i / kPersonas) % 12, 1 + (i / kPersonas) % 28) - 1721425;
              v[2]->value.lval = (7 * 3600 + i % 36000) * 1000;
              texto(v[3], 1, QByteArray("PERSONA ") + QByteArray::number(i % kPersonas));
              texto(v[4], 2, (i / kPersonas) % 2 ? "S" : "E");
              v[5]->value.lval = 0;
          },
          kMovimientos);
}

// Runs `paso` in a child; prints its time and the child's peak memory.
void medir(const char* nombre, const std::function<QString()>& paso)
{
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        const long antes = picoKb();
        QElapsedTimer t;
        t.start();
        const QString que = paso();
        std::printf("%-28s %8.2f s   pico de memoria %6ld MB (al empezar %ld MB)   %s\n", nombre, t.elapsed() / 1000.0,
                    picoKb() / 1024, antes / 1024, que.toUtf8().constData());
        std::fflush(stdout);
        _exit(0);
    }
    int st = 0;
    waitpid(pid, &st, 0);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp(argc > 1 ? QString::fromLocal8Bit(argv[1]) + QStringLiteral("/import-bench-XXXXXX") : QString());
    const QString d = tmp.path();
    std::printf("import_bench: %d personas, %d movimientos, en %s\n", kPersonas, kMovimientos, qPrintable(d));
    QElapsedTimer t;
    t.start();
    escribirCsv(d + QStringLiteral("/personas.csv"));
    escribirXlsx(d, d + QStringLiteral("/personas.xlsx"));
    escribirParadox(d + QStringLiteral("/viejo"));
    std::printf("archivos preparados en %.1f s (csv %lld KB, xlsx %lld KB, tablas Paradox %lld KB)\n", t.elapsed() / 1000.0,
                QFileInfo(d + QStringLiteral("/personas.csv")).size() / 1024, QFileInfo(d + QStringLiteral("/personas.xlsx")).size() / 1024,
                (QFileInfo(d + QStringLiteral("/viejo/ESTUDIANTES.DB")).size() + QFileInfo(d + QStringLiteral("/viejo/entradasSalidas.DB")).size()) / 1024);
    for (const char* ext : {"csv", "xlsx"}) {
        const QString dir = d + QStringLiteral("/sitio-") + QLatin1String(ext);
        sitioVacio(dir);
        medir(ext[0] == 'c' ? "personas desde .csv" : "personas desde .xlsx", [&] {
            const kv::ResultadoImportacion r = kv::ImportarPersonas(dir, d + QStringLiteral("/personas.") + QLatin1String(ext), {});
            return QStringLiteral("%1 nuevas, %2 rechazadas").arg(r.nuevas).arg(r.rechazadas.size());
        });
    }
    medir("sitio Paradox (con clave)", [&] {
        const kv::ResultadoSitio r = kv::ImportarSitio(d + QStringLiteral("/viejo"), d + QStringLiteral("/nuevo"));
        int escritas = 0;
        for (const auto& x : r.tablas) escritas += x.escritas;
        return QStringLiteral("%1 filas escritas").arg(escritas);
    });
    return 0;
}
