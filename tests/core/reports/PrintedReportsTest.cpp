// What the printed reports look like on a real site: columns that keep to their width,
// line breaks of the reasons, names in Spanish order, header lines that push down what
// follows, the lists' header without persons, room for accents, and the files they write
// (spreadsheet-safe CSV, a full disk).
#include "support/AdminRun.h"
#include "support/DiscoLleno.h"
#include "support/ReportSite.h"
#include "reports/engine/PageModel.h"
#include "reports/engine/ReportExport.h"
#include "reports/engine/ReportPainter.h"
#include "settings/TConfig.h"
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace kv::rpt;

namespace {

QByteArray leer(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The text items of a page that stand on one printed line (same top), left to right.
std::map<double, std::vector<const PageItem*>> porLinea(const Page& p)
{
    std::map<double, std::vector<const PageItem*>> l;
    for (const PageItem& it : p.items)
        if (it.kind == PageItem::Text) l[std::round(it.rect.top() * 100) / 100].push_back(&it);
    for (auto& [y, items] : l)
        std::sort(items.begin(), items.end(), [](auto* a, auto* b) { return a->rect.left() < b->rect.left(); });
    return l;
}

} // namespace

TEST(PrintedReports, DataKeepsToItsColumnAndReasonsKeepTheirLineBreaks)
{
    rpttest::ReportSite s;
    const QString largo = QStringLiteral("MARÍA DE LOS ÁNGELES BUENAVENTURA CASTRILLÓN DE LA TORRE");
    s.site.exec("update estudiantes set acudiente=?, NEstudiante=? where codigo in ('A1', 'B2')", {largo, largo});
    s.site.exec("update entradasSalidas set nestudiante=?, detalle=? where codigo='A1' and hora='08:00:00'",
                {largo, QStringLiteral("coordinación\nRecoge: su madre")});
    s.site.exec("update entradasSalidas set detalle=? where codigo='A1' and hora='12:00:00'",
                {QStringLiteral("enfermería\r\nRegresa")});
    struct Case { const char* kind; QList<std::pair<QString, QString>> params; QStringList lineas; };
    const Case cases[] = {
        {"inasistentes", {{"desde", "2026-12-01"}, {"hasta", "2026-12-01"}}, {}},
        {"asistentes", {{"desde", "2026-12-01"}, {"hasta", "2026-12-03"}}, {"coordinación", "Recoge: su madre", "enfermería", "Regresa"}},
        {"entradas-salidas", {{"desde", "2026-12-01"}, {"hasta", "2026-12-03"}, {"hora-desde", "00:00:00"}},
         {"coordinación", "Recoge: su madre", "enfermería", "Regresa"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const PreparedReport r = s.run(c.kind, c.params);
        const PageModel m = buildPages(r.layout, r.data);
        int cortados = 0;
        for (const auto& [y, items] : porLinea(m.pages[0])) {
            for (size_t i = 0; i + 1 < items.size(); ++i) {
                const PageItem& a = *items[i];
                // What is drawn ends before the next column begins.
                EXPECT_LE(a.rect.left() + textWidthMm(a.text, a.font), items[i + 1]->rect.left() + 1e-6)
                    << a.text.toStdString() << " | " << items[i + 1]->text.toStdString();
            }
            for (const PageItem* it : items) {
                EXPECT_FALSE(it->text.contains('\n') || it->text.contains('\r')) << it->text.toStdString();
                if (it->text.endsWith(QChar(0x2026))) ++cortados;
            }
        }
        EXPECT_GT(cortados, 0) << "the long name is cut with an ellipsis";
        for (const QString& l : c.lineas) EXPECT_TRUE(m.pages[0].find(l)) << l.toStdString();
        // The exports keep the whole value; the plain text turns each line break into a blank.
        const QString txt = toText(m);
        EXPECT_TRUE(txt.contains(largo));
        for (const QString& line : txt.split("\r\n")) EXPECT_FALSE(line.contains('\r') || line.contains('\n'));
        if (!c.lineas.isEmpty()) {
            EXPECT_TRUE(txt.contains("coordinación Recoge: su madre"));
            EXPECT_TRUE(txt.contains("enfermería Regresa"));
        }
    }
}

TEST(PrintedReports, NamesFollowSpanishOrderInListsLateArrivalsAndAbsences)
{
    rpttest::ReportSite s;
    s.site.exec("delete from estudiantes");
    s.site.exec("delete from entradasSalidas");
    const QStringList esperado = {"ALBA", "ÁLVAREZ", "álvaro", "NÚÑEZ", "ÑUSTES", "OCAMPO", "YEPES"};
    const char* mezclado[] = {"YEPES", "ÑUSTES", "ÁLVAREZ", "OCAMPO", "álvaro", "NÚÑEZ", "ALBA"};
    int n = 0;
    for (const char* nombre : mezclado) {
        const QByteArray codigo = "P" + QByteArray::number(++n);
        s.person(codigo.constData(), 3, "B", nombre, "");
        rpttest::ReportSite::mov(s.site, codigo.constData(), "2026-12-01", "08:30:00", "E", nombre);
    }
    // Someone of another category comes on the 4th: a school day nobody of category 3 came.
    s.person("Q1", 5, "A", "QUINTO", "");
    rpttest::ReportSite::mov(s.site, "Q1", "2026-12-04", "07:00:00", "E", "QUINTO");
    const std::pair<const char*, QList<std::pair<QString, QString>>> cases[] = {
        {"planilla", {{"grado", "3"}, {"grupo", "B"}}},
        {"tarde", {{"desde", "2026-12-01"}, {"hasta", "2026-12-01"}, {"grado-desde", "3"}, {"grado-hasta", "3"}, {"hora-entrada", "07:00:00"}}},
        {"consecutivas", {{"desde", "2026-12-01"}, {"hasta", "2026-12-04"}, {"grado-desde", "3"}, {"grado-hasta", "3"}, {"dias", "1"}}},
    };
    for (const auto& [kind, params] : cases) {
        SCOPED_TRACE(kind);
        QStringList nombres = rpttest::ReportSite::column(s.run(kind, params), "nestudiante");
        nombres.removeAll(QString());   // the totals lines of the late arrivals
        nombres.removeDuplicates();
        EXPECT_EQ(nombres, esperado);
    }
}

TEST(PrintedReports, AGrownHeaderLinePushesDownWhatFollows)
{
    rpttest::ReportSite s;
    const QString largo = QStringLiteral("Institución educativa departamental con un nombre muy largo, aprobada por la "
                                         "resolución 1234 de 2026, sede principal y jornadas mañana y tarde");
    s.site.exec("update Config set Encabezado1=?", {largo});
    struct Case { const char* kind; QList<std::pair<QString, QString>> params; const char* titulo; };
    const Case cases[] = {{"inasistentes", {{"desde", "2026-12-01"}, {"hasta", "2026-12-01"}}, "QRLabel4"},
                          {"persona", {{"codigo", "A1"}}, "QRLabel1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const PreparedReport r = s.run(c.kind, c.params);
        const PageModel m = buildPages(r.layout, r.data);
        double finEncabezado = 0, inicioSegunda = -1, inicioTitulo = -1, lineas = 0;
        for (const PageItem& it : m.pages[0].items) {
            if (it.element == "QRLblEncabezado1") finEncabezado = std::max(finEncabezado, it.rect.bottom()), ++lineas;
            if (it.element == "QRLabel7") inicioSegunda = it.rect.top();
            if (it.element == c.titulo) inicioTitulo = it.rect.top();
        }
        EXPECT_GE(lineas, 2);
        // (The design's own places let one-line boxes touch by a few hundredths of a mm.)
        EXPECT_GE(inicioSegunda, finEncabezado - 0.1);
        EXPECT_GE(inicioTitulo, finEncabezado - 0.1);
    }
}

TEST(PrintedReports, AListWithoutPersonsNamesItsCategoryAndNoComponent)
{
    rpttest::ReportSite s;
    const PreparedReport r = s.run("planilla", {{"grado", "3"}, {"grupo", "Z"}, {"materia", "NOHAY"}});
    ASSERT_TRUE(r.data.rows.isEmpty());
    const QStringList texts = buildPages(r.layout, r.data).pages[0].texts();
    EXPECT_TRUE(texts.contains("Grado 3")) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains("Z"));
    EXPECT_FALSE(texts.contains("QRLblNGrado"));
    EXPECT_FALSE(texts.contains("Materia"));
}

TEST(PrintedReports, AccentsOfCapitalsDoNotTouchTheRuleAbove)
{
    rpttest::ReportSite s;
    s.person("A0", 3, "B", "ABEL", "");   // first: every accented name has a line above it
    for (const char* n : {"ÁNGEL ÉDGAR", "ÑUSTES ÍÑIGO", "ÓSCAR ÚRSULA"}) s.person(n, 3, "B", n, "");
    for (int formato : {1, 2}) {
        SCOPED_TRACE(formato);
        { kv::TConfig cfg; cfg.setListas(formato, true); }
        const PreparedReport r = s.run("planilla", {{"grado", "3"}, {"grupo", "B"}});
        const PageModel m = buildPages(r.layout, r.data);
        const double dpi = 600, pxmm = dpi / 25.4;
        const QImage img = renderPage(m, 0, dpi);
        int revisados = 0;
        for (const PageItem& it : m.pages[0].items) {
            if (it.element != "NEstudiante" || !QString("ÁÉÍÓÚÑ").contains(it.text.front())) continue;
            // The rule above this line: the nearest horizontal line over its top.
            double regla = -1;
            for (const PageItem& l : m.pages[0].items)
                if (l.kind == PageItem::Line && l.rect.height() == 0 && l.rect.top() <= it.rect.top() + 0.01)
                    regla = std::max(regla, l.rect.top() + l.penMm / 2);
            ASSERT_GT(regla, 0);
            // Between the rule and the first ink of the name there are white rows.
            const int x0 = int(it.rect.left() * pxmm), x1 = int((it.rect.left() + 20) * pxmm);
            int tinta = -1;
            for (int y = int(std::ceil(regla * pxmm)) + 1; y < int(it.rect.bottom() * pxmm) && tinta < 0; ++y)
                for (int x = x0; x < x1; ++x)
                    if (qGray(img.pixel(x, y)) < 160) { tinta = y; break; }
            EXPECT_GT(tinta - regla * pxmm, 0.2 * pxmm) << it.text.toStdString();
            ++revisados;
        }
        EXPECT_EQ(revisados, 3);
    }
}

TEST(PrintedReports, CsvTextThatASpreadsheetWouldRunGetsAnApostrophe)
{
    rpttest::ReportSite s;
    const QString dir = s.site.tablesDir();
    const QStringList peligrosos = {"=HIPERVINCULO(1)", "+57 300", "-RESTA", "@SUMA", "\tTAB"};
    int n = 0;
    for (const QString& p : peligrosos) {
        const QByteArray codigo = "Z" + QByteArray::number(++n);
        s.person(codigo.constData(), 2, "A", p.toUtf8().constData(), "");
        rpttest::ReportSite::mov(s.site, codigo.constData(), "2026-12-02", "09:00:00", "E", p.toUtf8().constData());
    }
    const QString csv = dir + "/../out.csv", dentro = dir + "/../dentro.csv";
    kvtest::AdminResult r = kvtest::runAdmin({"report", dir, "inasistentes", "--desde", "2026-12-05", "--hasta",
                                              "2026-12-05", "--csv", csv}, s.site.workDir());
    ASSERT_EQ(r.rc, 0) << r.err.toStdString();
    const QString informe = QString::fromUtf8(leer(csv));
    r = kvtest::runAdmin({"inside", dir, "--csv", dentro}, s.site.workDir());
    ASSERT_EQ(r.rc, 0) << r.err.toStdString();
    const QString lista = QString::fromUtf8(leer(dentro));
    for (const QString& p : peligrosos) {
        SCOPED_TRACE(p.toStdString());
        // The inside list is separated by semicolons, the reports by commas.
        for (const QString& texto : {informe, lista}) {
            const QString celda = QRegularExpression::escape(p);
            EXPECT_TRUE(texto.contains(QRegularExpression("[,;]'" + celda + "[,;]"))) << texto.toStdString();
            EXPECT_FALSE(texto.contains(QRegularExpression("[,;]" + celda)));
        }
    }
    EXPECT_TRUE(informe.contains(",BETO,"));   // ordinary names as they are
}

TEST(PrintedReports, AFullDiskKeepsTheEarlierFileAndSaysSo)
{
    kvtest::DiscoLleno disco;
    if (!disco.ok()) GTEST_SKIP() << "mounting a small tmpfs needs root";
    rpttest::ReportSite s;
    const QString dir = s.site.tablesDir();
    const QByteArray anterior = "el informe de ayer, entero";
    const std::pair<const char*, const char*> formatos[] = {{"--pdf", "x.pdf"}, {"--txt", "x.txt"}, {"--csv", "x.csv"},
                                                            {"--html", "x.html"}};
    for (const auto& [opcion, nombre] : formatos) {
        QFile f(disco.path(nombre));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(anterior);
    }
    disco.llenar();
    for (const auto& [opcion, nombre] : formatos) {
        SCOPED_TRACE(opcion);
        const kvtest::AdminResult r = kvtest::runAdmin(
            {"report", dir, "entradas-salidas", "--desde", "2026-12-01", "--hasta", "2026-12-03", opcion, disco.path(nombre)},
            s.site.workDir());
        EXPECT_EQ(r.rc, 1);
        EXPECT_TRUE(r.err.contains("No se pudo guardar el informe: el disco está lleno.")) << r.err.toStdString();
        EXPECT_EQ(leer(disco.path(nombre)), anterior);
    }
    // A saved report goes the same way.
    const PreparedReport pr = s.run("persona", {{"codigo", "A1"}});
    try {
        buildPages(pr.layout, pr.data).save(disco.path("x.pdf"));
        ADD_FAILURE() << "saved onto a full disk";
    } catch (const ReportError& e) {
        EXPECT_EQ(e.message(), "No se pudo guardar el informe: el disco está lleno.");
    }
    EXPECT_EQ(leer(disco.path("x.pdf")), anterior);
    // Nothing is left behind but the earlier files and the filler.
    EXPECT_EQ(QDir(disco.path(".")).entryList(QDir::Files | QDir::Hidden).size(), 5);
}
