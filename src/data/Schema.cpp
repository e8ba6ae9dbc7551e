#include "data/Schema.h"
#include "data/Database.h"
#include "base/Clock.h"
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <iterator>

namespace kv {

const QVector<TableDef>& siteTables()
{
    static const QVector<TableDef> tables = {
        {"estudiantes",
         {"IGrado SMALLINT", "IGrupo VARCHAR(2)", "IEstudiante INTEGER", "NEstudiante VARCHAR(60)",
          "codigo VARCHAR(20)", "docIdent VARCHAR(20)", "tipoDocIdent INTEGER", "NumMatr INTEGER",
          "numCarnet INTEGER", "rh VARCHAR(5)", "sitSocial VARCHAR(5)", "situacion VARCHAR(15)",
          "idFoto VARCHAR(80)", "fechaNac DATE", "edad INTEGER", "acudiente VARCHAR(60)",
          "docacud VARCHAR(20)", "telefacudiente VARCHAR(30)", "dirresacud VARCHAR(80)",
          "telefestud VARCHAR(30)", "Direccion VARCHAR(80)", "EPS VARCHAR(40)", "observaciones TEXT",
          "gradoantesbod VARCHAR(5)", "grupoantesbod VARCHAR(5)"},
         {"CREATE INDEX ix_estudiantes_codigo ON estudiantes(codigo)",
          "CREATE INDEX ix_estudiantes_grupo ON estudiantes(IGrado, IGrupo, IEstudiante)",
          "CREATE INDEX ix_estudiantes_doc ON estudiantes(docIdent)"}},
        {"grupos",
         {"IGrado SMALLINT", "IGrupo VARCHAR(2)", "IProfesor VARCHAR(40)", "NDirector VARCHAR(60)",
          "Mensaje VARCHAR(12)"},
         {"CREATE INDEX ix_grupos ON grupos(IGrado, IGrupo)"}},
        {"AbaGrados",
         {"IGrado SMALLINT", "NGrado VARCHAR(40)"},
         {"CREATE UNIQUE INDEX ix_abagrados ON AbaGrados(IGrado)"}},
        {"entradasSalidas",
         {"codigo VARCHAR(20)", "fecha DATE", "hora TIME", "tipoDocIdent INTEGER", "docIdent VARCHAR(20)",
          "nestudiante VARCHAR(60)", "tipomvt VARCHAR(1)", "detalle TEXT", "subido BOOLEAN"},
         {"CREATE INDEX ix_es_codigo ON entradasSalidas(codigo, fecha, hora)",
          "CREATE INDEX ix_es_fecha ON entradasSalidas(fecha, hora)",
          "CREATE INDEX ix_es_subido ON entradasSalidas(subido)",
          // Attendance reports: every entry of a range of days, read from the index alone.
          "CREATE INDEX ix_es_tipo ON entradasSalidas(tipomvt, fecha, codigo, hora)"}},
        {"visitantes",
         {"docIdent VARCHAR(20)", "tipoDocIdent INTEGER", "nombre VARCHAR(60)", "fechaUltVisit DATE",
          "horaUltVisit TIME", "observaciones TEXT"},
         {"CREATE INDEX ix_visitantes_doc ON visitantes(docIdent)"}},
        {"dependencias", {"ndependencia VARCHAR(40)"}, {}},
        {"consultantes",
         {"docIdent VARCHAR(20)", "nombre VARCHAR(60)", "clave VARCHAR(20)", "nivelConsulta INTEGER"},
         {"CREATE INDEX ix_consultantes_doc ON consultantes(docIdent)"}},
        {"Config",
         {"iColegio INTEGER", "NColegio VARCHAR(80)", "Encabezado1 VARCHAR(100)", "Encabezado2 VARCHAR(100)",
          "FraseBltin VARCHAR(100)", "Jornada VARCHAR(20)", "rutaEscudo VARCHAR(255)", "periodoactual SMALLINT",
          "clave VARCHAR(20)", "claveConsultor VARCHAR(20)", "NumHorasPierdeAnio INTEGER",
          "anioactual SMALLINT", "horaSalidaAuto DATETIME"},
         {}},
        {"AbaMaterias",
         {"IGrado SMALLINT", "IMateria VARCHAR(8)", "NMateria VARCHAR(40)", "IntHoraria INTEGER",
          "tipoNota VARCHAR(5)", "ContarAplazarDefinitivo BOOLEAN"},
         {"CREATE INDEX ix_abamaterias ON AbaMaterias(IGrado, IMateria)"}},
        {"AbaProfesores",
         {"IProfesor VARCHAR(12)", "NProfesor VARCHAR(40)"},
         {"CREATE INDEX ix_abaprofesores ON AbaProfesores(IProfesor)"}},
        {"MovMat",
         {"IGrado SMALLINT", "IGrupo VARCHAR(2)", "IMateria VARCHAR(8)", "IProfesor VARCHAR(12)"},
         {"CREATE INDEX ix_movmat ON MovMat(IGrado, IGrupo)"}},
        {"periodos",
         {"IPeriodo SMALLINT", "NPeriodo VARCHAR(30)", "fechaInicial DATE", "fechaFinal DATE"}, {}},
        {"notas",
         {"codigo VARCHAR(20)", "IGrado SMALLINT", "IGrupo VARCHAR(2)", "IEstudiante INTEGER",
          "IMateria VARCHAR(8)", "IPeriodo SMALLINT", "nota REAL"},
         {"CREATE INDEX ix_notas_codigo ON notas(codigo)",
          "CREATE INDEX ix_notas_grupo ON notas(IGrado, IGrupo, IEstudiante)"}},
        {"notasdef",
         {"IGrado SMALLINT", "IGrupo VARCHAR(2)", "IEstudiante INTEGER", "IMateria VARCHAR(8)", "notaDef REAL"},
         {"CREATE INDEX ix_notasdef_grupo ON notasdef(IGrado, IGrupo, IEstudiante)"}},
    };
    return tables;
}

const QVector<ColumnaAgregada>& columnasAgregadas()
{
    // Each DEFAULT is what a site made before the column reads, so old rows keep working.
    static const QVector<ColumnaAgregada> cols = {
        {"Config", "formatoPlanilla", "INTEGER DEFAULT 1"},
        {"Config", "incluirCancelados", "BOOLEAN DEFAULT 0"},
        {"Config", "segundosRepetida", "INTEGER DEFAULT 5"},
        {"Config", "tonosDistintos", "BOOLEAN DEFAULT 1"},
        {"Config", "horaEntrada", "TIME DEFAULT '07:00:00'"},
    };
    return cols;
}

void completarColumnas(Database& db)
{
    for (const ColumnaAgregada& c : columnasAgregadas()) {
        if (!db.hasTable(c.table)) continue;
        bool falta = true;
        for (const Column& col : db.columns(c.table))
            if (col.name.compare(c.column, Qt::CaseInsensitive) == 0) falta = false;
        if (falta)
            db.exec(QStringLiteral("ALTER TABLE \"%1\" ADD COLUMN %2 %3").arg(db.tableName(c.table), c.column, c.definition));
    }
}

QStringList columnasActuales(const QString& table)
{
    QStringList out;
    for (const TableDef& t : siteTables())
        if (t.name.compare(table, Qt::CaseInsensitive) == 0) out = t.columns;
    for (const ColumnaAgregada& c : columnasAgregadas())
        if (c.table.compare(table, Qt::CaseInsensitive) == 0) out << c.column + QLatin1Char(' ') + c.definition;
    return out;
}

void actualizarSitio(Database& db)
{
    completarColumnas(db);
    addMissingIndexes(db);
    prepararUltimos(db);
}

namespace {

// The last movement of one code, in the order the door reads it (date, time, then the
// order stored), as a row for the table of last movements.
QString ultimoDe(const char* codigo)
{
    return QStringLiteral("INSERT INTO ultimosMovimientos (codigo, rid, tipomvt)"
                          " SELECT codigo, rowid, tipomvt FROM entradasSalidas WHERE codigo = %1"
                          " ORDER BY fecha DESC, hora DESC, rowid DESC LIMIT 1;")
        .arg(QLatin1String(codigo));
}

// Each trigger takes the code's row out and reads its last movement again through the
// index (one seek), so the table is right whatever order movements arrive in. Deleting
// and inserting rather than replacing: a statement's own conflict clause (INSERT OR
// IGNORE into the movements) would override a REPLACE inside the trigger.
QStringList disparadores()
{
    return {
        QStringLiteral("CREATE TRIGGER ultimoAlGuardar AFTER INSERT ON entradasSalidas"
                       " WHEN new.codigo IS NOT NULL BEGIN"
                       " DELETE FROM ultimosMovimientos WHERE codigo = new.codigo; ")
            + ultimoDe("new.codigo") + QStringLiteral(" END"),
        // Removing an older movement leaves the code's last one where it was: a purge of
        // past years costs one lookup per row.
        QStringLiteral("CREATE TRIGGER ultimoAlBorrar AFTER DELETE ON entradasSalidas"
                       " WHEN old.codigo IS NOT NULL"
                       " AND old.rowid IS (SELECT rid FROM ultimosMovimientos WHERE codigo = old.codigo) BEGIN"
                       " DELETE FROM ultimosMovimientos WHERE codigo = old.codigo; ")
            + ultimoDe("old.codigo") + QStringLiteral(" END"),
        // Marking rows as published changes none of these columns and costs nothing.
        QStringLiteral("CREATE TRIGGER ultimoAlCambiar AFTER UPDATE OF codigo, fecha, hora, tipomvt ON entradasSalidas"
                       " BEGIN"
                       " DELETE FROM ultimosMovimientos WHERE codigo = old.codigo OR codigo = new.codigo; ")
            + ultimoDe("old.codigo")
            + QStringLiteral(" INSERT INTO ultimosMovimientos (codigo, rid, tipomvt)"
                             " SELECT codigo, rowid, tipomvt FROM entradasSalidas"
                             " WHERE codigo = new.codigo AND new.codigo IS NOT old.codigo"
                             " ORDER BY fecha DESC, hora DESC, rowid DESC LIMIT 1; END"),
    };
}

const char* const kDisparadores[] = {"ultimoAlGuardar", "ultimoAlBorrar", "ultimoAlCambiar"};

int piezasUltimos(Database& db)
{
    QStringList nombres = {QStringLiteral("'ultimosMovimientos'")};
    for (const char* d : kDisparadores) nombres << QStringLiteral("'%1'").arg(QLatin1String(d));
    return db.select(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type IN ('table', 'trigger')"
                                    " AND name IN (%1)").arg(nombres.join(QLatin1Char(','))))
        .rows.value(0)
        .value(0)
        .toInt();
}

} // namespace

QString sqlUltimosPorIndice()
{
    return QStringLiteral(
        "with recursive ult(rid) as ("
        " select (select rowid from entradasSalidas where codigo is not null"
        "         order by codigo desc, fecha desc, hora desc, rowid desc limit 1)"
        " union all"
        " select (select x.rowid from entradasSalidas x"
        "         where x.codigo < (select y.codigo from entradasSalidas y where y.rowid = ult.rid)"
        "         order by x.codigo desc, x.fecha desc, x.hora desc, x.rowid desc limit 1)"
        " from ult where ult.rid is not null)");
}

bool ultimosAlDia(Database& db) { return piezasUltimos(db) == 1 + int(std::size(kDisparadores)); }

void suspenderUltimos(Database& db)
{
    for (const char* d : kDisparadores) db.exec(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(QLatin1String(d)));
}

void prepararUltimos(Database& db)
{
    if (!db.hasTable(QStringLiteral("entradasSalidas")) || ultimosAlDia(db)) return;
    Transaction tx(db);
    // Asked again inside the write lock: another program may have made them meanwhile.
    if (ultimosAlDia(db)) return;
    suspenderUltimos(db);
    // Without rowid: a narrow table read in one pass, and no change notices for it.
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS ultimosMovimientos"
                           " (codigo VARCHAR(20) PRIMARY KEY, rid INTEGER, tipomvt VARCHAR(1)) WITHOUT ROWID"));
    db.exec(QStringLiteral("DELETE FROM ultimosMovimientos"));
    db.exec(sqlUltimosPorIndice()
            + QStringLiteral(" INSERT INTO ultimosMovimientos (codigo, rid, tipomvt)"
                             " SELECT m.codigo, m.rowid, m.tipomvt FROM ult JOIN entradasSalidas m ON m.rowid = ult.rid"));
    for (const QString& d : disparadores()) db.exec(d);
    tx.commit();
}

void addMissingIndexes(Database& db)
{
    for (const TableDef& t : siteTables()) {
        if (!db.hasTable(t.name)) continue;
        for (QString ix : t.indexes) {
            ix.replace(QRegularExpression(QStringLiteral("^CREATE (UNIQUE )?INDEX ")), QStringLiteral("CREATE \\1INDEX IF NOT EXISTS "));
            // A unique index an old site's rows break stays missing; the rest still come.
            try {
                db.exec(ix);
            } catch (const DbError&) {
            }
        }
    }
}

int declaredWidth(const QString& declaredType)
{
    static const QRegularExpression width(QStringLiteral("^\\s*(?:VAR)?CHAR\\s*\\(\\s*(\\d+)\\s*\\)"),
                                          QRegularExpression::CaseInsensitiveOption);
    const auto m = width.match(declaredType);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

int fieldWidth(const QString& table, const QString& field)
{
    for (const QString& c : columnasActuales(table))
        if (c.section(QLatin1Char(' '), 0, 0).compare(field, Qt::CaseInsensitive) == 0)
            return declaredWidth(c.section(QLatin1Char(' '), 1));
    return 0;
}

void createSite(const QString& dir)
{
    QDir d(dir);
    if (!d.mkpath(QStringLiteral(".")) || !d.mkpath(QStringLiteral("imagenes")))
        throw DbError(QStringLiteral("No se puede crear el directorio %1.").arg(QDir::toNativeSeparators(dir)));
    const QString file = d.filePath(Database::siteFileName());
    if (QFileInfo::exists(file))
        throw DbError(QStringLiteral("El directorio %1 ya contiene un sitio.").arg(QDir::toNativeSeparators(d.absolutePath())));
    auto db = Database::openFile(file, true);
    Transaction tx(*db);
    // A new site is the first layout brought up to date, the same way an older one is.
    for (const TableDef& t : siteTables())
        db->exec(QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(t.name, t.columns.join(QStringLiteral(", "))));
    completarColumnas(*db);
    for (const TableDef& t : siteTables())
        for (const QString& ix : t.indexes) db->exec(ix);
    prepararUltimos(*db);
    db->exec(QStringLiteral("INSERT INTO Config (iColegio, NColegio, Encabezado1, Encabezado2, FraseBltin, Jornada,"
                            " rutaEscudo, periodoactual, clave, claveConsultor, NumHorasPierdeAnio, anioactual,"
                            " horaSalidaAuto) VALUES (0,'','','','','','',1,'','',0,?,?)"),
             {Clock::instance().today().year(), QStringLiteral("1899-12-30 18:00:00")});
    tx.commit();
}

void addSite(const QString& workingDir, const QString& name, const QString& tablesDir)
{
    auto db = Database::openFile(QDir(workingDir).filePath(Database::siteListFileName()), true);
    db->exec(QStringLiteral("CREATE TABLE IF NOT EXISTS Config (colegio VARCHAR(40), RutaTablas VARCHAR(255))"));
    db->exec(QStringLiteral("INSERT INTO Config (colegio, RutaTablas) VALUES (?, ?)"), {name, tablesDir});
}

} // namespace kv
