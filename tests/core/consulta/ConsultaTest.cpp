// The consultation's rules on prepared rows in a real PostgreSQL database: who sees which
// person, the login and its lock, the session, and what the pages write.
#include "consulta/Portal.h"
#include "consulta/Texto.h"
#include "publish/Publicacion.h"
#include "publish/Remote.h"
#include "publish/RemotoConsulta.h"
#include "support/RemoteDb.h"
#include "support/TempSite.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QUrlQuery>

using namespace kv::consulta;

namespace {

const QDate kHoy(2026, 12, 9);
constexpr qint64 kAhora = 1796000000;   // any fixed moment; sessions count from it

kv::PgParams Servidor(const QString& db, const QString& user = {}, const QString& clave = {})
{
    kv::PgParams p{{QStringLiteral("host"), qEnvironmentVariable("PGHOST")},
                   {QStringLiteral("port"), qEnvironmentVariable("PGPORT")},
                   {QStringLiteral("dbname"), db}};
    if (!user.isEmpty()) p.push_back({QStringLiteral("user"), user});
    if (!clave.isEmpty()) p.push_back({QStringLiteral("password"), clave});
    return p;
}

// A browser without HTTP: keeps the cookies the portal sets and sends them back.
class Cliente {
public:
    Cliente(Portal& p, Conexion& c, QString direccion = QStringLiteral("10.0.0.1")) : p_(p), c_(c), dir_(std::move(direccion)) {}
    qint64 ahora = kAhora;

    Respuesta get(const QString& ruta, const QHash<QString, QString>& params = {})
    {
        return send("GET", ruta, params);
    }
    Respuesta post(const QString& ruta, const QHash<QString, QString>& params)
    {
        return send("POST", ruta, params);
    }
    // The login form's token, as a browser would read it from the page.
    QString token(const Respuesta& r) const
    {
        static const QRegularExpression re(QStringLiteral("name=\"token\" value=\"([^\"]*)\""));
        return re.match(QString::fromUtf8(r.cuerpo)).captured(1);
    }
    Respuesta entrar(const QString& documento, const QString& clave)
    {
        const Respuesta pagina = get(QStringLiteral("/"));
        return post(QStringLiteral("/entrar"), {{QStringLiteral("documento"), documento},
                                                {QStringLiteral("clave"), clave},
                                                {QStringLiteral("token"), token(pagina)}});
    }
    // Logs in at `icolegio`, choosing the site when the portal asks.
    void sesion(const QString& documento, const QString& clave, int icolegio = 7)
    {
        Respuesta r = entrar(documento, clave);
        if (r.estado == 200 && r.cuerpo.contains("id=\"eleccion\"")) {
            static const QRegularExpression re(QStringLiteral("name=\"eleccion\" value=\"([^\"]*)\""));
            r = post(QStringLiteral("/sitio"), {{QStringLiteral("eleccion"), re.match(QString::fromUtf8(r.cuerpo)).captured(1)},
                                               {QStringLiteral("token"), token(r)},
                                               {QStringLiteral("colegio"), QString::number(icolegio)}});
        }
        ASSERT_EQ(r.estado, 303) << r.cuerpo.toStdString();
    }
    QJsonObject api(const QString& ruta, int estado = 200)
    {
        const Respuesta r = get(ruta);
        EXPECT_EQ(r.estado, estado) << ruta.toStdString();
        return QJsonDocument::fromJson(r.cuerpo).object();
    }
    QSet<QString> codigos(const QString& ruta = QStringLiteral("/api/personas"))
    {
        QSet<QString> s;
        for (const auto& v : api(ruta).value(QStringLiteral("personas")).toArray())
            s.insert(v.toObject().value(QStringLiteral("codigo")).toString());
        return s;
    }
    QByteArray cookies;

private:
    Respuesta send(const QByteArray& metodo, const QString& ruta, const QHash<QString, QString>& params)
    {
        Solicitud s{metodo, ruta, params, cookies, dir_, ahora, kHoy};
        Respuesta r = p_.atender(s, c_);
        for (const QByteArray& set : r.cookies) {
            const QByteArray par = set.left(set.indexOf(';'));
            const QByteArray nombre = par.left(par.indexOf('='));
            QList<QByteArray> quedan;
            for (const QByteArray& c : cookies.split(';'))
                if (!c.trimmed().isEmpty() && !c.trimmed().startsWith(nombre + '=')) quedan << c.trimmed();
            if (!set.contains("Max-Age=0;")) quedan << par;
            cookies = quedan.join("; ");
        }
        return r;
    }
    Portal& p_;
    Conexion& c_;
    QString dir_;
};

class ConsultaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        KV_REQUIRE_PG();
        remote = std::make_unique<kvtest::RemoteDb>();
        kv::CrearEsquemaRemoto(remote->admin(), 2026);
        auto& a = remote->admin();
        a.exec(QStringLiteral("set search_path to 2026"));
        a.exec(QStringLiteral("insert into colegios values (7, 'Colegio Siete'), (8, 'Colegio Ocho')"));
        // Persons: site, code, name, own document, guardian's document, category, group.
        const QVector<QStringList> personas = {
            {"7", "A1", "ANA PÉREZ", "1001", "111", "3", "A"},
            {"7", "A2", "BETO PÉREZ", "1002", "111", "5", "B"},
            {"7", "B1", "CARLA DÍAZ", "1003", "222", "3", "A"},
            {"7", "C1", "<script>alert(1)</script> LÓPEZ", "444", "333", "9", "A"},
            {"7", "M-9001", "DORA RUIZ", "1005", "555", "10", "B"},
            {"8", "Z1", "ZOE PÉREZ", "2001", "111", "1", "A"},
        };
        for (const QStringList& p : personas)
            a.exec(QStringLiteral("insert into estudiantes (icolegio, codigo, nestudiante, docident, docacud, igrado, igrupo)"
                                  " values ($1::integer, $2, $3, $4, $5, $6::integer, $7)"),
                   {p[0], p[1], p[2], p[3], p[4], p[5], p[6]});
        const QVector<QStringList> consultantes = {
            {"7", "111", "p111", "MARTA PÉREZ", "0"}, {"8", "111", "p111", "MARTA PÉREZ", "0"},
            {"7", "222", "p222", "LUIS DÍAZ", "0"},   {"7", "444", "p444", "CÉSAR LÓPEZ", "0"},
            {"7", "M-9001", "pm", "DORA RUIZ", "0"},  {"7", "900", "s900", "ROSA MÚNERA", "1"},
            {"8", "222", "otra", "LUIS DÍAZ", "0"},
        };
        for (const QStringList& c : consultantes)
            a.exec(QStringLiteral("insert into consultantes (icolegio, docident, clave, nombre, nivelconsulta)"
                                  " values ($1::integer, $2, $3, $4, $5::integer)"),
                   {c[0], c[1], c[2], c[3], c[4]});
        // Movements: site, code, date, hour, type, detail.
        const QVector<QStringList> movs = {
            {"7", "A1", "2026-12-09", "07:02:00", "E", ""},
            {"7", "A1", "2026-12-09", "13:15:00", "S", "Cita médica"},
            {"7", "A2", "2026-12-09", "07:05:00", "E", ""},
            {"7", "A1", "2026-12-01", "06:50:00", "E", ""},
            {"7", "A1", "2026-12-01", "14:00:00", "S", ""},
            {"7", "A1", "2026-10-01", "06:50:00", "E", ""},   // outside the last 30 days
            {"7", "B1", "2026-12-08", "07:00:00", "E", ""},
            {"7", "VISIT01", "2026-12-09", "09:00:00", "E", "Rectoría"},
            {"8", "Z1", "2026-12-09", "15:30:00", "E", ""},   // the latest of site 8, not of 7
        };
        for (const QStringList& m : movs)
            a.exec(QStringLiteral("insert into entradassalidas (icolegio, codigo, fecha, hora, tipomvt, detalle, nestudiante)"
                                  " values ($1::integer, $2, $3::date, $4::time, $5, $6, 'VISITANTE UNO')"),
                   {m[0], m[1], m[2], m[3], m[4], m[5]});
        AbrirConexion(con, Servidor(remote->name()), 2026);
        portal = std::make_unique<Portal>(OpcionesPortal{"secreto de prueba", false});
    }

    std::unique_ptr<kvtest::RemoteDb> remote;
    Conexion con;
    std::unique_ptr<Portal> portal;
};

TEST_F(ConsultaTest, AFamilySeesOnlyItsOwnPersonsAtTheChosenSite)
{
    struct Caso {
        const char* documento;
        const char* clave;
        int colegio;
        QSet<QString> codigos;
    };
    const Caso casos[] = {
        {"111", "p111", 7, {"A1", "A2"}},   // two children at one site
        {"111", "p111", 8, {"Z1"}},         // the same document and password at another site
        {"444", "p444", 7, {"C1"}},         // the consultant's document is the child's own
        {"M-9001", "pm", 7, {"M-9001"}},    // the site uses the code as the document
        {"222", "p222", 7, {"B1"}},         // valid only at site 7: no choice is offered
    };
    for (const Caso& k : casos) {
        SCOPED_TRACE(k.documento);
        Cliente b(*portal, con);
        b.sesion(k.documento, k.clave, k.colegio);
        EXPECT_EQ(b.codigos(), k.codigos);
        EXPECT_EQ(b.api(QStringLiteral("/api/personas")).value(QStringLiteral("colegio")).toObject().value(QStringLiteral("numero")).toInt(),
                  k.colegio);
    }
}

TEST_F(ConsultaTest, TheFamilyPageShowsStateDaysAndFreshness)
{
    Cliente b(*portal, con);
    b.sesion(QStringLiteral("111"), QStringLiteral("p111"), 7);
    const QString pagina = QString::fromUtf8(b.get(QStringLiteral("/")).cuerpo);
    EXPECT_TRUE(pagina.contains(QStringLiteral("Salió a las 1:15 p. m.")));
    EXPECT_TRUE(pagina.contains(QStringLiteral("Dentro desde las 7:05 a. m.")));
    EXPECT_TRUE(pagina.contains(QStringLiteral("Colegio Siete")));
    EXPECT_TRUE(pagina.contains(QStringLiteral("Datos publicados hasta: 09/12/2026 13:15")));
    EXPECT_FALSE(pagina.contains(QStringLiteral("ZOE")));
    // A1 came in on the 1st and the 9th within the last 30 days; October is outside.
    const QJsonObject p = b.api(QStringLiteral("/api/persona/A1"));
    EXPECT_EQ(p.value(QStringLiteral("persona")).toObject().value(QStringLiteral("diasConEntrada")).toInt(), 2);
    EXPECT_EQ(p.value(QStringLiteral("movimientos")).toArray().size(), 4);
    EXPECT_EQ(p.value(QStringLiteral("movimientos")).toArray().at(0).toObject().value(QStringLiteral("detalle")).toString(),
              QStringLiteral("Cita médica"));
    EXPECT_EQ(p.value(QStringLiteral("desde")).toString(), QStringLiteral("2026-11-10"));
    // A range asked for: only October.
    const Respuesta octubre = b.get(QStringLiteral("/api/persona/A1"), {{QStringLiteral("desde"), QStringLiteral("01/10/2026")},
                                                                        {QStringLiteral("hasta"), QStringLiteral("2026-10-31")}});
    EXPECT_EQ(QJsonDocument::fromJson(octubre.cuerpo).object().value(QStringLiteral("movimientos")).toArray().size(), 1);
    Cliente otro(*portal, con);
    otro.sesion(QStringLiteral("222"), QStringLiteral("p222"));
    const QString sin = QString::fromUtf8(otro.get(QStringLiteral("/")).cuerpo);
    EXPECT_TRUE(sin.contains(QStringLiteral("Sin movimientos hoy")));
}

TEST_F(ConsultaTest, APersonOutsideTheConsultantsReachIsNotFoundWhateverTheAddress)
{
    struct Caso {
        const char* documento;
        const char* clave;
        const char* ruta;
    };
    const Caso casos[] = {
        {"222", "p222", "/persona/A1"},       // another family's child
        {"222", "p222", "/api/persona/A1"},
        {"222", "p222", "/persona/Z1"},       // a child of another site
        {"222", "p222", "/persona/NOEXISTE"}, // nobody
        {"222", "p222", "/dia"},              // staff pages
        {"222", "p222", "/api/dentro"},
        {"900", "s900", "/persona/Z1"},       // staff of site 7 asking for site 8
        {"900", "s900", "/api/persona/Z1"},
        {"900", "s900", "/nada"},
    };
    for (const Caso& k : casos) {
        SCOPED_TRACE(k.ruta);
        Cliente b(*portal, con);
        b.sesion(k.documento, k.clave);
        EXPECT_EQ(b.get(QString::fromLatin1(k.ruta)).estado, 404);
    }
    // The answer for another family's child is the same as for a code that does not exist.
    Cliente b(*portal, con);
    b.sesion(QStringLiteral("222"), QStringLiteral("p222"));
    EXPECT_EQ(b.get(QStringLiteral("/persona/A1")).cuerpo, b.get(QStringLiteral("/persona/NOEXISTE")).cuerpo);
    EXPECT_EQ(b.get(QStringLiteral("/persona/B1")).estado, 200);
}

TEST_F(ConsultaTest, StaffSearchOneDayAndWhoIsInside)
{
    Cliente b(*portal, con);
    b.sesion(QStringLiteral("900"), QStringLiteral("s900"));
    EXPECT_EQ(b.codigos(), (QSet<QString>{"A1", "A2", "B1", "C1", "M-9001"}));
    Respuesta r = b.get(QStringLiteral("/api/personas"), {{QStringLiteral("q"), QStringLiteral("pérez")}});
    QSet<QString> porNombre;
    for (const auto& v : QJsonDocument::fromJson(r.cuerpo).object().value(QStringLiteral("personas")).toArray())
        porNombre.insert(v.toObject().value(QStringLiteral("codigo")).toString());
    EXPECT_EQ(porNombre, (QSet<QString>{"A1", "A2"}));
    r = b.get(QStringLiteral("/api/personas"), {{QStringLiteral("q"), QStringLiteral("%")}});   // not a wildcard
    EXPECT_EQ(QJsonDocument::fromJson(r.cuerpo).object().value(QStringLiteral("personas")).toArray().size(), 0);
    r = b.get(QStringLiteral("/api/personas"), {{QStringLiteral("q"), QStringLiteral("B1")}});
    EXPECT_EQ(QJsonDocument::fromJson(r.cuerpo).object().value(QStringLiteral("personas")).toArray().size(), 1);

    const QJsonArray dia = b.api(QStringLiteral("/api/dia")).value(QStringLiteral("movimientos")).toArray();
    QStringList horas;
    for (const auto& v : dia) horas << v.toObject().value(QStringLiteral("hora")).toString() + v.toObject().value(QStringLiteral("codigo")).toString();
    EXPECT_EQ(horas, (QStringList{"07:02:00A1", "07:05:00A2", "09:00:00VISIT01", "13:15:00A1"}));

    const QJsonObject dentro = b.api(QStringLiteral("/api/dentro"));
    QStringList quien;
    for (const auto& v : dentro.value(QStringLiteral("dentro")).toArray()) quien << v.toObject().value(QStringLiteral("codigo")).toString();
    EXPECT_EQ(quien, (QStringList{"A2", "VISIT01"}));
    EXPECT_EQ(dentro.value(QStringLiteral("visitantes")).toInt(), 1);
    EXPECT_EQ(dentro.value(QStringLiteral("totales")).toArray().at(0).toObject().value(QStringLiteral("categoria")).toInt(), 5);
    const QString pagina = QString::fromUtf8(b.get(QStringLiteral("/dentro")).cuerpo);
    EXPECT_TRUE(pagina.contains(QStringLiteral("<th>Total</th><th>2</th>")));
}

TEST_F(ConsultaTest, ANameHoldingMarkupIsShownAsText)
{
    Cliente b(*portal, con);
    b.sesion(QStringLiteral("444"), QStringLiteral("p444"));
    for (const QString& ruta : {QStringLiteral("/"), QStringLiteral("/persona/C1")}) {
        const QString pagina = QString::fromUtf8(b.get(ruta).cuerpo);
        EXPECT_FALSE(pagina.contains(QStringLiteral("<script"))) << ruta.toStdString();
        EXPECT_TRUE(pagina.contains(QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt; LÓPEZ"))) << ruta.toStdString();
    }
    EXPECT_EQ(Html(QStringLiteral("\"'&<>")), QStringLiteral("&quot;&#39;&amp;&lt;&gt;"));
}

TEST_F(ConsultaTest, WrongDocumentsPasswordsAndInjectionsGetOneMessage)
{
    const QPair<QString, QString> casos[] = {
        {"' or '1'='1", "' or '1'='1"},
        {"111", "' or '1'='1"},
        {"111' --", "x"},
        {"111", "P111"},
        {"nadie", "p111"},
        {"111", ""},
    };
    for (const auto& k : casos) {
        SCOPED_TRACE(k.first.toStdString() + " / " + k.second.toStdString());
        Cliente b(*portal, con, k.first);   // each from its own address: no lock in the way
        const Respuesta r = b.entrar(k.first, k.second);
        EXPECT_EQ(r.estado, 401);
        EXPECT_TRUE(QString::fromUtf8(r.cuerpo).contains(TextoIncorrectos()));
        EXPECT_FALSE(b.cookies.contains("kvsesion"));
    }
    EXPECT_EQ(remote->count(QStringLiteral("\"2026\".consultantes")), 7);
}

TEST_F(ConsultaTest, FiveFailuresLockTheDocumentAndTheAddressForFifteenMinutes)
{
    Cliente b(*portal, con, QStringLiteral("10.0.0.9"));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(b.entrar(QStringLiteral("222"), QStringLiteral("mala")).estado, 401);
    Respuesta r = b.entrar(QStringLiteral("222"), QStringLiteral("p222"));
    EXPECT_EQ(r.estado, 429);
    EXPECT_TRUE(QString::fromUtf8(r.cuerpo).contains(TextoDemasiados()));
    // The document is locked from any address, and the address for any document.
    Cliente otraDireccion(*portal, con, QStringLiteral("10.0.0.10"));
    EXPECT_EQ(otraDireccion.entrar(QStringLiteral("222"), QStringLiteral("p222")).estado, 429);
    EXPECT_EQ(b.entrar(QStringLiteral("111"), QStringLiteral("p111")).estado, 429);
    // Fifteen minutes later the right password works again.
    b.ahora += 15 * 60 - 1;
    EXPECT_EQ(b.entrar(QStringLiteral("222"), QStringLiteral("p222")).estado, 429);
    b.ahora += 1;
    EXPECT_EQ(b.entrar(QStringLiteral("222"), QStringLiteral("p222")).estado, 303);
    // Failures spread over more than 15 minutes never lock.
    Cliente lento(*portal, con, QStringLiteral("10.0.0.11"));
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(lento.entrar(QStringLiteral("444"), QStringLiteral("mala")).estado, 401);
        lento.ahora += 4 * 60;
    }
}

TEST_F(ConsultaTest, TheSessionEndsAfterThirtyIdleMinutesOrOnSalir)
{
    Cliente b(*portal, con);
    b.sesion(QStringLiteral("222"), QStringLiteral("p222"));
    b.ahora += 29 * 60;
    EXPECT_EQ(b.get(QStringLiteral("/api/personas")).estado, 200);   // use pushes the end further
    b.ahora += 29 * 60;
    EXPECT_EQ(b.get(QStringLiteral("/api/personas")).estado, 200);
    b.ahora += 30 * 60;
    EXPECT_EQ(b.get(QStringLiteral("/api/personas")).estado, 401);
    EXPECT_EQ(b.get(QStringLiteral("/persona/B1")).estado, 303);

    Cliente c(*portal, con);
    c.sesion(QStringLiteral("222"), QStringLiteral("p222"));
    const QByteArray robada = c.cookies;
    // A forged or altered cookie is no session.
    Cliente falsa(*portal, con);
    falsa.cookies = QByteArray(robada).replace("kvsesion=e", "kvsesion=f");
    EXPECT_EQ(falsa.get(QStringLiteral("/api/personas")).estado, 401);
    Portal otroSecreto(OpcionesPortal{"otro secreto", false});
    Cliente ajena(otroSecreto, con);
    ajena.cookies = robada;
    EXPECT_EQ(ajena.get(QStringLiteral("/api/personas")).estado, 401);
    // "Salir" needs the page's token; with it, the cookie is gone.
    EXPECT_EQ(c.post(QStringLiteral("/salir"), {{QStringLiteral("token"), QStringLiteral("x")}}).estado, 403);
    const Respuesta inicio = c.get(QStringLiteral("/"));
    EXPECT_EQ(c.post(QStringLiteral("/salir"), {{QStringLiteral("token"), c.token(inicio)}}).estado, 303);
    EXPECT_FALSE(c.cookies.contains("kvsesion"));
    EXPECT_TRUE(c.get(QStringLiteral("/")).cuerpo.contains("id=\"entrar\""));
    // A new password published for the consultant ends the sessions opened with the old one.
    Cliente d(*portal, con);
    d.sesion(QStringLiteral("222"), QStringLiteral("p222"));
    remote->admin().exec(QStringLiteral("update consultantes set clave='nueva' where icolegio=7 and docident='222'"));
    EXPECT_EQ(d.get(QStringLiteral("/api/personas")).estado, 401);
}

TEST_F(ConsultaTest, FormsWithoutTheirTokenAreRefused)
{
    Cliente b(*portal, con);
    b.get(QStringLiteral("/"));
    const Respuesta r = b.post(QStringLiteral("/entrar"), {{QStringLiteral("documento"), QStringLiteral("222")},
                                                          {QStringLiteral("clave"), QStringLiteral("p222")}});
    EXPECT_EQ(r.estado, 403);
    EXPECT_FALSE(b.cookies.contains("kvsesion"));
    // A token made for another browser's cookie does not serve either.
    Cliente otro(*portal, con);
    const QString ajeno = otro.token(otro.get(QStringLiteral("/")));
    EXPECT_EQ(b.post(QStringLiteral("/entrar"), {{QStringLiteral("documento"), QStringLiteral("222")},
                                                 {QStringLiteral("clave"), QStringLiteral("p222")},
                                                 {QStringLiteral("token"), ajeno}}).estado,
              403);
}

TEST_F(ConsultaTest, AnOlderServerWithoutSiteNamesShowsTheSiteNumber)
{
    remote->admin().exec(QStringLiteral("drop table colegios"));
    EXPECT_FALSE(kv::GuardarNombreColegio(remote->admin(), QString(), 7));
    Conexion vieja;
    AbrirConexion(vieja, Servidor(remote->name()), 2026);
    Cliente b(*portal, vieja);
    b.sesion(QStringLiteral("900"), QStringLiteral("s900"));
    EXPECT_TRUE(QString::fromUtf8(b.get(QStringLiteral("/")).cuerpo).contains(QStringLiteral("<div class=\"sitio\">Sitio 7</div>")));
}

TEST_F(ConsultaTest, PublishingPersonsStoresTheSiteName)
{
    kvtest::TempSite site(true, QStringLiteral("Colegio Prueba"));
    site.exec(QStringLiteral("update Config set NColegio=?, iColegio=9, anioactual=2026"), {QStringLiteral("Colegio Nuevo 'Norte'")});
    kv::PgConnection c;
    c.open(Servidor(remote->name()));
    c.exec(QStringLiteral("set search_path to 2026"));
    kv::SubirEstudiantes(c, site.tablesDir(), 9);
    EXPECT_EQ(remote->scalar(QStringLiteral("select nombre from colegios where icolegio=9")), QStringLiteral("Colegio Nuevo 'Norte'"));
    site.exec(QStringLiteral("update Config set NColegio=?"), {QStringLiteral("Colegio Norte")});
    kv::SubirEstudiantes(c, site.tablesDir(), 9);
    EXPECT_EQ(remote->scalar(QStringLiteral("select nombre || count(*) over () from colegios where icolegio=9")),
              QStringLiteral("Colegio Norte1"));
}

TEST_F(ConsultaTest, TheConsultationRoleOnlyReadsThePublishedTables)
{
    const QString rol = remote->name() + QStringLiteral("_lee");
    kv::CrearRolConsulta(remote->admin(), 2026, rol, QStringLiteral("clave del rol"));
    remote->admin().exec(QStringLiteral("create table \"2026\".otra (x integer)"));
    struct Borrar {
        QString rol;
        ~Borrar()
        {
            try {
                kv::PgConnection c;
                c.open(Servidor(QStringLiteral("postgres")));
                c.exec(QStringLiteral("drop role if exists \"%1\"").arg(rol));
            } catch (const kv::PgError&) {
            }
        }
    };
    {
        Conexion lee;
        AbrirConexion(lee, Servidor(remote->name(), rol, QStringLiteral("clave del rol")), 2026);
        Cliente b(*portal, lee);
        b.sesion(QStringLiteral("111"), QStringLiteral("p111"), 7);
        EXPECT_EQ(b.codigos(), (QSet<QString>{"A1", "A2"}));
        for (const char* sql : {"insert into consultantes (icolegio, docident) values (7, 'x')", "delete from estudiantes",
                                "select * from otra", "create table mia (x integer)"}) {
            SCOPED_TRACE(sql);
            EXPECT_THROW(lee.pg.exec(QString::fromLatin1(sql)), kv::PgError);
        }
    }
    remote.reset();   // the database goes before its role
    Borrar{rol};
    EXPECT_THROW(kv::CrearRolConsulta(*std::make_unique<kv::PgConnection>(), 2026, QStringLiteral("Mal\"Nombre"), {}), kv::PgError);
}

TEST(ConsultaTexto, DatesAndHoursAsTheDeskWritesThem)
{
    const QPair<QTime, QString> horas[] = {{QTime(7, 2), "7:02 a. m."}, {QTime(13, 15), "1:15 p. m."},
                                           {QTime(0, 5), "12:05 a. m."}, {QTime(12, 0), "12:00 p. m."}};
    for (const auto& h : horas) EXPECT_EQ(HoraTexto(h.first), h.second);
    EXPECT_EQ(FechaHoraTexto(QDate(2026, 3, 4), QTime(8, 5, 9)), QStringLiteral("04/03/2026 08:05"));
    EXPECT_EQ(LeerFecha(QStringLiteral("4/3/2026")), QDate(2026, 3, 4));
    EXPECT_EQ(LeerFecha(QStringLiteral("2026-03-04")), QDate(2026, 3, 4));
    EXPECT_FALSE(LeerFecha(QStringLiteral("2026-13-04")).isValid());
}

} // namespace
