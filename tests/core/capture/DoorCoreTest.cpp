// Door helpers without windows: repeated reads, who is inside, the publication queue, the
// tones and the settings a site made before them reads.
#include "capture/Capture.h"
#include "publish/ColaSubida.h"
#include "capture/Dentro.h"
#include "data/Schema.h"
#include "data/TDM.h"
#include "platform/Beep.h"
#include "publish/Publicacion.h"
#include "publish/Remote.h"
#include "settings/TConfig.h"
#include "support/FakeMessages.h"
#include "support/RemoteDb.h"
#include "support/TempSite.h"
#include "base/Clock.h"
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QCoreApplication>
#include <QProcess>
#include <set>

namespace {

QDateTime at(const char* fecha, const char* hora)
{
    return QDateTime(QDate::fromString(fecha, Qt::ISODate), QTime::fromString(hora, "HH:mm:ss"));
}

TEST(RepeatedRead, WindowEndsAtNSecondsAndCrossesMidnight)
{
    struct Case {
        const char *fecha, *hora, *ahoraFecha, *ahoraHora;
        int n;
        int esperado;   // -1 = not a repeated read
    } cases[] = {
        {"2026-12-09", "07:30:00", "2026-12-09", "07:30:00", 5, 0},
        {"2026-12-09", "07:30:00", "2026-12-09", "07:30:04", 5, 4},    // N-1 s: still the same read
        {"2026-12-09", "07:30:00", "2026-12-09", "07:30:05", 5, -1},   // N s: a new movement
        {"2026-12-09", "23:59:58", "2026-12-10", "00:00:01", 5, 3},    // across midnight
        {"2026-12-09", "00:00:01", "2026-12-10", "00:00:00", 5, -1},   // same hour, next day
        {"2026-12-09", "07:30:00", "2026-12-09", "07:30:00", 0, -1},   // guard off
        {"2026-12-09", "07:30:10", "2026-12-09", "07:30:08", 5, -1},   // clock set back
        {"2026-12-09", "07:30:00", "2026-12-09", "07:31:59", 120, 119},
    };
    for (const Case& c : cases) {
        const auto r = kv::LecturaRepetida(QDate::fromString(c.fecha, Qt::ISODate),
                                           QTime::fromString(c.hora, "HH:mm:ss"), at(c.ahoraFecha, c.ahoraHora), c.n);
        EXPECT_EQ(r.value_or(-1), c.esperado) << c.hora << " -> " << c.ahoraHora << " N=" << c.n;
    }
    // A code without movements has no date to compare with.
    EXPECT_FALSE(kv::LecturaRepetida(QDate(), QTime(), at("2026-12-09", "07:30:00"), 5));
    EXPECT_EQ(kv::TextoLecturaRepetida(3), QString("Lectura repetida: ya registrado hace 3 s"));
}

TEST(RepeatedRead, InsideTestGivesTheLastMovementsMoment)
{
    kvtest::TempSite site;
    site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt) values ('A1', '2026-12-09', '07:00:00', 'E')");
    site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt) values ('A1', '2026-12-09', '13:05:07', 'S')");
    kv::UltimoMovimiento u;
    EXPECT_FALSE(kv::EstaDentro(site.tablesDir(), "A1", &u));
    EXPECT_EQ(u.fecha, QDate(2026, 12, 9));
    EXPECT_EQ(u.hora, QTime(13, 5, 7));
}

// ---- who is inside ----

struct DentroSite : ::testing::Test {
    kvtest::TempSite site;
    void persona(const QString& codigo, int grado, const QString& grupo, const QString& nombre,
                 const QString& situacion = QString())
    {
        site.exec("insert into estudiantes (IGrado, IGrupo, NEstudiante, codigo, situacion) values (?, ?, ?, ?, ?)",
                  {grado, grupo, nombre, codigo, situacion});
    }
    void mov(const QString& codigo, const QString& fecha, const QString& hora, const QString& tipo,
             const QString& nombre = QString(), const QString& detalle = QString())
    {
        site.exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt, nestudiante, detalle) values (?, ?, ?, ?, ?, ?)",
                  {codigo, QDate::fromString(fecha, Qt::ISODate), QTime::fromString(hora, "HH:mm:ss"), tipo, nombre,
                   detalle.isNull() ? QVariant() : QVariant(detalle)});
    }
    static QStringList codigos(const kv::ListaDentro& l)
    {
        QStringList c;
        for (const auto& p : l.filas) c << p.codigo;
        return c;
    }
};

TEST_F(DentroSite, ListsLastEntriesOfPersonsAndVisitorsInRollCallOrder)
{
    persona("P1", 5, "A", "ANA");
    persona("P2", 5, "B", "BETO");
    persona("P3", 3, "A", "CARLA", "SUSPENDIDO");   // suspended at the door, but inside
    persona("P4", 5, "A", "ABEL");
    persona("P5", 5, "A", "DORA");
    site.exec("insert into dependencias (ndependencia) values ('RECTORIA'), ('RECTORIA ALTA')");
    mov("P1", "2026-12-09", "07:00:00", "E");
    mov("P2", "2026-12-09", "07:01:00", "E");
    mov("P2", "2026-12-09", "12:00:00", "S");                            // left
    mov("P3", "2026-12-08", "07:00:00", "E");                            // since yesterday
    mov("P4", "2026-12-09", "07:02:00", "E");
    mov("P5", "2026-12-08", "07:00:00", "E");
    mov("P5", "2026-12-08", "18:00:00", "S", "DORA", "Salida realizada por el sistema");
    mov("GONE", "2026-12-09", "07:03:00", "E", "EVA BORRADA");           // no longer registered
    mov("visit07", "2026-12-09", "08:00:00", "E", "VISITA UNO",
        "Dependencia a donde se dirige:RECTORIA ALTA reunión con el rector");
    mov("VISIT08", "2026-12-09", "08:10:00", "E", "VISITA DOS");
    mov("VISIT08", "2026-12-09", "09:00:00", "S", "VISITA DOS");

    const kv::ListaDentro l = kv::PersonasDentro(site.tablesDir());
    EXPECT_EQ(codigos(l), QStringList({"P3", "P4", "P1", "GONE", "visit07"}));
    EXPECT_EQ(l.personas, 4);
    EXPECT_EQ(l.visitantes, 1);
    EXPECT_EQ(kv::TextoTotalDentro(l.personas, l.visitantes), QString("Dentro: 4 personas y 1 visitante"));

    const kv::PersonaDentro& gone = l.filas[3];
    EXPECT_FALSE(gone.registrado);
    EXPECT_EQ(gone.nombre, QString("EVA BORRADA"));
    EXPECT_EQ(gone.igrado, QString());
    const kv::PersonaDentro& v = l.filas[4];
    EXPECT_TRUE(v.visitante);
    EXPECT_EQ(v.nombre, QString("VISITA UNO"));
    EXPECT_EQ(v.dependencia, QString("RECTORIA ALTA"));
    EXPECT_EQ(v.hora, QTime(8, 0));
    EXPECT_EQ(l.filas[0].fecha, QDate(2026, 12, 8));

    ASSERT_EQ(l.totales.size(), 4);
    auto total = [](const kv::TotalDentro& t) {
        return QString("%1%2/%3=%4").arg(t.esCategoria ? "cat" : "grp", t.igrado, t.igrupo).arg(t.cantidad);
    };
    QStringList t;
    for (const auto& x : l.totales) t << total(x);
    EXPECT_EQ(t, QStringList({"cat3/=1", "grp3/A=1", "cat5/=2", "grp5/A=2"}));
}

TEST_F(DentroSite, AgreesWithTheInsideTestForEveryCode)
{
    // Same-second pairs, out-of-order dates and many codes: the list and EstaDentro must
    // agree on which movement is the last one.
    QStringList todos;
    auto db = site.db();
    kv::Transaction tx(*db);   // one commit: the rows are what matters here, not the disk
    for (int i = 0; i < 60; ++i) {
        const QString c = QString("C%1").arg(i, 3, 10, QChar('0'));
        todos << c;
        persona(c, 1 + i % 3, "A", "P" + c);
        const int n = i % 5;
        for (int k = 0; k < n; ++k)
            mov(c, k % 2 ? "2026-12-09" : "2026-12-08", QString("07:%1:00").arg(i % 3, 2, 10, QChar('0')),
                (k + i) % 2 ? "S" : "E");
        if (i % 7 == 0) mov(c, "2026-12-07", "23:00:00", "E");   // older, stored later
    }
    tx.commit();
    auto comparar = [&](const char* paso) {
        SCOPED_TRACE(paso);
        QStringList esperado;
        for (const QString& c : todos)
            if (kv::EstaDentro(site.tablesDir(), c)) esperado << c;
        QStringList visto = codigos(kv::PersonasDentro(site.tablesDir()));
        visto.sort();   // a code listed twice shows as twice
        EXPECT_EQ(visto.join(' ').toStdString(), esperado.join(' ').toStdString());
        EXPECT_FALSE(esperado.isEmpty());
    };
    comparar("stored");
    // The list reads each code's last movement from a table the site keeps as movements
    // change: every kind of change must leave it agreeing with the inside test.
    struct Paso { const char* nombre; const char* sql; };
    const Paso pasos[] = {
        {"last movements removed", "delete from entradasSalidas where rowid in (select max(rowid) from entradasSalidas"
                                   " group by codigo having codigo < 'C020')"},
        {"older movements removed", "delete from entradasSalidas where fecha = '2026-12-07'"},
        {"a last movement moved to another code", "update entradasSalidas set codigo = 'C058'"
                                                  " where rowid = (select rowid from entradasSalidas where codigo = 'C033'"
                                                  " order by fecha desc, hora desc, rowid desc limit 1)"},
        {"a date moved later", "update entradasSalidas set fecha = '2026-12-10' where rowid ="
                               " (select min(rowid) from entradasSalidas where codigo = 'C044')"},
        {"kinds turned over", "update entradasSalidas set tipomvt = case tipomvt when 'E' then 'S' else 'E' end"
                              " where codigo between 'C021' and 'C030'"},
        {"a code taken away", "update entradasSalidas set codigo = null where codigo = 'C039'"},
        {"stored while ignoring conflicts", "insert or ignore into entradasSalidas (codigo, fecha, hora, tipomvt)"
                                            " values ('C041', '2026-12-11', '07:00:00', 'E')"},
        {"replacing", "insert or replace into entradasSalidas (codigo, fecha, hora, tipomvt)"
                      " values ('C042', '2026-12-11', '07:00:00', 'E')"},
        {"published", "update entradasSalidas set subido = 1"},
    };
    for (const Paso& p : pasos) {
        site.db()->exec(QString::fromLatin1(p.sql));
        comparar(p.nombre);
    }
    // Without its triggers (a bulk load, a site opened read-only before its upgrade) the
    // table is not trusted: the list walks the movements instead, then the table is made
    // again from them.
    kv::suspenderUltimos(*db);
    db->exec("delete from ultimosMovimientos where codigo < 'C030'");
    site.db()->exec("insert into entradasSalidas (codigo, fecha, hora, tipomvt) values ('C050', '2026-12-12', '07:00:00', 'S')");
    EXPECT_FALSE(kv::ultimosAlDia(*db));
    comparar("without triggers");
    kv::prepararUltimos(*db);
    EXPECT_TRUE(kv::ultimosAlDia(*db));
    comparar("made again");
}

TEST_F(DentroSite, ListKeptUpToDateByNewMovementsMatchesAFreshRead)
{
    persona("P1", 5, "A", "ANA");
    persona("P2", 5, "B", "BETO");
    persona("P3", 11, "A", "ÑANDÚ");
    persona("P4", 11, "A", "NUÑEZ");
    mov("P1", "2026-12-09", "07:00:00", "E");
    mov("P2", "2026-12-09", "07:00:00", "E");
    kv::ListaDentro l = kv::PersonasDentro(site.tablesDir());
    auto db = site.db();
    auto guardar = [&](const QString& codigo, const QString& tipo, const QString& hora) {
        mov(codigo, "2026-12-09", hora, tipo);
        kv::ActualizarDentro(l, site.tablesDir(), {db->lastInsertRowId()});
    };
    guardar("P2", "S", "08:00:00");   // the last of group B leaves: its totals go
    guardar("P3", "E", "08:01:00");   // a new category
    guardar("P4", "E", "08:02:00");
    guardar("VISIT1", "E", "08:03:00");
    guardar("P1", "S", "08:04:00");
    guardar("P1", "E", "08:05:00");

    const kv::ListaDentro fresca = kv::PersonasDentro(site.tablesDir());
    EXPECT_EQ(codigos(l), codigos(fresca));
    EXPECT_EQ(codigos(l), QStringList({"P1", "P4", "P3", "VISIT1"}));   // Ñ after N
    EXPECT_EQ(l.personas, fresca.personas);
    EXPECT_EQ(l.visitantes, 1);
    ASSERT_EQ(l.totales.size(), fresca.totales.size());
    for (int i = 0; i < l.totales.size(); ++i) {
        EXPECT_EQ(l.totales[i].igrado, fresca.totales[i].igrado) << i;
        EXPECT_EQ(l.totales[i].igrupo, fresca.totales[i].igrupo) << i;
        EXPECT_EQ(l.totales[i].cantidad, fresca.totales[i].cantidad) << i;
        EXPECT_EQ(l.totales[i].esCategoria, fresca.totales[i].esCategoria) << i;
    }
    EXPECT_EQ(l.totales.size(), 4);   // 5, 5/A, 11, 11/A
}

TEST_F(DentroSite, AGridToldRowByRowFollowsTheListAndACopyStaysApart)
{
    persona("P1", 5, "A", "ANA");
    persona("P2", 5, "B", "BETO");
    persona("P3", 11, "A", "ÑANDÚ");
    persona("P4", 11, "A", "NUÑEZ");
    persona("P5", 2, "C", "ZOE");
    mov("P1", "2026-12-09", "07:00:00", "E");
    mov("P2", "2026-12-09", "07:00:00", "E");
    mov("GONE", "2026-12-09", "07:00:00", "E", "EVA BORRADA");
    kv::ListaDentro l = kv::PersonasDentro(site.tablesDir());
    const kv::ListaDentro copia = l;

    // What a grid on screen would show, changed only through what it is told.
    struct Espejo : kv::ObservadorDentro {
        const kv::ListaDentro& l;
        QStringList filas;
        int pendiente = -1, avisos = 0;
        explicit Espejo(const kv::ListaDentro& lista) : l(lista), filas(codigos(lista)) {}
        void antesDeQuitar(int f) override { pendiente = f; }
        void quitada() override { filas.removeAt(pendiente); ++avisos; }
        void antesDePoner(int f) override { pendiente = f; }
        void puesta() override { filas.insert(pendiente, l.filas[pendiente].codigo); ++avisos; }
    } espejo(l);

    struct Captura { const char* codigo; const char* tipo; int avisos; };
    const Captura capturas[] = {{"P3", "E", 1}, {"P5", "E", 1}, {"P2", "S", 1}, {"P4", "E", 1},
                                {"VISIT9", "E", 1}, {"P1", "S", 1}, {"P1", "E", 1}, {"GONE", "S", 1},
                                {"P5", "E", 2}, {"NADIE", "S", 0}};
    auto db = site.db();
    int hora = 0;
    for (const Captura& c : capturas) {
        mov(c.codigo, "2026-12-09", QString("08:%1:00").arg(hora++, 2, 10, QChar('0')), c.tipo);
        const int antes = espejo.avisos;
        kv::ActualizarDentro(l, site.tablesDir(), {db->lastInsertRowId()}, &espejo);
        EXPECT_EQ(espejo.avisos - antes, c.avisos) << c.codigo;
        EXPECT_EQ(espejo.filas, codigos(l)) << c.codigo;
        EXPECT_EQ(codigos(l), codigos(kv::PersonasDentro(site.tablesDir()))) << c.codigo;
    }
    EXPECT_EQ(codigos(l), QStringList({"P5", "P1", "P4", "P3", "VISIT9"}));
    EXPECT_EQ(l.fueraDelRegistro, 0);
    EXPECT_EQ(copia.fueraDelRegistro, 1);
    EXPECT_EQ(codigos(copia), QStringList({"P1", "P2", "GONE"}));
    EXPECT_EQ(copia.filas.buscar("GONE"), 2);
    EXPECT_EQ(l.filas.buscar("GONE"), -1);
    EXPECT_EQ(l.filas.buscar("P3"), 3);
}

TEST_F(DentroSite, EmptySiteAndCsvQuoting)
{
    EXPECT_TRUE(kv::PersonasDentro(site.tablesDir()).filas.isEmpty());
    persona("P1", 5, "A", "@PÉREZ; \"ÑOÑO\"");
    mov("P1", "2026-12-09", "07:00:00", "E");
    const QString csv = kv::DentroCSV(kv::PersonasDentro(site.tablesDir()));
    EXPECT_EQ(csv, QString("Código;Nombre;Categoría;Grupo;Dependencia;Fecha;Hora\n"
                           "P1;\"'@PÉREZ; \"\"ÑOÑO\"\"\";5;A;;2026-12-09;07:00:00\n"));
}

// ---- the settings a site made before them reads ----

void rawExec(const QString& dir, const char* sql)
{
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open(QDir(dir).filePath("kelvora.db").toUtf8().constData(), &h), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(h, sql, nullptr, nullptr, &err);
    EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "");
    sqlite3_free(err);
    sqlite3_close(h);
}

TEST(DoorSettings, OldSiteGetsTheNewColumnsWithDefaultsAndKeepsStoredValues)
{
    kvtest::MessagesScope msgs;
    kvtest::TempSite site;
    kv::Database::closeAll();
    rawExec(site.tablesDir(), "ALTER TABLE Config DROP COLUMN segundosRepetida");
    rawExec(site.tablesDir(), "ALTER TABLE Config DROP COLUMN tonosDistintos");
    kv::SetTablesDir(site.tablesDir());
    {
        kv::TConfig c;
        EXPECT_EQ(c.segundosRepetida(), 5);
        EXPECT_TRUE(c.tonosDistintos());
        EXPECT_EQ(c.anioactual(), kv::Clock::instance().today().year());   // the rest still read
    }
    EXPECT_TRUE(msgs->shown.empty());
    EXPECT_EQ(site.scalar("select segundosRepetida from Config"), QString("5"));
    site.exec("update Config set segundosRepetida = 0, tonosDistintos = 0");
    kv::Database::closeAll();
    {
        kv::TConfig c;   // opening again adds nothing and keeps what was stored
        EXPECT_EQ(c.segundosRepetida(), 0);
        EXPECT_FALSE(c.tonosDistintos());
    }
    kv::SetTablesDir(QString());
}

// ---- the publication queue ----

TEST(Queue, FollowsStoredMovementsAndThePasses)
{
    kvtest::TempSite site;
    // 2 = sent without a known outcome: still pending, as the publication counts it.
    site.exec("insert into entradasSalidas (codigo, tipomvt, subido) values"
              " ('OLD', 'E', 1), ('X', 'E', NULL), ('Y', 'S', 0), ('W', 'E', 2)");
    kv::ColaSubida cola(site.tablesDir());
    int avisos = 0;
    QObject::connect(&cola, &kv::ColaSubida::cambio, [&] { ++avisos; });
    EXPECT_EQ(cola.pendientes(), 3);
    EXPECT_EQ(cola.textoUltimaSubida(), QString());

    kv::Movimiento m;
    m.codigo = "P1";
    m.modo = "E";
    kv::RegistrarMovimiento(site.tablesDir(), m);
    kv::RegistrarMovimiento(site.tablesDir(), m);
    EXPECT_EQ(cola.pendientes(), 5);
    EXPECT_EQ(avisos, 2);
    site.exec("insert into entradasSalidas (codigo, tipomvt, subido) values ('Z', 'E', 1)");   // already published
    EXPECT_EQ(cola.pendientes(), 5);

    // Rows marked by another door (kelvora-admin, a pass of the window) are counted again.
    site.exec("update entradasSalidas set subido = 1 where codigo in ('X', 'P1')");
    QCoreApplication::processEvents();
    EXPECT_EQ(cola.pendientes(), 2);
    EXPECT_EQ(cola.textoPendientes(), QString("Pendientes por subir: 2"));

    // A pass that cannot reach the server changes no row; the time shown is the failure's.
    kv::FixedClock* reloj = new kv::FixedClock(at("2026-12-09", "11:20:40"));
    auto viejo = kv::Clock::install(std::unique_ptr<kv::Clock>(reloj));
    kv::PgConnection cerrada;
    const kv::ResultadoSubida r = kv::SubirMovimientos(cerrada, site.tablesDir(), 7);
    EXPECT_FALSE(r.conectado);
    EXPECT_EQ(cola.pendientes(), 2);
    EXPECT_EQ(cola.textoUltimaSubida(), QString("Sin conexión con el servidor (11:20)"));

    // Rows removed at start-up, and a rolled-back write, are counted again.
    site.exec("delete from entradasSalidas where subido = 1");
    {
        auto db = site.db();
        kv::Transaction tx(*db);
        db->exec("insert into entradasSalidas (codigo, tipomvt) values ('R', 'E')");
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(cola.pendientes(), 2);
    EXPECT_EQ(site.count("entradasSalidas"), 2);

    // A pass that reached the server: the count falls to what it left.
    const QString sinServidor = kvtest::PgServerProblem();
    if (!sinServidor.isEmpty()) {
        kv::Clock::install(std::move(viejo));
        if (qEnvironmentVariableIsSet("CI")) FAIL() << sinServidor.toStdString();
        GTEST_SKIP() << sinServidor.toStdString();
    }
    kvtest::RemoteDb remote;
    remote.writeIni();
    kv::CrearEsquemaRemoto(remote.admin(), 2026);
    kv::PgConnection c;
    ASSERT_EQ(kv::ConectarInternet(c, 2026), kv::EstadoConexion::Abierta);
    reloj->set(at("2026-12-09", "12:05:00"));
    const kv::ResultadoSubida ok = kv::SubirMovimientos(c, site.tablesDir(), 7);
    EXPECT_TRUE(ok.conectado);
    EXPECT_EQ(cola.pendientes(), 0);
    EXPECT_EQ(cola.textoUltimaSubida(), QString("Última subida: 12:05"));
    kv::Clock::install(std::move(viejo));
}

// ---- tones ----

TEST(Tones, EachEventSoundsItsOwnShortToneOrTheSingleBeep)
{
    using kv::Tono;
    const Tono todos[] = {Tono::Entrada, Tono::Salida, Tono::Rechazo, Tono::Repetida};
    std::set<std::pair<int, int>> distintos;
    for (Tono t : todos) {
        const kv::DefinicionTono d = kv::DefTono(t, true);
        EXPECT_GT(d.duracionMs, 0);
        EXPECT_LE(d.duracionMs, 300) << "a queue is waiting";
        distintos.insert({d.frecuenciaHz, d.duracionMs});
    }
    EXPECT_EQ(distintos.size(), 4u);
    EXPECT_EQ(kv::DefTono(Tono::Entrada, true).frecuenciaHz, 500);
    EXPECT_EQ(kv::DefTono(Tono::Entrada, true).duracionMs, 100);
    for (Tono t : {Tono::Entrada, Tono::Salida, Tono::Repetida}) {
        EXPECT_EQ(kv::DefTono(t, false).frecuenciaHz, 500);
        EXPECT_EQ(kv::DefTono(t, false).duracionMs, 100);
    }
    EXPECT_EQ(kv::DefTono(Tono::Rechazo, false).duracionMs, 0);
}

// ---- kelvora-admin inside ----

struct AdminRun {
    int code;
    QString out, err;
};
AdminRun admin(const QStringList& args)
{
    QProcess p;
    p.start(KELVORA_ADMIN, args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

TEST_F(DentroSite, AdminInsidePrintsTheListOrWritesCsv)
{
    persona("P1", 5, "A", "ANA");
    mov("P1", "2026-12-09", "07:00:00", "E");
    mov("VISIT01", "2026-12-09", "08:00:00", "E", "VISITA");
    kv::Database::closeAll();

    const AdminRun r = admin({"inside", site.tablesDir()});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("Dentro: 1 persona y 1 visitante\n  Categoría 5: 1\n    Grupo A: 1\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("P1\tANA\t5\tA\t\t2026-12-09\t07:00:00\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("VISIT01\tVISITA\tVisitante\t")) << r.out.toStdString();

    const QString csv = QDir(site.workDir()).filePath("dentro.csv");
    const AdminRun w = admin({"inside", site.tablesDir(), "--csv", csv});
    ASSERT_EQ(w.code, 0) << w.err.toStdString();
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes, QByteArray("\xEF\xBB\xBF") + kv::DentroCSV(kv::PersonasDentro(site.tablesDir())).toUtf8());
    EXPECT_EQ(bytes.count('\n'), 3);

    EXPECT_EQ(admin({"inside"}).code, 2);
    EXPECT_EQ(admin({"inside", site.tablesDir(), "--csv"}).code, 2);
    const AdminRun none = admin({"inside", QDir(site.workDir()).filePath("nada")});
    EXPECT_EQ(none.code, 1);
    EXPECT_TRUE(none.err.contains("No existe el directorio")) << none.err.toStdString();
    EXPECT_EQ(admin({"inside", site.tablesDir(), "--csv", QDir(site.workDir()).filePath("no/hay/dir.csv")}).code, 1);
}

} // namespace
