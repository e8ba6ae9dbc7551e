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
#include <vector>
extern "C" {
#include <paradox.h>
}
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kPersonas = 100000;
int kMovimientos = 1000000;   // IMPORT_BENCH_MOVIMIENTOS overrides it
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

// A table written row after row with PX_put_record (PX_insert_record looks for a free slot
// from the start of the file for every row, which makes a million rows take hours).
class TablaPx {
public:
    TablaPx(const QString& archivo, const std::vector<std::pair<const char*, std::pair<char, int>>>& campos)
    {
        px_ = PX_new();
        auto* f = static_cast<pxfield_t*>(calloc(campos.size(), sizeof(pxfield_t)));
        int largo = 0;
        for (size_t i = 0; i < campos.size(); ++i) {
            f[i] = pxfield_t{strdup(campos[i].first), campos[i].second.first, campos[i].second.second, 0};
            pos_.push_back(largo);
            largo += campos[i].second.second;
            len_.push_back(campos[i].second.second);
        }
        PX_create_file(px_, f, int(campos.size()), QFile::encodeName(archivo).constData(), pxfFileTypNonIndexDB);
        PX_set_parameter(px_, "password", "tessivard");
        buf_.resize(size_t(largo));
    }
    ~TablaPx()
    {
        PX_close(px_);
        PX_delete(px_);
    }
    void limpiar() { std::fill(buf_.begin(), buf_.end(), 0); }
    void texto(int i, const QByteArray& s) { PX_put_data_alpha(px_, buf_.data() + pos_[i], len_[i], const_cast<char*>(s.constData())); }
    void corto(int i, int v) { PX_put_data_short(px_, buf_.data() + pos_[i], 2, short(v)); }
    void largo(int i, int v) { PX_put_data_long(px_, buf_.data() + pos_[i], 4, v); }
    void logico(int i, bool v) { PX_put_data_byte(px_, buf_.data() + pos_[i], 1, v ? 1 : 0); }
    void poner() { PX_put_record(px_, buf_.data()); }

private:
    pxdoc_t* px_ = nullptr;
    std::vector<char> buf_;
    std::vector<int> pos_, len_;
};

int dias(int a, int m, int d) { return int(PX_GregorianToSdn(a, m, d) - 1721425); }

void escribirParadox(const QString& dir)
{
    QDir().mkpath(dir);
    {
        TablaPx t(dir + QStringLiteral("/ESTUDIANTES.DB"),
                  {{"IGrado", {pxfShort, 2}}, {"IGrupo", {pxfAlpha, 2}}, {"IEstudiante", {pxfLong, 4}},
                   {"NEstudiante", {pxfAlpha, 60}}, {"codigo", {pxfAlpha, 20}}, {"fechaNac", {pxfDate, 4}}});
        for (int i = 0; i < kPersonas; ++i) {
            t.limpiar();
            t.corto(0, 11);
            t.texto(1, grupoDe(i % kGrupos).toLatin1());
            t.largo(2, i / kGrupos);
            t.texto(3, QByteArray("PERSONA \xD1\xDA ") + QByteArray::number(i));
            t.texto(4, "C" + QByteArray::number(i));
            t.largo(5, dias(2010, 1 + i % 12, 1 + i % 28));
            t.poner();
        }
    }
    TablaPx t(dir + QStringLiteral("/entradasSalidas.DB"),
              {{"codigo", {pxfAlpha, 20}}, {"fecha", {pxfDate, 4}}, {"hora", {pxfTime, 4}}, {"nestudiante", {pxfAlpha, 60}},
               {"tipomvt", {pxfAlpha, 1}}, {"subido", {pxfLogical, 1}}});
    for (int i = 0; i < kMovimientos; ++i) {
        const int dia = i / kPersonas;
        t.limpiar();
        t.texto(0, "C" + QByteArray::number(i % kPersonas));
        t.largo(1, dias(2025, 1 + dia % 12, 1 + dia % 28));
        t.largo(2, (7 * 3600 + i % 36000) * 1000);
        t.texto(3, QByteArray("PERSONA ") + QByteArray::number(i % kPersonas));
        t.texto(4, dia % 2 ? "S" : "E");
        t.logico(5, false);
        t.poner();
    }
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
    if (qEnvironmentVariableIsSet("IMPORT_BENCH_MOVIMIENTOS")) kMovimientos = qEnvironmentVariableIntValue("IMPORT_BENCH_MOVIMIENTOS");
    setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir tmp(argc > 1 ? QString::fromLocal8Bit(argv[1]) + QStringLiteral("/import-bench-XXXXXX") : QString());
    const QString d = tmp.path();
    std::printf("import_bench: %d personas, %d movimientos, en %s\n", kPersonas, kMovimientos, qPrintable(d));
    QElapsedTimer t;
    t.start();
    escribirCsv(d + QStringLiteral("/personas.csv"));
    escribirXlsx(d, d + QStringLiteral("/personas.xlsx"));
    std::printf("archivos preparados en %.1f s (csv %lld KB, xlsx %lld KB)\n", t.elapsed() / 1000.0,
                QFileInfo(d + QStringLiteral("/personas.csv")).size() / 1024, QFileInfo(d + QStringLiteral("/personas.xlsx")).size() / 1024);
    for (const char* ext : {"csv", "xlsx"}) {
        const QString dir = d + QStringLiteral("/sitio-") + QLatin1String(ext);
        sitioVacio(dir);
        medir(ext[0] == 'c' ? "personas desde .csv" : "personas desde .xlsx", [&] {
            const kv::ResultadoImportacion r = kv::ImportarPersonas(dir, d + QStringLiteral("/personas.") + QLatin1String(ext), {});
            return QStringLiteral("%1 nuevas, %2 rechazadas").arg(r.nuevas).arg(r.rechazadas.size());
        });
    }
    t.restart();
    escribirParadox(d + QStringLiteral("/viejo"));
    std::printf("tablas Paradox escritas con pxlib en %.1f s (%lld KB)\n", t.elapsed() / 1000.0,
                (QFileInfo(d + QStringLiteral("/viejo/ESTUDIANTES.DB")).size() + QFileInfo(d + QStringLiteral("/viejo/entradasSalidas.DB")).size()) / 1024);
    medir("sitio Paradox (con clave)", [&] {
        const kv::ResultadoSitio r = kv::ImportarSitio(d + QStringLiteral("/viejo"), d + QStringLiteral("/nuevo"));
        int escritas = 0, rechazadas = 0;
        for (const auto& x : r.tablas) {
            escritas += x.escritas;
            rechazadas += x.rechazadas.size();
        }
        return QStringLiteral("%1 filas escritas, %2 rechazadas").arg(escritas).arg(rechazadas);
    });
    return 0;
}
