// kelvora-admin report: the same reports written to files without a screen.
#include "support/ReportSite.h"
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct AdminRun {
    int rc = -1;
    QString out, err;
};

AdminRun admin(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(KELVORA_ADMIN), QStringList{"report"} + args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(AdminReport, WritesEachFormatAndRefusesBadCommandLines)
{
    rpttest::ReportSite s;
    const QString dir = s.site.tablesDir();
    const QString base = s.site.workDir() + "/out";

    AdminRun r = admin({dir, "entradas-salidas", "--desde", "2026-12-01", "--hasta", "2026-12-03", "--grado-desde", "1",
                   "--pdf", base + ".pdf"});
    EXPECT_EQ(r.rc, 0) << r.err.toStdString();
    EXPECT_TRUE(read(base + ".pdf").startsWith("%PDF"));
    EXPECT_TRUE(r.err.contains("Ruta del escudo errónea o no definida")) << "logo warning on stderr";

    // Kind first works as well; CSV starts with the byte-order mark and the headings.
    r = admin({"entradas-salidas", dir, "--desde", "2026-12-01", "--hasta", "2026-12-03", "--visitantes",
               "--hora-desde", "00:00:00", "--csv", base + ".csv"});
    EXPECT_EQ(r.rc, 0) << r.err.toStdString();
    const QByteArray bytes = read(base + ".csv");
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QString csv = QString::fromUtf8(bytes.mid(3));
    EXPECT_TRUE(csv.startsWith(QStringLiteral("E/S,Fecha,Hora,Cód.,Tipo Doc,Doc. Ident.,Nombre,Detalle\r\n"))) << csv.toStdString();
    EXPECT_EQ(csv.count("\r\n"), 4);

    r = admin({dir, "persona", "--codigo", "O'NEIL", "--html", base + ".html"});
    EXPECT_EQ(r.rc, 0) << r.err.toStdString();
    EXPECT_TRUE(read(base + ".html").contains("<td>primera<br>segunda</td>"));
    r = admin({dir, "inasistentes", "--desde", "2026-12-01", "--hasta", "2026-12-03", "--txt", base + ".txt"});
    EXPECT_EQ(r.rc, 0) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(read(base + ".txt")).contains("BETO"));

    struct Bad { QStringList args; int rc; QString words; };
    const Bad bad[] = {
        {{dir, "asistentes", "--grado-desde", "uno", "--pdf", base + "x.pdf"}, 2, "--grado-desde debe ser un número entero"},
        {{dir, "asistentes", "--desde", "01/12/2026", "--pdf", base + "x.pdf"}, 2, "no es una fecha válida"},
        {{dir, "asistentes", "--pdf", base + "x.pdf", "--hora-desde", "01:00"}, 2, "Parámetro desconocido"},
        {{dir, "notas", "--pdf", base + "x.pdf"}, 2, "Tipo de informe desconocido"},
        {{dir, "asistentes"}, 2, "Falta el archivo de salida"},
        {{dir, "planilla", "--grado", "3", "--grupo", "B", "--csv", base + "x.csv"}, 2, "solo se escribe en PDF"},
        {{dir, "persona", "--codigo", "NADIE", "--pdf", base + "x.pdf"}, 1, "Estudiante no tiene información"},
        {{dir + "/no", "asistentes", "--pdf", base + "x.pdf"}, 1, "No existe el directorio"},
    };
    for (const Bad& b : bad) {
        r = admin(b.args);
        EXPECT_EQ(r.rc, b.rc) << b.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(b.words)) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(base + "x.pdf"));
    EXPECT_FALSE(QFile::exists(base + "x.csv"));
}
