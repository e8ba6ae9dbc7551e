#include "consulta/Configuracion.h"
#include "publish/Remote.h"
#include "settings/IniFile.h"
#include <QFileInfo>

namespace kv::consulta {

namespace {

bool LeerEscucha(const QString& texto, Configuracion& c)
{
    const int dos = texto.lastIndexOf(QLatin1Char(':'));
    if (dos <= 0) return false;
    bool ok = false;
    const int puerto = texto.mid(dos + 1).toInt(&ok);
    if (!ok || puerto < 0 || puerto > 65535) return false;
    c.host = texto.left(dos);
    if (c.host.startsWith(QLatin1Char('[')) && c.host.endsWith(QLatin1Char(']'))) c.host = c.host.mid(1, c.host.size() - 2);
    c.puerto = puerto;
    return true;
}

bool Si(const QString& v) { return v == QLatin1String("1") || v.compare(QLatin1String("si"), Qt::CaseInsensitive) == 0; }

} // namespace

QString TextoUso()
{
    return QStringLiteral(
        "Uso: kelvora-consulta [--config ARCHIVO.ini] [--listen HOST:PUERTO] [--anio AÑO] [--hilos N]\n"
        "  --config   archivo INI: sección [Internet] (Servidor, Puerto, BaseDatos, Usuario, Clave, SSL)\n"
        "             y sección [Consulta] (Secreto, CookieSegura, DetrasDeProxy, Escuchar, Anio).\n"
        "             Sin él valen las variables PGHOST, PGPORT, PGDATABASE, PGUSER y PGPASSWORD.\n"
        "  --listen   dirección y puerto donde escuchar (por omisión 127.0.0.1:8080; puerto 0: uno libre).\n"
        "  --anio     año de trabajo (esquema del servidor); por omisión el año en curso.\n"
        "  --hilos    conexiones atendidas a la vez, cada una con su conexión al servidor (por omisión 16).\n"
        "  El secreto que firma las sesiones también puede venir en KELVORA_CONSULTA_SECRETO.\n");
}

std::optional<Configuracion> LeerConfiguracion(const QStringList& args, int anioActual, QString* error)
{
    Configuracion c;
    c.anio = anioActual;
    QString archivo, escucha, anio, hilos;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        QString* destino = a == QLatin1String("--config") ? &archivo
                           : a == QLatin1String("--listen") ? &escucha
                           : a == QLatin1String("--anio") ? &anio
                           : a == QLatin1String("--hilos") ? &hilos
                                                           : nullptr;
        if (!destino) {
            *error = QStringLiteral("Opción desconocida: %1").arg(a);
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            *error = QStringLiteral("%1 necesita un valor.").arg(a);
            return std::nullopt;
        }
        *destino = args[++i];
    }
    if (!archivo.isEmpty()) {
        if (!QFileInfo(archivo).isFile()) {
            *error = QStringLiteral("No existe el archivo de configuración: %1").arg(archivo);
            return std::nullopt;
        }
        const QString s = QStringLiteral("Consulta");
        c.secreto = LeerIniDe(archivo, s, QStringLiteral("Secreto")).toUtf8();
        c.cookieSegura = Si(LeerIniDe(archivo, s, QStringLiteral("CookieSegura")));
        c.detrasDeProxy = Si(LeerIniDe(archivo, s, QStringLiteral("DetrasDeProxy")));
        if (escucha.isEmpty()) escucha = LeerIniDe(archivo, s, QStringLiteral("Escuchar"));
        if (anio.isEmpty()) anio = LeerIniDe(archivo, s, QStringLiteral("Anio"));
    }
    c.servidor = ParametrosInternet(archivo);
    if (qEnvironmentVariableIsSet("KELVORA_CONSULTA_SECRETO"))
        c.secreto = qgetenv("KELVORA_CONSULTA_SECRETO");
    if (!escucha.isEmpty() && !LeerEscucha(escucha, c)) {
        *error = QStringLiteral("--listen espera HOST:PUERTO: %1").arg(escucha);
        return std::nullopt;
    }
    if (!anio.isEmpty()) {
        bool ok = false;
        c.anio = anio.toInt(&ok);
        if (!ok || c.anio <= 0) {
            *error = QStringLiteral("--anio necesita un año positivo: %1").arg(anio);
            return std::nullopt;
        }
    }
    if (!hilos.isEmpty()) {
        bool ok = false;
        c.hilos = hilos.toInt(&ok);
        if (!ok || c.hilos < 1 || c.hilos > 256) {
            *error = QStringLiteral("--hilos necesita un número de 1 a 256: %1").arg(hilos);
            return std::nullopt;
        }
    }
    return c;
}

} // namespace kv::consulta
