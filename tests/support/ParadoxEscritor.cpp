#include "support/ParadoxEscritor.h"
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <iconv.h>
extern "C" {
#include <paradox.h>
}
#include <cstdlib>
#include <cstring>

namespace kvtest {

namespace {

QByteArray enPagina(const QString& s, int pagina)
{
    const QByteArray utf = s.toUtf8();
    iconv_t cd = iconv_open(QStringLiteral("CP%1").arg(pagina).toLatin1().constData(), "UTF-8");
    if (cd == iconv_t(-1)) return s.toLatin1();
    QByteArray out(utf.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf.constData());
    size_t inLeft = size_t(utf.size()), outLeft = size_t(out.size());
    char* o = out.data();
    iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    out.resize(int(o - out.constData()));
    return out;
}

} // namespace

void EscribirTablaPx(const QString& archivo, const QVector<CampoPx>& campos, const QVector<QVector<QVariant>>& filas,
                     const OpcionesPx& o)
{
    QFile::remove(archivo);
    pxdoc_t* px = PX_new();
    auto* f = static_cast<pxfield_t*>(calloc(size_t(campos.size()), sizeof(pxfield_t)));   // pxlib frees it
    bool memo = false;
    for (int i = 0; i < campos.size(); ++i) {
        f[i].px_fname = strdup(campos[i].nombre.toLatin1().constData());
        f[i].px_ftype = campos[i].tipo;
        f[i].px_flen = campos[i].largo;
        memo = memo || campos[i].tipo == pxfMemoBLOb;
    }
    if (PX_create_file(px, f, campos.size(), QFile::encodeName(archivo).constData(), pxfFileTypNonIndexDB) < 0) {
        ADD_FAILURE() << "pxlib no creó " << archivo.toStdString();
        PX_delete(px);
        return;
    }
    px->px_head->px_doscodepage = o.paginaDeCodigos;
    if (!o.clave.isEmpty()) PX_set_parameter(px, "password", o.clave.toLatin1().constData());
    if (memo) {
        const QFileInfo fi(archivo);
        const QString mb = fi.absolutePath() + QLatin1Char('/') + fi.completeBaseName() + QStringLiteral(".MB");
        if (PX_set_blob_file(px, QFile::encodeName(mb).constData()) < 0) ADD_FAILURE() << "pxlib no creó el .MB";
    }
    QVector<QByteArray> textos;   // kept alive until the row is written
    for (const QVector<QVariant>& fila : filas) {
        QVector<pxval_t*> v(campos.size());
        textos.clear();
        textos.reserve(campos.size());
        for (int i = 0; i < campos.size(); ++i) {
            const QVariant& x = fila.value(i);
            const char t = campos[i].tipo;
            if (!x.isValid() || x.isNull()) {
                MAKE_PXVAL(px, v[i]);
                v[i]->isnull = 1;
            } else if (t == pxfDate) {
                const QDate d = x.toDate();
                v[i] = PX_make_date(px, d.year(), d.month(), d.day());
            } else if (t == pxfTime) {
                const QTime h = x.toTime();
                v[i] = PX_make_time(px, h.hour(), h.minute(), h.second());
            } else if (t == pxfTimestamp) {
                const QDateTime dt = x.toDateTime();
                v[i] = PX_make_timestamp(px, dt.date().year(), dt.date().month(), dt.date().day(), dt.time().hour(),
                                         dt.time().minute(), dt.time().second());
            } else {
                MAKE_PXVAL(px, v[i]);
                if (t == pxfAlpha || t == pxfMemoBLOb) {
                    textos << enPagina(x.toString(), o.paginaDeCodigos);
                    v[i]->value.str.val = textos.last().data();
                    v[i]->value.str.len = textos.last().size();
                } else if (t == pxfNumber || t == pxfCurrency) {
                    v[i]->value.dval = x.toDouble();
                } else {
                    v[i]->value.lval = long(x.toLongLong());
                }
            }
            v[i]->type = t;
        }
        if (PX_insert_record(px, v.data()) < 0) ADD_FAILURE() << "pxlib no escribió una fila de " << archivo.toStdString();
        for (pxval_t* p : v) px->free(px, p);
    }
    PX_close(px);
    PX_delete(px);
}

void EscribirSitioPx(const QString& dir, const QVector<PersonaPx>& personas, const OpcionesPx& o)
{
    QDir().mkpath(dir);
    const auto a = [](const char* n, int l) { return CampoPx{QString::fromLatin1(n), char(pxfAlpha), l}; };
    const auto s = [](const char* n) { return CampoPx{QString::fromLatin1(n), char(pxfShort), 2}; };
    const auto l = [](const char* n) { return CampoPx{QString::fromLatin1(n), char(pxfLong), 4}; };
    const auto d = [](const char* n) { return CampoPx{QString::fromLatin1(n), char(pxfDate), 4}; };
    const auto h = [](const char* n) { return CampoPx{QString::fromLatin1(n), char(pxfTime), 4}; };
    // pxlib's writer misplaces the shared memo blocks (short memos) of a protected table, so
    // there short memos stay within the record; memos longer than 2 KB get blocks of their own
    // in both.
    const int guia = o.clave.isEmpty() ? 30 : 60;
    const auto m = [guia](const char* n) { return CampoPx{QString::fromLatin1(n), char(pxfMemoBLOb), guia}; };
    const auto b = [](const char* n) { return CampoPx{QString::fromLatin1(n), char(pxfLogical), 1}; };
    const QString p = dir + QLatin1Char('/');

    // File names in the letter cases a desk leaves them in.
    QVector<QVector<QVariant>> est;
    for (const PersonaPx& x : personas)
        est << QVector<QVariant>{x.grado, x.grupo, x.numero, x.nombre, x.codigo, QStringLiteral("1001"), 1, 0, 0,
                                 QStringLiteral("O+"), QVariant(), QVariant(), QVariant(), x.fechaNac, QVariant(),
                                 x.observaciones};
    EscribirTablaPx(p + QStringLiteral("ESTUDIANTES.DB"),
                    {s("IGrado"), a("IGrupo", 2), l("IEstudiante"), a("NEstudiante", 60), a("Codigo", 20),
                     a("docIdent", 20), s("tipoDocIdent"), l("NumMatr"), l("numCarnet"), a("rh", 5), a("sitSocial", 5),
                     a("situacion", 15), a("idFoto", 80), d("fechaNac"), s("edad"), m("observaciones")},
                    est, o);
    EscribirTablaPx(p + QStringLiteral("Grupos.db"), {s("IGrado"), a("IGrupo", 2), a("IProfesor", 40), a("NDirector", 60), a("Mensaje", 12)},
                    {{11, QStringLiteral("A"), QStringLiteral("PROF"), QVariant(), QStringLiteral("Hola")}}, o);
    EscribirTablaPx(p + QStringLiteral("AbaGrados.DB"), {s("IGrado"), a("NGrado", 40)}, {{11, QStringLiteral("Undécimo")}}, o);
    EscribirTablaPx(p + QStringLiteral("entradasSalidas.DB"),
                    {a("codigo", 20), d("fecha"), h("hora"), s("tipoDocIdent"), a("docIdent", 20), a("nestudiante", 60),
                     a("tipomvt", 1), m("detalle"), b("subido")},
                    {{QStringLiteral("11A1L"), QDate(2024, 2, 29), QTime(7, 5, 9), 1, QStringLiteral("1001"),
                      QStringLiteral("PEÑA"), QStringLiteral("E"), QVariant(), false},
                     {QStringLiteral("11A1L"), QDate(2024, 2, 29), QTime(12, 0, 0), 1, QStringLiteral("1001"),
                      QStringLiteral("PEÑA"), QStringLiteral("S"), QStringLiteral("Cita médica\r\ncon el odontólogo"), true}},
                    o);
    EscribirTablaPx(p + QStringLiteral("visitantes.db"),
                    {a("docIdent", 20), s("tipoDocIdent"), a("nombre", 60), d("fechaUltVisit"), h("horaUltVisit"), m("observaciones")},
                    {{QStringLiteral("555"), 0, QStringLiteral("VISITA ÁLVAREZ"), QDate(2023, 12, 31), QTime(23, 59, 59),
                      QStringLiteral("Rectoría")}},
                    o);
    EscribirTablaPx(p + QStringLiteral("DEPENDENCIAS.DB"), {a("ndependencia", 40)}, {{QStringLiteral("Rectoría")}}, o);
    EscribirTablaPx(p + QStringLiteral("consultantes.DB"), {a("docIdent", 20), a("nombre", 60), a("clave", 20), s("nivelConsulta")},
                    {{QStringLiteral("777"), QStringLiteral("MADRE"), QStringLiteral("777"), 0}}, o);
    EscribirTablaPx(p + QStringLiteral("Config.db"),
                    {l("iColegio"), a("NColegio", 80), a("Encabezado1", 100), a("Encabezado2", 100), a("FraseBltin", 100),
                     a("Jornada", 20), a("rutaEscudo", 255), s("periodoactual"), a("clave", 20), a("claveConsultor", 20),
                     l("NumHorasPierdeAnio"), s("anioactual"), h("horaSalidaAuto")},
                    {{7, QStringLiteral("Colegio Año Nuevo"), QStringLiteral("Secretaría"), QVariant(), QVariant(),
                      QStringLiteral("Mañana"), QVariant(), 2, QStringLiteral("adm"), QStringLiteral("cap"), 0, 2024,
                      QTime(18, 30, 0)}},
                    o);
    EscribirTablaPx(p + QStringLiteral("AbaMaterias.DB"),
                    {s("IGrado"), a("IMateria", 8), a("NMateria", 40), s("IntHoraria"), a("tipoNota", 5), b("ContarAplazarDefinitivo")},
                    {{11, QStringLiteral("MAT"), QStringLiteral("Matemáticas"), 4, QStringLiteral("N"), true}}, o);
    EscribirTablaPx(p + QStringLiteral("AbaProfesores.DB"), {a("IProfesor", 12), a("NProfesor", 40)},
                    {{QStringLiteral("PROF"), QStringLiteral("Íñigo")}}, o);
    EscribirTablaPx(p + QStringLiteral("MovMat.DB"), {s("IGrado"), a("IGrupo", 2), a("IMateria", 8), a("IProfesor", 12)},
                    {{11, QStringLiteral("A"), QStringLiteral("MAT"), QStringLiteral("PROF")}}, o);
    EscribirTablaPx(p + QStringLiteral("periodos.DB"), {s("IPeriodo"), a("NPeriodo", 30), d("fechaInicial"), d("fechaFinal")},
                    {{1, QStringLiteral("Primero"), QDate(1, 1, 1), QDate(9999, 12, 31)}}, o);
    EscribirTablaPx(p + QStringLiteral("notas.DB"),
                    {a("codigo", 20), s("IGrado"), a("IGrupo", 2), l("IEstudiante"), a("IMateria", 8), s("IPeriodo"),
                     CampoPx{QStringLiteral("nota"), char(pxfNumber), 8}},
                    {{QStringLiteral("11A1L"), 11, QStringLiteral("A"), 1, QStringLiteral("MAT"), 1, 4.5}}, o);
    EscribirTablaPx(p + QStringLiteral("notasdef.DB"),
                    {s("IGrado"), a("IGrupo", 2), l("IEstudiante"), a("IMateria", 8), CampoPx{QStringLiteral("notaDef"), char(pxfNumber), 8}},
                    {{11, QStringLiteral("A"), 1, QStringLiteral("MAT"), 3.25}}, o);
}

} // namespace kvtest
