#include "reports/engine/ReportPainter.h"
#include "reports/engine/ReportPdf.h"
#include <QDir>
#include <QSaveFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QPdfWriter>
#include <QTextLayout>

namespace kv::rpt {

namespace {

QFont deviceFont(const ReportFont& f, double pxPerMm, const QPaintDevice* device)
{
    QFont qf(fontFamilyFor(f.family));
    // Sized so that one point of the layout is 25.4/72 mm on the target, whatever its dpi.
    const double dpi = device && device->logicalDpiY() > 0 ? device->logicalDpiY() : 96.0;
    qf.setPointSizeF(f.pointSize * pxPerMm * 25.4 / dpi);
    qf.setBold(f.bold);
    qf.setItalic(f.italic);
    qf.setHintingPreference(QFont::PreferNoHinting);
    return qf;
}

// Draws pages onto one painter and target. Fonts, and the shaped glyphs of each text, are
// made once and reused on every page: a report prints the same dates, hours and names
// thousands of times.
class PagePainter {
public:
    PagePainter(QPainter& painter, const QSizeF& paperMm, const QRectF& target) : painter_(painter), target_(target)
    {
        sx_ = target.width() / paperMm.width();
        sy_ = target.height() / paperMm.height();
    }

    void paint(const Page& page)
    {
        QPainter& painter = painter_;
        painter.save();
        painter.fillRect(target_, Qt::white);
        painter.setPen(Qt::black);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        for (const PageItem& it : page.items) {
            switch (it.kind) {
            case PageItem::Text: {
                const QRectF r = px(it.rect);
                for (const QGlyphRun& run : glyphs(it.font, it.text)) painter.drawGlyphRun(r.topLeft(), run);
                break;
            }
            case PageItem::Image: {
                const QRectF frame = px(it.rect);
                // Drawn at its own size from the corner; a picture larger than its frame is
                // reduced to fit instead of showing only its top-left part.
                QSizeF size(it.imageSizeMm.width() * sx_, it.imageSizeMm.height() * sy_);
                if (size.width() > frame.width() || size.height() > frame.height())
                    size.scale(frame.size(), Qt::KeepAspectRatio);
                painter.save();
                painter.setClipRect(frame);
                painter.drawImage(QRectF(frame.topLeft(), size), it.image);
                painter.restore();
                break;
            }
            case PageItem::Line: {
                painter.setPen(linePen(it.penMm));
                const QRectF r = px(it.rect);
                painter.drawLine(r.topLeft(), r.bottomRight());
                painter.setPen(black_);
                break;
            }
            }
        }
        painter.restore();
    }

private:
    QRectF px(const QRectF& mm) const
    {
        return QRectF(target_.left() + mm.left() * sx_, target_.top() + mm.top() * sy_, mm.width() * sx_,
                      mm.height() * sy_);
    }

    struct Cached {
        ReportFont font;
        QFont qfont;
        QHash<QString, QList<QGlyphRun>> runs;
    };

    // Lines come in two pen widths: each pen is made once.
    const QPen& linePen(double penMm)
    {
        for (const auto& p : pens_)
            if (p.first == penMm) return p.second;
        QPen pen(Qt::black);
        pen.setWidthF(std::max(1.0, penMm * sy_));
        pens_.emplace_back(penMm, pen);
        return pens_.back().second;
    }

    const QList<QGlyphRun>& glyphs(const ReportFont& f, const QString& text)
    {
        // Consecutive items mostly share a font: the last one found is tried first.
        Cached* c = last_ && last_->font == f ? last_ : nullptr;
        for (auto& x : fonts_)
            if (!c && x->font == f) c = x.get();
        if (!c) {
            fonts_.push_back(std::make_unique<Cached>(Cached{f, deviceFont(f, sy_, painter_.device()), {}}));
            c = fonts_.back().get();
        }
        last_ = c;
        auto it = c->runs.constFind(text);
        if (it != c->runs.constEnd()) return *it;
        QTextLayout layout(text, c->qfont, painter_.device());
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(1e9);
        layout.endLayout();
        if (c->runs.size() > 100000) c->runs.clear();
        return *c->runs.insert(text, layout.glyphRuns());
    }

    QPainter& painter_;
    QRectF target_;
    double sx_ = 1, sy_ = 1;
    std::vector<std::unique_ptr<Cached>> fonts_;
    Cached* last_ = nullptr;
    std::vector<std::pair<double, QPen>> pens_;
    const QPen black_{Qt::black};
};

} // namespace

void paintPage(QPainter& painter, const PageModel& model, int page, const QRectF& target)
{
    if (model.paperMm.isEmpty() || page < 0 || page >= model.pages.size()) return;
    PagePainter(painter, model.paperMm, target).paint(model.pages[page]);
}

int paintPages(QPagedPaintDevice& device, const PageModel& model, const std::function<bool(int, int)>& progress,
               int from, int to)
{
    if (to < 0 || to >= model.pages.size()) to = model.pages.size() - 1;
    from = std::max(0, from);
    if (from > to) return 0;
    QPainter painter;
    if (!painter.begin(&device)) throw ReportError(QStringLiteral("No se pudo iniciar la impresión."));
    const double dpmm = device.logicalDpiX() / 25.4;
    const QRectF target(0, 0, model.paperMm.width() * dpmm, model.paperMm.height() * device.logicalDpiY() / 25.4);
    int drawn = 0;
    const int total = to - from + 1;
    PagePainter pp(painter, model.paperMm, target);
    for (int p = from; p <= to; ++p) {
        if (p > from && !device.newPage()) break;
        pp.paint(model.pages[p]);
        ++drawn;
        if (progress && !progress(drawn, total)) break;
    }
    painter.end();
    return drawn;
}

QImage renderPage(const PageModel& model, int page, double dpi)
{
    const QSize size(int(model.paperMm.width() / 25.4 * dpi + 0.5), int(model.paperMm.height() / 25.4 * dpi + 0.5));
    QImage img(size, QImage::Format_RGB32);
    const int dpm = int(dpi / 0.0254 + 0.5);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::white);
    QPainter p(&img);
    paintPage(p, model, page, QRectF(QPointF(0, 0), QSizeF(size)));
    p.end();
    return img;
}

struct QtPdfFile::Impl {
    QString path;
    QSaveFile file;
    std::unique_ptr<QPdfWriter> pdf;
    QPainter painter;
    std::unique_ptr<PagePainter> pages;
    int count = 0;
    explicit Impl(const QString& p) : path(p), file(p) {}
};

QtPdfFile::QtPdfFile(const QString& path, const QSizeF& paperMm, const QString& title) : d(std::make_unique<Impl>(path))
{
    const QString cannot = QStringLiteral("No se pudo escribir el archivo: %1").arg(path);
    if (!QFileInfo(path).absoluteDir().exists() || !d->file.open(QIODevice::WriteOnly)) throw ReportError(cannot);
    d->pdf = std::make_unique<QPdfWriter>(&d->file);
    QPdfWriter& pdf = *d->pdf;
    pdf.setResolution(600);
    pdf.setCreator(QStringLiteral("Kelvora"));
    pdf.setTitle(title);
    const QSizeF portrait(std::min(paperMm.width(), paperMm.height()), std::max(paperMm.width(), paperMm.height()));
    const auto orientation = paperMm.width() > paperMm.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
    pdf.setPageLayout(QPageLayout(QPageSize(portrait, QPageSize::Millimeter), orientation, QMarginsF(0, 0, 0, 0),
                                  QPageLayout::Millimeter));
    if (!d->painter.begin(&pdf)) throw ReportError(cannot);
    const QRectF target(0, 0, paperMm.width() * pdf.logicalDpiX() / 25.4, paperMm.height() * pdf.logicalDpiY() / 25.4);
    d->pages = std::make_unique<PagePainter>(d->painter, paperMm, target);
}

QtPdfFile::~QtPdfFile()
{
    if (d->painter.isActive()) d->painter.end();
}

void QtPdfFile::addPage(const Page& page)
{
    if (d->count > 0 && !d->pdf->newPage())
        throw ReportError(QStringLiteral("No se pudo escribir el archivo: %1").arg(d->path));
    d->pages->paint(page);
    ++d->count;
}

int QtPdfFile::pages() const { return d->count; }

void QtPdfFile::finish()
{
    if (d->count == 0) throw ReportError(QStringLiteral("El informe no tiene páginas."));
    d->pages.reset();
    d->painter.end();
    if (!d->file.commit()) throw ReportError(QStringLiteral("No se pudo escribir el archivo: %1").arg(d->path));
}

void writePdfQt(const PageModel& model, const QString& path)
{
    QtPdfFile f(path, model.paperMm, model.titleLines.value(model.titleLines.size() - 1));
    for (const Page& p : model.pages) f.addPage(p);
    f.finish();
}

void writePdf(const PageModel& model, const QString& path)
{
    const QString title = model.titleLines.value(model.titleLines.size() - 1);
    try {
        PdfWriter w(path, model.paperMm, title);
        for (const Page& p : model.pages) w.addPage(p);
        w.finish();
    } catch (const PdfUnsupported&) {
        // A character or font libharu's fonts cannot set: the whole file through QPainter.
        writePdfQt(model, path);
    }
}

} // namespace kv::rpt
