#include "consulta/Sesion.h"
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

namespace kv::consulta {

namespace {
constexpr auto kB64 = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;
}

bool IgualesTiempoConstante(const QByteArray& a, const QByteArray& b)
{
    // Both sides are hashed first, so the loop always runs over 32 bytes whatever the lengths.
    const QByteArray ha = QCryptographicHash::hash(a, QCryptographicHash::Sha256);
    const QByteArray hb = QCryptographicHash::hash(b, QCryptographicHash::Sha256);
    unsigned char d = 0;
    for (int i = 0; i < ha.size(); ++i) d |= static_cast<unsigned char>(ha[i] ^ hb[i]);
    return d == 0 && a.size() == b.size();
}

QByteArray Firma::mac(const QByteArray& datos) const
{
    return QMessageAuthenticationCode::hash(datos, secreto_, QCryptographicHash::Sha256);
}

QByteArray Firma::firmar(const QByteArray& datos) const
{
    return datos.toBase64(kB64) + '.' + mac(datos).toBase64(kB64);
}

std::optional<QByteArray> Firma::abrir(const QByteArray& token) const
{
    const int punto = token.indexOf('.');
    if (punto <= 0 || token.size() > 4096) return std::nullopt;
    const auto datos = QByteArray::fromBase64Encoding(token.left(punto), kB64 | QByteArray::AbortOnBase64DecodingErrors);
    const auto firma = QByteArray::fromBase64Encoding(token.mid(punto + 1), kB64 | QByteArray::AbortOnBase64DecodingErrors);
    if (!datos || !firma) return std::nullopt;
    if (!IgualesTiempoConstante(mac(*datos), *firma)) return std::nullopt;
    return *datos;
}

QByteArray NuevoNonce()
{
    quint32 palabras[4];
    QRandomGenerator::system()->fillRange(palabras);
    return QByteArray(reinterpret_cast<const char*>(palabras), sizeof palabras).toBase64(kB64);
}

QByteArray HuellaClave(const Firma& f, int icolegio, const QString& documento, const QString& clave)
{
    return f.mac("clave|" + QByteArray::number(icolegio) + '|' + documento.toUtf8() + '|' + clave.toUtf8())
        .left(12).toBase64(kB64);
}

QByteArray CodificarSesion(const Firma& f, const Sesion& s)
{
    const QJsonObject o{{QStringLiteral("c"), s.icolegio},
                        {QStringLiteral("d"), s.documento},
                        {QStringLiteral("u"), double(s.ultimoUso)},
                        {QStringLiteral("n"), QString::fromLatin1(s.nonce)},
                        {QStringLiteral("h"), QString::fromLatin1(s.huellaClave)},
                        {QStringLiteral("k"), QStringLiteral("sesion")}};
    return f.firmar(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

std::optional<Sesion> LeerSesion(const Firma& f, const QByteArray& cookie, qint64 ahora)
{
    const auto datos = f.abrir(cookie);
    if (!datos) return std::nullopt;
    const QJsonObject o = QJsonDocument::fromJson(*datos).object();
    if (o.value(QStringLiteral("k")).toString() != QLatin1String("sesion")) return std::nullopt;
    Sesion s;
    s.icolegio = o.value(QStringLiteral("c")).toInt();
    s.documento = o.value(QStringLiteral("d")).toString();
    s.ultimoUso = qint64(o.value(QStringLiteral("u")).toDouble());
    s.nonce = o.value(QStringLiteral("n")).toString().toLatin1();
    s.huellaClave = o.value(QStringLiteral("h")).toString().toLatin1();
    if (s.documento.isEmpty() || s.nonce.isEmpty()) return std::nullopt;
    if (ahora - s.ultimoUso >= kSesionSegundos || s.ultimoUso > ahora + 60) return std::nullopt;
    return s;
}

QByteArray TokenFormulario(const Firma& f, const QByteArray& nonce, const char* proposito)
{
    return f.mac(QByteArray("form|") + proposito + '|' + nonce).toBase64(kB64);
}

bool TokenValido(const Firma& f, const QByteArray& nonce, const char* proposito, const QByteArray& token)
{
    return !nonce.isEmpty() && IgualesTiempoConstante(TokenFormulario(f, nonce, proposito), token);
}

QByteArray CodificarEleccion(const Firma& f, const Eleccion& e)
{
    QJsonArray cs;
    for (int c : e.colegios) cs.append(c);
    const QJsonObject o{{QStringLiteral("d"), e.documento},
                        {QStringLiteral("cs"), cs},
                        {QStringLiteral("t"), double(e.cuando)},
                        {QStringLiteral("k"), QStringLiteral("eleccion")}};
    return f.firmar(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

std::optional<Eleccion> LeerEleccion(const Firma& f, const QByteArray& token, qint64 ahora)
{
    const auto datos = f.abrir(token);
    if (!datos) return std::nullopt;
    const QJsonObject o = QJsonDocument::fromJson(*datos).object();
    if (o.value(QStringLiteral("k")).toString() != QLatin1String("eleccion")) return std::nullopt;
    Eleccion e;
    e.documento = o.value(QStringLiteral("d")).toString();
    e.cuando = qint64(o.value(QStringLiteral("t")).toDouble());
    for (const auto& v : o.value(QStringLiteral("cs")).toArray()) e.colegios << v.toInt();
    if (ahora - e.cuando >= kEleccionSegundos || e.cuando > ahora + 60) return std::nullopt;
    return e;
}

bool Intentos::bloqueadaLocked(const QString& clave, qint64 ahora)
{
    const auto it = cuentas_.constFind(clave);
    return it != cuentas_.constEnd() && it->hasta > ahora;
}

bool Intentos::bloqueado(const QString& documento, const QString& direccion, qint64 ahora)
{
    QMutexLocker l(&m_);
    return bloqueadaLocked(QStringLiteral("d:") + documento, ahora) || bloqueadaLocked(QStringLiteral("a:") + direccion, ahora);
}

void Intentos::falloLocked(const QString& clave, qint64 ahora)
{
    Cuenta& c = cuentas_[clave];
    c.fallos.erase(std::remove_if(c.fallos.begin(), c.fallos.end(), [&](qint64 t) { return ahora - t >= kVentana; }),
                   c.fallos.end());
    c.fallos << ahora;
    if (c.fallos.size() >= kMaximo) {
        c.hasta = ahora + kVentana;
        c.fallos.clear();
    }
}

void Intentos::fallo(const QString& documento, const QString& direccion, qint64 ahora)
{
    QMutexLocker l(&m_);
    podarLocked(ahora);
    falloLocked(QStringLiteral("d:") + documento, ahora);
    falloLocked(QStringLiteral("a:") + direccion, ahora);
}

void Intentos::exito(const QString& documento)
{
    QMutexLocker l(&m_);
    cuentas_.remove(QStringLiteral("d:") + documento);
}

void Intentos::podarLocked(qint64 ahora)
{
    // Entries whose window and lock are over are dropped once a minute, so a flood of
    // made-up documents cannot grow the table without end.
    if (ahora - ultimaPoda_ < 60) return;
    ultimaPoda_ = ahora;
    for (auto it = cuentas_.begin(); it != cuentas_.end();) {
        const bool viva = it->hasta > ahora || (!it->fallos.isEmpty() && ahora - it->fallos.last() < kVentana);
        it = viva ? std::next(it) : cuentas_.erase(it);
    }
}

} // namespace kv::consulta
