#pragma once
// The PDF files of the reports, written with libharu. Each line of text is set with one
// operator and the pages go to the writer one at a time, so a report of thousands of pages
// is written in about a second. The preview and the printer draw through QPainter
// (ReportPainter), which remains the way for what this writer cannot set.
#include "reports/engine/PageModel.h"
#include <memory>
#include <stdexcept>
#include <vector>

namespace kv::rpt {

// A page this writer cannot reproduce: a text holding a character outside the Western
// European code page (Windows-1252), or a font without a TrueType file. The caller writes
// the report through QPainter instead; the message says what was met (for the log only).
class PdfUnsupported : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PdfWriter {
public:
    // Nothing is written before finish(). The title goes into the file's information.
    PdfWriter(const QString& path, const QSizeF& paperMm, const QString& title);
    ~PdfWriter();
    PdfWriter(const PdfWriter&) = delete;
    PdfWriter& operator=(const PdfWriter&) = delete;

    // Adds one page. PdfUnsupported when the page holds what the writer cannot set (the
    // pages before it stay), ReportError when the library fails.
    void addPage(const Page& page);
    int pages() const;
    // Writes the file through a temporary file renamed at the end; ReportError when the
    // folder does not exist or the file cannot be written. Raises the same for no page.
    void finish();

    // Whether every one of the fonts can be set (each is loaded into a scratch document,
    // nothing is written): a report can then be sure not to be sent back to QPainter over a
    // font once its first page is made.
    static bool canSetFonts(const std::vector<ReportFont>& fonts);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The text in Windows-1252 bytes; false when a character has no place there.
bool toWindows1252(const QString& text, QByteArray& out);

} // namespace kv::rpt
