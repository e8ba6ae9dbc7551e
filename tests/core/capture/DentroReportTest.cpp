// The printed roll call of who is inside: every person once, headings on every page, the
// totals at the top and at the end.
#include "capture/DentroReport.h"
#include <gtest/gtest.h>
#include <QRegularExpression>

namespace {

kv::PersonaDentro persona(const QString& codigo, const QString& grado, const QString& grupo, bool visitante = false)
{
    kv::PersonaDentro p;
    p.codigo = codigo;
    p.nombre = "NOMBRE " + codigo;
    p.igrado = grado;
    p.igrupo = grupo;
    p.visitante = visitante;
    p.registrado = !visitante && !grado.isEmpty();
    p.dependencia = visitante ? "RECTORÍA" : QString();
    p.fecha = QDate(2026, 12, 9);
    p.hora = QTime(7, 5);
    return p;
}

TEST(DentroReport, EveryoneOnceAcrossPagesWithTotals)
{
    kv::ListaDentro l;
    for (int i = 0; i < 80; ++i) l.filas << persona(QString("C%1").arg(i, 3, 10, QChar('0')), "5", i < 50 ? "A" : "B");
    l.filas << persona("GONE", "", "") << persona("VISIT01", "", "", true);
    l.personas = 81;
    l.visitantes = 1;
    l.totales = {{"5", "", 80, true}, {"5", "A", 50, false}, {"5", "B", 30, false}};
    kv::rpt::TitleBlock t;
    t.colegio = "Colegio Prueba";
    t.logo = kv::rpt::EscudoIncorporado();
    const kv::rpt::PageModel m = kv::rpt::InformeDentro(t, l, QDateTime(QDate(2026, 12, 9), QTime(10, 30)));

    ASSERT_GE(m.pages.size(), 2);
    EXPECT_TRUE(m.titleLines.contains("PERSONAS DENTRO AHORA")) << m.titleLines.join('|').toStdString();
    EXPECT_TRUE(m.titleLines.contains("Dentro: 81 personas y 1 visitante")) << m.titleLines.join('|').toStdString();
    EXPECT_TRUE(m.titleLines.contains("Colegio Prueba"));
    ASSERT_EQ(m.rows.size(), l.filas.size());
    EXPECT_EQ(m.rows.last().value(2), "Visitante");
    EXPECT_EQ(m.rows.last().value(4), "RECTORÍA");

    QStringList codigos;
    for (int p = 0; p < m.pages.size(); ++p) {
        const QStringList texts = m.pages[p].texts();
        EXPECT_TRUE(texts.contains("Código")) << "headings on page " << p + 1;
        for (const QString& s : texts)
            if (s == "GONE" || s.startsWith("VISIT") || QRegularExpression("^C\\d{3}$").match(s).hasMatch()) codigos << s;
    }
    EXPECT_EQ(codigos.size(), l.filas.size());
    EXPECT_EQ(QSet<QString>(codigos.begin(), codigos.end()).size(), l.filas.size());
    const QStringList ultima = m.pages.last().texts();
    for (const char* linea : {"Categoría 5: 80", "      Grupo A: 50", "      Grupo B: 30", "Fuera del registro: 1", "Visitantes: 1"})
        EXPECT_TRUE(ultima.contains(linea)) << linea;
}

TEST(DentroReport, NobodyInsideStillPrintsTheTotals)
{
    kv::rpt::TitleBlock t;
    t.logo = kv::rpt::EscudoIncorporado();
    const kv::rpt::PageModel m = kv::rpt::InformeDentro(t, kv::ListaDentro(), QDateTime(QDate(2026, 12, 9), QTime(10, 30)));
    ASSERT_EQ(m.pages.size(), 1);
    EXPECT_TRUE(m.titleLines.contains("Dentro: 0 personas y 0 visitantes"));
    EXPECT_TRUE(m.rows.isEmpty());
}

} // namespace
