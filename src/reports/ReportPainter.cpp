#include "reports/ReportPainter.h"
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPdfWriter>

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

} // namespace

void paintPage(QPainter& painter, const PageModel& model, int page, const QRectF& target)
{
    if (page < 0 || page >= model.pages.size() || model.paperMm.isEmpty()) return;
    const double sx = target.width() / model.paperMm.width();
    const double sy = target.height() / model.paperMm.height();
    auto px = [&](const QRectF& mm) {
        return QRectF(target.left() + mm.left() * sx, target.top() + mm.top() * sy, mm.width() * sx,
                      mm.height() * sy);
    };
    painter.save();
    painter.fillRect(target, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const PageItem& it : model.pages[page].items) {
        switch (it.kind) {
        case PageItem::Text: {
            const QFont f = deviceFont(it.font, sy, painter.device());
            painter.setFont(f);
            painter.setPen(Qt::black);
            const QRectF r = px(it.rect);
            const QFontMetricsF fm(f, painter.device());
            painter.drawText(QPointF(r.left(), r.top() + fm.ascent()), it.text);
            break;
        }
        case PageItem::Image: {
            const QRectF frame = px(it.rect);
            // Drawn at its own size from the corner; a picture larger than its frame is
            // reduced to fit instead of showing only its top-left part.
            QSizeF size(it.imageSizeMm.width() * sx, it.imageSizeMm.height() * sy);
            if (size.width() > frame.width() || size.height() > frame.height())
                size.scale(frame.size(), Qt::KeepAspectRatio);
            const QRectF pic(frame.topLeft(), size);
            painter.save();
            painter.setClipRect(frame);
            painter.drawImage(pic, it.image);
            painter.restore();
            break;
        }
        case PageItem::Line: {
            QPen pen(Qt::black);
            pen.setWidthF(std::max(1.0, it.penMm * sy));
            painter.setPen(pen);
            const QRectF r = px(it.rect);
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        }
        }
    }
    painter.restore();
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
    for (int p = from; p <= to; ++p) {
        if (p > from && !device.newPage()) break;
        paintPage(painter, model, p, target);
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

void writePdf(const PageModel& model, const QString& path)
{
    if (!QFileInfo(path).absoluteDir().exists())
        throw ReportError(QStringLiteral("No se pudo escribir el archivo: %1").arg(path));
    QPdfWriter pdf(path);
    pdf.setResolution(600);
    pdf.setCreator(QStringLiteral("Kelvora"));
    pdf.setTitle(model.titleLines.value(model.titleLines.size() - 1));
    const QSizeF portrait(std::min(model.paperMm.width(), model.paperMm.height()),
                          std::max(model.paperMm.width(), model.paperMm.height()));
    const auto orientation = model.paperMm.width() > model.paperMm.height() ? QPageLayout::Landscape
                                                                            : QPageLayout::Portrait;
    pdf.setPageLayout(QPageLayout(QPageSize(portrait, QPageSize::Millimeter), orientation, QMarginsF(0, 0, 0, 0),
                                  QPageLayout::Millimeter));
    if (paintPages(pdf, model) == 0 && model.pages.isEmpty())
        throw ReportError(QStringLiteral("El informe no tiene páginas."));
}

} // namespace kv::rpt
