#include "reports/engine/ReportLayout.h"

namespace kv::rpt {

// Bands and their elements.

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

} // namespace kv::rpt
