// kelvora-admin as a person at a terminal meets it: what cannot be done is refused with
// code 2 and a Spanish message, the help names everything, and names stored with control
// characters reach a terminal escaped.
#include "reports/ReportKinds.h"
#include "support/AdminRun.h"
#include "support/TempSite.h"
#include <QDate>
#include <QFile>
#include <QProcess>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

namespace {

// Runs kelvora-admin with its standard output on a terminal (a pseudo-terminal this test
// reads), as when a person types the command.
QByteArray enTerminal(const QStringList& args, const QString& workDir)
{
    int maestro = -1, esclavo = -1;
    char nombre[256] = {};
    if (openpty(&maestro, &esclavo, nombre, nullptr, nullptr) != 0) return "<sin pty>";
    QProcess p;
    p.setWorkingDirectory(workDir);
    p.setStandardOutputFile(QString::fromLocal8Bit(nombre));
    p.start(QStringLiteral(KELVORA_ADMIN), args);
    p.waitForFinished(60000);
    ::close(esclavo);
    fcntl(maestro, F_SETFL, O_NONBLOCK);
    QByteArray leido;
    char buf[4096];
    for (ssize_t n; (n = ::read(maestro, buf, sizeof buf)) > 0;) leido.append(buf, int(n));
    ::close(maestro);
    return leido;
}

} // namespace

TEST(AdminCommandLine, WhatCannotBeDoneIsRefusedWithCodeTwoAndNothingWritten)
{
    kvtest::TempSite site;
    site.exec("insert into grupos (IGrado, IGrupo) values (11, 'A')");
    site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo) values (11, 'A', 1, 'ANA', 'A1')");
    struct Caso { QStringList args; int rc; const char* mensaje; const char* archivo; };
    const Caso casos[] = {
        {{"export", site.tablesDir(), "g.xlsx", "--grado", "11", "--grupo", "Z'"}, 2, "No existe el grupo 11 Z'", "g.xlsx"},
        {{"export", site.tablesDir(), "g.xlsx", "--grado", "12", "--grupo", "A"}, 2, "No existe el grupo 12 A", "g.xlsx"},
        {{"report", site.tablesDir(), "inasistentes", "--desde", "2026-12-09", "--hasta", "2026-12-01", "--pdf", "r.pdf"},
         2, "La fecha inicial (2026-12-09) es posterior a la final (2026-12-01).", "r.pdf"},
        {{"report", site.tablesDir(), "entradas-salidas", "--desde", "2099-01-01", "--csv", "r.csv"},
         2, "es posterior a la final", "r.csv"},
        // the same commands with what exists
        {{"export", site.tablesDir(), "g.xlsx", "--grado", "11", "--grupo", "A"}, 0, "", "g.xlsx"},
    };
    for (const Caso& c : casos) {
        const std::string que = c.args.join(' ').toStdString();
        QFile::remove(site.workDir() + "/" + c.archivo);
        const kvtest::AdminResult r = kvtest::runAdmin(c.args, site.workDir());
        EXPECT_EQ(r.rc, c.rc) << que << " " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.mensaje))) << que << " -> " << r.err.toStdString();
        EXPECT_EQ(QFile::exists(site.workDir() + "/" + c.archivo), c.rc == 0) << que;
    }
}

TEST(AdminCommandLine, HelpNamesEveryCommandAndEveryReportKind)
{
    kvtest::TempSite site(false);
    const kvtest::AdminResult r = kvtest::runAdmin({"--help"}, site.workDir());
    EXPECT_EQ(r.rc, 0);
    QStringList buscar{"create-site", "add-site", "demo", "sql", "inside", "remote-init", "publish", "export", "report", "--help"};
    for (const auto& k : kv::rpt::reportKinds()) buscar << "  " + k.kind + " ";
    for (const QString& b : buscar) EXPECT_TRUE(r.out.contains(b)) << b.toStdString();
}

// A name with an escape sequence (ESC [31m would turn the terminal red) is shown escaped
// on a terminal and kept as stored when the output goes to a file or a pipe.
TEST(AdminCommandLine, StoredControlCharactersReachATerminalEscaped)
{
    kvtest::TempSite site;
    const QString nombre = QString::fromUtf8("ANA \x1b[31mROJA\x07");
    site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo) values (5, 'A', 1, ?, 'A1')", {nombre});
    site.exec("insert into entradasSalidas (codigo, fecha, hora, nestudiante, tipomvt) values ('A1', ?, '07:00:00', ?, 'E')",
              {QDate::currentDate().toString(Qt::ISODate), nombre});
    const QStringList ordenes[] = {{"sql", site.tablesDir(), "select NEstudiante from estudiantes"}, {"inside", site.tablesDir()}};
    for (const QStringList& args : ordenes) {
        SCOPED_TRACE(args.first().toStdString());
        const QByteArray terminal = enTerminal(args, site.workDir());
        EXPECT_TRUE(terminal.contains("ANA \\x1b[31mROJA\\x07")) << terminal.toStdString();
        EXPECT_FALSE(terminal.contains('\x1b'));
        EXPECT_FALSE(terminal.contains('\x07'));
        const kvtest::AdminResult tubo = kvtest::runAdmin(args, site.workDir());
        EXPECT_EQ(tubo.rc, 0) << tubo.err.toStdString();
        EXPECT_TRUE(tubo.out.contains(nombre)) << tubo.out.toStdString();
    }
}
