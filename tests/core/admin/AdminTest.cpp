// kelvora-admin, run as a separate process in a scratch working directory.
#include "support/AdminRun.h"
#include "support/TempSite.h"

#include "base/Version.h"
#include "data/Database.h"
#include "data/Query.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSet>

namespace {

using Result = kvtest::AdminResult;
using kvtest::runAdmin;

class AdminTest : public ::testing::Test {
protected:
    kvtest::TempSite work_{false};   // an empty working directory, made current

    QString path(const QString& name) const { return QDir(work_.workDir()).filePath(name); }
    Result run(const QStringList& args) const { return runAdmin(args, work_.workDir()); }

    kv::ResultSet select(const QString& dir, const QString& sql) const
    {
        kv::Query q;
        kv::EjecutarSQL(dir, q, sql);
        return q.result();
    }
    QString scalar(const QString& dir, const QString& sql) const
    {
        const kv::ResultSet rs = select(dir, sql);
        return rs.rows.isEmpty() ? QString() : rs.rows[0][0].toString();
    }
};

TEST_F(AdminTest, DemoBuildsAConsistentSite)
{
    const Result r = run({"demo", "site"});
    ASSERT_EQ(r.rc, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Administrador: admin")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Capturar entradas y salidas: puerta")) << r.out.toStdString();
    // Without --register nothing is written outside the site directory.
    EXPECT_EQ(QDir(work_.workDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"site"});

    const QString site = path("site");
    EXPECT_EQ(scalar(site, "select count(*) from AbaGrados"), "12");
    EXPECT_EQ(scalar(site, "select NGrado from AbaGrados where IGrado = 11"), "Undécimo");
    EXPECT_GE(scalar(site, "select count(*) from estudiantes").toInt(), 200);

    // Codes follow the generated form and internal numbers run 0..n-1 in every group.
    const kv::ResultSet persons =
        select(site, "select IGrado, IGrupo, IEstudiante, codigo, NEstudiante, idFoto, situacion "
                     "from estudiantes order by IGrado, IGrupo, IEstudiante");
    QSet<QString> codes;
    QMap<QString, int> perGroup;
    int withPhoto = 0, suspended = 0;
    bool accents = false;
    for (const auto& row : persons.rows) {
        const int grade = row[0].toInt();
        const QString group = row[1].toString();
        const QString code = row[3].toString();
        const QString key = QString::number(grade) + group;
        EXPECT_EQ(row[2].toInt(), perGroup.value(key)) << code.toStdString();
        perGroup[key] = row[2].toInt() + 1;
        EXPECT_EQ(code, key + row[2].toString() + QChar(char16_t(grade + 65)));
        EXPECT_FALSE(codes.contains(code)) << code.toStdString();
        codes.insert(code);
        const QString name = row[4].toString();
        EXPECT_EQ(name, name.toUpper()) << name.toStdString();
        accents = accents || name.contains(u'Ñ') || name.contains(u'É') || name.contains(u'Í');
        if (!row[5].toString().isEmpty()) {
            ++withPhoto;
            const QImage img(QDir(site).filePath("imagenes/" + row[5].toString()));
            EXPECT_EQ(img.size(), QSize(120, 160)) << row[5].toString().toStdString();
        }
        if (row[6].toString() == "SUSPENDIDO") ++suspended;
    }
    EXPECT_TRUE(accents);
    EXPECT_GE(withPhoto, persons.rows.size() / 2);
    EXPECT_GE(suspended, 1);
    EXPECT_GE(perGroup.size(), 24);

    // Each group has one subject link per subject of its category.
    EXPECT_EQ(scalar(site, "select count(*) from grupos g where "
                           "(select count(*) from MovMat m where m.IGrado = g.IGrado and m.IGrupo = g.IGrupo) <> "
                           "(select count(*) from AbaMaterias a where a.IGrado = g.IGrado)"),
              "0");
    EXPECT_EQ(scalar(site, "select count(*) from MovMat m where not exists "
                           "(select 1 from AbaProfesores p where p.IProfesor = m.IProfesor)"),
              "0");

    // Movements: stored formats, nobody left inside, suspended persons never came in,
    // and visitors carry badge codes.
    EXPECT_GE(scalar(site, "select count(*) from entradasSalidas").toInt(), 1000);
    EXPECT_EQ(scalar(site, "select count(*) from entradasSalidas where fecha not glob "
                           "'[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]' or hora not glob "
                           "'[0-2][0-9]:[0-5][0-9]:[0-5][0-9]' or subido <> 0"),
              "0");
    EXPECT_EQ(scalar(site, "select count(*) from entradasSalidas e where e.tipomvt = 'E' and not exists "
                           "(select 1 from entradasSalidas s where s.codigo = e.codigo and s.fecha = e.fecha "
                           "and s.tipomvt = 'S' and s.hora > e.hora)"),
              "0");
    EXPECT_EQ(scalar(site, "select count(*) from entradasSalidas m join estudiantes p on p.codigo = m.codigo "
                           "where p.situacion = 'SUSPENDIDO'"),
              "0");
    EXPECT_GE(scalar(site, "select count(*) from entradasSalidas where codigo like 'VISIT%'").toInt(), 10);
    EXPECT_EQ(scalar(site, "select count(*) from entradasSalidas m where codigo not like 'VISIT%' and not "
                           "exists (select 1 from estudiantes p where p.codigo = m.codigo)"),
              "0");

    const kv::ResultSet cfg =
        select(site, "select clave, claveConsultor, anioactual, rutaEscudo, NColegio from Config");
    ASSERT_EQ(cfg.rows.size(), 1);
    EXPECT_EQ(cfg.rows[0][0].toString(), "admin");
    EXPECT_EQ(cfg.rows[0][1].toString(), "puerta");
    EXPECT_EQ(cfg.rows[0][2].toInt(), QDate::currentDate().year());
    const QFileInfo logo(cfg.rows[0][3].toString());
    EXPECT_TRUE(logo.isAbsolute());
    EXPECT_FALSE(QImage(logo.filePath()).isNull()) << logo.filePath().toStdString();
    EXPECT_FALSE(cfg.rows[0][4].toString().isEmpty());
    EXPECT_GE(scalar(site, "select count(*) from dependencias").toInt(), 5);
    EXPECT_GE(scalar(site, "select count(*) from visitantes").toInt(), 5);
    EXPECT_GE(scalar(site, "select count(*) from consultantes").toInt(), 5);
}

TEST_F(AdminTest, DemoIsReproducibleAndRegistersOnlyWhenAsked)
{
    ASSERT_EQ(run({"demo", "uno"}).rc, 0);
    const Result r = run({"demo", "dos", "--register", "Colegio Dos"});
    ASSERT_EQ(r.rc, 0) << r.err.toStdString();

    for (const char* table : {"estudiantes", "entradasSalidas", "visitantes", "MovMat", "grupos"}) {
        const QString sql = QStringLiteral("select * from %1").arg(table);
        const Result a = run({"sql", "uno", sql});
        const Result b = run({"sql", "dos", sql});
        ASSERT_EQ(a.rc, 0) << a.err.toStdString();
        EXPECT_GT(a.out.count('\n'), 1) << table;
        EXPECT_EQ(a.out, b.out) << table;
    }

    auto list = kv::Database::siteList(work_.workDir());
    const kv::ResultSet rows = list->select("select colegio, RutaTablas from Config");
    ASSERT_EQ(rows.rows.size(), 1);
    EXPECT_EQ(rows.rows[0][0].toString(), "Colegio Dos");
    EXPECT_EQ(QFileInfo(rows.rows[0][1].toString()).canonicalFilePath(),
              QFileInfo(path("dos")).canonicalFilePath());
}

TEST_F(AdminTest, SqlPrintsRowsAndCountsChanges)
{
    ASSERT_EQ(run({"create-site", "site"}).rc, 0);
    EXPECT_TRUE(QFileInfo::exists(path("site/" + kv::Database::siteFileName())));

    Result r = run({"sql", "site", "insert into dependencias (ndependencia) values ('Rectoría')"});
    ASSERT_EQ(r.rc, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), "1 fila afectada");
    // The local dialect: double-quoted texts.
    r = run({"sql", "site", "insert into dependencias (ndependencia) values (\"Sala\ncon\tsalto\")"});
    ASSERT_EQ(r.rc, 0) << r.err.toStdString();

    r = run({"sql", "site", "select ndependencia as nombre, length(ndependencia) as largo from dependencias"});
    ASSERT_EQ(r.rc, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "nombre\tlargo\nRectoría\t8\nSala\\ncon\\tsalto\t14\n");

    r = run({"sql", "site", "update dependencias set ndependencia = upper(ndependencia)"});
    EXPECT_EQ(r.out.trimmed(), "2 filas afectadas");
    r = run({"sql", "site", "delete from dependencias where ndependencia = 'NINGUNA'"});
    EXPECT_EQ(r.out.trimmed(), "0 filas afectadas");
    EXPECT_EQ(scalar(path("site"), "select ndependencia from dependencias order by 1 limit 1"), "RECTORÍA");
}

TEST_F(AdminTest, BadRequestsFailWithASpanishMessage)
{
    ASSERT_EQ(run({"demo", "site"}).rc, 0);
    ASSERT_EQ(run({"create-site", "vacio"}).rc, 0);

    struct Case {
        QStringList args;
        int rc;
        QString message;   // expected in stderr
    };
    const QVector<Case> cases = {
        {{}, 2, "Uso: kelvora-admin"},
        {{"borrar-todo"}, 2, "Orden desconocida: borrar-todo"},
        {{"create-site"}, 2, "create-site necesita"},
        {{"add-site", "Solo nombre"}, 2, "add-site necesita"},
        {{"add-site", "X", "no-existe"}, 1, "No existe el directorio: no-existe"},
        {{"demo"}, 2, "demo necesita el directorio"},
        {{"demo", "otro", "--register"}, 2, "--register necesita"},
        {{"demo", "otro", "--color"}, 2, "Opción desconocida: --color"},
        {{"demo", "site"}, 1, "ya contiene un sitio"},
        {{"sql", "site"}, 2, "sql necesita dos argumentos"},
        {{"sql", "no-existe", "select 1"}, 1, "No existe el directorio: no-existe"},
        {{"sql", ".", "select 1"}, 1, "no contiene las tablas de un sitio"},
        {{"sql", "site", "selct * from estudiantes"}, 1, "syntax error"},
        {{"sql", "site", "select * from tabla_que_no_hay"}, 1, "No existe la tabla"},
        {{"sql", "site", "select nada from estudiantes"}, 1, "No existe el campo"},
        {{"sql", "site", "delete from estudiantes; delete from grupos"}, 2, "una sola sentencia"},
    };
    for (const Case& c : cases) {
        const Result r = run(c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(r.rc, c.rc) << what;
        EXPECT_TRUE(r.err.contains(c.message)) << what << " -> " << r.err.toStdString();
        if (c.rc == 1) {
            EXPECT_TRUE(r.out.isEmpty()) << what;
        }
    }
    // The refused pair of statements ran neither of them.
    EXPECT_GE(scalar(path("site"), "select count(*) from estudiantes").toInt(), 200);
    // A refused demo left the site it found as it was.
    EXPECT_EQ(scalar(path("site"), "select count(*) from AbaGrados"), "12");
    EXPECT_FALSE(QFileInfo::exists(path("otro")));

    const Result help = run({"--help"});
    EXPECT_EQ(help.rc, 0);
    EXPECT_TRUE(help.out.contains("create-site DIR"));
    EXPECT_TRUE(help.out.contains("sql DIR"));
}

TEST_F(AdminTest, AddSiteAppendsInOrder)
{
    ASSERT_EQ(run({"create-site", "norte"}).rc, 0);
    ASSERT_EQ(run({"create-site", "sur"}).rc, 0);
    ASSERT_EQ(run({"add-site", "Sede Norte", "norte"}).rc, 0);
    const Result r = run({"add-site", "Sede Sur", "sur"});
    ASSERT_EQ(r.rc, 0) << r.err.toStdString();

    auto list = kv::Database::siteList(work_.workDir());
    const kv::ResultSet rows = list->select("select colegio, RutaTablas from Config order by rowid");
    ASSERT_EQ(rows.rows.size(), 2);
    EXPECT_EQ(rows.rows[0][0].toString(), "Sede Norte");
    EXPECT_EQ(rows.rows[1][0].toString(), "Sede Sur");
    EXPECT_TRUE(QFileInfo(rows.rows[1][1].toString()).isAbsolute());
    EXPECT_EQ(QFileInfo(rows.rows[1][1].toString()).canonicalFilePath(),
              QFileInfo(path("sur")).canonicalFilePath());
}

TEST_F(AdminTest, BothProgramsTellTheProjectsVersion)
{
    const Result admin = run({"--version"});
    EXPECT_EQ(admin.rc, 0);
    EXPECT_EQ(admin.out, QStringLiteral("kelvora-admin " KELVORA_VERSION "\n"));
    for (const char* arg : {"--version", "--help"}) {
        QProcess p;
        p.start(QStringLiteral(KELVORA_PROGRAM), {QString::fromLatin1(arg)});
        ASSERT_TRUE(p.waitForFinished(20000)) << arg;
        EXPECT_EQ(p.exitCode(), 0) << arg;
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        if (QByteArray(arg) == "--version") EXPECT_EQ(out, QStringLiteral("kelvora " KELVORA_VERSION "\n"));
        else EXPECT_TRUE(out.contains("~/.local/share/kelvora")) << out.toStdString();
    }
}

TEST_F(AdminTest, NewSiteAndDataDirFollowTheProgramsOwnRules)
{
    Result r = run({"new-site", "Sede Norte", "norte"});
    ASSERT_EQ(r.rc, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("creado en")) << r.out.toStdString();
    EXPECT_TRUE(QFileInfo(path("norte/kelvora.db")).isFile());
    r = run({"new-site", "Sede Norte", "otra"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(r.err.contains("Ya hay un sitio llamado «Sede Norte».")) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("otra")));

    // Where the list is, kelvora works there; elsewhere in the user's data directory.
    const bool habia = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    const QByteArray old = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", path("datos").toLocal8Bit());
    ASSERT_TRUE(QDir(work_.workDir()).mkdir("sin-lista"));
    const Result aqui = run({"data-dir"});
    const Result otro = runAdmin({"data-dir"}, path("sin-lista"));
    if (habia) qputenv("XDG_DATA_HOME", old);
    else qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(aqui.out.trimmed(), work_.workDir());
    EXPECT_EQ(otro.out.trimmed(), path("datos/kelvora"));
    EXPECT_FALSE(QFileInfo::exists(path("datos")));   // it only says where
}

} // namespace
