// The PDF files through libharu against the same pages drawn by QPainter: a clean file with
// its fonts embedded and subset, every word extractable (accents too) in the same place,
// the same picture; what libharu's fonts cannot set goes through QPainter; and the streamed
// exports write what the kept model writes.
#include "reports/engine/PageModel.h"
#include "reports/engine/ReportExport.h"
#include "reports/engine/ReportPainter.h"
#include "reports/engine/ReportPdf.h"
#include "reports/engine/TitleBlock.h"
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv::rpt;

namespace {

struct ToolRun {
    int rc = -1;
    QString out, err;
};

ToolRun tool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

kv::ResultSet people(int n, const QString& odd = QString(), int oddRow = -1)
{
    kv::ResultSet rs;
    for (const char* c : {"nombre", "hora", "detalle"})
        rs.columns.append({QString::fromLatin1(c), kv::FieldType::Text, QStringLiteral("TEXT")});
    for (int i = 0; i < n; ++i)
        rs.rows.push_back({i == oddRow ? odd : QStringLiteral("PEÑA NÚÑEZ, JOSÉ %1").arg(i),
                           QStringLiteral("07:%1 a. m.").arg(i % 60, 2, 10, QLatin1Char('0')),
                           i % 3 ? QString() : QStringLiteral("Llegó tarde — «permiso» del acudiente")});
    return rs;
}

// A movement report in small: logo, bold title, headings over a thick line, details in two
// sizes over thin lines and between vertical lines, landscape Letter.
ReportLayout roll()
{
    ReportLayout l;
    l.name = QStringLiteral("Prueba");
    l.page.orientation = QPageLayout::Landscape;
    Band& t = l.band(BandKind::Title, 30);
    Element logo;
    logo.kind = ElementKind::Image;
    logo.name = QStringLiteral("logo");
    logo.width = logo.height = 25;
    logo.image = EscudoIncorporado();
    t.add(logo);
    t.add(Element::label(QStringLiteral("colegio"), 40, 2, QStringLiteral("Colegio Año Nuevo"), {"Arial", 14, true}));
    t.add(Element::label(QStringLiteral("titulo"), 40, 12, QStringLiteral("Asistencia del día"), {"Arial", 10, false, true}));
    Band& h = l.band(BandKind::ColumnHeader, 8);
    h.add(Element::label(QStringLiteral("h1"), 0, 1, QStringLiteral("Nombre"), {"Arial", 10, true}));
    h.add(Element::label(QStringLiteral("h2"), 90, 1, QStringLiteral("Hora"), {"Arial", 10, true}));
    h.add(Element::label(QStringLiteral("h3"), 120, 1, QStringLiteral("Detalle"), {"Arial", 10, true}));
    h.add(Element::hline(0, -1, 250, 2));
    Band& d = l.band(BandKind::Detail, 5.3);
    d.add(Element::data(QStringLiteral("nombre"), 0, 0, {"Arial", 10}));
    d.add(Element::data(QStringLiteral("hora"), 90, 0, {"Arial", 8}));
    d.add(Element::data(QStringLiteral("detalle"), 120, 0, {"Arial", 8}));
    d.add(Element::hline(0, -1, 250, 1));
    d.add(Element::vline(88, 0));
    return l;
}

struct Word {
    QString text;
    double x, y;
};

QVector<Word> words(const QString& pdf, QString* warnings = nullptr)
{
    const ToolRun r = tool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (warnings) *warnings = r.err;
    QVector<Word> out;
    static const QRegularExpression re(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    for (auto m = re.globalMatch(r.out); m.hasNext();) {
        const auto w = m.next();
        out.push_back({w.captured(3), w.captured(1).toDouble(), w.captured(2).toDouble()});
    }
    return out;
}

} // namespace

TEST(ReportPdf, LibharuFileIsCleanWithSubsetFontsAndExtractableAccents)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("r.pdf");
    const PageModel m = buildPages(roll(), people(90));
    writePdf(m, pdf);
    ASSERT_TRUE(bytesOf(pdf).contains("Haru Free PDF Library")) << "written by libharu, not QPdfWriter";

    const ToolRun check = tool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
    EXPECT_EQ(check.rc, 0) << check.out.toStdString() << check.err.toStdString();
    EXPECT_TRUE(check.out.contains("No syntax or stream encoding errors")) << check.out.toStdString();

    QString warnings;
    const QVector<Word> w = words(pdf, &warnings);
    EXPECT_EQ(warnings, QString()) << "pdftotext warns";
    QStringList text;
    for (const Word& x : w) text << x.text;
    const QString all = text.join(' ');
    for (const char* s : {"Colegio Año Nuevo", "Asistencia del día", "PEÑA NÚÑEZ, JOSÉ 89", "Llegó tarde — «permiso»"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(s))) << s;

    // Regular, bold and italic: each embedded and subset.
    const ToolRun fonts = tool(QStringLiteral("pdffonts"), {pdf});
    const QStringList lines = fonts.out.split('\n', Qt::SkipEmptyParts).mid(2);
    EXPECT_EQ(lines.size(), 3) << fonts.out.toStdString();
    for (const QString& l : lines) {
        EXPECT_TRUE(l.section(' ', 0, 0).contains('+')) << l.toStdString();
        EXPECT_TRUE(l.contains(QRegularExpression(" yes +yes "))) << "embedded and subset: " << l.toStdString();
    }
}

TEST(ReportPdf, BothPaintersPutEveryWordInTheSamePlaceAndDrawTheSamePicture)
{
    QTemporaryDir dir;
    const PageModel m = buildPages(roll(), people(40));
    ASSERT_EQ(m.pages.size(), 2);
    writePdf(m, dir.filePath("haru.pdf"));
    writePdfQt(m, dir.filePath("qt.pdf"));

    const QVector<Word> haru = words(dir.filePath("haru.pdf")), qt = words(dir.filePath("qt.pdf"));
    ASSERT_EQ(haru.size(), qt.size());
    ASSERT_GT(haru.size(), 300);
    double worst = 0;
    for (int i = 0; i < haru.size(); ++i) {
        ASSERT_EQ(haru[i].text, qt[i].text) << i;
        worst = std::max({worst, std::abs(haru[i].x - qt[i].x), std::abs(haru[i].y - qt[i].y)});
    }
    // Every text starts where QPainter starts it; libharu sets the font's own advances where
    // Qt applies the font's kerning, so the end of a long text may lie up to a point away.
    EXPECT_LT(worst, 1.2) << "points apart at worst";

    // Both first pages at 50 dpi: the same dark pixels, the logo's among them.
    for (const char* name : {"haru", "qt"})
        ASSERT_EQ(tool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-gray"),
                                                    QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                    QStringLiteral("1"), dir.filePath(QString::fromLatin1(name) + ".pdf"),
                                                    dir.filePath(QString::fromLatin1(name))})
                      .rc,
                  0);
    const QImage a(dir.filePath("haru-1.pgm")), b(dir.filePath("qt-1.pgm"));
    ASSERT_FALSE(a.isNull());
    ASSERT_EQ(a.size(), b.size());
    int dark = 0, differ = 0, logo = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const int ga = qGray(a.pixel(x, y)), gb = qGray(b.pixel(x, y));
            dark += ga < 128;
            differ += std::abs(ga - gb) > 96;
            logo += ga < 250 && x < 35 * 50 / 25.4 && y < 35 * 50 / 25.4;
        }
    EXPECT_GT(dark, 2000);
    EXPECT_LT(differ, dark / 10) << differ << " of " << dark;
    EXPECT_GT(logo, 100) << "the logo is drawn";
}

TEST(ReportPdf, WhatTheFontsCannotSetGoesThroughQPainter)
{
    struct Case {
        QString text;
        bool fits;
    };
    const Case cases[] = {{"Peña Núñez", true},   {"€ “x” – … ™", true}, {"Łódź", false},
                          {"東京", false},         {"a\tb", false},       {"", true}};
    for (const Case& c : cases) {
        QByteArray out;
        EXPECT_EQ(toWindows1252(c.text, out), c.fits) << c.text.toStdString();
        if (c.fits) {
            EXPECT_EQ(out.size(), c.text.size());
        }
    }
    QByteArray euro;
    ASSERT_TRUE(toWindows1252(QStringLiteral("€ñ"), euro));
    EXPECT_EQ(euro, QByteArray("\x80\xF1"));

    // A name far down the report: the kept model and the streamed export both end in a file
    // that holds it, through QPainter.
    QTemporaryDir dir;
    const kv::ResultSet rs = people(60, QStringLiteral("ŁUKASZ ŻÓŁW"), 55);
    const PageModel m = buildPages(roll(), rs);
    ASSERT_EQ(m.pages.size(), 2);
    ASSERT_TRUE(m.pages[1].find(QStringLiteral("ŁUKASZ ŻÓŁW")));
    writePdf(m, dir.filePath("kept.pdf"));
    const Written w = exportReport(roll(), rs, ExportFormat::Pdf, dir.filePath("streamed.pdf"));
    EXPECT_EQ(w.pages, 2);
    EXPECT_EQ(w.rows, 60);
    // Rows handed over are seen to hold such a text before any is let go of.
    EXPECT_EQ(exportReport(roll(), people(60, QStringLiteral("ŁUKASZ ŻÓŁW"), 55), ExportFormat::Pdf,
                           dir.filePath("handed.pdf")).rows, 60);
    for (const char* f : {"kept.pdf", "streamed.pdf", "handed.pdf"}) {
        const ToolRun t = tool(QStringLiteral("pdftotext"), {dir.filePath(QString::fromLatin1(f)), QStringLiteral("-")});
        EXPECT_TRUE(t.out.contains(QStringLiteral("ŁUKASZ ŻÓŁW"))) << f;
        EXPECT_TRUE(t.out.contains(QStringLiteral("PEÑA NÚÑEZ, JOSÉ 59"))) << f;
        EXPECT_EQ(tool(QStringLiteral("pdfinfo"), {dir.filePath(QString::fromLatin1(f))}).out.count(QRegularExpression("Pages: +2\\n")), 1) << f;
    }
}

TEST(ReportPdf, StreamedExportsWriteWhatTheKeptModelWrites)
{
    QTemporaryDir dir;
    const kv::ResultSet rs = people(150);
    const PageModel m = buildPages(roll(), rs);
    const ExportFormat formats[] = {ExportFormat::Pdf, ExportFormat::Csv, ExportFormat::Text, ExportFormat::Html};
    for (ExportFormat f : formats) {
        const QString kept = dir.filePath(QStringLiteral("kept%1").arg(int(f)));
        const QString streamed = dir.filePath(QStringLiteral("streamed%1").arg(int(f)));
        exportReport(m, f, kept);
        const Written w = exportReport(roll(), rs, f, streamed);
        EXPECT_EQ(w.pages, m.pages.size()) << int(f);
        EXPECT_EQ(w.rows, 150) << int(f);
        EXPECT_FALSE(bytesOf(kept).isEmpty()) << int(f);
        EXPECT_EQ(bytesOf(streamed), bytesOf(kept)) << int(f);
        // the rows handed over, each let go of once printed: the same file
        const QString handed = streamed + QStringLiteral("-handed");
        EXPECT_EQ(exportReport(roll(), people(150), f, handed).rows, 150) << int(f);
        EXPECT_EQ(bytesOf(handed), bytesOf(kept)) << int(f);
    }
    EXPECT_THROW(exportReport(roll(), rs, ExportFormat::Pdf, dir.filePath("no/such/dir/r.pdf")), ReportError);
    EXPECT_THROW(exportReport(roll(), rs, ExportFormat::Text, dir.filePath("no/such/dir/r.txt")), ReportError);
    EXPECT_FALSE(QFile::exists(dir.filePath("no/such/dir/r.pdf")));
}
