#include "reports/engine/ReportLayout.h"
#include "reports/engine/PageModel.h"
#include "base/Clock.h"
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QLocale>
#include <algorithm>
#include "reports/engine/ReportCells.h"

namespace kv::rpt {

// From a layout and its rows to the pages.


namespace {

struct RenderedBand {
    double height = 0;
    QVector<PageItem> items;   // y relative to the band's top
    QStringList cells;         // printed texts in x order (exports)
};

// What one build looks up once instead of on every line: the column of each data-bound
// element, and the metrics of each element's font.
class BuildCache {
public:
    explicit BuildCache(const ResultSet& data) : data_(data) {}

    QString fieldText(const Element& e, const ReportRow& row)
    {
        if (!row.valid()) return {};
        auto it = columns_.constFind(&e);
        if (it == columns_.constEnd()) it = columns_.insert(&e, data_.columnIndex(e.field));
        return *it < 0 ? QString() : detail::cellText(data_, row.index(), *it);
    }

    double lineHeight(const Element& e)
    {
        auto it = lineHeights_.constFind(&e);
        if (it == lineHeights_.constEnd()) it = lineHeights_.insert(&e, lineHeightMm(e.font));
        return *it;
    }

private:
    const ResultSet& data_;
    QHash<const Element*, int> columns_;
    QHash<const Element*, double> lineHeights_;
};

QString printedText(const Element& e, const PrintContext& ctx, BuildCache& cache)
{
    QString t;
    switch (e.kind) {
    case ElementKind::Text: t = e.text; break;
    case ElementKind::Field: t = cache.fieldText(e, ctx.row); break;
    case ElementKind::Date: t = detail::formats().locale.toString(Clock::instance().today(), detail::formats().shortDate); break;
    case ElementKind::LineNo: t = QString::number(ctx.lineNo); break;
    default: break;
    }
    if (e.beforePrint) e.beforePrint(t, ctx);
    return t;
}

RenderedBand renderBand(const Band& band, const PrintContext& ctx, BuildCache& cache)
{
    RenderedBand out;
    out.height = band.height;
    std::vector<std::pair<double, QString>> cells;
    QVector<const Element*> lines;

    // What each text element prints, before anything is placed: a box that grows pushes
    // down whatever lies under it.
    struct Placed {
        const Element* e;
        QStringList printed;
        double lh = 0, x0 = 0, x1 = 0, grow = 0, shift = 0;
    };
    std::vector<Placed> texts;
    for (const Element& e : band.elements) {
        if (e.kind == ElementKind::HLine || e.kind == ElementKind::VLine) {
            lines << &e;
            continue;
        }
        if (e.kind == ElementKind::Image) {
            texts.push_back({&e, {}, 0, e.x, e.x + e.width, 0, 0});
            continue;
        }
        QStringList paragraphs;
        if (e.kind == ElementKind::Memo)
            paragraphs = e.memoLines ? e.memoLines(ctx) : e.text.split(QLatin1Char('\n'));
        else
            paragraphs = splitLines(printedText(e, ctx, cache));
        cells.emplace_back(e.x, paragraphs.join(QLatin1Char('\n')));

        QStringList printed;
        if (e.width > 0 && !e.wordWrap && e.kind != ElementKind::Memo) {
            // A one-line field keeps to its column: its lines joined, cut with an ellipsis.
            printed << elideText(paragraphs.join(QLatin1Char(' ')), e.font, e.width);
        } else if (e.width > 0 && !e.wordWrap) {
            // A memo without word wrap: each of its lines cut to the width.
            for (const QString& p : paragraphs) printed << elideText(p, e.font, e.width);
        } else {
            for (const QString& p : paragraphs)
                printed << (e.wordWrap && e.width > 0 ? wrapText(p, e.font, e.width) : QStringList{p});
        }
        Placed pl{&e, printed, cache.lineHeight(e), e.x, e.x + e.width, 0, 0};
        if (e.width <= 0)
            for (const QString& line : printed) pl.x1 = std::max(pl.x1, e.x + textWidthMm(line, e.font));
        const double base = e.height > 0 ? e.height : pl.lh;
        pl.grow = std::max(0.0, printed.size() * pl.lh - base);
        texts.push_back(std::move(pl));
    }
    // Whatever starts lower than a grown box and shares some of its width moves down by as
    // much as the box grew (and by what moved the box itself).
    std::vector<Placed*> byTop;
    for (Placed& p : texts) byTop.push_back(&p);
    std::stable_sort(byTop.begin(), byTop.end(), [](const Placed* a, const Placed* b) { return a->e->y < b->e->y; });
    for (size_t i = 0; i < byTop.size(); ++i)
        for (size_t j = 0; j < i; ++j) {
            const Placed& a = *byTop[j];
            Placed& b = *byTop[i];
            if (a.grow > 0 && b.e->y > a.e->y + 0.01 && b.x0 < a.x1 && a.x0 < b.x1)
                b.shift = std::max(b.shift, a.shift + a.grow);
        }

    for (const Placed& pl : texts) {
        const Element& e = *pl.e;
        if (e.kind == ElementKind::Image) {
            PageItem it;
            it.kind = PageItem::Image;
            it.rect = QRectF(e.x, e.y + pl.shift, e.width, e.height);
            it.image = e.image;
            const double dpmX = e.image.dotsPerMeterX() > 0 ? e.image.dotsPerMeterX() : 96 / 0.0254;
            const double dpmY = e.image.dotsPerMeterY() > 0 ? e.image.dotsPerMeterY() : 96 / 0.0254;
            it.imageSizeMm = QSizeF(e.image.width() * 1000.0 / dpmX, e.image.height() * 1000.0 / dpmY);
            it.element = e.name;
            out.items << std::move(it);
            out.height = std::max(out.height, band.height + pl.shift);
            continue;
        }
        double y = e.y + pl.shift;
        for (const QString& line : pl.printed) {
            if (!line.isEmpty()) {
                PageItem it;
                it.kind = PageItem::Text;
                const double w = e.width > 0 ? e.width : textWidthMm(line, e.font);
                it.rect = QRectF(e.x, y, w, pl.lh);
                it.text = line;
                it.font = e.font;
                it.element = e.name;
                out.items << std::move(it);
            }
            y += pl.lh;
        }
        // An element taller than its place makes the band taller by the difference.
        out.height = std::max(out.height, band.height + pl.shift + pl.grow);
    }
    for (const Element* e : lines) {
        PageItem it;
        it.kind = PageItem::Line;
        it.penMm = e->pen >= 2 ? 0.4 : 0.2;
        if (e->kind == ElementKind::HLine) {
            it.rect = QRectF(e->x, e->y < 0 ? out.height : e->y, e->width, 0);
        } else {
            const double h = e->height > 0 ? e->height : out.height - e->y;
            it.rect = QRectF(e->x, e->y, 0, h);
        }
        out.items << std::move(it);
    }
    std::stable_sort(cells.begin(), cells.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    out.cells.reserve(int(cells.size()));
    for (auto& c : cells) out.cells << std::move(c.second);
    return out;
}

const Band* findBand(const ReportLayout& l, BandKind k)
{
    for (const Band& b : l.bands)
        if (b.kind == k) return &b;
    return nullptr;
}

class PageBuilder {
public:
    PageBuilder(const ReportLayout& l, PageSink& sink, BuildCache& cache) : sink_(sink), cache_(cache)
    {
        const QMarginsF mg = l.page.marginsMm;
        left_ = mg.left();
        top_ = mg.top();
        usable_ = l.page.paperSizeMm().height() - mg.top() - mg.bottom();
        header_ = findBand(l, BandKind::ColumnHeader);
    }

    void place(RenderedBand& b)
    {
        for (PageItem& it : b.items) {
            it.rect.translate(left_, top_ + y_);
            current_.items << std::move(it);
        }
        b.items.clear();
        y_ += b.height;
    }
    bool fits(double h) const { return y_ + h <= usable_ + 1e-6; }

    // The page under way goes to the sink as soon as the next one starts.
    void finishPage()
    {
        sink_.page(std::move(current_));
        current_ = Page();
    }

    void startPage(PrintContext& ctx)
    {
        finishPage();
        ctx.page = ++pages_;
        y_ = 0;
        detailsOnPage_ = 0;
        if (header_) {
            if (header_->beforePrint) header_->beforePrint(ctx);
            RenderedBand rb = renderBand(*header_, ctx, cache_);
            place(rb);
        }
    }

    int pages() const { return pages_; }
    int detailsOnPage_ = 0;

private:
    PageSink& sink_;
    BuildCache& cache_;
    const Band* header_;
    Page current_;
    int pages_ = 1;
    double left_ = 0, top_ = 0, usable_ = 0, y_ = 0;
};

// `release`, when given, is `data` itself, handed over by the caller: each row is let go of
// once it has printed (the last stays for the summary).
int build(const ReportLayout& layout, const ResultSet& data, PageSink& sink, ResultSet* release)
{
    PageModel head;
    head.reportName = layout.name;
    head.paperMm = layout.page.paperSizeMm();
    head.orientation = layout.page.orientation;

    const Band* title = findBand(layout, BandKind::Title);
    const Band* header = findBand(layout, BandKind::ColumnHeader);
    const Band* detail = findBand(layout, BandKind::Detail);
    const Band* summary = findBand(layout, BandKind::Summary);

    BuildCache cache(data);
    PageBuilder pb(layout, sink, cache);
    PrintContext ctx;
    // Title and headings see the first row, as the data set stands there when they print.
    if (!data.rows.isEmpty()) ctx.row = ReportRow(&data, 0);
    if (title) {
        if (title->beforePrint) title->beforePrint(ctx);
        RenderedBand rb = renderBand(*title, ctx, cache);
        QVector<PageItem> texts;
        for (const PageItem& it : rb.items)
            if (it.kind == PageItem::Text) texts << it;
        std::stable_sort(texts.begin(), texts.end(), [](const PageItem& a, const PageItem& b) {
            return a.rect.top() < b.rect.top() - 0.01;
        });
        for (const PageItem& it : texts) head.titleLines << it.text;
        pb.place(rb);
    }
    if (header) {
        if (header->beforePrint) header->beforePrint(ctx);
        RenderedBand rb = renderBand(*header, ctx, cache);
        pb.place(rb);
        head.headings = rb.cells;
    }
    if (!layout.exportHeadings.isEmpty()) head.headings = layout.exportHeadings;
    sink.start(head);

    if (detail) {
        for (int i = 0; i < data.rows.size(); ++i) {
            ctx.row = ReportRow(&data, i);
            ctx.lineNo = i + 1;
            const bool breakAsked = detail->beforePrint && detail->beforePrint(ctx);
            if (breakAsked && pb.detailsOnPage_ > 0) pb.startPage(ctx);
            RenderedBand rb = renderBand(*detail, ctx, cache);
            if (!pb.fits(rb.height) && pb.detailsOnPage_ > 0) pb.startPage(ctx);
            pb.place(rb);
            ++pb.detailsOnPage_;
            sink.row(std::move(rb.cells));
            if (release && i + 1 < data.rows.size()) release->rows[i] = QVector<QVariant>();
        }
    }
    if (summary) {
        if (summary->beforePrint) summary->beforePrint(ctx);
        RenderedBand rb = renderBand(*summary, ctx, cache);
        if (!pb.fits(rb.height)) pb.startPage(ctx);
        pb.place(rb);
    }
    pb.finishPage();
    return pb.pages();
}

} // namespace

int buildPages(const ReportLayout& layout, const ResultSet& data, PageSink& sink)
{
    return build(layout, data, sink, nullptr);
}

int buildPages(const ReportLayout& layout, ResultSet&& data, PageSink& sink)
{
    return build(layout, data, sink, &data);
}

PageModel buildPages(const ReportLayout& layout, const ResultSet& data)
{
    // The preview keeps every page.
    struct Keep : PageSink {
        PageModel model;
        void start(const PageModel& head) override { model = head; }
        void page(Page&& page) override { model.pages.push_back(std::move(page)); }
        void row(QStringList&& cells) override { model.rows.push_back(std::move(cells)); }
    } keep;
    buildPages(layout, data, keep);
    return std::move(keep.model);
}

} // namespace kv::rpt
