#pragma once
// The consultation's answer to one request, apart from the HTTP library that carries it:
// the entry turns a request into a Solicitud and writes back the Respuesta.
#include "consulta/Datos.h"
#include "consulta/Sesion.h"
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

namespace kv::consulta {

struct Solicitud {
    QByteArray metodo;                     // "GET", "POST", ...
    QString ruta;                          // decoded path, "/persona/A-12"
    QHash<QString, QString> parametros;    // query string and form fields
    QByteArray cookies;                    // the Cookie header as sent
    QString direccion;                     // the client's address
    qint64 ahora = 0;                      // seconds since the epoch
    QDate hoy;                             // the site's today
};

struct Respuesta {
    int estado = 200;
    QByteArray tipo = "text/html; charset=utf-8";
    QByteArray cuerpo;
    QVector<QByteArray> cookies;           // values of Set-Cookie
    QByteArray ubicacion;                  // Location, for 303
    bool guardable = false;                // may be cached (the stylesheet)
};

struct OpcionesPortal {
    QByteArray secreto;                    // signs the cookies and form tokens
    bool cookieSegura = false;             // Secure on the cookies (served over TLS)
};

// The value of one cookie in a Cookie header; empty when absent.
QByteArray ValorCookie(const QByteArray& cabecera, const QByteArray& nombre);

inline QString TextoIncorrectos() { return QStringLiteral("Documento o clave incorrectos."); }
inline QString TextoDemasiados() { return QStringLiteral("Demasiados intentos; espere unos minutos."); }

class Portal {
public:
    explicit Portal(const OpcionesPortal& opciones);
    // Safe to call from several threads at once, each with its own connection.
    Respuesta atender(const Solicitud& s, Conexion& c);

private:
    Respuesta entrar(const Solicitud& s, Conexion& c);
    Respuesta elegir(const Solicitud& s, Conexion& c);
    Respuesta paginaEntrar(const Solicitud& s, int estado, const QString& mensaje, const QString& documento);
    Respuesta iniciar(const Solicitud& s, int icolegio, const QString& documento, const QString& clave);
    QByteArray cookie(const QByteArray& nombre, const QByteArray& valor, qint64 segundos) const;

    Firma firma_;
    bool segura_;
    Intentos intentos_;
};

} // namespace kv::consulta
