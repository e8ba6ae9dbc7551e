#include "reports/InformesAsistencia.h"
#include "data/Query.h"

namespace kv::rpt {

namespace {

// The school days of [?1, ?2], numbered in order (n = 1, 2, ...). The distinct days are
// walked by seeking the next day on the index by date, so a range of a year costs a few
// hundred index seeks, not a scan of its movements; a day counts when any entry on it is
// not a visitor's badge.
const char* const kDiasLectivos =
    "WITH RECURSIVE fechas(f) AS ("
    " SELECT MIN(fecha) FROM entradasSalidas WHERE fecha >= ?1 AND fecha <= ?2"
    " UNION ALL"
    " SELECT (SELECT MIN(fecha) FROM entradasSalidas WHERE fecha > fechas.f AND fecha <= ?2)"
    " FROM fechas WHERE fechas.f IS NOT NULL),"
    " dias AS MATERIALIZED ("
    " SELECT f AS fecha, ROW_NUMBER() OVER (ORDER BY f) AS n FROM fechas"
    " WHERE f IS NOT NULL AND EXISTS (SELECT 1 FROM entradasSalidas AS y"
    " WHERE y.fecha = fechas.f AND y.tipomvt = 'E' AND y.codigo NOT LIKE 'VISIT%')),"
    " total AS (SELECT COUNT(*) AS n FROM dias)";

// Persons expected at school: those of the category range ?3..?4 that are not suspended.
const char* const kPersonasEsperadas =
    "e.IGrado >= ?3 AND e.IGrado <= ?4 AND (e.situacion IS NULL OR e.situacion <> 'SUSPENDIDO')";

QVariantList parametros(const RangoAsistencia& r)
{
    return {r.desde, r.hasta, r.gradoDesde, r.gradoHasta};
}

} // namespace

void ConsultarLlegadasTarde(const QString& tablesDir, Query& q, const RangoAsistencia& r,
                            const QTime& horaEntrada)
{
    // Only the earliest entry of a person's day counts: a return after going out at noon is
    // not a late arrival, and an exit before it (a card read the wrong way) is not an entry.
    const QString sql = QStringLiteral(
        "WITH primeras AS ("
        " SELECT codigo, fecha, MIN(hora) AS hora FROM entradasSalidas"
        " WHERE tipomvt = 'E' AND fecha >= ?1 AND fecha <= ?2 GROUP BY fecha, codigo HAVING MIN(hora) > ?5),"
        " tarde AS ("
        " SELECT e.rowid AS id, e.IGrado AS igrado, e.IGrupo AS igrupo, e.codigo AS codigo,"
        " e.NEstudiante AS nestudiante, p.fecha AS fecha, p.hora AS hora,"
        " (strftime('%s', p.hora) - strftime('%s', ?5) + 59) / 60 AS minutos"
        " FROM primeras AS p JOIN estudiantes AS e ON e.codigo = p.codigo"
        " WHERE e.IGrado >= ?3 AND e.IGrado <= ?4)"
        " SELECT igrado, igrupo, codigo, nestudiante, fecha, hora, minutos,"
        " COUNT(*) OVER persona AS llegadas, SUM(minutos) OVER persona AS minutosTotal"
        " FROM tarde WINDOW persona AS (PARTITION BY id)"
        " ORDER BY igrado, igrupo, nestudiante COLLATE espanol, codigo, id, fecha");
    QVariantList p = parametros(r);
    p << horaEntrada.toString(QStringLiteral("HH:mm:ss"));
    EjecutarSQL(tablesDir, q, sql, p);
}

void ConsultarInasistenciasConsecutivas(const QString& tablesDir, Query& q, const RangoAsistencia& r,
                                        int minimoDias)
{
    // A person's run is the school days after their last entry of the range: its length is
    // the number of school days minus the number of that last day. Only those who did not
    // come on any of the last K school days can have a run that long, so the last entry is
    // looked up for them alone.
    const QString sql = QString::fromLatin1(kDiasLectivos) + QStringLiteral(
        ", vinieron AS MATERIALIZED ("
        " SELECT DISTINCT x.codigo AS codigo FROM entradasSalidas AS x"
        " WHERE x.tipomvt = 'E' AND x.fecha <= ?2 AND x.codigo IS NOT NULL"
        " AND x.fecha >= (SELECT d.fecha FROM dias AS d, total AS t WHERE d.n = t.n - ?5 + 1)),"
        " personas AS ("
        " SELECT e.rowid AS id, e.IGrado AS igrado, e.IGrupo AS igrupo, e.codigo AS codigo,"
        " e.docIdent AS docident, e.NEstudiante AS nestudiante, e.acudiente AS acudiente,"
        " e.telefacudiente AS telefacudiente, e.telefestud AS telefestud,"
        " COALESCE((SELECT d.n FROM dias AS d WHERE d.fecha = ("
        "  SELECT x.fecha FROM entradasSalidas AS x WHERE x.codigo = e.codigo AND x.fecha >= ?1"
        "  AND x.fecha <= ?2 AND +x.tipomvt = 'E' ORDER BY x.fecha DESC LIMIT 1)), 0) AS ultimo"
        " FROM estudiantes AS e WHERE ") + QString::fromLatin1(kPersonasEsperadas) + QStringLiteral(
        " AND (SELECT n FROM total) >= ?5 AND e.codigo NOT IN (SELECT codigo FROM vinieron))"
        " SELECT p.igrado, p.igrupo, p.codigo, p.docident, p.nestudiante, p.acudiente,"
        " p.telefacudiente, p.telefestud, t.n - p.ultimo AS dias,"
        " (SELECT d.fecha FROM dias AS d WHERE d.n = p.ultimo + 1) AS desde"
        " FROM personas AS p CROSS JOIN total AS t"
        " WHERE t.n - p.ultimo >= ?5"
        " ORDER BY dias DESC, p.igrado, p.igrupo, p.nestudiante COLLATE espanol, p.codigo, p.id");
    QVariantList p = parametros(r);
    p << qMax(1, minimoDias);
    EjecutarSQL(tablesDir, q, sql, p);
}

void ConsultarAsistenciaPorDia(const QString& tablesDir, Query& q, const RangoAsistencia& r)
{
    const QString sql = QString::fromLatin1(kDiasLectivos) + QStringLiteral(
        ", esperadas AS MATERIALIZED ("
        " SELECT e.codigo AS codigo, e.IGrado AS igrado FROM estudiantes AS e WHERE ")
        + QString::fromLatin1(kPersonasEsperadas) + QStringLiteral("),"
        " categorias AS ("
        " SELECT IGrado AS igrado FROM AbaGrados WHERE IGrado >= ?3 AND IGrado <= ?4"
        " UNION SELECT igrado FROM esperadas),"
        " tamanos AS (SELECT igrado, COUNT(*) AS n FROM esperadas GROUP BY igrado),"
        " vinieron AS ("
        " SELECT DISTINCT fecha, codigo FROM entradasSalidas"
        " WHERE tipomvt = 'E' AND fecha >= ?1 AND fecha <= ?2),"
        " presentes AS MATERIALIZED ("
        " SELECT v.fecha AS fecha, e.IGrado AS igrado, COUNT(*) AS n"
        " FROM vinieron AS v CROSS JOIN estudiantes AS e ON e.codigo = v.codigo WHERE ")
        + QString::fromLatin1(kPersonasEsperadas) + QStringLiteral(" GROUP BY v.fecha, e.IGrado),"
        " filas AS ("
        " SELECT d.fecha AS fecha, c.igrado AS igrado, COALESCE(t.n, 0) AS personas, COALESCE(r.n, 0) AS presentes"
        " FROM dias AS d CROSS JOIN categorias AS c"
        " LEFT JOIN tamanos AS t ON t.igrado = c.igrado"
        " LEFT JOIN presentes AS r ON r.fecha = d.fecha AND r.igrado = c.igrado"
        " UNION ALL"
        " SELECT d.fecha, NULL, (SELECT COUNT(*) FROM esperadas),"
        " COALESCE((SELECT SUM(r.n) FROM presentes AS r WHERE r.fecha = d.fecha), 0) FROM dias AS d"
        " WHERE EXISTS (SELECT 1 FROM categorias))"
        " SELECT fecha, igrado, personas, presentes,"
        " CASE WHEN personas > 0 THEN ROUND(100.0 * presentes / personas, 1) END AS porcentaje"
        " FROM filas ORDER BY fecha, igrado IS NULL, igrado");
    EjecutarSQL(tablesDir, q, sql, parametros(r));
}

} // namespace kv::rpt
