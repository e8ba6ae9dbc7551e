#include "consulta/Datos.h"
#include <QSet>

namespace kv::consulta {

namespace {

QDate Fecha(const PgResult& r, int fila, int col) { return QDate::fromString(r.value(fila, col), Qt::ISODate); }
QTime Hora(const PgResult& r, int fila, int col) { return QTime::fromString(r.value(fila, col), QStringLiteral("HH:mm:ss")); }

// The latest movement of today of the person in `e`, for the state shown beside it.
const char kUltimoDeHoy[] =
    " left join lateral (select m.tipomvt, m.hora from entradassalidas m where m.icolegio=e.icolegio"
    " and m.codigo=e.codigo and m.fecha=$%1::date order by m.hora desc limit 1) u on true";

QString UltimoDeHoy(int parametro) { return QString::fromLatin1(kUltimoDeHoy).arg(parametro); }

// Columns: codigo, nestudiante, igrado, igrupo, tipomvt of today, hora of today [, days].
Persona LeerPersona(const PgResult& r, int i)
{
    Persona p;
    p.codigo = r.value(i, 0);
    p.nombre = r.value(i, 1);
    p.categoria = r.value(i, 2).toInt();
    p.grupo = r.value(i, 3);
    p.tipoHoy = r.value(i, 4);
    p.horaHoy = Hora(r, i, 5);
    if (r.columns() > 6) p.diasConEntrada = r.value(i, 6).toInt();
    return p;
}

QString ComoPatron(const QString& texto)
{
    QString t = texto;
    t.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('%'), QStringLiteral("\\%"))
        .replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + t + QLatin1Char('%');
}

// Columns: fecha, hora, codigo, name, igrado, igrupo, tipomvt, detalle, is a person.
QVector<Movimiento> LeerMovimientos(const PgResult& r)
{
    QVector<Movimiento> v;
    v.reserve(r.rows());
    for (int i = 0; i < r.rows(); ++i) {
        Movimiento m;
        m.fecha = Fecha(r, i, 0);
        m.hora = Hora(r, i, 1);
        m.codigo = r.value(i, 2);
        m.nombre = r.value(i, 3);
        m.categoria = r.value(i, 4).toInt();
        m.grupo = r.value(i, 5);
        m.tipo = r.value(i, 6);
        m.detalle = r.value(i, 7);
        m.esPersona = r.value(i, 8) == QLatin1String("t");
        v << m;
    }
    return v;
}

} // namespace

void AbrirConexion(Conexion& c, const PgParams& params, int anio)
{
    PgParams p = params;
    p.push_back({QStringLiteral("application_name"), QStringLiteral("kelvora-consulta")});
    c.pg.open(p);
    // The portal only reads; a page that would take longer than this is not worth waiting for.
    const PgResult r = c.pg.exec(QStringLiteral("select set_config('search_path', $1, false),"
                                                " set_config('default_transaction_read_only', 'on', false),"
                                                " set_config('statement_timeout', '10s', false),"
                                                " set_config('datestyle', 'ISO, YMD', false),"
                                                " exists(select 1 from pg_namespace where nspname=$1),"
                                                " to_regclass(quote_ident($1) || '.colegios') is not null"),
                                 {QString::number(anio)});
    if (r.value(0, 4) != QLatin1String("t")) {
        c.pg.close();
        throw PgError(QStringLiteral("No existe en el servidor el esquema del año %1.").arg(anio));
    }
    c.hayColegios = r.value(0, 5) == QLatin1String("t");
}

QVector<Cuenta> CuentasDe(Conexion& c, const QString& documento)
{
    const PgResult r = c.pg.exec(QStringLiteral("select icolegio, clave, nivelconsulta, nombre from consultantes"
                                                " where docident=$1::text order by icolegio"),
                                 {documento});
    QVector<Cuenta> v;
    for (int i = 0; i < r.rows(); ++i)
        v << Cuenta{r.value(i, 0).toInt(), r.value(i, 1), r.value(i, 2).toInt(), r.value(i, 3)};
    return v;
}

Contexto LeerContexto(Conexion& c, int icolegio, const QString& documento)
{
    const QString nombre = c.hayColegios
                               ? QStringLiteral("(select g.nombre from colegios g where g.icolegio=$1::integer)")
                               : QStringLiteral("null::text");
    const PgResult r = c.pg.exec(
        QStringLiteral("select k.clave, k.nivelconsulta, k.nombre, u.fecha, u.hora, %1, k.icolegio is not null"
                       " from (select 1) x"
                       " left join lateral (select * from consultantes where icolegio=$1::integer and docident=$2::text"
                       " limit 1) k on true"
                       " left join lateral (select fecha, hora from entradassalidas where icolegio=$1::integer"
                       " order by fecha desc, hora desc limit 1) u on true")
            .arg(nombre),
        {icolegio, documento});
    Contexto x;
    x.cuentaValida = r.value(0, 6) == QLatin1String("t");
    x.cuenta = Cuenta{icolegio, r.value(0, 0), r.value(0, 1).toInt(), r.value(0, 2)};
    x.publicadoFecha = Fecha(r, 0, 3);
    x.publicadoHora = Hora(r, 0, 4);
    x.nombreColegio = r.value(0, 5).trimmed();
    if (x.nombreColegio.isEmpty()) x.nombreColegio = QStringLiteral("Sitio %1").arg(icolegio);
    return x;
}

QString NombreColegio(Conexion& c, int icolegio)
{
    QString n;
    if (c.hayColegios)
        n = c.pg.exec(QStringLiteral("select nombre from colegios where icolegio=$1::integer"), {icolegio}).value(0, 0).trimmed();
    return n.isEmpty() ? QStringLiteral("Sitio %1").arg(icolegio) : n;
}

QVector<Persona> PersonasDeFamilia(Conexion& c, int icolegio, const QString& documento, const QDate& hoy,
                                   const QDate& desde)
{
    if (documento.isEmpty()) return {};
    const PgResult r = c.pg.exec(
        QStringLiteral("select e.codigo, e.nestudiante, e.igrado, e.igrupo, u.tipomvt, u.hora,"
                       " (select count(distinct m.fecha) from entradassalidas m where m.icolegio=e.icolegio"
                       " and m.codigo=e.codigo and m.fecha between $4::date and $3::date and m.tipomvt='E')"
                       " from estudiantes e")
            + UltimoDeHoy(3)
            + QStringLiteral(" where e.icolegio=$1::integer and (e.docacud=$2::text or e.docident=$2::text or e.codigo=$2::text)"
                             " order by e.nestudiante, e.codigo"),
        {icolegio, documento, hoy, desde});
    QVector<Persona> v;
    for (int i = 0; i < r.rows(); ++i) v << LeerPersona(r, i);
    return v;
}

QVector<Persona> BuscarPersonas(Conexion& c, int icolegio, const QString& texto, const QDate& hoy)
{
    const QString t = texto.trimmed();
    const PgResult r = c.pg.exec(
        QStringLiteral("select e.codigo, e.nestudiante, e.igrado, e.igrupo, u.tipomvt, u.hora from estudiantes e")
            + UltimoDeHoy(4)
            + QStringLiteral(" where e.icolegio=$1::integer and ($2::text='' or e.codigo=$2::text"
                             " or e.nestudiante ilike $3::text escape '\\')"
                             " order by e.igrado, e.igrupo, e.nestudiante, e.codigo"),
        {icolegio, t, ComoPatron(t), hoy});
    QVector<Persona> v;
    for (int i = 0; i < r.rows(); ++i) v << LeerPersona(r, i);
    return v;
}

std::optional<Persona> PersonaVisible(Conexion& c, int icolegio, bool personal, const QString& documento,
                                      const QString& codigo, const QDate& hoy)
{
    if (!personal && documento.isEmpty()) return std::nullopt;
    const PgResult r = c.pg.exec(
        QStringLiteral("select e.codigo, e.nestudiante, e.igrado, e.igrupo, u.tipomvt, u.hora from estudiantes e")
            + UltimoDeHoy(5)
            + QStringLiteral(" where e.icolegio=$1::integer and e.codigo=$2::text"
                             " and ($3::boolean or e.docacud=$4::text or e.docident=$4::text or e.codigo=$4::text)"
                             " order by e.nestudiante limit 1"),
        {icolegio, codigo, personal, documento, hoy});
    if (r.rows() == 0) return std::nullopt;
    return LeerPersona(r, 0);
}

QVector<Movimiento> MovimientosDe(Conexion& c, int icolegio, const QString& codigo, const QDate& desde,
                                  const QDate& hasta, int* diasConEntrada)
{
    const PgResult r = c.pg.exec(
        QStringLiteral("select fecha, hora, codigo, nestudiante, 0, '', tipomvt, detalle, true from entradassalidas"
                       " where icolegio=$1::integer and codigo=$2::text and fecha between $3::date and $4::date"
                       " order by fecha desc, hora desc"),
        {icolegio, codigo, desde, hasta});
    const QVector<Movimiento> v = LeerMovimientos(r);
    if (diasConEntrada) {
        QSet<QDate> dias;
        for (const Movimiento& m : v)
            if (m.tipo == QLatin1String("E")) dias.insert(m.fecha);
        *diasConEntrada = int(dias.size());
    }
    return v;
}

QVector<Movimiento> MovimientosDelDia(Conexion& c, int icolegio, const QDate& dia)
{
    const PgResult r = c.pg.exec(
        QStringLiteral("select m.fecha, m.hora, m.codigo, coalesce(e.nestudiante, m.nestudiante), e.igrado, e.igrupo,"
                       " m.tipomvt, m.detalle, e.codigo is not null from entradassalidas m"
                       " left join lateral (select * from estudiantes p where p.icolegio=m.icolegio and p.codigo=m.codigo"
                       " limit 1) e on true"
                       " where m.icolegio=$1::integer and m.fecha=$2::date order by m.hora, m.codigo"),
        {icolegio, dia});
    return LeerMovimientos(r);
}

QVector<Movimiento> Dentro(Conexion& c, int icolegio, const QDate& hoy)
{
    const PgResult r = c.pg.exec(
        QStringLiteral("select u.fecha, u.hora, u.codigo, coalesce(e.nestudiante, u.nestudiante), e.igrado, e.igrupo,"
                       " u.tipomvt, u.detalle, e.codigo is not null"
                       " from (select distinct on (codigo) * from entradassalidas where icolegio=$1::integer"
                       " and fecha=$2::date order by codigo, hora desc) u"
                       " left join lateral (select * from estudiantes p where p.icolegio=u.icolegio and p.codigo=u.codigo"
                       " limit 1) e on true"
                       " where u.tipomvt='E' order by e.codigo is null, e.igrado, e.igrupo, 4, u.codigo"),
        {icolegio, hoy});
    return LeerMovimientos(r);
}

} // namespace kv::consulta
