#include "reports/engine/ReportLayout.h"
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>

namespace kv::rpt {

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

QStringList splitLines(const QString& text)
{
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) return {text};
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t.split(QLatin1Char('\n'));
}

QString elideText(const QString& text, const ReportFont& font, double widthMm)
{
    if (widthMm <= 0 || textWidthMm(text, font) <= widthMm) return text;
    return measured(font).metrics.elidedText(text, Qt::ElideRight, widthMm / kMmPerPx);
}

} // namespace kv::rpt
