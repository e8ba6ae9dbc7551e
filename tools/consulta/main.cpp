// kelvora-consulta: the on-line consultation of the published sites, a small web server.
// The rules and pages are in src/consulta; this file only carries requests between the
// HTTP library and the portal.
#include "consulta/Configuracion.h"
#include "consulta/Portal.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QTextStream>
#include <httplib.h>
#include <memory>

namespace {

using namespace kv::consulta;

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

QString Direccion(const httplib::Request& req, bool detrasDeProxy)
{
    if (detrasDeProxy && req.has_header("X-Forwarded-For")) {
        // The proxy appends the address it saw; earlier entries come from the client.
        const QString todas = QString::fromStdString(req.get_header_value("X-Forwarded-For"));
        return todas.split(QLatin1Char(',')).last().trimmed();
    }
    return QString::fromStdString(req.remote_addr);
}

void Escribir(const Respuesta& r, httplib::Response& res)
{
    res.status = r.estado;
    for (const QByteArray& c : r.cookies) res.set_header("Set-Cookie", c.toStdString());
    if (!r.ubicacion.isEmpty()) res.set_header("Location", r.ubicacion.toStdString());
    res.set_header("Cache-Control", r.guardable ? "public, max-age=3600" : "no-store");
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("Referrer-Policy", "no-referrer");
    res.set_header("Content-Security-Policy",
                   "default-src 'none'; style-src 'self'; img-src 'self'; form-action 'self'; "
                   "frame-ancestors 'none'; base-uri 'none'");
    res.set_content(r.cuerpo.constData(), size_t(r.cuerpo.size()), r.tipo.constData());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        QTextStream(stdout) << TextoUso();
        return 0;
    }
    QString error;
    const auto conf = LeerConfiguracion(args, QDate::currentDate().year(), &error);
    if (!conf) {
        err() << "kelvora-consulta: " << error << "\n" << TextoUso() << Qt::flush;
        return 2;
    }
    QByteArray secreto = conf->secreto;
    if (secreto.isEmpty()) {
        secreto = NuevoNonce() + NuevoNonce();
        err() << "kelvora-consulta: sin secreto configurado ([Consulta] Secreto); las sesiones no sobrevivirán"
                 " a un reinicio ni valdrán en otras copias." << Qt::endl;
    }
    // The server and the year's schema are checked once before listening, so that a wrong
    // configuration stops here with the server's own words.
    try {
        Conexion prueba;
        AbrirConexion(prueba, conf->servidor, conf->anio);
    } catch (const kv::PgError& e) {
        err() << "kelvora-consulta: no se pudo abrir el servidor de datos: " << e.message() << Qt::endl;
        return 1;
    }

    Portal portal(OpcionesPortal{secreto, conf->cookieSegura});
    const kv::PgParams servidor = conf->servidor;
    const int anio = conf->anio;
    const bool detrasDeProxy = conf->detrasDeProxy;

    httplib::Server svr;
    const int hilos = conf->hilos;
    svr.new_task_queue = [hilos] { return new httplib::ThreadPool(size_t(hilos)); };
    svr.set_keep_alive_max_count(1000);
    svr.set_payload_max_length(64 * 1024);
    svr.set_read_timeout(10, 0);

    auto atender = [&](const httplib::Request& req, httplib::Response& res) {
        // Each worker thread keeps its own connection; a broken one is opened again.
        thread_local std::unique_ptr<Conexion> con;
        Solicitud s;
        s.metodo = QByteArray::fromStdString(req.method);
        s.ruta = QString::fromStdString(req.path);
        for (const auto& p : req.params) s.parametros.insert(QString::fromStdString(p.first), QString::fromStdString(p.second));
        s.cookies = QByteArray::fromStdString(req.get_header_value("Cookie"));
        s.direccion = Direccion(req, detrasDeProxy);
        const QDateTime ahora = QDateTime::currentDateTime();
        s.ahora = ahora.toSecsSinceEpoch();
        s.hoy = ahora.date();
        try {
            if (!con || !con->pg.isOpen()) {
                con = std::make_unique<Conexion>();
                AbrirConexion(*con, servidor, anio);
            }
            Escribir(portal.atender(s, *con), res);
        } catch (const kv::PgError& e) {
            if (e.connectionLost() || (con && !con->pg.isOpen())) con.reset();
            err() << "kelvora-consulta: " << s.metodo << " " << s.ruta << ": " << e.message() << Qt::endl;
            Respuesta r;
            r.estado = 503;
            r.cuerpo = QStringLiteral("<!DOCTYPE html><html lang=\"es\"><head><meta charset=\"utf-8\"><title>Consulta en línea"
                                      "</title></head><body><p>El servidor de datos no responde; intente más tarde.</p>"
                                      "</body></html>").toUtf8();
            Escribir(r, res);
        }
    };
    svr.Get(".*", atender);
    svr.Post(".*", atender);

    int puerto = conf->puerto;
    if (puerto == 0) {
        puerto = svr.bind_to_any_port(conf->host.toStdString());
        if (puerto < 0) {
            err() << "kelvora-consulta: no se pudo escuchar en " << conf->host << Qt::endl;
            return 1;
        }
    } else if (!svr.bind_to_port(conf->host.toStdString(), puerto)) {
        err() << "kelvora-consulta: no se pudo escuchar en " << conf->host << ":" << puerto << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << "kelvora-consulta escuchando en http://" << conf->host << ":" << puerto << "/ (año "
                        << anio << ")" << Qt::endl;
    return svr.listen_after_bind() ? 0 : 1;
}
