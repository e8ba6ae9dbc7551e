#include "reports/engine/ReportExport.h"
#include "reports/engine/ReportPainter.h"
#include "reports/engine/ReportPdf.h"
#include <QDataStream>
#include <algorithm>
#include <QDir>
#include <QTemporaryFile>
#include "base/Csv.h"
#include <QFileInfo>
#include <QSaveFile>

namespace kv::rpt {

namespace {

QString csvLine(const QStringList& cells)
{
    return CsvLinea(cells) + QLatin1String("\r\n");
}

// A multi-line cell on one line of the plain text: each line break (CR LF, LF or CR)
// becomes a blank, so no stray CR is left inside a line.
QString flat(const QString& s) { return splitLines(s).join(QLatin1Char(' ')); }

} // namespace

QString toCsv(const PageModel& m)
{
    QString s = csvLine(m.headings);
    for (const QStringList& r : m.rows) s += csvLine(r);
    return s;
}

namespace {

// The widest flattened cell of each column so far.
void measure(QVector<int>& width, const QStringList& cells)
{
    if (width.size() < cells.size()) width.resize(cells.size());
    for (int i = 0; i < cells.size(); ++i) width[i] = std::max(width[i], int(flat(cells[i]).size()));
}

QString textLine(const QStringList& cells, const QVector<int>& width)
{
    QString l;
    for (int i = 0; i < cells.size(); ++i) {
        const QString c = flat(cells[i]);
        l += i + 1 < cells.size() ? c.leftJustified(width.value(i) + 2) : c;
    }
    while (l.endsWith(QLatin1Char(' '))) l.chop(1);
    return l + QLatin1String("\r\n");
}

QString textHead(const QStringList& titleLines)
{
    QString s;
    for (const QString& t : titleLines) s += t + QLatin1String("\r\n");
    return s + QLatin1String("\r\n");
}

} // namespace

QString toText(const PageModel& m)
{
    QVector<int> width;
    measure(width, m.headings);
    for (const QStringList& r : m.rows) measure(width, r);
    QString s = textHead(m.titleLines) + textLine(m.headings, width);
    for (const QStringList& r : m.rows) s += textLine(r, width);
    return s;
}

namespace {

QString esc(const QString& t) { return t.toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>")); }

QString htmlHead(const PageModel& m)
{
    QString s = QStringLiteral("<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\">\n<title>%1</title>\n"
                               "<style>body{font-family:Arial,'Liberation Sans',sans-serif;font-size:10pt}"
                               "table{border-collapse:collapse}th,td{border:1px solid #999;padding:2px 6px;"
                               "text-align:left;vertical-align:top}</style>\n</head>\n<body>\n")
                    .arg(esc(m.titleLines.value(m.titleLines.size() - 1)));
    for (int i = 0; i < m.titleLines.size(); ++i)
        s += (i == 0 ? QStringLiteral("<h1>%1</h1>\n") : QStringLiteral("<p>%1</p>\n")).arg(esc(m.titleLines[i]));
    s += QLatin1String("<table>\n<thead><tr>");
    for (const QString& h : m.headings) s += QStringLiteral("<th>%1</th>").arg(esc(h));
    s += QLatin1String("</tr></thead>\n<tbody>\n");
    return s;
}

QString htmlRow(const QStringList& r)
{
    QString s = QLatin1String("<tr>");
    for (const QString& c : r) s += QStringLiteral("<td>%1</td>").arg(esc(c));
    return s + QLatin1String("</tr>\n");
}

const char kHtmlTail[] = "</tbody>\n</table>\n</body>\n</html>\n";

} // namespace

QString toHtml(const PageModel& m)
{
    QString s = htmlHead(m);
    for (const QStringList& r : m.rows) s += htmlRow(r);
    return s + QLatin1String(kHtmlTail);
}

bool formatForSuffix(const QString& path, ExportFormat& format)
{
    const QString suf = QFileInfo(path).suffix().toLower();
    if (suf == QLatin1String("pdf")) format = ExportFormat::Pdf;
    else if (suf == QLatin1String("txt")) format = ExportFormat::Text;
    else if (suf == QLatin1String("csv")) format = ExportFormat::Csv;
    else if (suf == QLatin1String("htm") || suf == QLatin1String("html")) format = ExportFormat::Html;
    else return false;
    return true;
}

void exportReport(const PageModel& model, ExportFormat format, const QString& path)
{
    if (format == ExportFormat::Pdf) {
        writePdf(model, path);
        return;
    }
    QByteArray bytes;
    switch (format) {
    case ExportFormat::Csv: bytes = QByteArray("\xEF\xBB\xBF") + toCsv(model).toUtf8(); break;
    case ExportFormat::Text: bytes = toText(model).toUtf8(); break;
    case ExportFormat::Html: bytes = toHtml(model).toUtf8(); break;
    case ExportFormat::Pdf: break;
    }
    GuardarInforme(path, [&](QIODevice& f) { f.write(bytes); });
}

} // namespace kv::rpt

namespace kv::rpt {

namespace {

// A file written through a temporary file renamed when it is complete.
class FileSink : public PageSink {
public:
    explicit FileSink(const QString& path) : file_(path), path_(path)
    {
        if (!file_.open(QIODevice::WriteOnly)) fail();
    }
    void page(Page&&) override {}
    virtual void finish() { commit(); }

protected:
    void write(const QString& text) { write(text.toUtf8()); }
    void write(const QByteArray& bytes)
    {
        if (file_.write(bytes) != bytes.size()) fail();
    }
    void commit() { CerrarInforme(file_, path_); }
    [[noreturn]] void fail() const { throw ErrorAlGuardar(file_, path_); }

private:
    QSaveFile file_;
    QString path_;
};

class CsvSink : public FileSink {
public:
    using FileSink::FileSink;
    void start(const PageModel& head) override { write(QByteArray("\xEF\xBB\xBF") + csvLine(head.headings).toUtf8()); }
    void row(QStringList&& cells) override { write(csvLine(cells)); }
};

class HtmlSink : public FileSink {
public:
    using FileSink::FileSink;
    void start(const PageModel& head) override { write(htmlHead(head)); }
    void row(QStringList&& cells) override { write(htmlRow(cells)); }
    void finish() override
    {
        write(QByteArray(kHtmlTail));
        commit();
    }
};

// The columns are padded to their widest cell, known only after the last line: the lines wait
// in a temporary file, not in memory, and are written out padded at the end.
class TextSink : public FileSink {
public:
    explicit TextSink(const QString& path) : FileSink(path)
    {
        if (!lines_.open()) fail();
        out_.setDevice(&lines_);
    }
    void start(const PageModel& head) override
    {
        titleLines_ = head.titleLines;
        headings_ = head.headings;
        measure(width_, headings_);
    }
    void row(QStringList&& cells) override
    {
        measure(width_, cells);
        out_ << cells;
        ++rows_;
    }
    void finish() override
    {
        write(textHead(titleLines_) + textLine(headings_, width_));
        if (out_.status() != QDataStream::Ok || !lines_.flush() || !lines_.seek(0)) fail();
        QDataStream in(&lines_);
        QStringList cells;
        for (int i = 0; i < rows_; ++i) {
            in >> cells;
            if (in.status() != QDataStream::Ok) fail();
            write(textLine(cells, width_));
        }
        commit();
    }

private:
    QTemporaryFile lines_;
    QDataStream out_;
    QStringList titleLines_, headings_;
    QVector<int> width_;
    int rows_ = 0;
};

class PdfSink : public PageSink {
public:
    explicit PdfSink(const QString& path) : path_(path) {}
    void start(const PageModel& head) override
    {
        writer_ = std::make_unique<PdfWriter>(path_, head.paperMm, head.titleLines.value(head.titleLines.size() - 1));
    }
    void page(Page&& page) override { writer_->addPage(page); }
    void row(QStringList&&) override {}
    void finish() { writer_->finish(); }

private:
    QString path_;
    std::unique_ptr<PdfWriter> writer_;
};

class QtPdfSink : public PageSink {
public:
    explicit QtPdfSink(const QString& path) : path_(path) {}
    void start(const PageModel& head) override
    {
        file_ = std::make_unique<QtPdfFile>(path_, head.paperMm, head.titleLines.value(head.titleLines.size() - 1));
    }
    void page(Page&& page) override { file_->addPage(page); }
    void row(QStringList&&) override {}
    void finish() { file_->finish(); }

private:
    QString path_;
    std::unique_ptr<QtPdfFile> file_;
};

// Counts the detail lines on their way to the sink; with `release` (the rows themselves,
// handed over), each row is let go of once it has printed.
template <class Sink>
Written writeThrough(Sink& sink, const ReportLayout& layout, const ResultSet& data, ResultSet* release, int& rows)
{
    struct Counting : PageSink {
        Sink& to;
        int& rows;
        Counting(Sink& s, int& r) : to(s), rows(r) {}
        void start(const PageModel& head) override { to.start(head); }
        void page(Page&& page) override { to.page(std::move(page)); }
        void row(QStringList&& cells) override
        {
            ++rows;
            to.row(std::move(cells));
        }
    } counting(sink, rows);
    Written w;
    w.pages = release ? buildPages(layout, std::move(*release), counting) : buildPages(layout, data, counting);
    sink.finish();
    w.rows = rows;
    return w;
}

template <class Sink>
Written writeThrough(Sink& sink, const ReportLayout& layout, const ResultSet& data, ResultSet* release)
{
    int rows = 0;
    return writeThrough(sink, layout, data, release, rows);
}

// Whether libharu can set everything the report may print: the layout's fonts and own
// texts, and every text of its rows (their line breaks are split before printing). A string
// shared with the row above is looked at once.
bool libharuSetsAll(const ReportLayout& layout, const ResultSet& data)
{
    QByteArray bytes;
    auto settable = [&bytes](const QString& t) {
        if (!t.contains(QLatin1Char('\n')) && !t.contains(QLatin1Char('\r'))) return toWindows1252(t, bytes);
        QString s = t;
        s.remove(QLatin1Char('\r')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        return toWindows1252(s, bytes);
    };
    auto text = [](const QVariant& v) {
        return v.typeId() == QMetaType::QString ? static_cast<const QString*>(v.constData()) : nullptr;
    };
    std::vector<ReportFont> fonts;
    for (const Band& b : layout.bands)
        for (const Element& e : b.elements) {
            if (!settable(e.text)) return false;
            if (std::find(fonts.begin(), fonts.end(), e.font) == fonts.end()) fonts.push_back(e.font);
        }
    if (!PdfWriter::canSetFonts(fonts)) return false;
    for (int r = 0; r < data.rows.size(); ++r)
        for (int c = 0; c < data.rows[r].size(); ++c) {
            const QString* t = text(data.rows[r][c]);
            if (!t) continue;
            const QString* above = r > 0 && c < data.rows[r - 1].size() ? text(data.rows[r - 1][c]) : nullptr;
            if (above && above->constData() == t->constData()) continue;
            if (!settable(*t)) return false;
        }
    return true;
}

Written write(const ReportLayout& layout, const ResultSet& data, ExportFormat format, const QString& path,
              ResultSet* release)
{
    switch (format) {
    case ExportFormat::Pdf: {
        if (!QFileInfo(path).absoluteDir().exists())
            throw ReportError(QStringLiteral("No se pudo escribir el archivo: %1").arg(path));
        int rows = 0;
        try {
            PdfSink sink(path);
            return writeThrough(sink, layout, data, release, rows);
        } catch (const PdfUnsupported& e) {
            // What libharu's fonts cannot set: the pages are made again and drawn through
            // QPainter. Rows are given up only after libharuSetsAll, so this cannot find them
            // gone; if it ever did, the report is refused rather than written short.
            if (release && rows > 0)
                throw ReportError(QStringLiteral("No se pudo escribir el archivo: %1 (%2)")
                                      .arg(path, QString::fromStdString(e.what())));
        }
        QtPdfSink sink(path);
        return writeThrough(sink, layout, data, release);
    }
    case ExportFormat::Csv: {
        CsvSink sink(path);
        return writeThrough(sink, layout, data, release);
    }
    case ExportFormat::Text: {
        TextSink sink(path);
        return writeThrough(sink, layout, data, release);
    }
    case ExportFormat::Html: {
        HtmlSink sink(path);
        return writeThrough(sink, layout, data, release);
    }
    }
    return {};
}

} // namespace

Written exportReport(const ReportLayout& layout, const ResultSet& data, ExportFormat format, const QString& path)
{
    return write(layout, data, format, path, nullptr);
}

Written exportReport(const ReportLayout& layout, ResultSet&& data, ExportFormat format, const QString& path)
{
    // A PDF that may have to be made again through QPainter keeps its rows to the end.
    const bool giveUp = format != ExportFormat::Pdf || libharuSetsAll(layout, data);
    return write(layout, data, format, path, giveUp ? &data : nullptr);
}

} // namespace kv::rpt
