#include "reports/engine/ReportLayout.h"
#include "reports/engine/PageModel.h"
#include "base/Clock.h"
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QLocale>
#include <algorithm>

namespace kv::rpt {

// ---- data ---------------------------------------------------------------------------

QVariant ReportRow::value(const QString& field) const
{
    if (!valid()) return {};
    const int c = rs_->columnIndex(field);
    return c < 0 ? QVariant() : rs_->rows[index_].value(c);
}

QLocale reportLocale()
{
    const QLocale l;
    return l.language() == QLocale::C ? QLocale(QLocale::Spanish, QLocale::Colombia) : l;
}

namespace {

// The locale and its two formats, read once per report line is too often: kept until the
// default locale changes.
struct LocaleFormats {
    QLocale locale;
    QString shortDate, longTime;
    // A report prints the same few dates and hours on thousands of lines: each stored text is
    // formatted once, and every line shares the one string.
    QHash<QString, QString> dates, times;
};

const LocaleFormats& formats()
{
    static LocaleFormats f;
    static QString key;
    const QString now = QLocale().name();
    if (key != now || f.shortDate.isEmpty()) {
        key = now;
        f.locale = reportLocale();
        f.shortDate = f.locale.dateFormat(QLocale::ShortFormat);
        // The locale's long format names the time zone; a movement's time has none.
        f.longTime = f.locale.timeFormat(QLocale::LongFormat);
        f.longTime.remove(QLatin1Char('t'));
        f.longTime = f.longTime.trimmed();
        f.dates.clear();
        f.times.clear();
    }
    return f;
}

QString cellText(const ResultSet& rs, int row, int c)
{
    const QVariant& v = rs.rows[row].at(c);
    if (v.isNull()) return {};
    const FieldType type = rs.columns[c].type;
    if (type != FieldType::Date && type != FieldType::Time) return Field(QString(), type, v).asString();
    const bool stored = v.typeId() == QMetaType::QString;
    LocaleFormats& lf = const_cast<LocaleFormats&>(formats());
    QHash<QString, QString>& cache = type == FieldType::Date ? lf.dates : lf.times;
    if (stored) {
        auto it = cache.constFind(v.toString());
        if (it != cache.constEnd()) return *it;
    }
    const Field f(QString(), type, v);
    QString out;
    if (type == FieldType::Date) {
        const QDate d = f.asDate();
        out = d.isValid() ? lf.locale.toString(d, lf.shortDate) : f.asString();
    } else {
        const QTime t = f.asTime();
        out = t.isValid() ? lf.locale.toString(t, lf.longTime) : f.asString();
    }
    if (stored) {
        if (cache.size() > 100000) cache.clear();
        cache.insert(v.toString(), out);
    }
    return out;
}

} // namespace

QString ReportRow::text(const QString& field) const
{
    if (!valid()) return {};
    const int c = rs_->columnIndex(field);
    return c < 0 ? QString() : cellText(*rs_, index_, c);
}

// ---- layout -------------------------------------------------------------------------

Element Element::label(QString name, double x, double y, QString text, ReportFont f)
{
    Element e;
    e.kind = ElementKind::Text;
    e.name = std::move(name);
    e.x = x;
    e.y = y;
    e.text = std::move(text);
    e.font = std::move(f);
    return e;
}

Element Element::data(QString field, double x, double y, ReportFont f)
{
    Element e;
    e.kind = ElementKind::Field;
    e.name = field;
    e.field = std::move(field);
    e.x = x;
    e.y = y;
    e.font = std::move(f);
    return e;
}

Element Element::box(QString name, double x, double y, double width, QString text, ReportFont f)
{
    Element e = label(std::move(name), x, y, std::move(text), std::move(f));
    e.width = width;
    e.wordWrap = true;
    return e;
}

Element Element::hline(double x, double y, double width, int pen)
{
    Element e;
    e.kind = ElementKind::HLine;
    e.x = x;
    e.y = y;
    e.width = width;
    e.pen = pen;
    return e;
}

Element Element::vline(double x, double y, double height, int pen)
{
    Element e;
    e.kind = ElementKind::VLine;
    e.x = x;
    e.y = y;
    e.height = height;
    e.pen = pen;
    return e;
}

QSizeF PageSetup::paperSizeMm() const
{
    const QSizeF s = QPageSize(paper).size(QPageSize::Millimeter);
    return orientation == QPageLayout::Landscape ? s.transposed() : s;
}

Band& ReportLayout::band(BandKind kind, double height)
{
    for (Band& b : bands)
        if (b.kind == kind) return b;
    Band b;
    b.kind = kind;
    b.height = height;
    bands.push_back(std::move(b));
    return bands.back();
}

Element* ReportLayout::element(const QString& name)
{
    for (Band& b : bands)
        for (Element& e : b.elements)
            if (e.name == name) return &e;
    return nullptr;
}

// ---- text measuring -----------------------------------------------------------------

QString fontFamilyFor(const QString& family)
{
    if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    return family;
}

namespace {

// Measured at a fine resolution without hinting, so the widths do not depend on the
// device the pages are drawn on later.
constexpr double kMeasureDpi = 1200.0;
constexpr double kMmPerPx = 25.4 / kMeasureDpi;

const QImage& measureDevice()
{
    static const QImage img = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        const int dpm = int(kMeasureDpi / 0.0254 + 0.5);
        i.setDotsPerMeterX(dpm);
        i.setDotsPerMeterY(dpm);
        return i;
    }();
    return img;
}

// A report uses a handful of fonts and prints the same short texts (dates, hours, names)
// over and over: both the metrics and the widths are kept.
struct Measured {
    ReportFont font;
    QFontMetricsF metrics;
    double lineHeight;
    QHash<QString, double> widths;
};

Measured& measured(const ReportFont& f)
{
    static std::vector<std::unique_ptr<Measured>> cache;
    for (auto& m : cache)
        if (m->font == f) return *m;
    QFont qf(fontFamilyFor(f.family));
    qf.setPointSizeF(f.pointSize);
    qf.setBold(f.bold);
    qf.setItalic(f.italic);
    qf.setHintingPreference(QFont::PreferNoHinting);
    QFontMetricsF fm(qf, &measureDevice());
    cache.push_back(std::make_unique<Measured>(Measured{f, fm, fm.height() * kMmPerPx, {}}));
    return *cache.back();
}

} // namespace

double textWidthMm(const QString& text, const ReportFont& font)
{
    Measured& m = measured(font);
    auto it = m.widths.constFind(text);
    if (it != m.widths.constEnd()) return *it;
    const double w = m.metrics.horizontalAdvance(text) * kMmPerPx;
    if (m.widths.size() > 200000) m.widths.clear();
    m.widths.insert(text, w);
    return w;
}

double lineHeightMm(const ReportFont& font)
{
    return measured(font).lineHeight;
}

QStringList wrapText(const QString& text, const ReportFont& font, double widthMm)
{
    if (widthMm <= 0 || textWidthMm(text, font) <= widthMm) return {text};
    QStringList lines;
    QString line;
    const QStringList words = text.split(QLatin1Char(' '));
    for (QString word : words) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (textWidthMm(candidate, font) <= widthMm) {
            line = candidate;
            continue;
        }
        if (!line.isEmpty()) lines << line;
        line.clear();
        // A single word wider than the box is cut where it no longer fits.
        while (textWidthMm(word, font) > widthMm && word.size() > 1) {
            int n = word.size() - 1;
            while (n > 1 && textWidthMm(word.left(n), font) > widthMm) --n;
            lines << word.left(n);
            word = word.mid(n);
        }
        line = word;
    }
    lines << line;
    return lines;
}

// ---- page building ------------------------------------------------------------------

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
        return *it < 0 ? QString() : cellText(data_, row.index(), *it);
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
    case ElementKind::Date: t = formats().locale.toString(Clock::instance().today(), formats().shortDate); break;
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
    for (const Element& e : band.elements) {
        if (e.kind == ElementKind::HLine || e.kind == ElementKind::VLine) {
            lines << &e;
            continue;
        }
        if (e.kind == ElementKind::Image) {
            PageItem it;
            it.kind = PageItem::Image;
            it.rect = QRectF(e.x, e.y, e.width, e.height);
            it.image = e.image;
            const double dpmX = e.image.dotsPerMeterX() > 0 ? e.image.dotsPerMeterX() : 96 / 0.0254;
            const double dpmY = e.image.dotsPerMeterY() > 0 ? e.image.dotsPerMeterY() : 96 / 0.0254;
            it.imageSizeMm = QSizeF(e.image.width() * 1000.0 / dpmX, e.image.height() * 1000.0 / dpmY);
            it.element = e.name;
            out.items << std::move(it);
            continue;
        }
        QStringList paragraphs;
        if (e.kind == ElementKind::Memo)
            paragraphs = e.memoLines ? e.memoLines(ctx) : e.text.split(QLatin1Char('\n'));
        else
            paragraphs << printedText(e, ctx, cache);
        cells.emplace_back(e.x, paragraphs.join(QLatin1Char('\n')));

        QStringList printed;
        for (const QString& p : paragraphs)
            printed << (e.wordWrap && e.width > 0 ? wrapText(p, e.font, e.width) : QStringList{p});
        const double lh = cache.lineHeight(e);
        double y = e.y;
        for (const QString& line : printed) {
            if (!line.isEmpty()) {
                PageItem it;
                it.kind = PageItem::Text;
                const double w = e.width > 0 ? e.width : textWidthMm(line, e.font);
                it.rect = QRectF(e.x, y, w, lh);
                it.text = line;
                it.font = e.font;
                it.element = e.name;
                out.items << std::move(it);
            }
            y += lh;
        }
        // An element taller than its place makes the band taller by the difference.
        const double base = e.height > 0 ? e.height : lh;
        const double used = std::max(base, printed.size() * lh);
        out.height = std::max(out.height, band.height + used - base);
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

} // namespace

int buildPages(const ReportLayout& layout, const ResultSet& data, PageSink& sink)
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
