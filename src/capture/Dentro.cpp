#include "capture/Dentro.h"
#include "base/Csv.h"
#include "capture/Capture.h"
#include "data/Query.h"
#include <algorithm>

namespace kv {

namespace {

// From the highest code down, each step seeks the last movement of the next lower code
// in the (codigo, fecha, hora) index: one seek per code instead of reading every movement.
// The order fecha, hora, rowid is the one EstaDentro uses, so both agree on "last".
const char kUltimosTodos[] =
    "with recursive ult(rid) as ("
    " select (select rowid from entradasSalidas where codigo is not null"
    "         order by codigo desc, fecha desc, hora desc, rowid desc limit 1)"
    " union all"
    " select (select x.rowid from entradasSalidas x"
    "         where x.codigo < (select y.codigo from entradasSalidas y where y.rowid = ult.rid)"
    "         order by x.codigo desc, x.fecha desc, x.hora desc, x.rowid desc limit 1)"
    " from ult where ult.rid is not null)";

// The same for one code, when a new movement arrives while the list is shown.
const char kUltimoDeUno[] =
    "with ult(rid) as ("
    " select rowid from entradasSalidas where codigo = ?"
    " order by fecha desc, hora desc, rowid desc limit 1)";

const char kFilas[] =
    " select m.codigo as codigo, m.fecha as fecha, m.hora as hora, m.nestudiante as nmovimiento,"
    " m.detalle as detalle, e.IGrado as igrado, e.IGrupo as igrupo, e.NEstudiante as nregistro,"
    " e.rowid as rowidpersona"
    " from ult join entradasSalidas m on m.rowid = ult.rid"
    " left join estudiantes e on e.rowid ="
    "   (select min(p.rowid) from estudiantes p where p.codigo = m.codigo)"
    " where m.tipomvt = 'E'";

// Sorting by a folded key is what keeps a list of tens of thousands quick; comparing
// names through the locale for every pair costs more than the statement.
QString plegar(const QString& nombre)
{
    static const QString con = QStringLiteral("ÁÀÄÂÉÈËÊÍÌÏÎÓÒÖÔÚÙÜÛÇ");
    static const QString sin = QStringLiteral("AAAAEEEEIIIIOOOOUUUUC");
    QString k;
    k.reserve(nombre.size() + 2);
    for (QChar c : nombre.toUpper()) {
        if (c == QChar(0x00D1)) {   // Ñ comes after every N
            k += QLatin1Char('N');
            k += QChar(0x7F);
            continue;
        }
        const int i = con.indexOf(c);
        k += i >= 0 ? sin.at(i) : c;
    }
    return k;
}

int grupoOrden(const PersonaDentro& p)
{
    if (p.visitante) return 2;
    return p.registrado ? 0 : 1;
}

} // namespace

QString DependenciaDelDetalle(const QString& detalle, const QStringList& dependencias)
{
    static const QString prefijo = QStringLiteral("Dependencia a donde se dirige:");
    if (!detalle.startsWith(prefijo)) return QString();
    const QString resto = detalle.mid(prefijo.size());
    QString mejor;
    for (const QString& d : dependencias)
        if (!d.isEmpty() && resto.startsWith(d) && d.size() > mejor.size()) mejor = d;
    if (!mejor.isEmpty()) return mejor;
    return resto.section(QLatin1Char('\n'), 0, 0).trimmed();
}

namespace {

// The stored text "yyyy-mm-dd" / "hh:mm:ss" read digit by digit: tens of thousands of rows
// through the general parsers would cost more than the statement itself.
int digitos(const QString& t, int from, int n)
{
    int v = 0;
    for (int i = from; i < from + n; ++i) {
        const char16_t c = t.at(i).unicode();
        if (c < u'0' || c > u'9') return -1;
        v = v * 10 + (c - u'0');
    }
    return v;
}

QDate fecha(const QVariant& v, FieldType tipo)
{
    const QString t = v.toString();
    if (t.size() == 10 && t.at(4) == QLatin1Char('-') && t.at(7) == QLatin1Char('-')) {
        const int y = digitos(t, 0, 4), m = digitos(t, 5, 2), d = digitos(t, 8, 2);
        if (y >= 0 && m >= 0 && d >= 0) return QDate(y, m, d);
    }
    return Field(QString(), tipo, v).asDate();
}

QTime hora(const QVariant& v, FieldType tipo)
{
    const QString t = v.toString();
    if (t.size() == 8 && t.at(2) == QLatin1Char(':') && t.at(5) == QLatin1Char(':')) {
        const int h = digitos(t, 0, 2), m = digitos(t, 3, 2), s = digitos(t, 6, 2);
        if (h >= 0 && m >= 0 && s >= 0) return QTime(h, m, s);
    }
    return Field(QString(), tipo, v).asTime();
}

// Appends the rows of a query made of one of the "ult" heads and kFilas.
void leerFilas(Query& q, const QString& tablesDir, QVector<PersonaDentro>& filas)
{
    const ResultSet& rs = q.result();
    enum { Codigo, Fecha, Hora, NMov, Detalle, IGrado, IGrupo, NReg, RowidPersona, N };
    static const char* const nombres[N] = {"codigo", "fecha", "hora", "nmovimiento", "detalle",
                                           "igrado", "igrupo", "nregistro", "rowidpersona"};
    int col[N];
    for (int i = 0; i < N; ++i) col[i] = rs.columnIndex(QString::fromLatin1(nombres[i]));
    QStringList dependencias;
    bool dependenciasLeidas = false;
    for (const QVector<QVariant>& row : rs.rows) {
        PersonaDentro p;
        p.codigo = row[col[Codigo]].toString();
        p.fecha = fecha(row[col[Fecha]], rs.columns[col[Fecha]].type);
        p.hora = hora(row[col[Hora]], rs.columns[col[Hora]].type);
        p.visitante = EsCodigoVisitante(p.codigo);
        p.registrado = !p.visitante && !row[col[RowidPersona]].isNull();
        if (p.registrado) {
            p.nombre = row[col[NReg]].toString();
            p.igrado = row[col[IGrado]].toString();
            p.igrupo = row[col[IGrupo]].toString();
        } else {
            p.nombre = row[col[NMov]].toString();
        }
        p.claveNombre = plegar(p.nombre);
        if (p.visitante) {
            if (!dependenciasLeidas) {
                dependencias = Dependencias(tablesDir);
                dependenciasLeidas = true;
            }
            p.dependencia = DependenciaDelDetalle(row[col[Detalle]].toString(), dependencias);
        }
        filas.append(p);
    }
}

// Category order of the totals: numbers as numbers.
bool gradoAntes(const QString& a, const QString& b)
{
    bool okA = false, okB = false;
    const int ga = a.toInt(&okA), gb = b.toInt(&okB);
    if (okA && okB) return ga < gb;
    return a < b;
}

bool antes(const PersonaDentro& a, const PersonaDentro& b)
{
    if (grupoOrden(a) != grupoOrden(b)) return grupoOrden(a) < grupoOrden(b);
    if (a.igrado != b.igrado) return gradoAntes(a.igrado, b.igrado);
    if (a.igrupo != b.igrupo) return a.igrupo < b.igrupo;
    if (a.claveNombre != b.claveNombre) return a.claveNombre < b.claveNombre;
    return a.codigo < b.codigo;
}

void totalizar(ListaDentro& l)
{
    l.personas = l.visitantes = 0;
    l.totales.clear();
    // The rows are already in category and group order: one pass gives the totals.
    int cat = -1;
    for (const PersonaDentro& p : l.filas) {
        ++(p.visitante ? l.visitantes : l.personas);
        if (!p.registrado) continue;
        if (cat < 0 || l.totales[cat].igrado != p.igrado) {
            l.totales.append({p.igrado, QString(), 0, true});
            cat = int(l.totales.size()) - 1;
        }
        if (l.totales.last().esCategoria || l.totales.last().igrupo != p.igrupo)
            l.totales.append({p.igrado, p.igrupo, 0, false});
        ++l.totales[cat].cantidad;
        ++l.totales.last().cantidad;
    }
}

// Adds delta to the counts and totals of one row, making or dropping its total lines, so
// a list kept on screen follows a capture without a pass over all its rows.
void contar(ListaDentro& l, const PersonaDentro& p, int delta)
{
    (p.visitante ? l.visitantes : l.personas) += delta;
    if (!p.registrado) return;
    QVector<TotalDentro>& t = l.totales;
    int cat = 0;
    while (cat < t.size() && !(t[cat].esCategoria && t[cat].igrado == p.igrado)
           && !(t[cat].esCategoria && gradoAntes(p.igrado, t[cat].igrado)))
        ++cat;
    if (cat == t.size() || t[cat].igrado != p.igrado) {
        if (delta < 0) return;
        t.insert(cat, {p.igrado, QString(), 0, true});
    }
    int grp = cat + 1;
    while (grp < t.size() && !t[grp].esCategoria && t[grp].igrupo < p.igrupo) ++grp;
    if (grp == t.size() || t[grp].esCategoria || t[grp].igrupo != p.igrupo) {
        if (delta < 0) return;
        t.insert(grp, {p.igrado, p.igrupo, 0, false});
    }
    t[cat].cantidad += delta;
    t[grp].cantidad += delta;
    if (t[grp].cantidad <= 0) t.removeAt(grp);
    if (t[cat].cantidad <= 0) t.removeAt(cat);
}

// Order, counts and totals of the rows.
void ordenar(ListaDentro& l)
{
    std::sort(l.filas.begin(), l.filas.end(), antes);
    l.clavesCodigo.clear();
    l.clavesCodigo.reserve(l.filas.size());
    for (const PersonaDentro& p : std::as_const(l.filas)) l.clavesCodigo.append(qHash(p.codigo));
    totalizar(l);
}

} // namespace

ListaDentro PersonasDentro(const QString& tablesDir)
{
    Query q;
    EjecutarSQL(tablesDir, q, QString::fromLatin1(kUltimosTodos) + QString::fromLatin1(kFilas));
    ListaDentro l;
    l.filas.reserve(q.recordCount());
    leerFilas(q, tablesDir, l.filas);
    ordenar(l);
    return l;
}

void ActualizarDentro(ListaDentro& l, const QString& tablesDir, const QVector<qint64>& rowids)
{
    if (rowids.isEmpty()) return;
    QString marcas;
    QVariantList ids;
    for (qint64 id : rowids) {
        marcas += marcas.isEmpty() ? QStringLiteral("?") : QStringLiteral(",?");
        ids << id;
    }
    Query c;
    EjecutarSQL(tablesDir, c,
                QStringLiteral("select distinct codigo from entradasSalidas where rowid in (%1)").arg(marcas), ids);
    for (c.first(); !c.eof(); c.next()) {
        const QString codigo = c.fieldByName(QStringLiteral("codigo")).asString();
        const size_t clave = qHash(codigo);
        for (int i = int(l.clavesCodigo.size()) - 1; i >= 0; --i)
            if (l.clavesCodigo[i] == clave && l.filas[i].codigo == codigo) {
                contar(l, l.filas[i], -1);
                l.filas.removeAt(i);
                l.clavesCodigo.removeAt(i);
            }
        Query q;
        EjecutarSQL(tablesDir, q, QString::fromLatin1(kUltimoDeUno) + QString::fromLatin1(kFilas), {codigo});
        QVector<PersonaDentro> nuevas;
        leerFilas(q, tablesDir, nuevas);
        // Put in its place: the rest of the list is already in order.
        for (const PersonaDentro& p : nuevas) {
            const auto donde = std::upper_bound(l.filas.begin(), l.filas.end(), p, antes) - l.filas.begin();
            l.filas.insert(donde, p);
            l.clavesCodigo.insert(donde, qHash(p.codigo));
            contar(l, p, +1);
        }
    }
}

QString TextoTotalDentro(int personas, int visitantes)
{
    return QStringLiteral("Dentro: %1 %2 y %3 %4")
        .arg(personas)
        .arg(personas == 1 ? QStringLiteral("persona") : QStringLiteral("personas"))
        .arg(visitantes)
        .arg(visitantes == 1 ? QStringLiteral("visitante") : QStringLiteral("visitantes"));
}

QString DentroCSV(const ListaDentro& lista, QChar sep)
{
    const QStringList cabecera = {QStringLiteral("Código"), QStringLiteral("Nombre"), QStringLiteral("Categoría"),
                                  QStringLiteral("Grupo"), QStringLiteral("Dependencia"), QStringLiteral("Fecha"),
                                  QStringLiteral("Hora")};
    QString out = cabecera.join(sep) + QLatin1Char('\n');
    for (const PersonaDentro& p : lista.filas) {
        const QStringList c = {p.codigo,
                               p.nombre,
                               p.visitante ? QStringLiteral("Visitante") : p.igrado,
                               p.igrupo,
                               p.dependencia,
                               p.fecha.toString(QStringLiteral("yyyy-MM-dd")),
                               p.hora.toString(QStringLiteral("HH:mm:ss"))};
        out += CsvLinea(c, sep) + QLatin1Char('\n');
    }
    return out;
}

} // namespace kv
