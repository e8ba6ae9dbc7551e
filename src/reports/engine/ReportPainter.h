#pragma once
// Draws a PageModel onto any painter: the preview's picture, the printer, a PDF file.
#include "reports/engine/PageModel.h"
#include <QPagedPaintDevice>
#include <QPainter>
#include <functional>
#include <memory>

namespace kv::rpt {

// Draws one page with the paper's top-left corner at target.topLeft() and the paper's
// size stretched to target.size() (device pixels).
void paintPage(QPainter& painter, const PageModel& model, int page, const QRectF& targetPx);

// Every page (or pages [from, to], 0-based) onto a paged device whose page size and full-page
// origin the caller has set. `progress(done, total)` is called after each page; returning
// false stops. Returns the number of pages drawn.
int paintPages(QPagedPaintDevice& device, const PageModel& model,
               const std::function<bool(int, int)>& progress = {}, int from = 0, int to = -1);

// The page as a picture at the given resolution (dots per inch).
QImage renderPage(const PageModel& model, int page, double dpi);

// The whole report as a PDF file, through libharu (ReportPdf.h); a report holding what its
// fonts cannot set goes through QPainter instead. ReportError when it cannot be written.
void writePdf(const PageModel& model, const QString& path);
// The same through QPainter and QPdfWriter only.
void writePdfQt(const PageModel& model, const QString& path);

// A PDF file drawn through QPainter (QPdfWriter) one page at a time, written through a
// temporary file renamed at finish(). ReportError when it cannot be written.
class QtPdfFile {
public:
    QtPdfFile(const QString& path, const QSizeF& paperMm, const QString& title);
    ~QtPdfFile();
    void addPage(const Page& page);
    int pages() const;
    void finish();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace kv::rpt
