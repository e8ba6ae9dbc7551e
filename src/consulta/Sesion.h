#pragma once
// The consultation keeps no session on the server: the browser holds a cookie signed with
// HMAC-SHA-256, so any copy of the portal that shares the secret can serve it.
#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QVector>
#include <optional>

namespace kv::consulta {

constexpr qint64 kSesionSegundos = 30 * 60;    // without use, a session ends
constexpr qint64 kEleccionSegundos = 5 * 60;   // to choose the site after the login

// Compares without stopping at the first difference.
bool IgualesTiempoConstante(const QByteArray& a, const QByteArray& b);

class Firma {
public:
    explicit Firma(QByteArray secreto) : secreto_(std::move(secreto)) {}
    QByteArray mac(const QByteArray& datos) const;
    // base64url(datos) + "." + base64url(mac)
    QByteArray firmar(const QByteArray& datos) const;
    // The data of a token this secret signed; nothing for anything else.
    std::optional<QByteArray> abrir(const QByteArray& token) const;
private:
    QByteArray secreto_;
};

struct Sesion {
    int icolegio = 0;
    QString documento;
    qint64 ultimoUso = 0;      // seconds since the epoch
    QByteArray nonce;          // random, ties the form tokens to this session
    QByteArray huellaClave;    // changes when the consultant's password changes
};

QByteArray NuevoNonce();
QByteArray HuellaClave(const Firma& f, int icolegio, const QString& documento, const QString& clave);

QByteArray CodificarSesion(const Firma& f, const Sesion& s);
// A session signed by `f` and used less than 30 minutes before `ahora`.
std::optional<Sesion> LeerSesion(const Firma& f, const QByteArray& cookie, qint64 ahora);

// The token a form carries against cross-site posting: tied to a random value the browser
// holds in a cookie (the session's nonce, or the pre-login cookie).
QByteArray TokenFormulario(const Firma& f, const QByteArray& nonce, const char* proposito);
bool TokenValido(const Firma& f, const QByteArray& nonce, const char* proposito, const QByteArray& token);

// A document and password valid at several sites: which ones, carried in the choice form.
struct Eleccion {
    QString documento;
    QVector<int> colegios;
    qint64 cuando = 0;
};
QByteArray CodificarEleccion(const Firma& f, const Eleccion& e);
std::optional<Eleccion> LeerEleccion(const Firma& f, const QByteArray& token, qint64 ahora);

// Failed logins per document and per address: five within 15 minutes refuse further
// attempts for 15 minutes. The only state the portal keeps; safe across threads.
class Intentos {
public:
    static constexpr int kMaximo = 5;
    static constexpr qint64 kVentana = 15 * 60;
    bool bloqueado(const QString& documento, const QString& direccion, qint64 ahora);
    void fallo(const QString& documento, const QString& direccion, qint64 ahora);
    void exito(const QString& documento);
private:
    struct Cuenta {
        QVector<qint64> fallos;
        qint64 hasta = 0;
    };
    bool bloqueadaLocked(const QString& clave, qint64 ahora);
    void falloLocked(const QString& clave, qint64 ahora);
    void podarLocked(qint64 ahora);
    QMutex m_;
    QHash<QString, Cuenta> cuentas_;
    qint64 ultimaPoda_ = 0;
};

} // namespace kv::consulta
