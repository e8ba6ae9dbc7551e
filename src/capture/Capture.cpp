#include "capture/Capture.h"
#include "publish/Publicados.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "data/TableCursor.h"
#include "base/Clock.h"
#include "base/MyException.h"
#include <QDir>

namespace kv {

bool EsCodigoVisitante(const QString& codigo)
{
    // Plain ASCII upper-casing: a letter such as 'ı' or 'ſ' must not turn a code into a badge.
    static const char kVisit[] = "VISIT";
    if (codigo.size() < 5) return false;
    for (int i = 0; i < 5; ++i) {
        const char16_t c = codigo.at(i).unicode();
        const char16_t up = (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
        if (up != char16_t(kVisit[i])) return false;
    }
    return true;
}

std::optional<PersonaCaptura> BuscarPersona(const QString& tablesDir, const QString& codigo)
{
    // A person registered without a code must not be let in by an empty Enter.
    if (codigo.isEmpty()) return std::nullopt;
    Query q;
    EjecutarSQL(tablesDir, q,
                QStringLiteral("select igrado, igrupo, nestudiante, idFoto, docIdent, tipoDocIdent"
                               " from estudiantes"
                               " where codigo=? and (situacion!='SUSPENDIDO' or situacion is null or situacion='')"
                               " order by rowid limit 1"),
                {codigo});
    if (q.isEmpty()) return std::nullopt;
    q.first();
    PersonaCaptura p;
    p.igrado = q.fieldByName(QStringLiteral("igrado")).asString();
    p.igrupo = q.fieldByName(QStringLiteral("igrupo")).asString();
    p.nestudiante = q.fieldByName(QStringLiteral("nestudiante")).asString();
    p.idFoto = q.fieldByName(QStringLiteral("idFoto")).asString();
    p.docIdent = q.fieldByName(QStringLiteral("docIdent")).asString();
    p.tipoDocIdent = int(q.fieldByName(QStringLiteral("tipoDocIdent")).asInteger());
    return p;
}

bool EstaDentro(const QString& tablesDir, const QString& codigo, UltimoMovimiento* ultimo)
{
    // While the start-up deletion of published rows runs, this code's own go first: the
    // direction is decided as if the deletion were over.
    BorrarPublicadosDeCodigo(tablesDir, codigo);
    // Walks the index on (codigo, fecha, hora) backwards and stops at the first row, so the
    // cost does not grow with the number of stored movements; rowid breaks ties within a second.
    Query q;
    EjecutarSQL(tablesDir, q,
                QStringLiteral("select tipoDocIdent, docIdent, nestudiante, tipomvt, fecha, hora from entradasSalidas"
                               " where codigo=? order by fecha desc, hora desc, rowid desc limit 1"),
                {codigo});
    if (q.isEmpty()) return false;
    q.first();
    if (ultimo) {
        ultimo->tipoDocIdent = int(q.fieldByName(QStringLiteral("tipoDocIdent")).asInteger());
        ultimo->docIdent = q.fieldByName(QStringLiteral("docIdent")).asString();
        ultimo->nestudiante = q.fieldByName(QStringLiteral("nestudiante")).asString();
        ultimo->fecha = q.fieldByName(QStringLiteral("fecha")).asDate();
        ultimo->hora = q.fieldByName(QStringLiteral("hora")).asTime();
    }
    return q.fieldByName(QStringLiteral("tipomvt")).asString() == QLatin1String("E");
}

QDateTime RegistrarMovimiento(const QString& tablesDir, const Movimiento& m)
{
    // The field holds so many characters: a longer code (a badge written by hand) would be
    // stored whole and then refused by every publication, so it is refused here.
    const int ancho = fieldWidth(QStringLiteral("entradasSalidas"), QStringLiteral("codigo"));
    if (ancho > 0 && m.codigo.size() > ancho)
        throw MyException(TextoCodigoLargo(ancho));
    // One reading: a scan at midnight must not get one day's date with the next day's time.
    const QDateTime ahora = Clock::instance().now();
    const bool visitante = EsCodigoVisitante(m.codigo);
    const bool entrada = m.modo == QLatin1String("E");
    // The detail box belongs to a visitor's entry (destination and reason) and to a
    // person's exit (reason of leaving); every other movement has no detail.
    const bool conDetalle = entrada ? visitante : !visitante;
    Query q;
    EjecutarSQL(tablesDir, q,
                QStringLiteral("insert into entradasSalidas"
                               " (codigo, fecha, hora, tipoDocIdent, docIdent, nestudiante, tipomvt, detalle)"
                               " values (?, ?, ?, ?, ?, ?, ?, ?)"),
                {m.codigo, ahora.date(), ahora.time(), m.tipoDocIdent, m.docIdent, m.nombre,
                 entrada ? QStringLiteral("E") : QStringLiteral("S"),
                 conDetalle ? QVariant(m.detalleMemo) : QVariant()});
    return ahora;
}

std::optional<int> LecturaRepetida(const QDate& fecha, const QTime& hora, const QDateTime& ahora,
                                   int segundosRepetida)
{
    if (segundosRepetida <= 0 || !fecha.isValid() || !hora.isValid() || !ahora.isValid()) return std::nullopt;
    // Wall-clock arithmetic on the stored date and time, so a pair of reads around
    // midnight is seen as the seconds apart they really are.
    const qint64 segundos = fecha.daysTo(ahora.date()) * 86400 + hora.secsTo(ahora.time());
    if (segundos < 0 || segundos >= segundosRepetida) return std::nullopt;
    return int(segundos);
}

QString TextoLecturaRepetida(int segundos)
{
    return QStringLiteral("Lectura repetida: ya registrado hace %1 s").arg(segundos);
}

void BorrarMovimientosSubidos(const QString& tablesDir)
{
    IniciarBorradoPublicados(tablesDir);
    CompletarBorradoPublicados();
}

QString TextoNombreCaptura(const QString& codigo, const PersonaCaptura& p)
{
    return codigo + QLatin1Char(' ') + p.nestudiante + p.igrado + QStringLiteral(" - ") + p.igrupo;
}

void RegistrarCodigoInvalido(const QString& codigo)
{
    AgregarLinea(ArchivoCodigosInvalidos(), codigo);
}

QStringList TiposDocIdent()
{
    return {QStringLiteral("Cédula"), QStringLiteral("Tarjeta de Identidad"), QStringLiteral("Cédula de extranjería"),
            QStringLiteral("Sin documento"), QStringLiteral("Registro civil")};
}

std::optional<Visitante> BuscarVisitante(const QString& tablesDir, const QString& docIdent)
{
    Query q;
    EjecutarSQL(tablesDir, q,
                QStringLiteral("select docIdent, tipoDocIdent, nombre from visitantes where docIdent=? order by rowid limit 1"),
                {docIdent});
    if (q.isEmpty()) return std::nullopt;
    q.first();
    Visitante v;
    v.docIdent = q.fieldByName(QStringLiteral("docIdent")).asString();
    v.tipoDocIdent = int(q.fieldByName(QStringLiteral("tipoDocIdent")).asInteger());
    v.nombre = q.fieldByName(QStringLiteral("nombre")).asString();
    return v;
}

QStringList Dependencias(const QString& tablesDir)
{
    Query q;
    EjecutarSQL(tablesDir, q, QStringLiteral("select ndependencia from dependencias order by rowid"));
    QStringList l;
    for (q.first(); !q.eof(); q.next()) {
        const QString d = q.fieldByName(QStringLiteral("ndependencia")).asString();
        if (!l.contains(d)) l << d;
    }
    return l;
}

void ActualizarVisitante(TableCursor& tbl, const Visitante& v, const QString& observaciones)
{
    const QDateTime ahora = Clock::instance().now();
    if (tbl.locate(QStringLiteral("docIdent"), {v.docIdent})) tbl.edit();
    else tbl.append();
    try {
        tbl.setFieldValue(QStringLiteral("docIdent"), v.docIdent);
        tbl.setFieldValue(QStringLiteral("tipoDocIdent"), v.tipoDocIdent);
        tbl.setFieldValue(QStringLiteral("nombre"), v.nombre);
        tbl.setFieldValue(QStringLiteral("fechaUltVisit"), ahora.date());
        tbl.setFieldValue(QStringLiteral("horaUltVisit"), ahora.time());
        tbl.setFieldValue(QStringLiteral("observaciones"), observaciones);
        tbl.post();
    } catch (...) {
        // A row left pending would be posted by the next visitor's search, storing a visit
        // whose entry was refused.
        tbl.cancel();
        throw;
    }
}

} // namespace kv
