#include "capture/forms/CaptureCommands.h"
#include "platform/IdleTime.h"
#include "publish/Publicacion.h"
#include "publish/Remote.h"
#include "publish/forms/TfrmConsultantes.h"
#include "publish/forms/TfrmSubirInternet.h"
#include "support/gui/MainHarness.h"
#include "support/gui/Modal.h"
#include "support/AdminRun.h"
#include "support/RemoteDb.h"
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

class PublishWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        KV_REQUIRE_PG();
        remote = std::make_unique<kvtest::RemoteDb>();
        remote->writeIni();
        h.site.exec("update Config set iColegio=7, anioactual=2026");
        kv::CrearEsquemaRemoto(remote->admin(), 2026);
        remote->admin().exec("set search_path to 2026");
    }
    void mov(const QString& codigo)
    {
        h.site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt) values (?, '2026-12-09', '07:00:00', 'E')", {codigo});
    }
    kvtest::MainHarness h;
    std::unique_ptr<kvtest::RemoteDb> remote;
};

TEST_F(PublishWindow, IniciarSendsEveryTickedSectionAndSaysWhoHasNoCode)
{
    h.site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo) values"
                " (5, 'A', 1, 'Uno', 'U1'), (-99, 'A', 2, 'Retirado', 'R2'), (5, 'A', 3, 'Sin Código', '')");
    h.site.exec("insert into consultantes (docIdent, nombre, clave, nivelConsulta) values ('10', 'Ana', '10', 0)");
    mov("U1");
    TFrmMain& w = h.start();
    w.Timer1->stop();
    remote->admin().exec("insert into estudiantes (icolegio, codigo) values (8, 'OTRO')");

    TfrmSubirInternet dlg(&w);
    for (QCheckBox* b : {dlg.CheckBox4, dlg.CheckBox1, dlg.CheckBox2}) {
        EXPECT_FALSE(b->isChecked());
        b->setChecked(true);
    }
    // One connection for the whole run, movements included.
    const long long openings = kv::PgConnection::openings();
    dlg.Button1->click();
    EXPECT_EQ(kv::PgConnection::openings() - openings, 1);
    EXPECT_EQ(h.msgs->texts(), (QStringList{"Debe asignarle código al estudiante: Sin Código", "Información subida a Internet"}));
    EXPECT_EQ(remote->scalar("select string_agg(codigo, ',') from estudiantes where icolegio=7"), "U1");
    EXPECT_EQ(remote->count("estudiantes", "icolegio=8"), 1);
    EXPECT_EQ(remote->count("consultantes", "icolegio=7"), 1);
    EXPECT_EQ(remote->count("entradassalidas", "icolegio=7 and codigo='U1'"), 1);
    EXPECT_EQ(dlg.Label4->text(), "1 filas.");
    EXPECT_EQ(dlg.Label3->text(), "1 de:");
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.ZConnection1.isOpen());
}

TEST_F(PublishWindow, TimerUploadsOnceAfterEachMinuteOfIdleness)
{
    auto src = std::make_unique<kv::ManualIdleSource>();
    kv::ManualIdleSource* idle = src.get();
    auto old = kv::IdleSource::install(std::move(src));
    TFrmMain& w = h.start();
    w.Timer1->stop();
    auto sent = [&] { return remote->count("entradassalidas"); };
    auto tick = [&](quint64 ms) {
        idle->set(ms);
        w.findChild<CaptureCommands*>("CaptureCommands")->Timer1Timer();
    };

    mov("A");
    tick(2000);
    EXPECT_EQ(w.Label7->text(), "Inactivo: 0.03 min.");
    EXPECT_TRUE(w.pendienteSubir);
    tick(61000);
    EXPECT_EQ(sent(), 1);
    EXPECT_FALSE(w.pendienteSubir);
    EXPECT_EQ(w.Label7->text(), "Inactivo: 1.02 min.");

    mov("B");
    tick(66000);
    tick(120000);
    EXPECT_EQ(sent(), 1);   // same idle period: no second attempt
    tick(1000);             // the operator touches the keyboard
    tick(59000);
    EXPECT_EQ(sent(), 1);
    tick(60000);
    EXPECT_EQ(sent(), 2);
    EXPECT_EQ(h.site.count("entradasSalidas", "subido=1"), 2);
    EXPECT_TRUE(h.msgs->shown.empty());

    // Without a working year each idle period says so, once, and sends nothing.
    h.site.exec("update Config set anioactual=0");
    mov("C");
    tick(1000);
    tick(60000);
    tick(65000);
    EXPECT_EQ(h.msgs->texts(), QStringList{kv::TextoAnioSinConfigurar()});
    EXPECT_EQ(sent(), 2);
    kv::IdleSource::install(std::move(old));
}

TEST_F(PublishWindow, IniciarSaysWhatTheServerRefusedAndWhy)
{
    h.site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo) values"
                " (5, 'A', 1, 'Ana María', 'U1'), (5, 'A', 2, 'Eva', 'U2')");
    mov("U1");
    mov("U2");
    TFrmMain& w = h.start();
    w.Timer1->stop();
    struct Case {
        const char* what;
        std::function<void()> prepare;
        QCheckBox* TfrmSubirInternet::*box;
        QStringList messages;
    } cases[] = {
        {"a person too long for an older server",
         [&] { remote->admin().exec("alter table estudiantes alter column nestudiante type varchar(5)"); },
         &TfrmSubirInternet::CheckBox4,
         {"El servidor no aceptó a Ana María (código U1): nestudiante tiene 9 caracteres y el servidor admite 5.",
          "Se subieron 1; el servidor rechazó 1, vea LogError.txt"}},
        {"no schema for the year", [&] { h.site.exec("update Config set anioactual=2031"); },
         &TfrmSubirInternet::CheckBox1, {"El servidor no tiene el esquema del año 2031"}},
        {"the year's schema without its tables",
         [&] {
             h.site.exec("update Config set anioactual=2026");
             remote->admin().exec("drop table entradassalidas");
         },
         &TfrmSubirInternet::CheckBox1, {"Se subieron 0; el servidor rechazó 2, vea LogError.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.prepare();
        h.msgs->shown.clear();
        TfrmSubirInternet dlg(&w);
        (dlg.*c.box)->setChecked(true);
        dlg.Button1->click();
        EXPECT_EQ(h.msgs->texts(), c.messages);
    }
    // The status area does not call that pass an upload either.
    EXPECT_EQ(w.findChild<QLabel*>("LblUltimaSubida")->text(), "Se subieron 0; el servidor rechazó 2, vea LogError.txt (07:30)");
}

TEST_F(PublishWindow, AnIdleTickCountsWhatOtherProcessesPublished)
{
    auto src = std::make_unique<kv::ManualIdleSource>();
    kv::ManualIdleSource* idle = src.get();
    auto old = kv::IdleSource::install(std::move(src));
    mov("A");
    mov("B");
    TFrmMain& w = h.start();
    w.Timer1->stop();
    auto* pendientes = w.findChild<QLabel*>("LblPendientes");
    EXPECT_EQ(pendientes->text(), "Pendientes por subir: 2");
    const kvtest::AdminResult r = kvtest::runAdmin({"publish", h.site.tablesDir(), "--movimientos"}, h.site.workDir());
    ASSERT_EQ(r.rc, 0) << r.err.toStdString();
    auto tick = [&](quint64 ms) {
        idle->set(ms);
        w.findChild<CaptureCommands*>("CaptureCommands")->Timer1Timer();
        QCoreApplication::processEvents();
    };
    tick(1000);   // someone at the keyboard: no recount
    EXPECT_EQ(pendientes->text(), "Pendientes por subir: 2");
    tick(6000);
    EXPECT_EQ(pendientes->text(), "Pendientes por subir: 0");
    kv::IdleSource::install(std::move(old));
}

TEST(ConsultantsWindow, IsForAdministratorsAndGivesEveryoneTheirDocumentAsPassword)
{
    kvtest::MainHarness h;
    h.site.exec("insert into consultantes (docIdent, nombre, clave) values ('10', 'Ana', 'x'), (NULL, 'Sin', 'y')");
    {
        TFrmMain& w = h.start("0");
        w.btnConsultantes->click();
        EXPECT_EQ(h.msgs->texts(), QStringList{"Acceso restringido."});
    }
    kv::SetUserLevel("1");
    TfrmConsultantes dlg(h.dm->TblConsultantes);
    EXPECT_EQ(dlg.windowTitle(), "Consultantes");
    dlg.btnPonerClave->click();
    EXPECT_EQ(h.site.scalar("select group_concat(coalesce(clave, '-'), ',') from consultantes order by rowid"), "10,-");
    h.dm->TblConsultantes->first();
    EXPECT_EQ(h.dm->TblConsultantes->fieldByName("clave").asString(), "10");
}
