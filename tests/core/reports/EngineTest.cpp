// The band engine: which texts land on which page and where, wrapping, headings on every
// page, empty reports, the new-page rule, drawing, exports and saved reports.
#include "reports/engine/PageModel.h"
#include "reports/engine/ReportExport.h"
#include "reports/engine/ReportPainter.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv::rpt;

namespace {

kv::ResultSet rows(int n, const QString& prefix = QStringLiteral("Fila"))
{
    kv::ResultSet rs;
    rs.columns = {{QStringLiteral("nombre"), kv::FieldType::Text, QStringLiteral("TEXT")},
                  {QStringLiteral("grupo"), kv::FieldType::Text, QStringLiteral("TEXT")}};
    for (int i = 0; i < n; ++i)
        rs.rows.push_back({QStringLiteral("%1 %2").arg(prefix).arg(i + 1), QStringLiteral("G%1").arg(i / 10)});
    return rs;
}

// Letter portrait, 10 mm margins: 259.4 mm of printable height.
ReportLayout simpleLayout(double detailHeight = 5)
{
    ReportLayout l;
    l.name = QStringLiteral("Prueba");
    Band& t = l.band(BandKind::Title, 30);
    t.add(Element::label(QStringLiteral("titulo"), 40, 1, QStringLiteral("Título del informe")));
    Band& h = l.band(BandKind::ColumnHeader, 8);
    h.add(Element::label(QStringLiteral("h1"), 0, 2, QStringLiteral("Nombre"), {QStringLiteral("Arial"), 10, true}));
    h.add(Element::label(QStringLiteral("h2"), 100, 2, QStringLiteral("Grupo"), {QStringLiteral("Arial"), 10, true}));
    Band& d = l.band(BandKind::Detail, detailHeight);
    Element n;
    n.kind = ElementKind::LineNo;
    n.name = QStringLiteral("num");
    d.add(n);
    d.add(Element::data(QStringLiteral("nombre"), 10, 0));
    d.add(Element::data(QStringLiteral("grupo"), 100, 0));
    l.band(BandKind::Summary, 12).add(Element::label(QStringLiteral("firma"), 2, 6, QStringLiteral("Firma:")));
    return l;
}

int pageOf(const PageModel& m, const QString& text)
{
    for (int p = 0; p < m.pages.size(); ++p)
        if (m.pages[p].find(text)) return p;
    return -1;
}

} // namespace

TEST(ReportEngine, BandsLandInOrderWithMarginsAndTitleOnlyOnFirstPage)
{
    const PageModel m = buildPages(simpleLayout(), rows(3));
    ASSERT_EQ(m.pages.size(), 1);
    const Page& p = m.pages[0];
    // Title at margin + element offset; headings under the 30 mm title; details under them.
    EXPECT_DOUBLE_EQ(p.find(QStringLiteral("Título del informe"))->rect.left(), 50.0);
    EXPECT_DOUBLE_EQ(p.find(QStringLiteral("Título del informe"))->rect.top(), 11.0);
    EXPECT_DOUBLE_EQ(p.find(QStringLiteral("Nombre"))->rect.top(), 10 + 30 + 2.0);
    EXPECT_DOUBLE_EQ(p.find(QStringLiteral("Fila 1"))->rect.top(), 10 + 38.0);
    EXPECT_DOUBLE_EQ(p.find(QStringLiteral("Fila 3"))->rect.top(), 10 + 38 + 10.0);
    EXPECT_DOUBLE_EQ(p.find(QStringLiteral("G0"))->rect.left(), 110.0);
    EXPECT_DOUBLE_EQ(p.find(QStringLiteral("Firma:"))->rect.top(), 10 + 38 + 15 + 6.0);
    EXPECT_EQ(p.texts().mid(3, 3), (QStringList{"1", "Fila 1", "G0"}));
    EXPECT_EQ(m.headings, (QStringList{"Nombre", "Grupo"}));
    EXPECT_EQ(m.rows.size(), 3);
    EXPECT_EQ(m.rows[2], (QStringList{"3", "Fila 3", "G0"}));
}

TEST(ReportEngine, EmptyDataGivesOnePageWithTitleHeadingsAndSummary)
{
    const PageModel m = buildPages(simpleLayout(), rows(0));
    ASSERT_EQ(m.pages.size(), 1);
    EXPECT_EQ(m.pages[0].texts(), (QStringList{"Título del informe", "Nombre", "Grupo", "Firma:"}));
    EXPECT_TRUE(m.rows.isEmpty());
}

TEST(ReportEngine, HeadingsRepeatOnEveryPageAndRowsFlowInDataOrder)
{
    // 259.4 - 38 = 221.4 mm for 5 mm lines on page 1 (44 lines), 251.4 on later pages (50).
    const PageModel m = buildPages(simpleLayout(), rows(120));
    ASSERT_EQ(m.pages.size(), 3);
    EXPECT_EQ(pageOf(m, QStringLiteral("Fila 44")), 0);
    EXPECT_EQ(pageOf(m, QStringLiteral("Fila 45")), 1);
    EXPECT_EQ(pageOf(m, QStringLiteral("Fila 94")), 1);
    EXPECT_EQ(pageOf(m, QStringLiteral("Fila 95")), 2);
    for (const Page& p : m.pages) {
        EXPECT_TRUE(p.find(QStringLiteral("Nombre"))) << "headings missing on a page";
        EXPECT_EQ(p.texts().count(QStringLiteral("Título del informe")), &p == &m.pages[0] ? 1 : 0);
    }
    EXPECT_DOUBLE_EQ(m.pages[1].find(QStringLiteral("Nombre"))->rect.top(), 12.0);
    EXPECT_DOUBLE_EQ(m.pages[1].find(QStringLiteral("Fila 45"))->rect.top(), 18.0);
    EXPECT_EQ(pageOf(m, QStringLiteral("Firma:")), 2);
    // The running number goes on across pages.
    EXPECT_TRUE(m.pages[2].find(QStringLiteral("120")));
}

TEST(ReportEngine, SummaryThatDoesNotFitGoesToANewPageWithHeadings)
{
    // 44 lines fill page 1 exactly (221.4 mm needs 44.28 lines): a 12 mm summary cannot follow.
    const PageModel m = buildPages(simpleLayout(), rows(44));
    ASSERT_EQ(m.pages.size(), 2);
    EXPECT_EQ(m.pages[1].texts(), (QStringList{"Nombre", "Grupo", "Firma:"}));
}

TEST(ReportEngine, WrappedBoxesMakeTheLineTallerAndStayInsideTheirWidth)
{
    ReportLayout l = simpleLayout();
    Element& e = l.bands[2].elements[1];
    e.width = 30;
    e.wordWrap = true;
    kv::ResultSet rs = rows(2);
    rs.rows[0][0] = QStringLiteral("uno dos tres cuatro cinco seis siete ocho nueve diez once");
    const PageModel m = buildPages(l, rs);
    const Page& p = m.pages[0];
    const double second = p.find(QStringLiteral("Fila 2"))->rect.top();
    QVector<const PageItem*> pieces;
    for (const PageItem& it : p.items)
        if (it.element == QLatin1String("nombre") && it.rect.top() < second) pieces << &it;
    ASSERT_GE(pieces.size(), 3);
    QStringList words;
    for (const PageItem* it : pieces) {
        EXPECT_LE(textWidthMm(it->text, it->font), 30.0 + 1e-6) << it->text.toStdString();
        words << it->text;
    }
    EXPECT_EQ(words.join(' '), rs.rows[0][0].toString());
    // The 5 mm line grows by the extra wrapped lines; the next row starts below them.
    const double lh = lineHeightMm({});
    EXPECT_NEAR(second - pieces.front()->rect.top(), 5 + (pieces.size() - 1) * lh, 1e-6);
    EXPECT_GE(second, pieces.back()->rect.bottom() - 1e-6);
    // A word wider than its box is cut rather than running out of it.
    const QStringList cut = wrapText(QStringLiteral("Supercalifragilisticoespialidoso"), {}, 15);
    EXPECT_GT(cut.size(), 1);
    EXPECT_EQ(cut.join(QString()), QStringLiteral("Supercalifragilisticoespialidoso"));
}

TEST(ReportEngine, HooksRewriteTextsAndAskForNewPages)
{
    ReportLayout l = simpleLayout();
    l.element(QStringLiteral("grupo"))->beforePrint = [](QString& t, const PrintContext& c) {
        t = QStringLiteral("[%1/%2]").arg(t).arg(c.page);
    };
    // A new page whenever the group changes, never before the first line.
    auto last = std::make_shared<QString>();
    l.bands[2].beforePrint = [last](const PrintContext& c) {
        const QString g = c.row.text(QStringLiteral("grupo"));
        const bool changed = !last->isEmpty() && g != *last;
        *last = g;
        return changed;
    };
    Element memo;
    memo.kind = ElementKind::Memo;
    memo.name = QStringLiteral("memo");
    memo.x = 150;
    memo.memoLines = [](const PrintContext& c) { return QStringList{QStringLiteral("a%1").arg(c.lineNo), QString(), "z"}; };
    l.bands[2].add(memo);
    const PageModel m = buildPages(l, rows(25));
    ASSERT_EQ(m.pages.size(), 3);
    EXPECT_EQ(pageOf(m, QStringLiteral("Fila 10")), 0);
    EXPECT_EQ(pageOf(m, QStringLiteral("Fila 11")), 1);
    EXPECT_EQ(pageOf(m, QStringLiteral("Fila 21")), 2);
    EXPECT_TRUE(m.pages[1].find(QStringLiteral("[G1/2]")));
    // The memo's empty middle line keeps its place: "z" is two lines under "a1".
    const double a = m.pages[0].find(QStringLiteral("a1"))->rect.top();
    const double z = m.pages[0].find(QStringLiteral("z"))->rect.top();
    EXPECT_NEAR(z - a, 2 * lineHeightMm({}), 1e-6);
    EXPECT_EQ(m.rows[0].last(), QStringLiteral("a1\n\nz"));
}

TEST(ReportEngine, VerticalRulesSpanTheGrownBandAndPensDiffer)
{
    ReportLayout l = simpleLayout();
    l.bands[2].add(Element::vline(60, 0, 0, 2));
    l.bands[2].add(Element::hline(0, 5, 195, 1));
    Element& e = *l.element(QStringLiteral("nombre"));
    e.width = 20;
    e.wordWrap = true;
    kv::ResultSet rs = rows(1);
    rs.rows[0][0] = QStringLiteral("palabra palabra palabra palabra");
    const PageModel m = buildPages(l, rs);
    QVector<PageItem> linesFound;
    for (const PageItem& it : m.pages[0].items)
        if (it.kind == PageItem::Line) linesFound << it;
    ASSERT_EQ(linesFound.size(), 2);
    EXPECT_GT(linesFound[0].rect.height(), 5.0);   // taller than the 5 mm band
    EXPECT_GT(linesFound[0].penMm, linesFound[1].penMm);
    EXPECT_DOUBLE_EQ(linesFound[1].rect.width(), 195.0);
}

// One layout serves many reports: each build prints its own data set's columns, wherever they
// stand, and its dates and hours in the regional settings of the moment it runs.
TEST(ReportEngine, LayoutReusedWithOtherColumnsAndOtherLocalePrintsThoseValues)
{
    ReportLayout l;
    Band& d = l.band(BandKind::Detail, 5);
    d.add(Element::data(QStringLiteral("fecha"), 0, 0));
    d.add(Element::data(QStringLiteral("Hora"), 40, 0));
    d.add(Element::data(QStringLiteral("falta"), 80, 0));
    auto data = [](bool swapped) {
        kv::ResultSet rs;
        kv::Column f{QStringLiteral("FECHA"), kv::FieldType::Date, QStringLiteral("DATE")};
        kv::Column h{QStringLiteral("hora"), kv::FieldType::Time, QStringLiteral("TIME")};
        rs.columns = swapped ? QVector<kv::Column>{h, f} : QVector<kv::Column>{f, h};
        const QVariant date = QStringLiteral("2026-03-04"), time = QStringLiteral("14:05:09");
        for (int i = 0; i < 2; ++i) rs.rows.push_back(swapped ? QVector<QVariant>{time, date} : QVector<QVariant>{date, time});
        return rs;
    };
    struct RestoreLocale {
        QLocale saved;
        ~RestoreLocale() { QLocale::setDefault(saved); }
    } restore;
    struct Case {
        QLocale locale;
        bool swapped;
        QString date, time;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), false, QStringLiteral("3/4/26"), QStringLiteral("2:05:09 PM")},
        {QLocale(QLocale::German, QLocale::Germany), true, QStringLiteral("04.03.26"), QStringLiteral("14:05:09")},
        {QLocale(QLocale::English, QLocale::UnitedStates), true, QStringLiteral("3/4/26"), QStringLiteral("2:05:09 PM")},
    };
    for (const Case& c : cases) {
        QLocale::setDefault(c.locale);
        const PageModel m = buildPages(l, data(c.swapped));
        ASSERT_EQ(m.rows.size(), 2) << c.locale.name().toStdString();
        for (const QStringList& row : m.rows)
            EXPECT_EQ(row, (QStringList{c.date, c.time, QString()})) << c.locale.name().toStdString();
        const kv::ResultSet rs = data(c.swapped);
        EXPECT_EQ(ReportRow(&rs, 1).text(QStringLiteral("fecha")), c.date);
    }
}

TEST(ReportEngine, PainterDrawsTextWhereTheModelPutsIt)
{
    ReportLayout l;
    l.band(BandKind::Title, 20).add(Element::label(QStringLiteral("x"), 100, 50, QStringLiteral("MMMMMMMM"),
                                                   {QStringLiteral("Arial"), 20, true}));
    const PageModel m = buildPages(l, {});
    const QImage img = renderPage(m, 0, 100);
    ASSERT_EQ(img.width(), int(215.9 / 25.4 * 100 + 0.5));
    const PageItem* it = m.pages[0].find(QStringLiteral("MMMMMMMM"));
    auto darkIn = [&](const QRectF& mm) {
        int dark = 0;
        const QRect r(int(mm.left() / 25.4 * 100), int(mm.top() / 25.4 * 100), int(mm.width() / 25.4 * 100),
                      int(mm.height() / 25.4 * 100));
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (qGray(img.pixel(x, y)) < 128) ++dark;
        return dark;
    };
    EXPECT_GT(darkIn(it->rect), 200);
    EXPECT_EQ(darkIn(it->rect.translated(0, it->rect.height() + 2)), 0);
    EXPECT_EQ(darkIn(QRectF(0, 0, 100, 50)), 0);
}

TEST(ReportEngine, PdfAndSavedReportRoundTrip)
{
    QTemporaryDir dir;
    PageModel m = buildPages(simpleLayout(), rows(60));
    const QString pdf = dir.filePath("r.pdf");
    writePdf(m, pdf);
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 2);

    const QString saved = dir.filePath("r.kvr");
    m.save(saved);
    const PageModel back = PageModel::load(saved);
    ASSERT_EQ(back.pages.size(), m.pages.size());
    EXPECT_EQ(back.pages[1].texts(), m.pages[1].texts());
    EXPECT_EQ(back.pages[1].find("Fila 50")->rect, m.pages[1].find("Fila 50")->rect);
    EXPECT_EQ(back.rows, m.rows);
    EXPECT_THROW(PageModel::load(pdf), ReportError);
    EXPECT_THROW(writePdf(m, dir.filePath("no/such/dir/r.pdf")), ReportError);
}

TEST(ReportExports, CsvQuotesAsRfc4180AndCarriesABom)
{
    // Fields are written by the one CSV helper (its cases: tests/core/base/CsvTest).
    PageModel m;
    m.headings = {"Nombre", "Teléfono"};
    m.rows = {{"Peña, Ana", "1"}, {"Luis", ""}, {"=HIPERVINCULO(\"x\")", "-5"}};
    EXPECT_EQ(toCsv(m), QStringLiteral("Nombre,Teléfono\r\n\"Peña, Ana\",1\r\nLuis,\r\n"
                                       "\"'=HIPERVINCULO(\"\"x\"\")\",-5\r\n"));
    QTemporaryDir dir;
    exportReport(m, ExportFormat::Csv, dir.filePath("x.csv"));
    QFile f(dir.filePath("x.csv"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\xEF\xBB\xBF") + toCsv(m).toUtf8());
}

TEST(ReportExports, TextAlignsColumnsAndHtmlEscapes)
{
    PageModel m;
    m.titleLines = {"Colegio <Uno>", "Informe"};
    m.headings = {"Cat", "Nombre"};
    m.rows = {{"10", "Ana & Luis"}, {"1", "B"}};
    const QStringList lines = toText(m).split("\r\n");
    EXPECT_EQ(lines.mid(0, 6), (QStringList{"Colegio <Uno>", "Informe", "", "Cat  Nombre", "10   Ana & Luis", "1    B"}));
    const QString html = toHtml(m);
    EXPECT_TRUE(html.contains("<td>Ana &amp; Luis</td>"));
    EXPECT_TRUE(html.contains("<h1>Colegio &lt;Uno&gt;</h1>"));
    EXPECT_TRUE(html.contains("<meta charset=\"utf-8\">"));
}
