#include "import/ImportarSitio.h"
#include "data/Database.h"
#include "data/Field.h"
#include "data/Schema.h"
#include "import/LectorFilas.h"
#include "import/Paradox.h"
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <sqlite3.h>

namespace kv {

namespace {

// A connection of its own to the site being made: nobody else has it open, and a million
// rows go through one prepared statement each table.
class Conexion {
public:
    explicit Conexion(const QString& archivo)
    {
        if (sqlite3_open_v2(QFile::encodeName(archivo).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw DbError(QStringLiteral("No se pudo abrir %1.").arg(archivo));
        // A failure throws the whole directory away, so the journal would guard nothing.
        exec("PRAGMA journal_mode=OFF");
        exec("PRAGMA synchronous=OFF");
        exec("BEGIN");
    }
    ~Conexion()
    {
        if (st_) sqlite3_finalize(st_);
        if (db_) sqlite3_close(db_);
    }
    void exec(const char* sql)
    {
        char* err = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &err) != SQLITE_OK) {
            const QString m = QString::fromUtf8(err ? err : "error");
            sqlite3_free(err);
            throw DbError(m);
        }
    }
    void preparar(const QString& sql)
    {
        if (st_) sqlite3_finalize(st_);
        st_ = nullptr;
        if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &st_, nullptr) != SQLITE_OK)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(db_)));
    }
    void insertar(const QVector<QVariant>& valores)
    {
        sqlite3_reset(st_);
        for (int i = 0; i < valores.size(); ++i) {
            const QVariant& v = valores[i];
            if (v.isNull()) sqlite3_bind_null(st_, i + 1);
            else if (v.metaType().id() == QMetaType::LongLong || v.metaType().id() == QMetaType::Int)
                sqlite3_bind_int64(st_, i + 1, v.toLongLong());
            else if (v.metaType().id() == QMetaType::Double) sqlite3_bind_double(st_, i + 1, v.toDouble());
            else {
                const QByteArray u = v.toString().toUtf8();
                sqlite3_bind_text(st_, i + 1, u.constData(), u.size(), SQLITE_TRANSIENT);
            }
        }
        if (sqlite3_step(st_) != SQLITE_DONE) throw DbError(QString::fromUtf8(sqlite3_errmsg(db_)));
    }

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* st_ = nullptr;
};

struct Columna {
    QString nombre;
    FieldType tipo;
    int ancho;
};

QVector<Columna> columnasDe(const TableDef& t)
{
    QVector<Columna> c;
    for (const QString& def : t.columns) {
        const QString tipo = def.section(QLatin1Char(' '), 1, 1);
        c << Columna{def.section(QLatin1Char(' '), 0, 0), fieldTypeFromDeclared(tipo), declaredWidth(tipo)};
    }
    // Columns added since the first sites (columnasAgregadas) are in the table too.
    for (const ColumnaAgregada& a : columnasAgregadas())
        if (a.table == t.name && std::none_of(c.begin(), c.end(), [&](const Columna& x) { return x.nombre == a.column; }))
            c << Columna{a.column, fieldTypeFromDeclared(a.definition.section(QLatin1Char(' '), 0, 0)), 0};
    return c;
}

int copiarImagenes(const QString& viejo, const QString& nuevo)
{
    QString origen;
    for (const QString& d : QDir(viejo).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (d.compare(QLatin1String("imagenes"), Qt::CaseInsensitive) == 0) origen = QDir(viejo).filePath(d);
    if (origen.isEmpty()) return 0;
    const QDir destino(QDir(nuevo).filePath(QStringLiteral("imagenes")));
    int n = 0;
    QDirIterator it(origen, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        const QString rel = QDir(origen).relativeFilePath(f);
        QDir().mkpath(QFileInfo(destino.filePath(rel)).absolutePath());
        if (!QFile::copy(f, destino.filePath(rel)))
            throw ImportError(QStringLiteral("No se pudo copiar la foto %1.").arg(QDir::toNativeSeparators(f)));
        ++n;
    }
    return n;
}

} // namespace

ResultadoSitio ImportarSitio(const QString& viejo, const QString& nuevo,
                             const std::function<void(const QString&, int)>& alAvanzar)
{
    if (!QFileInfo(viejo).isDir()) throw ImportError(QStringLiteral("No existe el directorio %1.").arg(viejo));
    const QFileInfo destino(QDir::cleanPath(QFileInfo(nuevo).absoluteFilePath()));
    if (destino.exists() && !(destino.isDir() && QDir(destino.filePath()).isEmpty()))
        throw ImportError(QStringLiteral("%1 ya existe y no está vacío: elija un directorio nuevo para el sitio.")
                              .arg(QDir::toNativeSeparators(destino.filePath())));
    if (!QDir().mkpath(destino.absolutePath()))
        throw ImportError(QStringLiteral("No se puede crear el directorio %1.").arg(destino.absolutePath()));

    const QString temporal = QDir(destino.absolutePath())
                                 .filePath(QStringLiteral(".%1.importando-%2").arg(destino.fileName()).arg(QCoreApplication::applicationPid()));
    QDir(temporal).removeRecursively();
    ResultadoSitio r;
    try {
        createSite(temporal);
        const QString archivo = QDir(temporal).filePath(Database::siteFileName());
        suspenderUltimos(*Database::openFile(archivo));
        {
            Conexion con(archivo);
            for (const TableDef& t : siteTables()) {
                InformeTabla inf;
                inf.tabla = t.name;
                inf.archivo = ArchivoSinMayusculas(viejo, t.name + QStringLiteral(".db"));
                if (inf.archivo.isEmpty()) {
                    r.tablas << inf;
                    continue;
                }
                TablaParadox px(inf.archivo);
                const QVector<Columna> cols = columnasDe(t);
                // field of the old table -> column of the new one
                QVector<int> destinoDe;
                QStringList nombres, marcas;
                for (const CampoParadox& c : px.campos()) {
                    int k = -1;
                    for (int i = 0; i < cols.size(); ++i)
                        if (cols[i].nombre.compare(c.nombre, Qt::CaseInsensitive) == 0) k = i;
                    if (k >= 0 && nombres.contains(cols[k].nombre)) k = -1;   // a field named twice: the first counts
                    if (k < 0) inf.camposIgnorados << c.nombre;
                    else {
                        nombres << cols[k].nombre;
                        marcas << QStringLiteral("?");
                    }
                    destinoDe << k;
                }
                // The settings row is the old site's, not the one a new site starts with.
                if (t.name == QLatin1String("Config") && px.filas() > 0) con.exec("DELETE FROM Config");
                if (!nombres.isEmpty())
                    con.preparar(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                     .arg(t.name, nombres.join(QLatin1Char(',')), marcas.join(QLatin1Char(','))));
                QVector<QVariant> valores;
                for (int n = 0; n < px.filas(); ++n) {
                    ++inf.leidas;
                    if (alAvanzar && n % 20000 == 0) alAvanzar(t.name, n);
                    QStringList motivos;
                    QVector<QVariant> fila;
                    try {
                        fila = px.fila(n);
                    } catch (const ImportError& e) {
                        inf.rechazadas << FilaRechazada{n + 1, e.message()};
                        continue;
                    }
                    valores.clear();
                    for (int i = 0; i < fila.size(); ++i) {
                        const int k = destinoDe[i];
                        if (k < 0) continue;
                        const Columna& c = cols[k];
                        QVariant v;
                        try {
                            v = toStorage(fila[i], c.tipo, c.nombre);
                        } catch (const DbError& e) {
                            motivos << e.message();
                        }
                        if (c.ancho > 0 && v.metaType().id() == QMetaType::QString && v.toString().size() > c.ancho)
                            motivos << QStringLiteral("%1 tiene %2 caracteres y el campo admite %3.")
                                           .arg(c.nombre).arg(v.toString().size()).arg(c.ancho);
                        valores << v;
                    }
                    if (!motivos.isEmpty()) {
                        inf.rechazadas << FilaRechazada{n + 1, motivos.join(QLatin1Char(' '))};
                        continue;
                    }
                    if (!nombres.isEmpty()) con.insertar(valores);
                    ++inf.escritas;
                }
                if (alAvanzar) alAvanzar(t.name, px.filas());
                r.tablas << inf;
            }
            con.exec("COMMIT");
        }
        prepararUltimos(*Database::openFile(archivo));
        r.fotos = copiarImagenes(viejo, temporal);
        if (destino.exists()) QDir().rmdir(destino.filePath());
        if (!QDir().rename(temporal, destino.filePath()))
            throw ImportError(QStringLiteral("No se pudo poner el sitio en %1.").arg(QDir::toNativeSeparators(destino.filePath())));
    } catch (...) {
        QDir(temporal).removeRecursively();
        throw;
    }
    return r;
}

QString InformeSitio(const ResultadoSitio& r)
{
    QString s = QStringLiteral("%1 %2 %3 %4\n").arg(QStringLiteral("Tabla"), -16).arg(QStringLiteral("Leídas"), 9)
                    .arg(QStringLiteral("Escritas"), 9).arg(QStringLiteral("Rechazadas"), 11);
    for (const InformeTabla& t : r.tablas) {
        if (t.archivo.isEmpty()) {
            s += QStringLiteral("%1 (no está en el sitio anterior: queda vacía)\n").arg(t.tabla, -16);
            continue;
        }
        s += QStringLiteral("%1 %2 %3 %4\n").arg(t.tabla, -16).arg(t.leidas, 9).arg(t.escritas, 9).arg(t.rechazadas.size(), 11);
        if (!t.camposIgnorados.isEmpty())
            s += QStringLiteral("  campos sin lugar en el sitio nuevo: %1\n").arg(t.camposIgnorados.join(QStringLiteral(", ")));
        for (const FilaRechazada& f : t.rechazadas) s += QStringLiteral("  fila %1: %2\n").arg(f.linea).arg(f.motivo);
    }
    s += QStringLiteral("Fotos copiadas: %1\n").arg(r.fotos);
    return s;
}

QVector<SitioAnterior> SitiosAnteriores(const QString& directorioTrabajo)
{
    const QString archivo = ArchivoSinMayusculas(directorioTrabajo, QStringLiteral("Config.DB"));
    if (archivo.isEmpty())
        throw ImportError(QStringLiteral("%1 no tiene la lista de sitios Config.DB.").arg(QDir::toNativeSeparators(directorioTrabajo)));
    TablaParadox px(archivo);
    int colColegio = -1, colRuta = -1;
    for (int i = 0; i < px.campos().size(); ++i) {
        if (px.campos()[i].nombre.compare(QLatin1String("colegio"), Qt::CaseInsensitive) == 0) colColegio = i;
        if (px.campos()[i].nombre.compare(QLatin1String("RutaTablas"), Qt::CaseInsensitive) == 0) colRuta = i;
    }
    if (colColegio < 0 || colRuta < 0)
        throw ImportError(QStringLiteral("La tabla %1 no tiene los campos colegio y RutaTablas.").arg(QDir::toNativeSeparators(archivo)));
    QVector<SitioAnterior> sitios;
    for (int n = 0; n < px.filas(); ++n) {
        const QVector<QVariant> f = px.fila(n);
        sitios << SitioAnterior{f[colColegio].toString(), f[colRuta].toString()};
    }
    return sitios;
}

} // namespace kv
