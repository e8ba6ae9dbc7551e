#include "publish/Publicacion.h"
#include "publish/Publicados.h"
#include "data/Query.h"
#include "data/TDM.h"
#include "publish/Remote.h"
#include "publish/RemotoConsulta.h"
#include "settings/TConfig.h"
#include "base/Clock.h"
#include "base/MyException.h"
#include <QFile>
#include <QHash>
#include <optional>

namespace kv {

AvisosSubida& AvisosSubida::instance()
{
    static AvisosSubida a;
    return a;
}

namespace {

// Local mark of a movement (field subido): empty or 0 not sent, 1 published. A negative
// mark is the number of the server transaction that carried the row, written before it
// was sent: should the desk or the link die before the answer, the next pass asks the
// server whether that transaction committed. 2 is a row sent in doubt by an older version,
// without that number.
constexpr int kPublicado = 1;

struct FilaMovimiento {
    qint64 rowid = 0;
    QString codigo;
    QDate fecha;
    QTime hora;
    QString docIdent;
    int tipoDocIdent = 0;
    QString nombre;
    QString tipomvt;
    QString detalle;
    qint64 marca = 0;
};

// The pending rows by the index on the mark (subido<>1 alone would read the whole table).
const char kPendientes[] = "subido is null or subido<1 or subido>1";

QVector<FilaMovimiento> LeerPendientes(const QString& dir)
{
    Query q;
    EjecutarSQL(dir, q, QStringLiteral("select rowid as fila, codigo, fecha, hora, docIdent, tipoDocIdent, nestudiante,"
                                       " tipomvt, detalle, coalesce(subido, 0) as marca from entradassalidas"
                                       " where %1 order by rowid").arg(QLatin1String(kPendientes)));
    QVector<FilaMovimiento> filas;
    filas.reserve(q.recordCount());
    for (q.first(); !q.eof(); q.next()) {
        FilaMovimiento f;
        f.rowid = q.fieldByName(QStringLiteral("fila")).asInteger();
        f.codigo = q.fieldByName(QStringLiteral("codigo")).asString();
        f.fecha = q.fieldByName(QStringLiteral("fecha")).asDate();
        f.hora = q.fieldByName(QStringLiteral("hora")).asTime();
        f.docIdent = q.fieldByName(QStringLiteral("docIdent")).asString();
        f.tipoDocIdent = int(q.fieldByName(QStringLiteral("tipoDocIdent")).asInteger());
        f.nombre = q.fieldByName(QStringLiteral("nestudiante")).asString();
        f.tipomvt = q.fieldByName(QStringLiteral("tipomvt")).asString();
        f.detalle = q.fieldByName(QStringLiteral("detalle")).asString();
        f.marca = q.fieldByName(QStringLiteral("marca")).asInteger();
        filas << f;
    }
    return filas;
}

// Sets the mark of the given rows; one statement, so all of them or none.
void Marcar(const QString& dir, const QVector<qint64>& rowids, const QVariant& marca)
{
    if (rowids.isEmpty()) return;
    QString sql = QStringLiteral("update entradassalidas set subido=? where rowid in (");
    QVariantList params{marca};
    for (int i = 0; i < rowids.size(); ++i) {
        sql += i ? QStringLiteral(",?") : QStringLiteral("?");
        params << rowids[i];
    }
    Query q;
    EjecutarSQL(dir, q, sql + QLatin1Char(')'), params);
}

QVariant Fecha(const FilaMovimiento& f) { return f.fecha.isValid() ? QVariant(f.fecha) : QVariant(); }
QVariant Hora(const FilaMovimiento& f) { return f.hora.isValid() ? QVariant(f.hora) : QVariant(); }

// Settles the rows an earlier pass sent without learning the outcome: those the server
// holds are marked published, and the rest are returned with the rows never sent. Rows
// whose transaction is still open on the server wait for a later pass.
QVector<FilaMovimiento> ResolverDudas(PgConnection& c, const QString& dir, int icolegio,
                                      const QVector<FilaMovimiento>& filas)
{
    enum { Enviar, Publicada, Esperar };
    QVector<int> destino(filas.size(), Enviar);
    QHash<qint64, QString> estados;   // transaction -> committed, aborted, in progress or ""
    QHash<QString, QVector<int>> sinLote;   // twins by site key, in local order
    for (int i = 0; i < filas.size(); ++i) {
        const qint64 m = filas[i].marca;
        if (m == 0) continue;
        QString estado;
        if (m < 0) {
            auto it = estados.find(-m);
            if (it == estados.end())
                it = estados.insert(-m, c.exec(QStringLiteral("select txid_status($1::bigint)"), {-m}).value(0, 0));
            estado = *it;
        }
        if (estado == QLatin1String("committed")) destino[i] = Publicada;
        else if (estado == QLatin1String("in progress")) destino[i] = Esperar;
        else if (estado != QLatin1String("aborted")) {
            // No transaction number, or one too old for the server to remember: as many
            // twins as the server holds of this code, moment and direction count as there.
            const FilaMovimiento& f = filas[i];
            sinLote[f.codigo + QLatin1Char('\x1f') + PgText(Fecha(f)) + QLatin1Char('\x1f') + PgText(Hora(f))
                    + QLatin1Char('\x1f') + f.tipomvt] << i;
        }
    }
    for (const QVector<int>& gemelas : std::as_const(sinLote)) {
        const FilaMovimiento& f = filas[gemelas.first()];
        const int enServidor =
            c.exec(QStringLiteral("select count(*) from entradassalidas where icolegio=$1 and codigo is not distinct from $2"
                                  " and fecha is not distinct from $3::date and hora is not distinct from $4::time"
                                  " and tipomvt is not distinct from $5"),
                   {icolegio, f.codigo, Fecha(f), Hora(f), f.tipomvt})
                .value(0, 0)
                .toInt();
        for (int k = 0; k < gemelas.size() && k < enServidor; ++k) destino[gemelas[k]] = Publicada;
    }
    QVector<qint64> publicadas;
    QVector<FilaMovimiento> enviar;
    for (int i = 0; i < filas.size(); ++i) {
        if (destino[i] == Publicada) publicadas << filas[i].rowid;
        else if (destino[i] == Enviar) enviar << filas[i];
    }
    Marcar(dir, publicadas, kPublicado);
    return enviar;
}

// A statement that sends n movements.
QString SqlMovimientos(int n)
{
    QString valores;
    for (int i = 0; i < n; ++i) {
        const int b = i * 9;
        valores += QStringLiteral("%1($%2::integer,$%3::text,$%4::date,$%5::time,$%6::text,$%7::integer,$%8::text,"
                                  "$%9::text,$%10::text)")
                       .arg(i ? QStringLiteral(",") : QString())
                       .arg(b + 1).arg(b + 2).arg(b + 3).arg(b + 4).arg(b + 5).arg(b + 6).arg(b + 7).arg(b + 8)
                       .arg(b + 9);
    }
    return QStringLiteral("insert into entradassalidas (icolegio,codigo,fecha,hora,docident,tipodocident,nestudiante,"
                          "tipomvt,detalle) values ")
           + valores;
}

void AgregarParametros(QVariantList& p, int icolegio, const FilaMovimiento& f)
{
    p << icolegio << f.codigo << Fecha(f) << Hora(f) << f.docIdent << f.tipoDocIdent << f.nombre << f.tipomvt
      << f.detalle;
}

// Opens a transaction and writes its number on the rows it will carry, before they go.
qint64 EmpezarLote(PgConnection& c, const QString& dir, const QVector<qint64>& rowids)
{
    const qint64 lote = c.exec(QStringLiteral("select txid_current()")).value(0, 0).toLongLong();
    Marcar(dir, rowids, -lote);
    return lote;
}

// The insert of one movement as a reader of the error log wants to see it.
QString TextoSentencia(int icolegio, const FilaMovimiento& f)
{
    auto t = [](const QString& s) { return QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''); };
    return QStringLiteral("insert into entradassalidas  (icolegio,codigo,fecha,hora,docIdent,tipoDocIdent,nEstudiante,"
                          "tipoMvt,detalle) values (")
           + QString::number(icolegio) + QLatin1Char(',') + t(f.codigo) + QLatin1Char(',')
           + t(f.fecha.toString(QStringLiteral("yyyy-MM-dd"))) + QLatin1Char(',')
           + t(f.hora.toString(QStringLiteral("HH:mm:ss"))) + QLatin1Char(',') + t(f.docIdent) + QLatin1Char(',')
           + QString::number(f.tipoDocIdent) + QLatin1Char(',') + t(f.nombre) + QLatin1Char(',') + t(f.tipomvt)
           + QLatin1Char(',') + t(f.detalle) + QLatin1Char(')');
}

void Registrar(const QString& texto)
{
    try {
        AgregarLinea(MyException::logFileName(), texto);
    } catch (const MyException&) {
        // The log cannot be written: the row stays unpublished all the same.
    }
}

ResultadoSubida Terminar(ResultadoSubida r, const QString& dir)
{
    r.pendientes = MovimientosPendientes(dir);
    r.cuando = Clock::instance().now();
    emit AvisosSubida::instance().subidaTerminada(r);
    return r;
}

// One pass at a time: a timer tick can arrive while a window that publishes lets events run.
bool gPasadaEnCurso = false;
struct PasadaEnCurso {
    PasadaEnCurso() { gPasadaEnCurso = true; }
    ~PasadaEnCurso() { gPasadaEnCurso = false; }
};

} // namespace

QString TextoResultadoSubida(int enviadas, int rechazadas)
{
    if (rechazadas == 0) return QStringLiteral("Información subida a Internet");
    return QStringLiteral("Se subieron %1; el servidor rechazó %2, vea LogError.txt").arg(enviadas).arg(rechazadas);
}

int MovimientosPendientes(const QString& dir)
{
    Query q;
    EjecutarSQL(dir, q, QStringLiteral("select count(*) as n from entradassalidas where %1").arg(QLatin1String(kPendientes)));
    return int(q.fieldByName(QStringLiteral("n")).asInteger());
}

static ResultadoSubida EnCurso()
{
    ResultadoSubida r;
    r.motivo = QStringLiteral("Otra subida de movimientos está en curso.");
    return r;
}

ResultadoSubida SubirMovimientos(PgConnection& c, const QString& dir, int icolegio, const OpcionesSubida& op)
{
    if (gPasadaEnCurso) return EnCurso();
    const PasadaEnCurso enCurso;
    ResultadoSubida r;
    r.conectado = c.isOpen();
    if (!r.conectado) return Terminar(r, dir);
    // The start-up deletion of published rows is over before anything is sent again.
    CompletarBorradoPublicados();
    QVector<FilaMovimiento> filas = LeerPendientes(dir);
    if (filas.isEmpty()) return Terminar(r, dir);
    QFile::remove(MyException::logFileName());
    // The server went away or stopped answering: rows of a batch whose outcome is unknown
    // keep their transaction number; those of a batch known to be rolled back wait as new.
    auto corte = [&](const PgError& e, const QVector<qint64>& lote) {
        r.conectado = false;
        if (e.timedOut()) {
            Marcar(dir, lote, QVariant());
            r.motivo = QStringLiteral("El servidor no respondió a tiempo; los movimientos quedan pendientes.");
        } else {
            r.motivo = QStringLiteral("Se perdió la conexión con el servidor; los movimientos quedan pendientes.");
        }
    };
    try {
        filas = ResolverDudas(c, dir, icolegio, filas);
    } catch (const PgError& e) {
        corte(e, {});
        return Terminar(r, dir);
    }
    const int lote = qMax(1, op.lote);
    for (int desde = 0; desde < filas.size(); desde += lote) {
        const int n = qMin(lote, int(filas.size()) - desde);
        QVector<qint64> todas;
        QVariantList params;
        for (int i = desde; i < desde + n; ++i) {
            todas << filas[i].rowid;
            AgregarParametros(params, icolegio, filas[i]);
        }
        try {
            PgTransaction tx(c);
            EmpezarLote(c, dir, todas);
            const PgResult res = c.exec(SqlMovimientos(n), params);
            tx.commit();
            r.enviadas += res.affected();
            if (op.progreso) op.progreso(desde + n, int(filas.size()));
            Marcar(dir, todas, kPublicado);
            continue;
        } catch (const PgError& e) {
            if (e.connectionLost() || !c.isOpen() || e.timedOut()) {
                corte(e, todas);
                break;
            }
        }
        // The server refused something in this batch: row by row, so that only the
        // refused rows stay behind.
        QVector<qint64> aceptadas, rechazadas;
        try {
            PgTransaction tx(c);
            EmpezarLote(c, dir, todas);
            for (int i = desde; i < desde + n; ++i) {
                QVariantList p;
                AgregarParametros(p, icolegio, filas[i]);
                c.exec(QStringLiteral("savepoint fila"));
                try {
                    r.enviadas += c.exec(SqlMovimientos(1), p).affected();
                    c.exec(QStringLiteral("release savepoint fila"));
                    aceptadas << filas[i].rowid;
                } catch (const PgError& e) {
                    if (e.connectionLost() || e.timedOut()) throw;
                    c.exec(QStringLiteral("rollback to savepoint fila"));
                    Registrar(e.message());
                    Registrar(TextoSentencia(icolegio, filas[i]));
                    rechazadas << filas[i].rowid;
                }
            }
            tx.commit();
        } catch (const PgError& e) {
            r.enviadas -= aceptadas.size();
            corte(e, todas);
            break;
        }
        r.rechazadas += rechazadas.size();
        if (op.progreso) op.progreso(desde + n, int(filas.size()));
        Marcar(dir, aceptadas, kPublicado);
        Marcar(dir, rechazadas, QVariant());
    }
    return Terminar(r, dir);
}

ResultadoSubida SubirMovimientos()
{
    if (gPasadaEnCurso) return EnCurso();
    PgConnection c;
    ResultadoSubida r;
    const EstadoConexion e = ConectarInternet(c, &r.motivo);
    if (e != EstadoConexion::Abierta) {
        r.anioSinConfigurar = e == EstadoConexion::AnioSinConfigurar;
        return Terminar(r, TablesDir());
    }
    const TConfig config;
    return SubirMovimientos(c, TablesDir(), config.iColegio());
}

namespace {

// "($1::integer,$2::text,...)" for n rows of the given column types.
QString Valores(int n, const QStringList& tipos)
{
    QString s;
    int k = 0;
    for (int i = 0; i < n; ++i) {
        s += i ? QStringLiteral(",(") : QStringLiteral("(");
        for (int j = 0; j < tipos.size(); ++j)
            s += (j ? QStringLiteral(",$") : QStringLiteral("$")) + QString::number(++k) + QStringLiteral("::") + tipos[j];
        s += QLatin1Char(')');
    }
    return s;
}

struct Rechazo {
    int fila;         // index into the rows sent
    QString motivo;   // Spanish
};

// Why the server refused one row of `tabla`; for a value too long, which column and how
// long (an older server keeps narrow columns).
QString MotivoFila(PgConnection& c, const PgError& e, const QString& tabla, const QStringList& columnas,
                   const QVariantList& fila)
{
    if (e.sqlState() != QLatin1String("22001")) return MotivoRechazo(e);
    const PgResult anchos = c.exec(QStringLiteral("select column_name, character_maximum_length from information_schema.columns"
                                                  " where table_schema=current_schema() and table_name=$1"
                                                  " and character_maximum_length is not null"),
                                   {tabla});
    for (int i = 0; i < anchos.rows(); ++i) {
        const int j = columnas.indexOf(anchos.value(i, 0));
        const int ancho = anchos.value(i, 1).toInt();
        if (j < 0 || j >= fila.size()) continue;
        const int largo = int(fila[j].toString().toUcs4().size());
        if (largo > ancho)
            return QStringLiteral("%1 tiene %2 caracteres y el servidor admite %3").arg(columnas[j]).arg(largo).arg(ancho);
    }
    return MotivoRechazo(e);
}

// Sends the rows in multi-row inserts inside the caller's transaction; `total` is what the
// progress counts against (every local row read, so skipped rows leave the bar short of
// its end). A batch the server refuses goes again row by row, so one bad row keeps only
// itself out. A lost link or a time-out goes up: the section is then rolled back whole.
QVector<Rechazo> InsertarEnLotes(PgConnection& c, const QString& tabla, const QStringList& columnas,
                                 const QStringList& tipos, const QVector<QVariantList>& filas, int total,
                                 const Progreso& progreso)
{
    const QString cabecera = QStringLiteral("insert into %1 (%2) values ").arg(tabla, columnas.join(QLatin1Char(',')));
    const int lote = 500;
    QVector<Rechazo> rechazos;
    auto intento = [&](const QString& punto, const QString& sql, const QVariantList& p) {
        c.exec(QStringLiteral("savepoint ") + punto);
        try {
            c.exec(sql, p);
            c.exec(QStringLiteral("release savepoint ") + punto);
            return std::optional<PgError>();
        } catch (const PgError& e) {
            if (e.connectionLost() || e.timedOut()) throw;
            c.exec(QStringLiteral("rollback to savepoint ") + punto);
            return std::optional<PgError>(e);
        }
    };
    if (progreso) progreso(0, total);
    for (int desde = 0; desde < filas.size(); desde += lote) {
        const int n = qMin(lote, int(filas.size()) - desde);
        QVariantList p;
        for (int i = desde; i < desde + n; ++i) p += filas[i];
        if (intento(QStringLiteral("lote"), cabecera + Valores(n, tipos), p)) {
            for (int i = desde; i < desde + n; ++i)
                if (const auto e = intento(QStringLiteral("fila"), cabecera + Valores(1, tipos), filas[i]))
                    rechazos.push_back({i, MotivoFila(c, *e, tabla, columnas, filas[i])});
        }
        if (progreso) progreso(desde + n, total);
    }
    return rechazos;
}

} // namespace

ResultadoPersonas SubirEstudiantes(PgConnection& c, const QString& dir, int icolegio, const Progreso& progreso)
{
    Query q;
    EjecutarSQL(dir, q, QStringLiteral("delete from estudiantes where iestudiante is null and igrado is null and igrupo is null"));
    EjecutarSQL(dir, q, QStringLiteral("select codigo, iEstudiante, nestudiante, docIdent, iGrado, iGrupo, telefestud,"
                                       " acudiente, docacud, telefacudiente from estudiantes order by rowid"));
    ResultadoPersonas r;
    r.filas = q.recordCount();
    QVector<QVariantList> filas;
    for (q.first(); !q.eof(); q.next()) {
        auto s = [&q](const char* f) { return q.fieldByName(QLatin1String(f)).asString(); };
        const qint64 grado = q.fieldByName(QStringLiteral("iGrado")).asInteger();
        if (grado == -99) continue;   // kept locally, never published
        if (s("codigo").isEmpty()) {
            r.sinCodigo << s("nestudiante");
            continue;
        }
        filas.push_back({icolegio, q.fieldByName(QStringLiteral("iEstudiante")).asInteger(), s("codigo"), s("docIdent"),
                         grado, s("iGrupo"), s("nestudiante"), s("telefestud"), s("acudiente"), s("docacud"),
                         s("telefacudiente")});
    }
    // The site's old rows go only when every new one is in: readers never see half a site.
    PgTransaction tx(c);
    c.exec(QStringLiteral("delete from estudiantes where icolegio=$1"), {icolegio});
    const QVector<Rechazo> rechazos = InsertarEnLotes(
        c, QStringLiteral("estudiantes"),
        QStringLiteral("icolegio,iestudiante,codigo,docident,igrado,igrupo,nestudiante,telefestud,acudiente,docacud,"
                       "telefacudiente").split(QLatin1Char(',')),
        {QStringLiteral("integer"), QStringLiteral("integer"), QStringLiteral("text"), QStringLiteral("text"),
         QStringLiteral("integer"), QStringLiteral("text"), QStringLiteral("text"), QStringLiteral("text"),
         QStringLiteral("text"), QStringLiteral("text"), QStringLiteral("text")},
        filas, r.filas, progreso);
    GuardarNombreColegio(c, dir, icolegio);
    tx.commit();
    for (const Rechazo& x : rechazos) {
        const QVariantList& f = filas[x.fila];
        r.rechazados << TextoRechazado(f[6].toString() + QStringLiteral(" (código ") + f[2].toString() + QLatin1Char(')'),
                                       x.motivo);
        Registrar(r.rechazados.last());
    }
    r.enviadas = filas.size() - rechazos.size();
    return r;
}

ResultadoConsultantes SubirConsultantes(PgConnection& c, const QString& dir, int icolegio, const Progreso& progreso)
{
    Query q;
    EjecutarSQL(dir, q, QStringLiteral("delete from consultantes where docIdent is null"));
    EjecutarSQL(dir, q, QStringLiteral("select docIdent, nombre, clave, nivelConsulta from consultantes order by rowid"));
    ResultadoConsultantes r;
    r.filas = q.recordCount();
    QVector<QVariantList> filas;
    QHash<QString, int> porDocumento;
    QVector<int> locales;   // local rows behind each remote row
    for (q.first(); !q.eof(); q.next()) {
        const QString doc = q.fieldByName(QStringLiteral("docIdent")).asString();
        if (doc.isEmpty()) continue;
        const QString nombre = q.fieldByName(QStringLiteral("nombre")).asString();
        const qint64 nivel = q.fieldByName(QStringLiteral("nivelConsulta")).asInteger();
        ++r.enviadas;
        const auto it = porDocumento.constFind(doc);
        if (it != porDocumento.constEnd()) {
            // Same login twice: the later row's name and level, the first row's password.
            filas[*it][3] = nombre;
            filas[*it][4] = nivel;
            ++locales[*it];
            continue;
        }
        porDocumento.insert(doc, filas.size());
        locales << 1;
        filas.push_back({icolegio, doc, q.fieldByName(QStringLiteral("clave")).asString(), nombre, nivel});
    }
    PgTransaction tx(c);
    c.exec(QStringLiteral("delete from consultantes where icolegio=$1"), {icolegio});
    const QVector<Rechazo> rechazos =
        InsertarEnLotes(c, QStringLiteral("consultantes"),
                        QStringLiteral("icolegio,docident,clave,nombre,nivelconsulta").split(QLatin1Char(',')),
                        {QStringLiteral("integer"), QStringLiteral("text"), QStringLiteral("text"), QStringLiteral("text"),
                         QStringLiteral("integer")},
                        filas, r.filas, progreso);
    tx.commit();
    for (const Rechazo& x : rechazos) {
        const QVariantList& f = filas[x.fila];
        r.rechazados << TextoRechazado(f[3].toString() + QStringLiteral(" (documento ") + f[1].toString() + QLatin1Char(')'),
                                       x.motivo);
        Registrar(r.rechazados.last());
        r.enviadas -= locales[x.fila];
    }
    return r;
}

} // namespace kv
