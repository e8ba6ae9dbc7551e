#include "consulta/Portal.h"
#include "consulta/Paginas.h"
#include "consulta/Texto.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kv::consulta {

namespace {

const QByteArray kCookieSesion = "kvsesion";
const QByteArray kCookiePrevia = "kvprevio";   // ties the login form to this browser
constexpr int kDiasPorOmision = 30;
constexpr int kDiasMaximos = 366;

Respuesta Html200(const QString& cuerpo, int estado = 200)
{
    Respuesta r;
    r.estado = estado;
    r.cuerpo = cuerpo.toUtf8();
    return r;
}

Respuesta Json(const QJsonObject& o, int estado = 200)
{
    Respuesta r;
    r.estado = estado;
    r.tipo = "application/json; charset=utf-8";
    r.cuerpo = QJsonDocument(o).toJson(QJsonDocument::Compact);
    return r;
}

Respuesta Ir(const QByteArray& a)
{
    Respuesta r;
    r.estado = 303;
    r.ubicacion = a;
    return r;
}

Respuesta NoEncontrada(bool api)
{
    return api ? Json({{QStringLiteral("error"), QStringLiteral("No encontrado.")}}, 404) : Html200(PaginaNoEncontrada(), 404);
}

QString Hora(const QTime& t) { return t.isValid() ? t.toString(QStringLiteral("HH:mm:ss")) : QString(); }

QJsonValue FechaJson(const QDate& d) { return d.isValid() ? QJsonValue(d.toString(Qt::ISODate)) : QJsonValue(); }

QJsonObject ContextoJson(const Contexto& c)
{
    return {{QStringLiteral("colegio"), QJsonObject{{QStringLiteral("numero"), c.cuenta.icolegio},
                                                    {QStringLiteral("nombre"), c.nombreColegio}}},
            {QStringLiteral("publicadoHasta"),
             c.publicadoFecha.isValid() ? QJsonValue(c.publicadoFecha.toString(Qt::ISODate) + QLatin1Char('T') + Hora(c.publicadoHora))
                                        : QJsonValue()},
            {QStringLiteral("textoPublicado"), TextoPublicado(c)}};
}

QJsonObject PersonaJson(const Persona& p)
{
    QJsonObject o{{QStringLiteral("codigo"), p.codigo},
                  {QStringLiteral("nombre"), p.nombre},
                  {QStringLiteral("categoria"), p.categoria},
                  {QStringLiteral("grupo"), p.grupo},
                  {QStringLiteral("estado"), EstadoTexto(p.tipoHoy, p.horaHoy)}};
    if (p.diasConEntrada >= 0) o.insert(QStringLiteral("diasConEntrada"), p.diasConEntrada);
    return o;
}

QJsonArray MovimientosJson(const QVector<Movimiento>& v, bool conPersona)
{
    QJsonArray a;
    for (const Movimiento& m : v) {
        QJsonObject o{{QStringLiteral("fecha"), FechaJson(m.fecha)},
                      {QStringLiteral("hora"), Hora(m.hora)},
                      {QStringLiteral("tipo"), m.tipo},
                      {QStringLiteral("movimiento"), TextoMovimiento(m.tipo)},
                      {QStringLiteral("detalle"), m.detalle}};
        if (conPersona) {
            o.insert(QStringLiteral("codigo"), m.codigo);
            o.insert(QStringLiteral("nombre"), m.nombre);
            o.insert(QStringLiteral("categoria"), m.esPersona ? QJsonValue(m.categoria) : QJsonValue());
            o.insert(QStringLiteral("grupo"), m.grupo);
        }
        a.append(o);
    }
    return a;
}

QString Param(const Solicitud& s, const char* nombre) { return s.parametros.value(QLatin1String(nombre)); }

} // namespace

QByteArray ValorCookie(const QByteArray& cabecera, const QByteArray& nombre)
{
    for (const QByteArray& parte : cabecera.split(';')) {
        const QByteArray t = parte.trimmed();
        const int igual = t.indexOf('=');
        if (igual > 0 && t.left(igual) == nombre) return t.mid(igual + 1);
    }
    return {};
}

Portal::Portal(const OpcionesPortal& o) : firma_(o.secreto), segura_(o.cookieSegura) {}

QByteArray Portal::cookie(const QByteArray& nombre, const QByteArray& valor, qint64 segundos) const
{
    return nombre + '=' + valor + "; Path=/; Max-Age=" + QByteArray::number(segundos) + "; HttpOnly; SameSite=Strict"
           + (segura_ ? "; Secure" : "");
}

Respuesta Portal::paginaEntrar(const Solicitud& s, int estado, const QString& mensaje, const QString& documento)
{
    QByteArray nonce = ValorCookie(s.cookies, kCookiePrevia);
    Respuesta r;
    if (nonce.isEmpty() || nonce.size() > 64) {
        nonce = NuevoNonce();
        r.cookies << cookie(kCookiePrevia, nonce, 24 * 3600);
    }
    r.estado = estado;
    r.cuerpo = PaginaEntrar(mensaje, QString::fromLatin1(TokenFormulario(firma_, nonce, "entrar")), documento).toUtf8();
    return r;
}

Respuesta Portal::iniciar(const Solicitud& s, int icolegio, const QString& documento, const QString& clave)
{
    Sesion ses;
    ses.icolegio = icolegio;
    ses.documento = documento;
    ses.ultimoUso = s.ahora;
    ses.nonce = NuevoNonce();
    ses.huellaClave = HuellaClave(firma_, icolegio, documento, clave);
    Respuesta r = Ir("/");
    r.cookies << cookie(kCookieSesion, CodificarSesion(firma_, ses), kSesionSegundos);
    return r;
}

Respuesta Portal::entrar(const Solicitud& s, Conexion& c)
{
    const QString documento = Param(s, "documento").trimmed();
    const QString clave = Param(s, "clave");
    if (!TokenValido(firma_, ValorCookie(s.cookies, kCookiePrevia), "entrar", Param(s, "token").toLatin1()))
        return paginaEntrar(s, 403, QStringLiteral("La página venció; escriba de nuevo sus datos."), documento);
    if (intentos_.bloqueado(documento, s.direccion, s.ahora)) return paginaEntrar(s, 429, TextoDemasiados(), documento);
    QVector<int> validos;
    QString claveValida;
    if (!documento.isEmpty() && !clave.isEmpty() && documento.size() <= 64 && clave.size() <= 128) {
        // Every row is compared, matching or not, and each comparison takes the same time.
        for (const Cuenta& k : CuentasDe(c, documento)) {
            const bool igual = IgualesTiempoConstante(k.clave.toUtf8(), clave.toUtf8());
            if (igual && !k.clave.isEmpty()) {
                validos << k.icolegio;
                claveValida = k.clave;
            }
        }
    }
    if (validos.isEmpty()) {
        intentos_.fallo(documento, s.direccion, s.ahora);
        return paginaEntrar(s, 401, TextoIncorrectos(), documento);
    }
    intentos_.exito(documento);
    if (validos.size() == 1) return iniciar(s, validos.first(), documento, claveValida);
    QVector<OpcionColegio> opciones;
    for (int ic : validos) opciones << OpcionColegio{ic, NombreColegio(c, ic)};
    const QByteArray eleccion = CodificarEleccion(firma_, Eleccion{documento, validos, s.ahora});
    return Html200(PaginaEleccion(opciones, QString::fromLatin1(eleccion),
                                  QString::fromLatin1(TokenFormulario(firma_, ValorCookie(s.cookies, kCookiePrevia), "sitio"))));
}

Respuesta Portal::elegir(const Solicitud& s, Conexion& c)
{
    if (!TokenValido(firma_, ValorCookie(s.cookies, kCookiePrevia), "sitio", Param(s, "token").toLatin1()))
        return paginaEntrar(s, 403, QStringLiteral("La página venció; escriba de nuevo sus datos."), QString());
    const auto e = LeerEleccion(firma_, Param(s, "eleccion").toLatin1(), s.ahora);
    bool ok = false;
    const int icolegio = Param(s, "colegio").toInt(&ok);
    if (!e || !ok || !e->colegios.contains(icolegio))
        return paginaEntrar(s, 403, QStringLiteral("La página venció; escriba de nuevo sus datos."), QString());
    for (const Cuenta& k : CuentasDe(c, e->documento))
        if (k.icolegio == icolegio) return iniciar(s, icolegio, e->documento, k.clave);
    return paginaEntrar(s, 401, TextoIncorrectos(), e->documento);
}

Respuesta Portal::atender(const Solicitud& s, Conexion& c)
{
    if (s.ruta == QLatin1String("/estilo.css")) {
        Respuesta r;
        r.tipo = "text/css; charset=utf-8";
        r.cuerpo = Estilo().toUtf8();
        r.guardable = true;
        return r;
    }
    const bool post = s.metodo == "POST";
    if (post && s.ruta == QLatin1String("/entrar")) return entrar(s, c);
    if (post && s.ruta == QLatin1String("/sitio")) return elegir(s, c);

    const bool api = s.ruta.startsWith(QLatin1String("/api/"));
    std::optional<Sesion> ses = LeerSesion(firma_, ValorCookie(s.cookies, kCookieSesion), s.ahora);
    Contexto ctx;
    if (ses) {
        ctx = LeerContexto(c, ses->icolegio, ses->documento);
        // A consultant removed or given a new password by a later publication is out.
        if (!ctx.cuentaValida
            || !IgualesTiempoConstante(HuellaClave(firma_, ses->icolegio, ses->documento, ctx.cuenta.clave), ses->huellaClave))
            ses.reset();
    }
    if (post && s.ruta == QLatin1String("/salir")) {
        Respuesta r = Ir("/");
        if (ses && !TokenValido(firma_, ses->nonce, "salir", Param(s, "token").toLatin1()))
            return Html200(PaginaError(QStringLiteral("La página venció; vuelva a intentarlo.")), 403);
        r.cookies << cookie(kCookieSesion, QByteArray(), 0);
        return r;
    }
    if (!ses) {
        const QByteArray vencida = ValorCookie(s.cookies, kCookieSesion).isEmpty() ? QByteArray() : cookie(kCookieSesion, {}, 0);
        Respuesta r = api ? Json({{QStringLiteral("error"), QStringLiteral("Inicie sesión.")}}, 401)
                          : s.ruta == QLatin1String("/") ? paginaEntrar(s, 200, QString(), QString())
                                                         : Ir("/");
        if (!vencida.isEmpty()) r.cookies << vencida;
        return r;
    }
    if (post) return NoEncontrada(api);

    const bool personal = ctx.cuenta.nivel == 1;
    Marco m{ctx, QString::fromLatin1(TokenFormulario(firma_, ses->nonce, "salir"))};
    const QString ruta = api ? s.ruta.mid(4) : s.ruta;   // "/api/dia" -> "/dia"
    Respuesta r;
    if (ruta == QLatin1String("/") || ruta == QLatin1String("/personas")) {
        if (!personal) {
            const QDate desde = s.hoy.addDays(1 - kDiasPorOmision);
            const QVector<Persona> v = PersonasDeFamilia(c, ses->icolegio, ses->documento, s.hoy, desde);
            if (api) {
                QJsonArray a;
                for (const Persona& p : v) a.append(PersonaJson(p));
                QJsonObject o = ContextoJson(ctx);
                o.insert(QStringLiteral("desde"), FechaJson(desde));
                o.insert(QStringLiteral("hasta"), FechaJson(s.hoy));
                o.insert(QStringLiteral("personas"), a);
                r = Json(o);
            } else {
                r = Html200(PaginaFamilia(m, v, desde, s.hoy));
            }
        } else {
            const QString q = Param(s, "q").left(100);
            const QVector<Persona> v = BuscarPersonas(c, ses->icolegio, q, s.hoy);
            if (api) {
                QJsonArray a;
                for (const Persona& p : v) a.append(PersonaJson(p));
                QJsonObject o = ContextoJson(ctx);
                o.insert(QStringLiteral("personas"), a);
                r = Json(o);
            } else {
                r = Html200(PaginaPersonal(m, q, v));
            }
        }
    } else if (ruta.startsWith(QLatin1String("/persona/"))) {
        const QString codigo = ruta.mid(9);
        const auto p = PersonaVisible(c, ses->icolegio, personal, ses->documento, codigo, s.hoy);
        if (!p) return NoEncontrada(api);
        QDate hasta = LeerFecha(Param(s, "hasta"));
        if (!hasta.isValid()) hasta = s.hoy;
        QDate desde = LeerFecha(Param(s, "desde"));
        if (!desde.isValid()) desde = hasta.addDays(1 - kDiasPorOmision);
        if (desde > hasta) std::swap(desde, hasta);
        // A range is cut to a year, so that no request can ask for the whole table.
        if (desde.daysTo(hasta) >= kDiasMaximos) desde = hasta.addDays(1 - kDiasMaximos);
        int dias = 0;
        const QVector<Movimiento> v = MovimientosDe(c, ses->icolegio, p->codigo, desde, hasta, &dias);
        if (api) {
            QJsonObject o = ContextoJson(ctx);
            QJsonObject pj = PersonaJson(*p);
            pj.insert(QStringLiteral("diasConEntrada"), dias);
            o.insert(QStringLiteral("persona"), pj);
            o.insert(QStringLiteral("desde"), FechaJson(desde));
            o.insert(QStringLiteral("hasta"), FechaJson(hasta));
            o.insert(QStringLiteral("movimientos"), MovimientosJson(v, false));
            r = Json(o);
        } else {
            r = Html200(PaginaPersona(m, *p, v, desde, hasta, dias));
        }
    } else if (personal && ruta == QLatin1String("/dia")) {
        QDate dia = LeerFecha(Param(s, "fecha"));
        if (!dia.isValid()) dia = s.hoy;
        const QVector<Movimiento> v = MovimientosDelDia(c, ses->icolegio, dia);
        if (api) {
            QJsonObject o = ContextoJson(ctx);
            o.insert(QStringLiteral("fecha"), FechaJson(dia));
            o.insert(QStringLiteral("movimientos"), MovimientosJson(v, true));
            r = Json(o);
        } else {
            r = Html200(PaginaDia(m, dia, v));
        }
    } else if (personal && ruta == QLatin1String("/dentro")) {
        const QVector<Movimiento> v = Dentro(c, ses->icolegio, s.hoy);
        if (api) {
            QMap<int, int> porCategoria;
            int visitantes = 0;
            for (const Movimiento& x : v) x.esPersona ? void(++porCategoria[x.categoria]) : void(++visitantes);
            QJsonArray totales;
            for (auto it = porCategoria.cbegin(); it != porCategoria.cend(); ++it)
                totales.append(QJsonObject{{QStringLiteral("categoria"), it.key()}, {QStringLiteral("personas"), it.value()}});
            QJsonObject o = ContextoJson(ctx);
            o.insert(QStringLiteral("fecha"), FechaJson(s.hoy));
            o.insert(QStringLiteral("totales"), totales);
            o.insert(QStringLiteral("visitantes"), visitantes);
            o.insert(QStringLiteral("dentro"), MovimientosJson(v, true));
            r = Json(o);
        } else {
            r = Html200(PaginaDentro(m, s.hoy, v));
        }
    } else {
        return NoEncontrada(api);
    }
    // Every page a session sees pushes its end 30 minutes further.
    ses->ultimoUso = s.ahora;
    r.cookies << cookie(kCookieSesion, CodificarSesion(firma_, *ses), kSesionSegundos);
    return r;
}

} // namespace kv::consulta
