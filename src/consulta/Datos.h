#pragma once
// The consultation's statements over the published tables. Every value is bound; every
// statement names the site, and a family's statements also name the family's document.
#include "publish/Pg.h"
#include <QDate>
#include <QTime>
#include <QVector>
#include <optional>

namespace kv::consulta {

struct Cuenta {          // one consultant row of one site
    int icolegio = 0;
    QString clave;
    int nivel = 0;       // 1 staff, anything else a family
    QString nombre;
};

struct Persona {
    QString codigo;
    QString nombre;
    int categoria = 0;
    QString grupo;
    QString tipoHoy;     // type of the latest movement of today ("" when none)
    QTime horaHoy;
    int diasConEntrada = -1;   // in the range asked for; -1 when not asked
};

struct Movimiento {
    QDate fecha;
    QTime hora;
    QString codigo;
    QString nombre;
    int categoria = 0;
    bool esPersona = true;   // false for a code with no published person (a visitor)
    QString grupo;
    QString tipo;
    QString detalle;
};

// What every page of a session shows, read in one statement.
struct Contexto {
    bool cuentaValida = false;    // the consultant still exists at the site
    Cuenta cuenta;
    QString nombreColegio;        // "Sitio N" when the server has no name for it
    QDate publicadoFecha;         // latest published movement of the site (invalid: none)
    QTime publicadoHora;
};

// The portal's connection, and whether its server knows the sites' names.
struct Conexion {
    PgConnection pg;
    bool hayColegios = false;
};

// Opens the portal's connection in the schema of `anio`, read-only and with a limit on
// every statement. PgError when the server or the schema is missing.
void AbrirConexion(Conexion& c, const PgParams& params, int anio);

// Every site where `documento` is a consultant.
QVector<Cuenta> CuentasDe(Conexion& c, const QString& documento);
Contexto LeerContexto(Conexion& c, int icolegio, const QString& documento);
QString NombreColegio(Conexion& c, int icolegio);

// A family's persons: guardian document, own document or code equal to `documento`; with
// today's state and the days with an entry from `desde` to `hoy`.
QVector<Persona> PersonasDeFamilia(Conexion& c, int icolegio, const QString& documento,
                                   const QDate& hoy, const QDate& desde);
// Staff: persons whose code equals `texto` or whose name holds it; all with an empty text.
QVector<Persona> BuscarPersonas(Conexion& c, int icolegio, const QString& texto, const QDate& hoy);

// One person, when the consultant may see it: staff any person of the site, a family only
// its own (by the rule above). Nothing otherwise, the same as a code that does not exist.
std::optional<Persona> PersonaVisible(Conexion& c, int icolegio, bool personal, const QString& documento,
                                      const QString& codigo, const QDate& hoy);
// A person's movements from `desde` to `hasta`, latest first, and the days with an entry.
QVector<Movimiento> MovimientosDe(Conexion& c, int icolegio, const QString& codigo, const QDate& desde,
                                  const QDate& hasta, int* diasConEntrada);
// All movements of the site on one day, by hour.
QVector<Movimiento> MovimientosDelDia(Conexion& c, int icolegio, const QDate& dia);
// Codes whose latest movement of `hoy` is an entry, by category, group and name.
QVector<Movimiento> Dentro(Conexion& c, int icolegio, const QDate& hoy);

} // namespace kv::consulta
