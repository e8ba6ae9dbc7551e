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

namespace kv {

AvisosSubida& AvisosSubida::instance()
{
    static AvisosSubida a;
    return a;
}

namespace {

// Local mark of a movement: empty or 0 not sent, 1 published, 2 sent by a pass that never
// learnt whether the server committed it.
constexpr int kPublicado = 1;
constexpr int kEnDuda = 2;

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
    bool enDuda = false;
};

QVector<FilaMovimiento> LeerPendientes(const QString& dir)
{
    Query q;
    EjecutarSQL(dir, q, QStringLiteral("select rowid as fila, codigo, fecha, hora, docIdent, tipoDocIdent, nestudiante,"
                                       " tipomvt, detalle, case when subido=%1 then 1 else 0 end as duda from entradassalidas"
                                       " where subido is null or subido<>%2 order by rowid")
                            .arg(kEnDuda).arg(kPublicado));
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
        f.enDuda = q.fieldByName(QStringLiteral("duda")).asInteger() != 0;
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

// A statement that sends n movements. A row in doubt is only inserted when the server
// does not hold it yet, so an interrupted pass never gives a movement twice.
QString SqlMovimientos(int n)
{
    QString valores;
    for (int i = 0; i < n; ++i) {
        const int b = i * 10;
        valores += QStringLiteral("%1($%2::integer,$%3::text,$%4::date,$%5::time,$%6::text,$%7::integer,$%8::text,"
                                  "$%9::text,$%10::text,$%11::boolean)")
                       .arg(i ? QStringLiteral(",") : QString())
                       .arg(b + 1).arg(b + 2).arg(b + 3).arg(b + 4).arg(b + 5).arg(b + 6).arg(b + 7).arg(b + 8)
                       .arg(b + 9).arg(b + 10);
    }
    return QStringLiteral("insert into entradassalidas (icolegio,codigo,fecha,hora,docident,tipodocident,nestudiante,"
                          "tipomvt,detalle) select v.i,v.c,v.f,v.h,v.d,v.t,v.n,v.m,v.x from (values ")
           + valores
           + QStringLiteral(") as v(i,c,f,h,d,t,n,m,x,duda) where not (v.duda and exists (select 1 from entradassalidas e"
                            " where e.icolegio=v.i and e.codigo=v.c and e.fecha=v.f and e.hora=v.h and e.tipomvt=v.m))");
}

void AgregarParametros(QVariantList& p, int icolegio, const FilaMovimiento& f)
{
    p << icolegio << f.codigo << (f.fecha.isValid() ? QVariant(f.fecha) : QVariant())
      << (f.hora.isValid() ? QVariant(f.hora) : QVariant()) << f.docIdent << f.tipoDocIdent << f.nombre << f.tipomvt
      << f.detalle << f.enDuda;
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

} // namespace

int MovimientosPendientes(const QString& dir)
{
    Query q;
    EjecutarSQL(dir, q, QStringLiteral("select count(*) as n from entradassalidas where subido is null or subido<>1"));
    return int(q.fieldByName(QStringLiteral("n")).asInteger());
}

ResultadoSubida SubirMovimientos(PgConnection& c, const QString& dir, int icolegio, const OpcionesSubida& op)
{
    ResultadoSubida r;
    r.conectado = c.isOpen();
    if (!r.conectado) return Terminar(r, dir);
    // The start-up deletion of published rows is over before anything is sent again.
    CompletarBorradoPublicados();
    const QVector<FilaMovimiento> filas = LeerPendientes(dir);
    if (filas.isEmpty()) return Terminar(r, dir);
    QFile::remove(MyException::logFileName());
    const int lote = qMax(1, op.lote);
    for (int desde = 0; desde < filas.size(); desde += lote) {
        const int n = qMin(lote, int(filas.size()) - desde);
        QVector<qint64> todas, nuevas;
        QVariantList params;
        for (int i = desde; i < desde + n; ++i) {
            todas << filas[i].rowid;
            if (!filas[i].enDuda) nuevas << filas[i].rowid;
            AgregarParametros(params, icolegio, filas[i]);
        }
        // Written before sending: should the desk or the link die before the answer comes,
        // the next pass knows these rows may already be on the server.
        Marcar(dir, nuevas, kEnDuda);
        try {
            PgTransaction tx(c);
            const PgResult res = c.exec(SqlMovimientos(n), params);
            tx.commit();
            r.enviadas += res.affected();
            if (op.progreso) op.progreso(desde + n, int(filas.size()));
            Marcar(dir, todas, kPublicado);
            continue;
        } catch (const PgError& e) {
            if (e.connectionLost() || !c.isOpen()) {
                r.conectado = false;
                break;
            }
        }
        // The server refused something in this batch: row by row, so that only the
        // refused rows stay behind.
        QVector<qint64> aceptadas, rechazadas;
        try {
            PgTransaction tx(c);
            for (int i = desde; i < desde + n; ++i) {
                QVariantList p;
                AgregarParametros(p, icolegio, filas[i]);
                c.exec(QStringLiteral("savepoint fila"));
                try {
                    r.enviadas += c.exec(SqlMovimientos(1), p).affected();
                    c.exec(QStringLiteral("release savepoint fila"));
                    aceptadas << filas[i].rowid;
                } catch (const PgError& e) {
                    if (e.connectionLost()) throw;
                    c.exec(QStringLiteral("rollback to savepoint fila"));
                    Registrar(e.message());
                    Registrar(TextoSentencia(icolegio, filas[i]));
                    rechazadas << filas[i].rowid;
                }
            }
            tx.commit();
        } catch (const PgError&) {
            r.conectado = false;
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
    // A timer tick can arrive while a window that publishes lets events run; one pass at a
    // time is enough.
    static bool enCurso = false;
    if (enCurso) return ResultadoSubida{};
    enCurso = true;
    struct Fin { ~Fin() { enCurso = false; } } fin;
    PgConnection c;
    const EstadoConexion e = ConectarInternet(c);
    if (e != EstadoConexion::Abierta) {
        ResultadoSubida r;
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

// Sends the rows in multi-row inserts; `total` is what the progress counts against (every
// local row read, so skipped rows leave the bar short of its end).
void InsertarEnLotes(PgConnection& c, const QString& cabecera, const QStringList& tipos,
                     const QVector<QVariantList>& filas, int total, const Progreso& progreso)
{
    const int lote = 500;
    if (progreso) progreso(0, total);
    for (int desde = 0; desde < filas.size(); desde += lote) {
        const int n = qMin(lote, int(filas.size()) - desde);
        QVariantList p;
        for (int i = desde; i < desde + n; ++i) p += filas[i];
        c.exec(cabecera + Valores(n, tipos), p);
        if (progreso) progreso(desde + n, total);
    }
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
    InsertarEnLotes(c, QStringLiteral("insert into estudiantes (icolegio,iestudiante,codigo,docident,igrado,igrupo,"
                                      "nestudiante,telefestud,acudiente,docacud,telefacudiente) values "),
                    {QStringLiteral("integer"), QStringLiteral("integer"), QStringLiteral("text"), QStringLiteral("text"),
                     QStringLiteral("integer"), QStringLiteral("text"), QStringLiteral("text"), QStringLiteral("text"),
                     QStringLiteral("text"), QStringLiteral("text"), QStringLiteral("text")},
                    filas, r.filas, progreso);
    GuardarNombreColegio(c, dir, icolegio);
    tx.commit();
    r.enviadas = filas.size();
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
            continue;
        }
        porDocumento.insert(doc, filas.size());
        filas.push_back({icolegio, doc, q.fieldByName(QStringLiteral("clave")).asString(), nombre, nivel});
    }
    PgTransaction tx(c);
    c.exec(QStringLiteral("delete from consultantes where icolegio=$1"), {icolegio});
    InsertarEnLotes(c, QStringLiteral("insert into consultantes (icolegio,docident,clave,nombre,nivelconsulta) values "),
                    {QStringLiteral("integer"), QStringLiteral("text"), QStringLiteral("text"), QStringLiteral("text"),
                     QStringLiteral("integer")},
                    filas, r.filas, progreso);
    tx.commit();
    return r;
}

} // namespace kv
