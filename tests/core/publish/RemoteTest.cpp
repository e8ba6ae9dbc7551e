#include "PublishFixture.h"
#include "base/MyException.h"
#include "settings/IniFile.h"
#include <QFile>

TEST_F(PublishTest, ConnectionNeedsTheYearTheAccountAndTheYearsSchemaAndSaysWhy)
{
    using E = kv::EstadoConexion;
    struct Case {
        int year;
        QString password;   // "" = the right one
        QString key, value; // one more value of section Internet
        E state;
        QString why;        // part of the reason given
    } cases[] = {
        {0, "", "", "", E::AnioSinConfigurar, kv::TextoAnioSinConfigurar()},
        {2026, "equivocada", "", "", E::SinConexion, "el servidor rechazó el usuario o la clave"},
        {2026, "", "Puerto", "1", E::SinConexion, "el servidor rechazó la conexión"},
        {2031, "", "", "", E::SinEsquema, "El servidor no tiene el esquema del año 2031"},
        {2026, "", "SSL", "requiere", E::ValorInvalido, "El valor de SSL en la sección [Internet] de pralune.ini no sirve"},
        {2026, "", "EsperaConexion", "cinco", E::ValorInvalido, "El valor de EsperaConexion"},
        // A comment after the value, as the README shows one, is no part of it.
        {2026, "", "SSL", "prefer                     ; a libpq sslmode", E::Abierta, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why.toStdString());
        site.exec("update Config set anioactual=?", {c.year});
        remote->writeIni(c.password);
        kv::EscribirIni("Internet", "SSL", "prefer");
        kv::EscribirIni("Internet", "EsperaConexion", "5");
        if (!c.key.isEmpty()) kv::EscribirIni("Internet", c.key, c.value);
        msgs->shown.clear();
        kv::PgConnection conn;
        QString why;
        EXPECT_EQ(kv::ConectarInternet(conn, &why), c.state);
        EXPECT_EQ(conn.isOpen(), c.state == E::Abierta);
        EXPECT_TRUE(msgs->shown.empty());
        EXPECT_EQ(why.isEmpty(), c.why.isEmpty()) << why.toStdString();
        EXPECT_TRUE(why.contains(c.why)) << why.toStdString();
        if (c.state == E::Abierta) {
            EXPECT_EQ(conn.exec("show search_path").value(0, 0), "2026");
        }
    }
}

TEST_F(PublishTest, MovementsArriveExactlyAsStoredOnceAndOtherSitesStayUntouched)
{
    remote->admin().exec("insert into entradassalidas (icolegio, codigo, fecha, hora, tipomvt) values"
                         " (8, 'X1', '2026-12-09', '07:00:00', 'E')");
    addMov("A1", "07:10:00", "E", "O'Brien \"el Toro\"", "línea 1\nlínea 2");
    addMov("A1", "07:20:05", "S", "'", "'");
    addMov("B'2;--", "07:30:00", "E", QVariant(), QVariant());
    const kv::ResultadoSubida r = pass();
    EXPECT_TRUE(r.conectado);
    EXPECT_EQ(r.enviadas, 3);
    EXPECT_EQ(r.pendientes, 0);

    const kv::PgResult got = remote->admin().exec(
        "select codigo, fecha::text, hora::text, docident, tipodocident, nestudiante, tipomvt, detalle"
        " from entradassalidas where icolegio=7 order by hora");
    ASSERT_EQ(got.rows(), 3);
    const QStringList expected[] = {
        {"A1", "2026-12-09", "07:10:00", "D-A1", "1", "O'Brien \"el Toro\"", "E", "línea 1\nlínea 2"},
        {"A1", "2026-12-09", "07:20:05", "D-A1", "1", "'", "S", "'"},
        {"B'2;--", "2026-12-09", "07:30:00", "D-B'2;--", "1", "", "E", ""},
    };
    for (int i = 0; i < 3; ++i) {
        QStringList row;
        for (int c = 0; c < got.columns(); ++c) row << got.value(i, c);
        EXPECT_EQ(row, expected[i]);
    }
    EXPECT_EQ(site.count("entradasSalidas", "subido=1"), 3);
    EXPECT_EQ(remote->count("entradassalidas", "icolegio=8"), 1);

    // Nothing new: the second pass sends nothing and the log is left alone.
    AgregarLinea(MyException::logFileName(), "registro anterior");
    EXPECT_EQ(pass().enviadas, 0);
    EXPECT_EQ(remote->count("entradassalidas"), 4);
    EXPECT_TRUE(QFile::exists(MyException::logFileName()));
}

TEST_F(PublishTest, ARefusedRowIsLoggedKeptAndSentByALaterPass)
{
    // A server made before remote-init widened its columns holds names in 60 characters.
    remote->admin().exec("alter table entradassalidas alter column nestudiante type varchar(60)");
    const QString longName(70, QLatin1Char('n'));
    addMov("A1", "07:00:00");
    addMov("LARGO", "07:00:01", "E", longName);
    addMov("C3", "07:00:02");
    kv::ResultadoSubida r = pass();
    EXPECT_EQ(r.enviadas, 2);
    EXPECT_EQ(r.rechazadas, 1);
    EXPECT_EQ(r.pendientes, 1);
    EXPECT_EQ(site.scalar("select codigo from entradasSalidas where subido is null"), "LARGO");

    QFile log(MyException::logFileName());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(log.readAll()).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("character varying(60)")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("insert into entradassalidas")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains("'LARGO'"));

    remote->admin().exec("alter table entradassalidas alter column nestudiante type text");
    r = pass();
    EXPECT_EQ(r.enviadas, 1);
    EXPECT_EQ(r.rechazadas, 0);
    EXPECT_EQ(remote->count("entradassalidas"), 3);
    EXPECT_EQ(remote->scalar("select nestudiante from entradassalidas where codigo='LARGO'"), longName);
    EXPECT_EQ(duplicates(), 0);
}

TEST_F(PublishTest, ALinkLostMidPassLosesNothingAndSendsNothingTwice)
{
    addMovs(2500);
    kv::OpcionesSubida op;
    op.lote = 1000;
    op.progreso = [this](int hechas, int) {
        if (hechas != 1000) return;
        // Recorded while the pass runs: it belongs to the next pass.
        addMov("NUEVO", "09:00:00");
        // Only this test's database: other tests run beside it on the same server.
        remote->admin().exec("select pg_terminate_backend(pid) from pg_stat_activity"
                             " where application_name='kelvora' and datname=current_database()"
                             " and pid<>pg_backend_pid()");
    };
    kv::ResultadoSubida r = pass(op);
    EXPECT_FALSE(r.conectado);
    EXPECT_EQ(r.enviadas, 1000);
    EXPECT_EQ(r.pendientes, 1501);
    EXPECT_EQ(site.count("entradasSalidas", "subido=1"), 1000);

    r = pass();
    EXPECT_TRUE(r.conectado);
    EXPECT_EQ(r.enviadas, 1501);
    EXPECT_EQ(r.pendientes, 0);
    EXPECT_EQ(remote->count("entradassalidas"), 2501);
    EXPECT_EQ(duplicates(), 0);
}

TEST_F(PublishTest, RowsTheServerCommittedButTheDeskNeverMarkedAreNotSentAgain)
{
    addMovs(2500);
    kv::OpcionesSubida op;
    op.lote = 1000;
    // The desk dies right after the server committed the first batch.
    op.progreso = [](int, int) { throw std::runtime_error("corte de luz"); };
    EXPECT_THROW(pass(op), std::runtime_error);
    EXPECT_EQ(remote->count("entradassalidas"), 1000);
    EXPECT_EQ(kv::MovimientosPendientes(site.tablesDir()), 2500);

    const kv::ResultadoSubida r = pass();
    EXPECT_EQ(r.enviadas, 1500);
    EXPECT_EQ(r.pendientes, 0);
    EXPECT_EQ(remote->count("entradassalidas"), 2500);
    EXPECT_EQ(duplicates(), 0);
    // Start-up deletes what is published, and now that is every row.
    site.exec("delete from entradassalidas where subido=true");
    EXPECT_EQ(site.count("entradasSalidas"), 0);
}

TEST_F(PublishTest, PersonsReplaceTheSitesRowsInOneTransaction)
{
    remote->admin().exec("insert into estudiantes (icolegio, codigo, nestudiante) values (7, 'VIEJO', 'Viejo'), (8, 'OTRO', 'Otro')");
    site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo, docIdent, telefestud, acudiente)"
              " values (5, 'A', 1, ?, 'A1', '111', '300', 'Madre'), (-99, 'A', 2, 'Retirado', 'R1', '', '', ''),"
              " (5, 'A', 3, 'Sin Código', '', '', '', ''), (6, 'B', 1, 'Pedro', 'D1', '222', '', '')",
              {QStringLiteral("D'Artagnan\n\"Segundo\"")});
    site.exec("insert into estudiantes (NEstudiante) values ('fila vacía')");

    kv::PgConnection c;
    ASSERT_EQ(kv::ConectarInternet(c), kv::EstadoConexion::Abierta);
    const kv::ResultadoPersonas r = kv::SubirEstudiantes(c, site.tablesDir(), 7);
    EXPECT_EQ(r.filas, 4);   // the empty row was deleted first
    EXPECT_EQ(r.enviadas, 2);
    EXPECT_EQ(r.sinCodigo, QStringList{"Sin Código"});
    EXPECT_EQ(site.count("estudiantes"), 4);
    EXPECT_EQ(remote->scalar("select string_agg(codigo || '|' || nestudiante || '|' || igrado || igrupo || '|' || telefestud,"
                             " ';' order by codigo) from estudiantes where icolegio=7"),
              "A1|D'Artagnan\n\"Segundo\"|5A|300;D1|Pedro|6B|");
    EXPECT_EQ(remote->count("estudiantes", "icolegio=8"), 1);

    // One person an older, narrower server refuses stays out, named; the rest go.
    remote->admin().exec("alter table estudiantes alter column nestudiante type varchar(60)");
    site.exec("insert into estudiantes (IGrado, IGrupo, IEstudiante, NEstudiante, codigo) values (5, 'A', 9, ?, 'E9')",
              {QString(61, QLatin1Char('x'))});
    const kv::ResultadoPersonas r2 = kv::SubirEstudiantes(c, site.tablesDir(), 7);
    EXPECT_EQ(r2.enviadas, 2);
    EXPECT_EQ(r2.rechazados, QStringList{"El servidor no aceptó a " + QString(61, QLatin1Char('x'))
                                         + " (código E9): nestudiante tiene 61 caracteres y el servidor admite 60."});
    EXPECT_EQ(remote->scalar("select string_agg(codigo, ',' order by codigo) from estudiantes where icolegio=7"), "A1,D1");
}

TEST_F(PublishTest, ConsultantsMergeRepeatedDocumentsAndReplaceInOneTransaction)
{
    remote->admin().exec("insert into consultantes (icolegio, docident, clave) values (7, '99', 'v'), (8, '10', 'otro')");
    site.exec("insert into consultantes (docIdent, nombre, clave, nivelConsulta) values"
              " ('10', 'Ana', 'c1', 0), ('20', 'O''Neil', 'x\"y', 0), ('10', 'Ana María', 'c2', 1), ('', 'Vacío', '', 0)");
    site.exec("insert into consultantes (nombre) values ('Sin documento')");

    kv::PgConnection c;
    ASSERT_EQ(kv::ConectarInternet(c), kv::EstadoConexion::Abierta);
    const kv::ResultadoConsultantes r = kv::SubirConsultantes(c, site.tablesDir(), 7);
    EXPECT_EQ(r.filas, 4);
    EXPECT_EQ(site.count("consultantes", "docIdent is null"), 0);
    EXPECT_EQ(site.count("consultantes", "docIdent=''"), 1);
    EXPECT_EQ(remote->scalar("select string_agg(docident || '|' || clave || '|' || nombre || '|' || nivelconsulta, ';'"
                             " order by docident) from consultantes where icolegio=7"),
              "10|c1|Ana María|1;20|x\"y|O'Neil|0");
    EXPECT_EQ(remote->scalar("select clave from consultantes where icolegio=8"), "otro");

    remote->admin().exec("alter table consultantes alter column clave type varchar(20)");
    site.exec("insert into consultantes (docIdent, nombre, clave) values ('30', 'Larga', ?)", {QString(21, QLatin1Char('k'))});
    const kv::ResultadoConsultantes r2 = kv::SubirConsultantes(c, site.tablesDir(), 7);
    EXPECT_EQ(r2.enviadas, 3);
    EXPECT_EQ(r2.rechazados,
              QStringList{"El servidor no aceptó a Larga (documento 30): clave tiene 21 caracteres y el servidor admite 20."});
    EXPECT_EQ(remote->count("consultantes", "icolegio=7"), 2);
}
