#pragma once
// How kelvora-consulta is started: the server of the publication (section Internet of an
// INI file as the desk has it, or libpq's PG* variables), where to listen, which year.
#include "publish/Pg.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace kv::consulta {

struct Configuracion {
    PgParams servidor;          // libpq parameters of the publication server
    int anio = 0;               // the working year's schema
    QString host = QStringLiteral("127.0.0.1");
    int puerto = 8080;          // 0: any free port (printed at start)
    // Connections served at once: a kept-alive connection holds its thread, and each
    // thread keeps its own database connection.
    int hilos = 16;
    QByteArray secreto;         // empty: made at random for this run (a warning says so)
    bool cookieSegura = false;  // Secure cookies: the portal is behind a TLS proxy
    bool detrasDeProxy = false; // the client's address is the last one of X-Forwarded-For
};

QString TextoUso();

// From the command line: --config FILE, --listen HOST:PORT, --anio N, --hilos N. The INI
// file's section Consulta may give Secreto, CookieSegura (1/0), DetrasDeProxy (1/0),
// Escuchar and Anio; the command line wins, and KELVORA_CONSULTA_SECRETO beats the file's
// secret. Nothing on a usage error, with the reason in `error`.
std::optional<Configuracion> LeerConfiguracion(const QStringList& argumentos, int anioActual, QString* error);

} // namespace kv::consulta
