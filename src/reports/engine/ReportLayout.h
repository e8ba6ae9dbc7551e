#pragma once
// A band report, as a layout: bands (title, column headings, detail, summary) holding
// elements placed in millimetres from the top-left corner of the printable area.
// buildPages() turns a layout and a data set into a PageModel; nothing here draws.
#include "base/Error.h"
#include "data/Database.h"
#include <QImage>
#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <deque>
#include <functional>
#include <vector>

namespace kv::rpt {

// A report that cannot be made or read (Spanish message).
class ReportError : public Error {
public:
    using Error::Error;
};

struct ReportFont {
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool operator==(const ReportFont& o) const
    {
        return family == o.family && pointSize == o.pointSize && bold == o.bold && italic == o.italic;
    }
};

// The current row of the data set while a detail band prints.
class ReportRow {
public:
    ReportRow(const ResultSet* rs, int index) : rs_(rs), index_(index) {}
    bool valid() const { return rs_ && index_ >= 0 && index_ < rs_->rows.size(); }
    int index() const { return index_; }
    QVariant value(const QString& field) const;   // null when missing
    // The display text: dates in the short date format, times in the long time format.
    QString text(const QString& field) const;
private:
    const ResultSet* rs_;
    int index_;
};

// What hooks see while a band prints.
struct PrintContext {
    ReportRow row{nullptr, -1};  // the current row (title and headings: the first; none when empty)
    int lineNo = 0;              // running number of the detail line (1 for the first)
    int page = 1;
};

enum class ElementKind { Text, Field, Memo, Image, Date, LineNo, HLine, VLine };

struct Element {
    ElementKind kind = ElementKind::Text;
    QString name;               // the component name, for tests and hooks
    double x = 0, y = 0;        // mm from the band's top-left corner
    double width = 0;           // 0: grows with the text; else one line cut with an ellipsis,
                                // unless wordWrap
    double height = 0;          // 0: one line of its font (lines: 0 = whole band height)
    bool wordWrap = false;      // with a width: breaks at word boundaries, grows downward
    ReportFont font;
    QString text;               // static text; layout text of the others
    QString field;              // Field: the column printed
    int pen = 1;                // lines: 1 or 2
    QImage image;               // Image: unscaled, clipped to the frame
    // Called just before the element prints; may replace the text.
    std::function<void(QString& text, const PrintContext&)> beforePrint;
    // Memo: its lines, filled before each detail prints.
    std::function<QStringList(const PrintContext&)> memoLines;

    static Element label(QString name, double x, double y, QString text, ReportFont f = {});
    static Element data(QString field, double x, double y, ReportFont f = {});
    static Element box(QString name, double x, double y, double width, QString text, ReportFont f = {});
    // y < 0: at the bottom of the band, after it has grown.
    static Element hline(double x, double y, double width, int pen = 1);
    static Element vline(double x, double y, double height = 0, int pen = 1);
};

enum class BandKind { Title, ColumnHeader, Detail, Summary };

struct Band {
    BandKind kind = BandKind::Detail;
    double height = 0;          // mm; grows when an element grows
    std::vector<Element> elements;
    // Runs before the band prints; returning true starts a new page first.
    std::function<bool(const PrintContext&)> beforePrint;
    Element& add(Element e) { elements.push_back(std::move(e)); return elements.back(); }
};

struct PageSetup {
    QPageSize::PageSizeId paper = QPageSize::Letter;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF marginsMm{10, 10, 10, 10};  // left, top, right, bottom
    QSizeF paperSizeMm() const;           // after orientation
};

struct ReportLayout {
    QString name;               // the report class, e.g. "TfrmRptAsistieron"
    PageSetup page;
    std::deque<Band> bands;     // a deque: a Band& stays valid while more bands are added
    // Export column headings when the report has no column-heading band.
    QStringList exportHeadings;
    Band& band(BandKind kind, double height);  // finds or adds
    Element* element(const QString& name);     // nullptr when none has that name
};

struct PageModel;
class PageSink;
PageModel buildPages(const ReportLayout& layout, const ResultSet& data);
// The same pages handed to sink one by one as each is finished; none is kept, so the memory
// does not grow with the pages. Returns the number of pages.
int buildPages(const ReportLayout& layout, const ResultSet& data, PageSink& sink);
// The same, letting go of each row of `data` once it has printed: the rows and the pages
// made from them are not in memory together. `data` keeps its size, its rows emptied.
int buildPages(const ReportLayout& layout, ResultSet&& data, PageSink& sink);

// The family actually asked of the font system: Arial is Liberation Sans (same metrics).
QString fontFamilyFor(const QString& family);

// The regional settings dates and times print with; a machine without any (the C locale)
// prints them the Spanish way.
QLocale reportLocale();

// A text's lines, split at each line break (CR LF, LF or CR).
QStringList splitLines(const QString& text);
// The text cut to widthMm with an ellipsis at the end (unchanged when it fits).
QString elideText(const QString& text, const ReportFont& font, double widthMm);
// Greedy word wrap of one paragraph within widthMm; a word wider than the box is cut.
QStringList wrapText(const QString& text, const ReportFont& font, double widthMm);
double textWidthMm(const QString& text, const ReportFont& font);
double lineHeightMm(const ReportFont& font);

} // namespace kv::rpt
