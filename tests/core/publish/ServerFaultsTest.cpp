#include "PublishFixture.h"
#include "publish/ColaSubida.h"
#include "settings/IniFile.h"
#include "support/AdminRun.h"
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <thread>

namespace {

// Holds an exclusive lock on a remote table from a second session, as another program on
// the server would. The session gives the lock up by itself after `soltarTras` seconds, so
// a desk without a time-out shows up as a slow test, not a hung one.
class Bloqueo {
public:
    Bloqueo(kvtest::RemoteDb& remote, const QString& tabla, int soltarTras)
    {
        c_.open({{"host", qEnvironmentVariable("PGHOST")}, {"port", qEnvironmentVariable("PGPORT")},
                 {"dbname", remote.name()}});
        c_.exec(QStringLiteral("set idle_in_transaction_session_timeout=%1").arg(soltarTras * 1000));
        c_.exec("begin");
        c_.exec("lock table \"2026\"." + tabla + " in access exclusive mode");
    }
    ~Bloqueo() { soltar(); }
    void soltar()
    {
        try { c_.exec("rollback"); } catch (const kv::PgError&) {}
        c_.close();
    }

private:
    kv::PgConnection c_;
};

} // namespace

TEST_F(PublishTest, RemoteInitWidensAnOlderServerAndLongValuesArrive)
{
    // A server made by an earlier remote-init: codes in 20 characters, names in 60.
    remote->admin().exec("drop schema \"2026\" cascade");
    remote->admin().exec("create schema \"2026\"");
    remote->admin().exec("create table entradassalidas (icolegio integer not null, codigo varchar(20), fecha date,"
                         " hora time, docident varchar(20), tipodocident integer, nestudiante varchar(60),"
                         " tipomvt varchar(1), detalle text)");
    remote->admin().exec("insert into entradassalidas (icolegio, codigo) values (8, 'ANTES')");
    const kvtest::AdminResult init = kvtest::runAdmin({"remote-init", "--year", "2026"}, site.workDir());
    ASSERT_EQ(init.rc, 0) << init.err.toStdString();
    EXPECT_EQ(remote->scalar("select string_agg(distinct data_type, ',') from information_schema.columns"
                             " where table_schema='2026' and data_type like 'char%'"),
              "");
    EXPECT_EQ(remote->count("entradassalidas", "codigo='ANTES'"), 1);

    const QString badge = "VISIT" + QString(20, QLatin1Char('7'));   // 25 characters
    const QString name(5000, QLatin1Char('n'));
    site.exec("insert into entradasSalidas (codigo, fecha, hora, nestudiante, tipomvt) values (?, '2026-12-09', '08:00', ?, 'E')",
              {badge, name});
    site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo) values (5, 'A', 1, ?, ?)",
              {name, badge});
    const kv::ResultadoSubida r = pass();
    EXPECT_EQ(r.enviadas, 1);
    EXPECT_EQ(r.rechazadas, 0);
    kv::PgConnection c;
    ASSERT_EQ(kv::ConectarInternet(c), kv::EstadoConexion::Abierta);
    EXPECT_TRUE(kv::SubirEstudiantes(c, site.tablesDir(), 7).rechazados.isEmpty());
    EXPECT_EQ(remote->scalar("select length(nestudiante) || ' ' || codigo from entradassalidas where icolegio=7"),
              "5000 " + badge);
    EXPECT_EQ(remote->scalar("select length(nestudiante) from estudiantes where icolegio=7"), "5000");
}

TEST_F(PublishTest, APassTheServerRefusedWholeIsNeverCalledAnUpload)
{
    remote->admin().exec("drop table entradassalidas");   // the year's schema without its tables
    for (int i = 0; i < 3; ++i) addMov(QStringLiteral("A%1").arg(i), "07:00:00");
    kv::ColaSubida cola(site.tablesDir());
    const kv::ResultadoSubida r = pass();
    EXPECT_TRUE(r.conectado);
    EXPECT_EQ(r.enviadas, 0);
    EXPECT_EQ(r.rechazadas, 3);
    EXPECT_EQ(r.pendientes, 3);
    EXPECT_EQ(cola.textoUltimaSubida(),
              "Se subieron 0; el servidor rechazó 3, vea LogError.txt (" + r.cuando.toString("HH:mm") + ")");

    const kvtest::AdminResult a = kvtest::runAdmin({"publish", site.tablesDir(), "--movimientos"}, site.workDir());
    EXPECT_EQ(a.rc, 1);
    EXPECT_TRUE(a.err.contains("Se subieron 0; el servidor rechazó 3, vea LogError.txt")) << a.err.toStdString();
    EXPECT_FALSE(a.out.contains("Información subida a Internet"));
}

TEST_F(PublishTest, TwinsOfAPassCutBeforeTheCommitAreAllSent)
{
    // An earlier pass published this movement; its local row is gone since the last start.
    remote->admin().exec("insert into entradassalidas (icolegio, codigo, fecha, hora, tipomvt) values"
                         " (7, 'T1', '2026-12-09', '16:00:00', 'S')");
    // Two more exits at the same second (system-made), and one other movement.
    addMov("T1", "16:00:00", "S");
    addMov("T1", "16:00:00", "S");
    addMov("B2", "16:00:01");
    kv::EscribirIni("Internet", "EsperaConexion", "30");

    // The pass waits on a locked table and its link dies there: the outcome is unknown to it.
    {
        Bloqueo bloqueo(*remote, "entradassalidas", 60);
        std::atomic<bool> cortado{false};
        std::thread vigia([&, db = remote->name()] {
            kv::PgConnection v;
            v.open({{"host", qEnvironmentVariable("PGHOST")}, {"port", qEnvironmentVariable("PGPORT")}, {"dbname", db}});
            for (int i = 0; i < 300 && !cortado; ++i) {
                cortado = v.exec("select count(pg_terminate_backend(pid)) from pg_stat_activity where application_name='kelvora'"
                                 " and datname=current_database() and wait_event_type='Lock'")
                              .value(0, 0)
                              .toInt() > 0;
                QThread::msleep(50);
            }
        });
        const kv::ResultadoSubida r = pass();
        vigia.join();
        ASSERT_TRUE(cortado);
        EXPECT_FALSE(r.conectado);
        EXPECT_EQ(r.pendientes, 3);
    }
    const kv::ResultadoSubida r = pass();
    EXPECT_EQ(r.enviadas, 3);
    EXPECT_EQ(r.pendientes, 0);
    EXPECT_EQ(remote->count("entradassalidas", "codigo='T1'"), 3);
    EXPECT_EQ(remote->count("entradassalidas", "codigo='B2'"), 1);
}

TEST_F(PublishTest, AStalledServerHoldsAPassNoLongerThanTheTimeOut)
{
    kv::EscribirIni("Internet", "EsperaConexion", "2");
    for (int i = 0; i < 3; ++i) addMov(QStringLiteral("A%1").arg(i), "07:00:00");
    site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo) values (5, 'A', 1, 'Uno', 'U1')");
    // Without a time-out each case would wait until the lock goes by itself, 20 s later.
    struct Case {
        const char* tabla;
        std::function<void()> run;
    } cases[] = {
        {"entradassalidas",
         [&] {
             const kv::ResultadoSubida r = pass();
             EXPECT_FALSE(r.conectado);
             EXPECT_EQ(r.motivo, "El servidor no respondió a tiempo; los movimientos quedan pendientes.");
             EXPECT_EQ(r.pendientes, 3);
             EXPECT_EQ(site.count("entradasSalidas", "subido is null"), 3);   // not in doubt: rolled back
         }},
        {"estudiantes",
         [&] {
             kv::PgConnection c;
             ASSERT_EQ(kv::ConectarInternet(c), kv::EstadoConexion::Abierta);
             try {
                 kv::SubirEstudiantes(c, site.tablesDir(), 7);
                 ADD_FAILURE() << "the locked table was written";
             } catch (const kv::PgError& e) {
                 EXPECT_TRUE(e.timedOut()) << e.message().toStdString();
                 EXPECT_EQ(kv::MotivoRechazo(e), "la tabla del servidor está bloqueada por otra sesión");
             }
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tabla);
        Bloqueo bloqueo(*remote, c.tabla, 20);
        QElapsedTimer t;
        t.start();
        c.run();
        EXPECT_LT(t.elapsed(), 8000);
    }
    // Once the server is free the next pass sends everything, once.
    const kv::ResultadoSubida r = pass();
    EXPECT_EQ(r.enviadas, 3);
    EXPECT_EQ(r.pendientes, 0);
    EXPECT_EQ(duplicates(), 0);
}
