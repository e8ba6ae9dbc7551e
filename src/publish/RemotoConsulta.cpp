#include "publish/RemotoConsulta.h"
#include "data/Query.h"
#include <QRegularExpression>

namespace kv {

namespace {
QString Esquema(int anio)
{
    if (anio <= 0) throw PgError(QStringLiteral("El año de trabajo debe ser un número positivo."));
    return QLatin1Char('"') + QString::number(anio) + QLatin1Char('"');
}
} // namespace

void CrearTablasConsulta(PgConnection& c, int anio)
{
    const QString s = Esquema(anio);
    c.exec(QStringLiteral("create table if not exists %1.colegios (icolegio integer primary key,"
                          " nombre text not null default '')").arg(s));
    // A family's page finds its persons by the guardian's document, the person's own
    // document or the code (estudiantes_colegio), and then each person's movements by code
    // and date (entradassalidas_movimiento); both come with the schema.
    c.exec(QStringLiteral("create index if not exists estudiantes_acudiente on %1.estudiantes (icolegio, docacud)").arg(s));
    c.exec(QStringLiteral("create index if not exists estudiantes_documento on %1.estudiantes (icolegio, docident)").arg(s));
    // Staff ask for one day of the site; every page shows the site's latest movement.
    c.exec(QStringLiteral("create index if not exists entradassalidas_dia on %1.entradassalidas (icolegio, fecha, hora)").arg(s));
    // The login looks a document up at every site.
    c.exec(QStringLiteral("create index if not exists consultantes_documento on %1.consultantes (docident)").arg(s));
}

void CrearRolConsulta(PgConnection& c, int anio, const QString& rol, const QString& clave)
{
    static const QRegularExpression valido(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
    if (!valido.match(rol).hasMatch())
        throw PgError(QStringLiteral("El nombre del rol solo admite minúsculas, cifras y «_»: %1").arg(rol));
    const QString s = Esquema(anio);
    // Checked above, so quoting is all the name needs.
    const QString r = QLatin1Char('"') + rol + QLatin1Char('"');
    PgTransaction tx(c);
    if (c.exec(QStringLiteral("select exists(select 1 from pg_roles where rolname=$1)"), {rol}).value(0, 0) != QLatin1String("t"))
        c.exec(QStringLiteral("create role %1 login").arg(r));
    if (!clave.isEmpty()) {
        // The server quotes the password itself; the statement it returns is then run.
        const QString sql = c.exec(QStringLiteral("select format('alter role %I password %L', $1::text, $2::text)"),
                                   {rol, clave}).value(0, 0);
        c.exec(sql);
    }
    c.exec(QStringLiteral("alter role %1 set default_transaction_read_only = on").arg(r));
    c.exec(QStringLiteral("grant usage on schema %1 to %2").arg(s, r));
    c.exec(QStringLiteral("grant select on %1.entradassalidas, %1.estudiantes, %1.consultantes, %1.colegios to %2").arg(s, r));
    tx.commit();
}

bool GuardarNombreColegio(PgConnection& c, const QString& dir, int icolegio)
{
    // An older server has no such table, and an account may see it without the right to
    // write it: the persons are published all the same, without the name.
    // (The privilege test takes the table's oid: no table gives NULL, never an error that
    // would end the transaction.)
    if (c.exec(QStringLiteral("select coalesce(has_table_privilege(to_regclass('colegios'), 'INSERT')"
                              " and has_table_privilege(to_regclass('colegios'), 'UPDATE'), false)"))
            .value(0, 0)
        != QLatin1String("t"))
        return false;
    Query q;
    EjecutarSQL(dir, q, QStringLiteral("select NColegio from Config"));
    q.first();
    const QString nombre = q.eof() ? QString() : q.fieldByName(QStringLiteral("NColegio")).asString().trimmed();
    c.exec(QStringLiteral("insert into colegios (icolegio, nombre) values ($1, $2)"
                          " on conflict (icolegio) do update set nombre=excluded.nombre"),
           {icolegio, nombre});
    return true;
}

} // namespace kv
