#include "capture/SalidasSistema.h"
#include "data/Query.h"
#include "base/Clock.h"

namespace kv {

int FilasSalidasSistema(const QString& dir)
{
    Query q;
    EjecutarSQL(dir, q, QStringLiteral("select (select count(*) from estudiantes) + (select count(*) from visitantes) as n"));
    return int(q.fieldByName(QStringLiteral("n")).asInteger());
}

int SacarLosQueQuedaron(const QString& dir)
{
    const QDateTime ahora = Clock::instance().now();
    Query q(dir);
    // One statement is one transaction already; this keeps it whole should more join it.
    Transaction tx(*q.database());
    // Each distinct code once (two persons sharing a code get one exit, as a person-by-person
    // walk would give); its last movement found through the (codigo, fecha, hora) index.
    q.setSql(QStringLiteral("insert into entradasSalidas"
                               " (codigo, fecha, hora, tipoDocIdent, docIdent, nestudiante, tipomvt, detalle)"
                               " select m.codigo, ?, ?, m.tipoDocIdent, m.docIdent, m.nestudiante, 'S', ?"
                               " from (select codigo, min(rowid) as orden from estudiantes group by codigo) p"
                               " join entradasSalidas m on m.rowid = (select u.rowid from entradasSalidas u"
                               "   where u.codigo = p.codigo order by u.fecha desc, u.hora desc, u.rowid desc limit 1)"
                               " where m.tipomvt = 'E' order by p.orden"));
    const int n = q.execute({ahora.date(), ahora.time(), DetalleSalidaSistema()});
    tx.commit();
    return n;
}

} // namespace kv
