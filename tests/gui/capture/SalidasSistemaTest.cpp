#include "capture/SalidasSistema.h"
#include "capture/forms/CaptureCommands.h"
#include "platform/IdleTime.h"
#include "support/gui/MainHarness.h"
#include <QProgressBar>
#include <gtest/gtest.h>

namespace {

void persona(kvtest::TempSite& s, const QString& codigo, const QString& situacion = QString())
{
    s.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo, situacion) values (5, 'A', 1, 'P', ?, ?)",
           {codigo, situacion});
}

void mov(kvtest::TempSite& s, const QString& codigo, const QString& fecha, const QString& hora, const QString& tipo,
         const QString& doc = QString())
{
    s.exec("insert into entradasSalidas (codigo, fecha, hora, tipoDocIdent, docIdent, nestudiante, tipomvt)"
           " values (?, ?, ?, 2, ?, ?, ?)",
           {codigo, fecha, hora, doc, "Nombre de " + codigo, tipo});
}

} // namespace

TEST(SalidasSistema, OneExitForEachPersonInsideAndNoneTheSecondTime)
{
    kvtest::MainHarness h(QDateTime(QDate(2026, 12, 9), QTime(19, 30, 0)));
    kvtest::TempSite& s = h.site;
    for (const char* c : {"DENTRO", "FUERA", "NUNCA", "SUSP", "DOBLE", "DOBLE"}) persona(s, c, QString(c) == "SUSP" ? "SUSPENDIDO" : "");
    mov(s, "DENTRO", "2026-12-08", "07:00:00", "E", "viejo");
    mov(s, "DENTRO", "2026-12-09", "07:00:00", "S");
    mov(s, "DENTRO", "2026-12-09", "12:00:00", "E", "ultimo");
    mov(s, "FUERA", "2026-12-09", "07:00:00", "E");
    mov(s, "FUERA", "2026-12-09", "07:00:00", "S");   // same second: the later row wins
    mov(s, "SUSP", "2026-12-09", "08:00:00", "E");
    mov(s, "DOBLE", "2026-12-09", "08:00:00", "E");
    mov(s, "VISIT01", "2026-12-09", "08:00:00", "E");
    s.exec("insert into visitantes (docIdent, nombre) values ('V1', 'Visitante')");

    EXPECT_EQ(kv::FilasSalidasSistema(s.tablesDir()), 7);
    EXPECT_EQ(kv::SacarLosQueQuedaron(s.tablesDir()), 3);
    kv::Query q = s.query("select codigo, fecha, hora, tipoDocIdent, docIdent, nestudiante, detalle from entradasSalidas"
                          " where tipomvt='S' and detalle is not null order by codigo");
    QStringList got;
    for (q.first(); !q.eof(); q.next()) {
        QStringList row;
        for (const QString& f : q.fieldNames()) row << q.fieldByName(f).asString();
        got << row.join('|');
    }
    EXPECT_EQ(got, (QStringList{"DENTRO|2026-12-09|19:30:00|2|ultimo|Nombre de DENTRO|Salida realizada por el sistema",
                                "DOBLE|2026-12-09|19:30:00|2||Nombre de DOBLE|Salida realizada por el sistema",
                                "SUSP|2026-12-09|19:30:00|2||Nombre de SUSP|Salida realizada por el sistema"}));
    EXPECT_EQ(kv::SacarLosQueQuedaron(s.tablesDir()), 0);
    EXPECT_EQ(s.count("entradasSalidas", "codigo='VISIT01'"), 1);
}

TEST(SalidasSistema, WindowCommandKeepsTheGroupShownAndEndsWithTheBarAtZero)
{
    kvtest::MainHarness h(QDateTime(QDate(2026, 12, 9), QTime(19, 30, 0)));
    h.site.exec("insert into AbaGrados (IGrado, NGrado) values (5, 'Quinto')");
    h.site.exec("insert into grupos (IGrado, IGrupo) values (5, 'A'), (5, 'B')");
    h.site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo) values"
                " (5, 'A', 1, 'Uno', 'U1'), (5, 'B', 1, 'Dos', 'D2')");
    mov(h.site, "U1", "2026-12-09", "07:00:00", "E");
    mov(h.site, "D2", "2026-12-09", "07:00:00", "E");
    TFrmMain& w = h.start();
    w.PgEstudiantes->setCurrentWidget(w.TSEstudiantes);
    w.ApplyPersonsFilter();
    const QString filtro = h.dm->TblEstudiantes->filter();
    const int visibles = h.dm->TblEstudiantes->recordCount();
    ASSERT_TRUE(h.dm->TblEstudiantes->filtered());

    w.SacarLosQueQuedaron1->trigger();
    EXPECT_EQ(h.site.count("entradasSalidas", "tipomvt='S'"), 2);
    EXPECT_EQ(w.ProgressBar1->value(), 0);
    EXPECT_TRUE(h.dm->TblEstudiantes->filtered());
    EXPECT_EQ(h.dm->TblEstudiantes->filter(), filtro);
    EXPECT_EQ(h.dm->TblEstudiantes->recordCount(), visibles);
    EXPECT_TRUE(h.msgs->shown.empty());
}

TEST(SalidasSistema, TimerLetsEverybodyOutAtTheSetHourOnceADay)
{
    kvtest::MainHarness h(QDateTime(QDate(2026, 12, 9), QTime(17, 59, 58)));
    h.site.exec("update Config set horaSalidaAuto='1899-12-30 18:00:00', anioactual=0");
    persona(h.site, "U1");
    mov(h.site, "U1", "2026-12-09", "07:00:00", "E");
    auto idle = std::make_unique<kv::ManualIdleSource>();
    idle->set(1000);   // active desk: no upload is attempted
    auto old = kv::IdleSource::install(std::move(idle));
    TFrmMain& w = h.start();
    auto exits = [&] { return h.site.count("entradasSalidas", "detalle='Salida realizada por el sistema'"); };

    w.findChild<CaptureCommands*>("CaptureCommands")->Timer1Timer();
    EXPECT_EQ(exits(), 0);
    h.clock->set(QDateTime(QDate(2026, 12, 9), QTime(18, 0, 3)));
    w.findChild<CaptureCommands*>("CaptureCommands")->Timer1Timer();
    EXPECT_EQ(exits(), 1);
    mov(h.site, "U1", "2026-12-09", "18:00:05", "E");   // comes back in within the minute
    h.clock->set(QDateTime(QDate(2026, 12, 9), QTime(18, 0, 8)));
    w.findChild<CaptureCommands*>("CaptureCommands")->Timer1Timer();
    EXPECT_EQ(exits(), 1);
    h.clock->set(QDateTime(QDate(2026, 12, 10), QTime(18, 0, 2)));
    w.findChild<CaptureCommands*>("CaptureCommands")->Timer1Timer();
    EXPECT_EQ(exits(), 2);
    kv::IdleSource::install(std::move(old));
}
