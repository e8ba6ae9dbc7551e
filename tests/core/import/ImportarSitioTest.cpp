// A whole site from Paradox-format tables the test writes itself with pxlib's writer: plain
// and password-protected, memos in the .MB file, accents in the code page, NULLs, edge dates.
#include "data/Database.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "import/ImportarSitio.h"
#include "import/LectorFilas.h"
#include "import/Paradox.h"
#include "support/ParadoxEscritor.h"
#include <QDate>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
extern "C" {
#include <paradox.h>
}

using kvtest::OpcionesPx;
using kvtest::PersonaPx;

namespace {

QString uno(const QString& dir, const QString& sql)
{
    kv::Query q;
    kv::EjecutarSQL(dir, q, sql);
    return q.isEmpty() ? QStringLiteral("<sin filas>") : q.fieldByName(q.fieldNames().first()).asString();
}

const kv::InformeTabla* tabla(const kv::ResultadoSitio& r, const char* nombre)
{
    for (const kv::InformeTabla& t : r.tablas)
        if (t.tabla == QLatin1String(nombre)) return &t;
    return nullptr;
}

} // namespace

TEST(ImportarSitio, EveryTableCopiedPlainOrProtectedInItsCodePage)
{
    const QString memoLargo = QString::fromUtf8("Alergia a la penicilina; ") + QString(3000, QLatin1Char('x')) + QStringLiteral("\nfin");
    struct Caso { const char* nombre; OpcionesPx o; };
    const Caso casos[] = {
        {"simple", {QString(), 1252}},
        {"con clave", {QStringLiteral("tessivard"), 1252}},
        {"página 850", {QString(), 850}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        QTemporaryDir tmp;
        const QString viejo = tmp.filePath("viejo"), nuevo = tmp.filePath("sitios/nuevo");
        kvtest::EscribirSitioPx(viejo,
                                {{11, "A", 1, QString::fromUtf8("JOSÉ PEÑA ÑÚÑEZ"), "11A1L", QDate(1, 1, 1), memoLargo},
                                 {11, "A", 2, QString::fromUtf8("ÁNGELA"), "11A2L", QVariant(), QString::fromUtf8("corta")},
                                 {11, "A", 3, "ZOE", "11A3L", QDate(9999, 12, 31), QVariant()}},
                                c.o);
        // A destination name longer than the new site's field holds: refused, not cut.
        kvtest::EscribirTablaPx(viejo + "/dependencias.db", {{"ndependencia", char(pxfAlpha), 60}},
                                {{QString::fromUtf8("Coordinación")}, {QString(50, QLatin1Char('D'))}}, c.o);
        QDir().mkpath(viejo + "/Imagenes");
        QImage(4, 4, QImage::Format_RGB32).save(viejo + "/Imagenes/11A1L.jpg");

        const kv::ResultadoSitio r = kv::ImportarSitio(viejo, nuevo);
        ASSERT_EQ(r.tablas.size(), 14);
        {
            // The table of last movements, left out during the load, is whole again, before
            // any opening of the site could mend it.
            auto db = kv::Database::openFile(nuevo + "/kelvora.db");
            EXPECT_TRUE(kv::ultimosAlDia(*db));
            EXPECT_EQ(db->select("select group_concat(codigo || tipomvt) from ultimosMovimientos").rows.value(0).value(0),
                      QVariant("11A1LS"));
        }
        for (const kv::InformeTabla& t : r.tablas) {
            EXPECT_FALSE(t.archivo.isEmpty()) << t.tabla.toStdString();
            if (t.tabla != QLatin1String("dependencias")) {
                EXPECT_EQ(t.escritas, t.leidas) << t.tabla.toStdString();
                EXPECT_TRUE(t.rechazadas.isEmpty()) << t.tabla.toStdString();
            }
        }
        EXPECT_EQ(tabla(r, "estudiantes")->escritas, 3);
        EXPECT_EQ(tabla(r, "entradasSalidas")->escritas, 2);
        const kv::InformeTabla* dep = tabla(r, "dependencias");
        EXPECT_EQ(dep->leidas, 2);
        EXPECT_EQ(dep->escritas, 1);
        ASSERT_EQ(dep->rechazadas.size(), 1);
        EXPECT_EQ(dep->rechazadas[0].linea, 2);
        EXPECT_EQ(dep->rechazadas[0].motivo, QStringLiteral("ndependencia tiene 50 caracteres y el campo admite 40."));
        EXPECT_EQ(r.fotos, 1);

        EXPECT_EQ(uno(nuevo, "select NEstudiante || '|' || fechaNac || '|' || codigo from estudiantes where IEstudiante=1"),
                  QString::fromUtf8("JOSÉ PEÑA ÑÚÑEZ|0001-01-01|11A1L"));
        EXPECT_EQ(uno(nuevo, "select observaciones from estudiantes where IEstudiante=1"), memoLargo);
        EXPECT_EQ(uno(nuevo, "select coalesce(fechaNac, 'NULL') || observaciones from estudiantes where IEstudiante=2"),
                  QStringLiteral("NULLcorta"));
        EXPECT_EQ(uno(nuevo, "select fechaNac || coalesce(observaciones, 'NULL') from estudiantes where IEstudiante=3"),
                  QStringLiteral("9999-12-31NULL"));
        EXPECT_EQ(uno(nuevo, "select group_concat(hora || tipomvt || subido || coalesce(detalle, '-'), ';') from entradasSalidas"),
                  QString::fromUtf8("07:05:09E0-;12:00:00S1Cita médica\r\ncon el odontólogo"));
        EXPECT_EQ(uno(nuevo, "select fecha from entradasSalidas where tipomvt='S'"), "2024-02-29");
        EXPECT_EQ(uno(nuevo, "select count(*) || NColegio || Jornada || horaSalidaAuto || anioactual from Config"),
                  QString::fromUtf8("1Colegio Año NuevoMañana1899-12-30 18:30:002024"));
        EXPECT_EQ(uno(nuevo, "select NProfesor from AbaProfesores"), QString::fromUtf8("Íñigo"));
        EXPECT_EQ(uno(nuevo, "select fechaInicial || ' ' || fechaFinal from periodos"), "0001-01-01 9999-12-31");
        EXPECT_EQ(uno(nuevo, "select nota from notas"), "4.5");
        EXPECT_EQ(uno(nuevo, "select observaciones || horaUltVisit from visitantes"), QString::fromUtf8("Rectoría23:59:59"));
        EXPECT_TRUE(QFile::exists(nuevo + "/imagenes/11A1L.jpg"));
        // Nothing is left beside the new site.
        EXPECT_EQ(QDir(tmp.filePath("sitios")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{"nuevo"});
    }
}

TEST(ImportarSitio, ATableThatCannotBeReadStopsWithoutAHalfSite)
{
    QTemporaryDir tmp;
    const QString viejo = tmp.filePath("viejo");
    kvtest::EscribirSitioPx(viejo, {{11, "A", 1, "ANA", "A1", QVariant(), QVariant()}});
    {
        QFile f(viejo + "/visitantes.db");
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(QByteArray(3000, '\x07'));
    }
    try {
        kv::ImportarSitio(viejo, tmp.filePath("nuevo"));
        FAIL() << "la tabla dañada no detuvo la importación";
    } catch (const kv::ImportError& e) {
        EXPECT_TRUE(e.message().contains("visitantes.db")) << e.message().toStdString();
    }
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"viejo"});

    // A directory that already holds something is not overwritten.
    QDir().mkpath(tmp.filePath("lleno"));
    QFile(tmp.filePath("lleno/x")).open(QIODevice::WriteOnly);
    EXPECT_THROW(kv::ImportarSitio(viejo, tmp.filePath("lleno")), kv::ImportError);
}

TEST(ImportarSitio, OldSiteListOffersItsSites)
{
    QTemporaryDir tmp;
    kvtest::EscribirTablaPx(tmp.filePath("CONFIG.DB"), {{"Colegio", char(pxfAlpha), 40}, {"RutaTablas", char(pxfAlpha), 255}},
                            {{QString::fromUtf8("Colegio Señorial"), "C:\\colegio\\tablas"}, {"Otro", "tablas2"}});
    const QVector<kv::SitioAnterior> s = kv::SitiosAnteriores(tmp.path());
    ASSERT_EQ(s.size(), 2);
    EXPECT_EQ(s[0].colegio, QString::fromUtf8("Colegio Señorial"));
    EXPECT_EQ(s[0].rutaTablas, "C:\\colegio\\tablas");
    EXPECT_EQ(s[1].rutaTablas, "tablas2");
}
