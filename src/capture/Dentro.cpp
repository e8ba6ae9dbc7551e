#include "capture/Dentro.h"
#include "base/Csv.h"
#include "capture/Capture.h"
#include "data/Database.h"
#include "data/Query.h"
#include "data/Schema.h"
#include <QSet>
#include <algorithm>

namespace kv {

namespace {

// Who is inside: the codes whose last movement is an entry, from the table the triggers
// keep. A site whose table cannot be trusted (opened read-only before it was upgraded)
// walks the movements index instead, which gives the same rows more slowly.
const char kUltimasEntradas[] = "with ult(rid) as (select rid from ultimosMovimientos where tipomvt = 'E')";

// The last movement of the code of one stored movement, when a capture arrives while the
// list is shown: one statement gives the code, its last movement and its person. Read
// through the index, it needs nothing the triggers keep.
const char kUltimoDeFila[] =
    "with ult(rid) as ("
    " select x.rowid from entradasSalidas x"
    " where x.codigo = (select y.codigo from entradasSalidas y where y.rowid = ?)"
    " order by x.fecha desc, x.hora desc, x.rowid desc limit 1)";

const char kFilas[] =
    " select m.codigo as codigo, m.fecha as fecha, m.hora as hora, m.nestudiante as nmovimiento,"
    " m.detalle as detalle, e.IGrado as igrado, e.IGrupo as igrupo, e.NEstudiante as nregistro,"
    " e.rowid as rowidpersona, m.tipomvt as tipomvt"
    " from ult join entradasSalidas m on m.rowid = ult.rid"
    " left join estudiantes e on e.rowid ="
    "   (select min(p.rowid) from estudiantes p where p.codigo = m.codigo)";
const char kSoloEntradas[] = " where m.tipomvt = 'E'";

// Sorting by a folded key is what keeps a list of tens of thousands quick; comparing
// names through the locale for every pair costs more than the statement.
QString plegar(const QString& nombre)
{
    static const QString con = QStringLiteral("ÁÀÄÂÉÈËÊÍÌÏÎÓÒÖÔÚÙÜÛÇ");
    static const QString sin = QStringLiteral("AAAAEEEEIIIIOOOOUUUUC");
    QString k;
    k.reserve(nombre.size() + 2);
    for (QChar c : nombre) {
        const char16_t u = c.unicode();
        if (u < 0x80) {   // most names are plain ASCII: no table, no locale
            k += QChar(u >= u'a' && u <= u'z' ? char16_t(u - 32) : u);
            continue;
        }
        c = c.toUpper();
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

// Reads one row of a query made of one of the "ult" heads and kFilas.
class LectorFilas {
public:
    LectorFilas(const ResultSet& rs, const QString& tablesDir) : rs_(rs), tablesDir_(tablesDir)
    {
        static const char* const nombres[N] = {"codigo", "fecha", "hora", "nmovimiento", "detalle",
                                               "igrado", "igrupo", "nregistro", "rowidpersona", "tipomvt"};
        for (int i = 0; i < N; ++i) col_[i] = rs.columnIndex(QString::fromLatin1(nombres[i]));
    }
    QString codigo(int r) const { return rs_.rows[r][col_[Codigo]].toString(); }
    bool entrada(int r) const { return rs_.rows[r][col_[Tipo]].toString() == QLatin1String("E"); }

    PersonaDentro persona(int r)
    {
        const QVector<QVariant>& row = rs_.rows[r];
        PersonaDentro p;
        p.codigo = row[col_[Codigo]].toString();
        p.fecha = fecha(row[col_[Fecha]], rs_.columns[col_[Fecha]].type);
        p.hora = hora(row[col_[Hora]], rs_.columns[col_[Hora]].type);
        p.visitante = EsCodigoVisitante(p.codigo);
        p.registrado = !p.visitante && !row[col_[RowidPersona]].isNull();
        if (p.registrado) {
            p.nombre = row[col_[NReg]].toString();
            p.igrado = row[col_[IGrado]].toString();
            p.igrupo = row[col_[IGrupo]].toString();
        } else {
            p.nombre = row[col_[NMov]].toString();
        }
        p.claveNombre = plegar(p.nombre);
        if (p.visitante) {
            if (!dependenciasLeidas_) {
                dependencias_ = Dependencias(tablesDir_);
                dependenciasLeidas_ = true;
            }
            p.dependencia = DependenciaDelDetalle(row[col_[Detalle]].toString(), dependencias_);
        }
        return p;
    }

private:
    enum { Codigo, Fecha, Hora, NMov, Detalle, IGrado, IGrupo, NReg, RowidPersona, Tipo, N };
    const ResultSet& rs_;
    QString tablesDir_;
    int col_[N];
    QStringList dependencias_;
    bool dependenciasLeidas_ = false;
};

// Category order of the totals: numbers as numbers.
bool gradoAntes(const QString& a, const QString& b)
{
    bool okA = false, okB = false;
    const int ga = a.toInt(&okA), gb = b.toInt(&okB);
    if (okA && okB) return ga < gb;
    return a < b;
}

void totalizar(ListaDentro& l)
{
    l.personas = l.visitantes = l.fueraDelRegistro = 0;
    l.totales.clear();
    // The rows are already in category and group order: one pass gives the totals.
    int cat = -1;
    for (const PersonaDentro& p : l.filas) {
        ++(p.visitante ? l.visitantes : l.personas);
        if (!p.registrado) {
            l.fueraDelRegistro += !p.visitante;
            continue;
        }
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
    if (!p.registrado) {
        if (!p.visitante) l.fueraDelRegistro += delta;
        return;
    }
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

} // namespace

// A row and what orders it, worked out once when it enters the list: comparing two rows
// never parses a category again.
struct FilasDentro::Fila {
    PersonaDentro p;
    int grupo = 0;          // registered, no longer registered, visitor
    bool gradoNumero = false;
    int grado = 0;

    explicit Fila(PersonaDentro persona) : p(std::move(persona))
    {
        grupo = p.visitante ? 2 : p.registrado ? 0 : 1;
        grado = p.igrado.toInt(&gradoNumero);
    }
    static bool antes(const Fila* a, const Fila* b)
    {
        if (a->grupo != b->grupo) return a->grupo < b->grupo;
        if (a->p.igrado != b->p.igrado)
            return a->gradoNumero && b->gradoNumero ? a->grado < b->grado : a->p.igrado < b->p.igrado;
        if (a->p.igrupo != b->p.igrupo) return a->p.igrupo < b->p.igrupo;
        if (a->p.claveNombre != b->p.claveNombre) return a->p.claveNombre < b->p.claveNombre;
        return a->p.codigo < b->p.codigo;
    }
};

FilasDentro::const_iterator::reference FilasDentro::const_iterator::operator*() const { return (*f_)->p; }

FilasDentro::FilasDentro(const FilasDentro& o) { *this = o; }

FilasDentro& FilasDentro::operator=(const FilasDentro& o)
{
    if (this == &o) return *this;
    clear();
    orden_.reserve(o.orden_.size());
    for (const Fila* f : o.orden_) {
        orden_.append(new Fila(*f));
        indexar(orden_.last());
    }
    return *this;
}

FilasDentro& FilasDentro::operator=(FilasDentro&& o) noexcept
{
    if (this == &o) return *this;
    clear();
    orden_ = std::move(o.orden_);
    porCodigo_ = std::move(o.porCodigo_);
    o.orden_.clear();
    o.porCodigo_.clear();
    return *this;
}

FilasDentro::~FilasDentro() { clear(); }

void FilasDentro::clear()
{
    qDeleteAll(orden_);
    orden_.clear();
    porCodigo_.clear();
}

const PersonaDentro& FilasDentro::operator[](int i) const { return orden_.at(i)->p; }

void FilasDentro::indexar(Fila* f) { porCodigo_.insert(f->p.codigo, f); }

FilasDentro& FilasDentro::operator<<(const PersonaDentro& p)
{
    orden_.append(new Fila(p));
    indexar(orden_.last());
    return *this;
}

int FilasDentro::insertar(PersonaDentro p, const std::function<void(int)>& antesDePoner)
{
    auto* f = new Fila(std::move(p));
    const int i = int(std::upper_bound(orden_.begin(), orden_.end(), f, &Fila::antes) - orden_.begin());
    if (antesDePoner) antesDePoner(i);
    orden_.insert(i, f);
    indexar(f);
    return i;
}

int FilasDentro::buscar(const QString& codigo) const
{
    const Fila* f = porCodigo_.value(codigo);
    if (!f) return -1;
    // The rows are in order: the row's own key finds its place. A list appended out of
    // order is searched row by row.
    const auto it = std::lower_bound(orden_.begin(), orden_.end(), f, &Fila::antes);
    if (it != orden_.end() && *it == f) return int(it - orden_.begin());
    return int(orden_.indexOf(const_cast<Fila*>(f)));
}

PersonaDentro FilasDentro::quitar(int i)
{
    Fila* f = orden_.takeAt(i);
    auto h = porCodigo_.find(f->p.codigo);
    if (h != porCodigo_.end() && h.value() == f) porCodigo_.erase(h);
    PersonaDentro p = std::move(f->p);
    delete f;
    return p;
}

void FilasDentro::ordenar() { std::sort(orden_.begin(), orden_.end(), &Fila::antes); }

ListaDentro PersonasDentro(const QString& tablesDir)
{
    const std::shared_ptr<Database> db = Database::forDirectory(tablesDir);
    const QString cabeza = ultimosAlDia(*db) ? QString::fromLatin1(kUltimasEntradas) : sqlUltimosPorIndice();
    Query q;
    q.setDatabase(db);
    q.setSql(cabeza + QString::fromLatin1(kFilas) + QString::fromLatin1(kSoloEntradas));
    q.open();
    ListaDentro l;
    LectorFilas lector(q.result(), tablesDir);
    for (int r = 0; r < q.recordCount(); ++r) l.filas << lector.persona(r);
    l.filas.ordenar();
    totalizar(l);
    l.sitio = q.database();
    l.sitioDir = tablesDir;
    return l;
}

void ActualizarDentro(ListaDentro& l, const QString& tablesDir, const QVector<qint64>& rowids, ObservadorDentro* obs)
{
    QSet<QString> hechos;
    // The site the list was read from answers at once; finding it by its folder again asks
    // the file system several times, which costs a capture nearly what the statement does.
    Query q;
    if (l.sitio && l.sitioDir == tablesDir) q.setDatabase(l.sitio);
    else q.setDirectory(tablesDir);
    for (qint64 rowid : rowids) {
        q.setSql(QString::fromLatin1(kUltimoDeFila) + QString::fromLatin1(kFilas));
        q.open({rowid});
        if (q.isEmpty()) continue;   // a row already gone
        LectorFilas lector(q.result(), tablesDir);
        const QString codigo = lector.codigo(0);
        // Several rows of one code in a batch: its last movement is read once.
        if (hechos.contains(codigo)) continue;
        hechos.insert(codigo);
        const int antes = l.filas.buscar(codigo);
        if (antes >= 0) {
            if (obs) obs->antesDeQuitar(antes);
            contar(l, l.filas.quitar(antes), -1);
            if (obs) obs->quitada();
        }
        if (!lector.entrada(0)) continue;
        PersonaDentro p = lector.persona(0);
        contar(l, p, +1);
        l.filas.insertar(std::move(p), [obs](int fila) {
            if (obs) obs->antesDePoner(fila);
        });
        if (obs) obs->puesta();
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
