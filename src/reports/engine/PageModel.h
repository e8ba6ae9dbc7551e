#pragma once
// The rendered pages of a report: positioned texts, images and lines in millimetres from
// the paper's top-left corner. Painting, exporting and saving all start from here.
#include "reports/engine/ReportLayout.h"
#include <QRectF>
#include <QVector>

namespace kv::rpt {

struct PageItem {
    enum Kind { Text, Image, Line };
    Kind kind = Text;
    QRectF rect;            // mm; text: one line box; line: its centre line as a thin rect
    QString text;           // one line, already broken
    ReportFont font;
    QImage image;
    QSizeF imageSizeMm;     // the picture's own size (drawn unscaled, clipped to rect)
    double penMm = 0;
    QString element;        // name of the element that printed it
};

struct Page {
    QVector<PageItem> items;
    QStringList texts() const;                          // in printing order
    const PageItem* find(const QString& text) const;    // first text item equal to text
};

struct PageModel {
    QString reportName;
    QSizeF paperMm;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QVector<Page> pages;
    // What the exports write: the title lines, the headings and each detail line's cells.
    QStringList titleLines;
    QStringList headings;
    QVector<QStringList> rows;

    // Saving a rendered report and opening it again. load() raises ReportError with a
    // Spanish message for a file that is not a saved report.
    void save(const QString& path) const;
    static PageModel load(const QString& path);
};

// Takes a report's pages one at a time as each is finished, and each detail line's export
// cells, instead of a PageModel keeping them all: what the files are written through.
class PageSink {
public:
    virtual ~PageSink() = default;
    // Once, before any page or row: the model's paper, title lines and headings (no pages).
    virtual void start(const PageModel& head) = 0;
    virtual void page(Page&& page) = 0;
    virtual void row(QStringList&& cells) = 0;
};

} // namespace kv::rpt
