// The spreadsheet export read back from the written workbook, by the core routine and by
// kelvora-admin export.
#include "data/TableCursor.h"
#include "export/Exportar.h"
#include "export/ZipLeido.h"
#include "support/TempSite.h"
#include "support/XlsxLeido.h"
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <sys/file.h>
#include <gtest/gtest.h>

using kvtest::LeerXlsx;
using kvtest::TempSite;

namespace {

// Two groups of 11; docacud (column Q, far past I) holds a number with leading zeros.
void llenar(TempSite& site)
{
    const char* ins = "insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo, docIdent, docacud,"
                      " telefestud, fechaNac) values (?, ?, ?, ?, ?, ?, ?, ?, ?)";
    site.exec(ins, {11, "A", 1, QString::fromUtf8("JOSÉ PEÑA ÑÚÑEZ"), "11A1", "0012345", "000987", "", "2010-02-03"});
    site.exec(ins, {11, "B", 1, "ANA GIL", "11B1", "44", "0001", QVariant(), QVariant()});
    site.exec(ins, {11, "A", 2, "LUIS REY", "11A2", "0099", "07", "3001234", "2011-12-31"});
}

QString escribir(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

QByteArray leer(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no existe>");
}

QStringList restos(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden).filter(".xlsx.");
}

} // namespace

TEST(Exportar, SheetHeaderAndRowsAsTextForTheFilteredOrWholeTable)
{
    struct Caso { const char* filtro; QStringList codigos; };
    const Caso casos[] = {
        {"", {"11A1", "11A2", "11B1"}},
        {"IGrado=11 and IGrupo='A'", {"11A1", "11A2"}},
        {"IGrado=9", {}},   // nothing passes: the header row only
    };
    TempSite site;
    llenar(site);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.filtro);
        kv::TableCursor t("Estudiantes");
        t.setDirectory(site.tablesDir());
        t.setIndexFieldNames("IGrado;IGrupo;IEstudiante");
        t.setFilter(c.filtro);
        t.setFiltered(true);
        t.open();
        const QString archivo = site.workDir() + "/lista.xlsx";
        EXPECT_EQ(kv::ExportarTabla(t, archivo), c.codigos.size());
        EXPECT_EQ(t.recNo(), t.recordCount());   // left on the last row

        const kvtest::XlsxLeido x = LeerXlsx(archivo);
        ASSERT_TRUE(x.ok);
        EXPECT_EQ(x.hojas, QStringList{"Estudiantes"});
        EXPECT_EQ(x.filas.value(0), t.fieldNames());
        ASSERT_EQ(x.filas.size(), 1 + c.codigos.size());
        EXPECT_EQ(x.celdasNoTexto, 0);
        const int cod = t.fieldNames().indexOf("codigo"), nom = t.fieldNames().indexOf("NEstudiante");
        const int doc = t.fieldNames().indexOf("docIdent"), acu = t.fieldNames().indexOf("docacud");
        const int tel = t.fieldNames().indexOf("telefestud"), nac = t.fieldNames().indexOf("fechaNac");
        ASSERT_GT(acu, 9);
        for (int r = 0; r < c.codigos.size(); ++r) {
            EXPECT_EQ(x.at(r + 1, cod), c.codigos[r]);
            EXPECT_EQ(x.at(r + 1, nom), site.scalar("select NEstudiante from estudiantes where codigo=?", {c.codigos[r]}));
            EXPECT_EQ(x.at(r + 1, acu), site.scalar("select docacud from estudiantes where codigo=?", {c.codigos[r]}));
        }
        if (c.codigos.size() == 3) {
            EXPECT_EQ(x.at(1, nom), QString::fromUtf8("JOSÉ PEÑA ÑÚÑEZ"));
            EXPECT_EQ(x.at(1, doc), "0012345");
            EXPECT_EQ(x.at(1, acu), "000987");
            EXPECT_EQ(x.at(1, nac), "2010-02-03");
            EXPECT_EQ(x.at(3, tel), "");   // null
            EXPECT_EQ(x.at(3, nac), "");
            EXPECT_EQ(x.at(2, tel), "3001234");
        }
    }
}

TEST(Exportar, ATableOfMoreThan4000RowsIsTextToItsLastCell)
{
    TempSite site;
    {
        auto db = site.db();
        kv::Transaction tx(*db);
        for (int i = 1; i <= 4100; ++i)
            db->exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, codigo, grupoantesbod) values (1, 'A', ?, ?, ?)",
                     {i, QString("C%1").arg(i), QString("%1").arg(i % 100, 5, 10, QChar('0'))});
        tx.commit();
    }
    kv::TableCursor t("Estudiantes");
    t.setDirectory(site.tablesDir());
    t.open();
    const QString archivo = site.workDir() + "/grande.xlsx";
    EXPECT_EQ(kv::ExportarTabla(t, archivo), 4100);
    const kvtest::XlsxLeido x = LeerXlsx(archivo);
    ASSERT_EQ(x.filas.size(), 4101);
    EXPECT_EQ(x.celdasNoTexto, 0);
    EXPECT_EQ(x.filas[4100].last(), "00000");          // C4100, last column, zeros kept
    EXPECT_EQ(x.at(4100, t.fieldNames().indexOf("codigo")), "C4100");
}

TEST(Exportar, AFailureLeavesNoFileBehindAndSaysWhatFailed)
{
    TempSite site;
    llenar(site);
    QDir(site.workDir()).mkpath("carpeta/dentro");
    struct Caso { QString archivo; QString mensaje; };
    const Caso casos[] = {
        {site.workDir() + "/no/existe/lista.xlsx", "No se puede escribir en la carpeta"},
        {site.workDir() + "/carpeta", "es una carpeta"},
    };
    kv::TableCursor t("Estudiantes");
    t.setDirectory(site.tablesDir());
    t.open();
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.archivo.toStdString());
        try {
            kv::ExportarTabla(t, c.archivo);
            ADD_FAILURE() << "no error";
        } catch (const kv::ExportError& e) {
            EXPECT_TRUE(e.message().contains(c.mensaje)) << e.message().toStdString();
        }
        EXPECT_TRUE(restos(site.workDir()).isEmpty());
    }
    EXPECT_TRUE(QFileInfo(site.workDir() + "/carpeta/dentro").isDir());
}

TEST(Exportar, TheFileIsAlwaysAnXlsxWorkbook)
{
    const std::pair<QString, QString> casos[] = {
        {"lista", "lista.xlsx"}, {"lista.xls", "lista.xlsx"}, {"Lista.XLSX", "Lista.XLSX"},
        {"a.b/lista.v2", "a.b/lista.v2.xlsx"},
    };
    for (const auto& [dado, esperado] : casos) EXPECT_EQ(kv::ConExtensionXlsx(dado), esperado) << dado.toStdString();
    EXPECT_EQ(kv::NombreHoja("estudiantes"), "Estudiantes");
    EXPECT_EQ(kv::NombreHoja("a[b]:c*?/\\d"), "Abcd");
}

namespace {
struct Salida { int codigo; QString out, err; };
Salida admin(const QStringList& args, const QString& limite = QString())
{
    QProcess p;
    if (limite.isEmpty()) p.start(KELVORA_ADMIN, args);
    else {
        // A file size limit stands for a full disk: writes fail with EFBIG, as on ENOSPC.
        QStringList a{"-c", "trap '' XFSZ; ulimit -f " + limite + "; exec \"$0\" \"$@\"", KELVORA_ADMIN};
        p.start("bash", a + args);
    }
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}
} // namespace

TEST(AdminExport, AllPersonsOrOneGroup)
{
    TempSite site;
    llenar(site);
    struct Caso { QStringList extra; int filas; };
    // (a group that does not exist, "11 Z'", is refused: see AdminCommandLine)
    const Caso casos[] = {{{}, 3}, {{"--grado", "11", "--grupo", "A"}, 2}, {{"--grupo", "B", "--grado", "11"}, 1}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.extra.join(' ').toStdString());
        QFile::remove(site.workDir() + "/salida.xlsx");
        const Salida s = admin(QStringList{"export", site.tablesDir(), site.workDir() + "/salida"} + c.extra);
        EXPECT_EQ(s.codigo, 0) << s.err.toStdString();
        const kvtest::XlsxLeido x = LeerXlsx(site.workDir() + "/salida.xlsx");
        EXPECT_EQ(x.hojas, QStringList{"Estudiantes"});
        EXPECT_EQ(x.filas.size(), 1 + c.filas);
    }
}

TEST(AdminExport, AWrongCommandLineOrAMissingSiteWritesNothing)
{
    TempSite site;
    const QString f = site.workDir() + "/x.xlsx";
    const std::pair<QStringList, int> casos[] = {
        {{"export", site.tablesDir()}, 2},
        {{"export", site.tablesDir(), f, "--grado", "11"}, 2},
        {{"export", site.tablesDir(), f, "--grado", "once", "--grupo", "A"}, 2},
        {{"export", site.tablesDir(), f, "--todo"}, 2},
        {{"export", site.workDir() + "/nada", f}, 1},
        {{"export", site.workDir(), f}, 1},   // a folder without a site's tables
    };
    for (const auto& [args, codigo] : casos) {
        const Salida s = admin(args);
        EXPECT_EQ(s.codigo, codigo) << args.join(' ').toStdString();
        EXPECT_FALSE(s.err.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(f));
}

TEST(AdminExport, AFullDiskKeepsTheEarlierFileWhole)
{
    TempSite site;
    {
        auto db = site.db();
        kv::Transaction tx(*db);
        for (int i = 1; i <= 3000; ++i)
            db->exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo) values (1, 'A', ?, ?, ?)",
                     {i, QString("PERSONA NÚMERO %1").arg(i), QString("C%1").arg(i)});
        tx.commit();
    }
    const QString archivo = escribir(site.workDir() + "/lista.xlsx", "el libro de ayer");
    const Salida s = admin({"export", site.tablesDir(), archivo}, "256");
    EXPECT_EQ(s.codigo, 1);
    EXPECT_TRUE(s.err.contains("No se pudo")) << s.err.toStdString();
    EXPECT_EQ(leer(archivo), QByteArray("el libro de ayer"));
    EXPECT_TRUE(restos(site.workDir()).isEmpty()) << restos(site.workDir()).join(' ').toStdString();

    const Salida bien = admin({"export", site.tablesDir(), archivo});   // with room it replaces it
    EXPECT_EQ(bien.codigo, 0);
    EXPECT_EQ(LeerXlsx(archivo).filas.size(), 3001);
}

// An export killed half-way (kill -9) leaves its hidden temporary file; the next export into
// that folder removes it, and only files of that kind nobody is writing.
TEST(AdminExport, TheNextExportRemovesWhatAKilledOneLeft)
{
    TempSite site;
    {
        auto db = site.db();
        kv::Transaction tx(*db);
        for (int i = 1; i <= 20000; ++i)
            db->exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo) values (1, 'A', ?, ?, ?)",
                     {i, QString("PERSONA NÚMERO %1").arg(i), QString("C%1").arg(i)});
        tx.commit();
    }
    const QString dir = site.workDir();
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(KELVORA_ADMIN, {"export", site.tablesDir(), dir + "/lista.xlsx"});
    ASSERT_TRUE(p.waitForStarted());
    QElapsedTimer reloj;
    reloj.start();
    while (restos(dir).isEmpty() && p.state() == QProcess::Running && reloj.elapsed() < 60000) QThread::usleep(500);
    ASSERT_EQ(restos(dir).size(), 1) << "the export ended before it could be killed";
    p.kill();   // SIGKILL: no clean-up of its own
    p.waitForFinished();
    const QString dejado = restos(dir).value(0);

    // files that are not a left-over of an export, and one an export is writing now
    const QStringList ajenos{".notas.xlsx.bak", "lista.xlsx.Ab12Cd", ".lista.xls.Ab12Cd"};
    for (const QString& n : ajenos) escribir(dir + "/" + n, "ajeno");
    QFile vivo(dir + "/.otra.xlsx.Zz99zZ");
    ASSERT_TRUE(vivo.open(QIODevice::ReadWrite));
    ASSERT_EQ(flock(vivo.handle(), LOCK_EX | LOCK_NB), 0);

    const Salida s = admin({"export", site.tablesDir(), dir + "/lista.xlsx", "--grado", "1", "--grupo", "A"});
    EXPECT_EQ(s.codigo, 0) << s.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir + "/" + dejado));
    for (const QString& n : ajenos) EXPECT_EQ(leer(dir + "/" + n), QByteArray("ajeno")) << n.toStdString();
    EXPECT_TRUE(QFile::exists(vivo.fileName()));
    EXPECT_EQ(LeerXlsx(dir + "/lista.xlsx").filas.size(), 20001);
}

TEST(ZipLeido, ReadsAWrittenWorkbookAndRefusesADamagedPart)
{
    TempSite site;
    llenar(site);
    kv::TableCursor t("Estudiantes");
    t.setDirectory(site.tablesDir());
    t.open();
    const QString archivo = site.workDir() + "/lista.xlsx";
    ASSERT_EQ(kv::ExportarTabla(t, archivo), 3);
    {
        const kv::ZipLeido zip(archivo);
        ASSERT_TRUE(zip.ok());
        EXPECT_TRUE(zip.nombres().contains("xl/worksheets/sheet1.xml"));
        EXPECT_TRUE(zip.parte("xl/worksheets/sheet1.xml").trimmed().endsWith("</worksheet>"));
        EXPECT_TRUE(zip.parte("no/existe.xml").isEmpty());
    }
    // A byte changed inside the sheet's compressed data: the part no longer reads whole.
    QByteArray bytes = leer(archivo);
    const QByteArray nombre = "xl/worksheets/sheet1.xml";
    int cabecera = -1;
    for (int i = bytes.indexOf("PK\x03\x04"); i >= 0; i = bytes.indexOf("PK\x03\x04", i + 4))
        if (bytes.mid(i + 30, nombre.size()) == nombre) cabecera = i;
    ASSERT_GE(cabecera, 0);
    const auto u16 = [&](int p) { return int(uchar(bytes[p])) | (int(uchar(bytes[p + 1])) << 8); };
    const int datos = cabecera + 30 + u16(cabecera + 26) + u16(cabecera + 28);
    bytes[datos + 20] = char(bytes[datos + 20] ^ 0x5A);
    const QString danado = escribir(site.workDir() + "/danado.xlsx", bytes);
    const kv::ZipLeido zip(danado);
    ASSERT_TRUE(zip.ok());
    EXPECT_TRUE(zip.parte("xl/worksheets/sheet1.xml").isEmpty());
    EXPECT_FALSE(kv::ZipLeido(escribir(site.workDir() + "/texto.xlsx", "no es un libro")).ok());
    EXPECT_FALSE(kv::ZipLeido(site.workDir() + "/no-existe.xlsx").ok());
}
