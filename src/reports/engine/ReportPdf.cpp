#include "reports/engine/ReportPdf.h"
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QSaveFile>
#include <fontconfig/fontconfig.h>
#include <hpdf.h>
#include <vector>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace kv::rpt {

bool toWindows1252(const QString& text, QByteArray& out)
{
    // The characters of 0x80-0x9F, which Latin-1 leaves to control codes.
    static const char16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    out.resize(text.size());
    char* o = out.data();
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if ((c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF && c != 0xAD)) {
            *o++ = char(c);
            continue;
        }
        int i = 0;
        while (i < 32 && (high[i] == 0 || high[i] != c)) ++i;
        if (i == 32) return false;
        *o++ = char(0x80 + i);
    }
    return true;
}

namespace {

constexpr double kPtPerMm = 72.0 / 25.4;
// The resolution QPdfWriter draws at (ReportPainter): the baseline of a text sits one ascent
// of the font at this resolution below its line's top, in both writers.
constexpr double kDrawDpi = 600.0;

QString libraryError(HPDF_STATUS e, HPDF_STATUS detail)
{
    return QStringLiteral("libharu %1/%2").arg(qulonglong(e), 4, 16, QLatin1Char('0')).arg(qulonglong(detail));
}

// The file fontconfig gives for a family and style, as Qt's font system on this platform
// does; empty when it is not a TrueType outline font libharu can embed.
struct FontFile {
    QByteArray path;
    int index = 0;
};

FontFile findFontFile(const ReportFont& f)
{
    FontFile out;
    if (!FcInit()) return out;
    FcPattern* pat = FcPatternCreate();
    const QByteArray family = fontFamilyFor(f.family).toUtf8();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.constData()));
    FcPatternAddInteger(pat, FC_WEIGHT, f.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, f.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &res);
    FcPatternDestroy(pat);
    if (!match) return out;
    FcChar8* file = nullptr;
    FcChar8* format = nullptr;
    int index = 0;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch
        && FcPatternGetString(match, FC_FONTFORMAT, 0, &format) == FcResultMatch
        && qstrcmp(reinterpret_cast<const char*>(format), "TrueType") == 0) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        out.path = QByteArray(reinterpret_cast<const char*>(file));
        out.index = index;
    }
    FcPatternDestroy(match);
    return out;
}

double ascentMm(const ReportFont& f)
{
    static const QImage device = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        const int dpm = int(kDrawDpi / 0.0254 + 0.5);
        i.setDotsPerMeterX(dpm);
        i.setDotsPerMeterY(dpm);
        return i;
    }();
    QFont qf(fontFamilyFor(f.family));
    qf.setPointSizeF(f.pointSize);
    qf.setBold(f.bold);
    qf.setItalic(f.italic);
    qf.setHintingPreference(QFont::PreferNoHinting);
    return QFontMetricsF(qf, &device).ascent() * 25.4 / kDrawDpi;
}

// The picture as libharu takes it: 8-bit RGB rows without padding, drawn over white as
// QPainter does on the paper.
QByteArray rgbRows(const QImage& image)
{
    QImage flat(image.size(), QImage::Format_RGB888);
    flat.fill(Qt::white);
    {
        QPainter p(&flat);
        p.drawImage(0, 0, image);
    }
    QByteArray out;
    const int row = flat.width() * 3;
    out.reserve(row * flat.height());
    for (int y = 0; y < flat.height(); ++y) out.append(reinterpret_cast<const char*>(flat.constScanLine(y)), row);
    return out;
}

// libharu keeps a document's pages in memory and deflates every stream when it saves,
// each with a fresh compressor of a few hundred kB. With glibc's default trimming each of
// them goes back to the system and comes again as new zeroed pages: in this loop that
// costs more than the writing itself. Memory is kept while saving.
class KeepFreedMemory {
public:
    KeepFreedMemory()
    {
#ifdef __GLIBC__
        mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
    }
    ~KeepFreedMemory()
    {
#ifdef __GLIBC__
        mallopt(M_TRIM_THRESHOLD, 128 * 1024);
        malloc_trim(0);
#endif
    }
};

} // namespace

struct PdfWriter::Impl {
    QString path;
    QSizeF paperMm;
    HPDF_Doc doc = nullptr;
    HPDF_STATUS error = 0, detail = 0;
    int pages = 0;

    struct Font {
        ReportFont key;
        HPDF_Font font;
        double ascentMm;
    };
    std::vector<Font> fonts;
    QHash<QByteArray, HPDF_Font> loadedFiles;
    QHash<qint64, HPDF_Image> images;
    QByteArray bytes;

    static void onError(HPDF_STATUS e, HPDF_STATUS d, void* self)
    {
        auto* impl = static_cast<Impl*>(self);
        if (impl->error == 0) {
            impl->error = e;
            impl->detail = d;
        }
    }

    void check()
    {
        if (error == 0) return;
        throw ReportError(QStringLiteral("No se pudo escribir el archivo: %1 (%2)").arg(path, libraryError(error, detail)));
    }

    const Font& font(const ReportFont& f)
    {
        for (const Font& x : fonts)
            if (x.key == f) return x;
        const FontFile file = findFontFile(f);
        if (file.path.isEmpty())
            throw PdfUnsupported(QStringLiteral("sin archivo TrueType para %1").arg(f.family).toStdString());
        const QByteArray id = file.path + '#' + QByteArray::number(file.index);
        HPDF_Font hf = loadedFiles.value(id);
        if (!hf) {
            const char* name = file.path.endsWith(".ttc")
                                   ? HPDF_LoadTTFontFromFile2(doc, file.path.constData(), HPDF_UINT(file.index), HPDF_TRUE)
                                   : HPDF_LoadTTFontFromFile(doc, file.path.constData(), HPDF_TRUE);
            hf = name ? HPDF_GetFont(doc, name, "CP1252") : nullptr;
            if (!hf || error) {
                // A font file libharu cannot read is left to QPainter, not an error of the report.
                error = detail = 0;
                HPDF_ResetError(doc);
                throw PdfUnsupported(QStringLiteral("libharu no lee %1").arg(QString::fromLocal8Bit(file.path)).toStdString());
            }
            loadedFiles.insert(id, hf);
        }
        fonts.push_back(Font{f, hf, ascentMm(f)});
        return fonts.back();
    }

    HPDF_Image image(const QImage& img)
    {
        auto it = images.constFind(img.cacheKey());
        if (it != images.constEnd()) return *it;
        const QByteArray rgb = rgbRows(img);
        HPDF_Image hi = HPDF_LoadRawImageFromMem(doc, reinterpret_cast<const HPDF_BYTE*>(rgb.constData()),
                                                 HPDF_UINT(img.width()), HPDF_UINT(img.height()), HPDF_CS_DEVICE_RGB, 8);
        check();
        images.insert(img.cacheKey(), hi);
        return hi;
    }
};

PdfWriter::PdfWriter(const QString& path, const QSizeF& paperMm, const QString& title) : d(std::make_unique<Impl>())
{
    d->path = path;
    d->paperMm = paperMm;
    d->doc = HPDF_New(&Impl::onError, d.get());
    if (!d->doc) throw ReportError(QStringLiteral("No se pudo escribir el archivo: %1").arg(path));
    HPDF_SetCompressionMode(d->doc, HPDF_COMP_ALL);
    HPDF_SetInfoAttr(d->doc, HPDF_INFO_CREATOR, "Kelvora");
    // Information strings are PDFDocEncoding, which matches Latin-1 for the Spanish letters.
    const QByteArray t = title.toLatin1();
    if (!t.isEmpty()) HPDF_SetInfoAttr(d->doc, HPDF_INFO_TITLE, t.constData());
    d->check();
}

PdfWriter::~PdfWriter()
{
    if (d->doc) HPDF_Free(d->doc);
}

int PdfWriter::pages() const { return d->pages; }

bool PdfWriter::canSetFonts(const std::vector<ReportFont>& fonts)
{
    try {
        PdfWriter scratch{QString(), QSizeF(), QString()};
        for (const ReportFont& f : fonts) scratch.d->font(f);
        return true;
    } catch (const PdfUnsupported&) {
        return false;
    }
}

void PdfWriter::addPage(const Page& page)
{
    // Every text is converted before the page is added, so a page that cannot be set
    // leaves nothing half-drawn.
    struct Text {
        const PageItem* item;
        QByteArray bytes;
    };
    std::vector<Text> texts;
    texts.reserve(page.items.size());
    for (const PageItem& it : page.items) {
        if (it.kind != PageItem::Text || it.text.isEmpty()) continue;
        Text t{&it, {}};
        if (!toWindows1252(it.text, t.bytes))
            throw PdfUnsupported("texto fuera de Windows-1252: " + it.text.toStdString());
        d->font(it.font);
        texts.push_back(std::move(t));
    }

    HPDF_Page p = HPDF_AddPage(d->doc);
    d->check();
    const double h = d->paperMm.height() * kPtPerMm;
    HPDF_Page_SetWidth(p, HPDF_REAL(d->paperMm.width() * kPtPerMm));
    HPDF_Page_SetHeight(p, HPDF_REAL(h));
    auto X = [](double mm) { return HPDF_REAL(mm * kPtPerMm); };
    auto Y = [h](double mm) { return HPDF_REAL(h - mm * kPtPerMm); };

    for (const PageItem& it : page.items) {
        if (it.kind != PageItem::Image || it.image.isNull()) continue;
        // As ReportPainter: its own size from the corner, reduced to fit a smaller frame, clipped.
        QSizeF size = it.imageSizeMm;
        if (size.width() > it.rect.width() || size.height() > it.rect.height())
            size.scale(it.rect.size(), Qt::KeepAspectRatio);
        if (size.isEmpty()) continue;
        HPDF_Image img = d->image(it.image);
        HPDF_Page_GSave(p);
        HPDF_Page_Rectangle(p, X(it.rect.left()), Y(it.rect.bottom()), X(it.rect.width()), X(it.rect.height()));
        HPDF_Page_Clip(p);
        HPDF_Page_EndPath(p);
        HPDF_Page_DrawImage(p, img, X(it.rect.left()), Y(it.rect.top() + size.height()), X(size.width()),
                            X(size.height()));
        HPDF_Page_GRestore(p);
    }

    // Lines: QPen's square ends, one stroke per run of the same pen.
    double pen = -1;
    bool open = false;
    HPDF_Page_SetLineCap(p, HPDF_PROJECTING_SCUARE_END);
    for (const PageItem& it : page.items) {
        if (it.kind != PageItem::Line) continue;
        if (it.penMm != pen) {
            if (open) HPDF_Page_Stroke(p);
            pen = it.penMm;
            HPDF_Page_SetLineWidth(p, X(pen));
        }
        HPDF_Page_MoveTo(p, X(it.rect.left()), Y(it.rect.top()));
        HPDF_Page_LineTo(p, X(it.rect.right()), Y(it.rect.bottom()));
        open = true;
    }
    if (open) HPDF_Page_Stroke(p);

    if (!texts.empty()) {
        HPDF_Page_BeginText(p);
        HPDF_Font current = nullptr;
        double size = 0;
        for (const Text& t : texts) {
            const PageItem& it = *t.item;
            const Impl::Font& f = d->font(it.font);
            if (f.font != current || it.font.pointSize != size) {
                current = f.font;
                size = it.font.pointSize;
                HPDF_Page_SetFontAndSize(p, current, HPDF_REAL(size));
            }
            HPDF_Page_TextOut(p, X(it.rect.left()), Y(it.rect.top() + f.ascentMm), t.bytes.constData());
        }
        HPDF_Page_EndText(p);
    }
    d->check();
    ++d->pages;
}

void PdfWriter::finish()
{
    const QString cannot = QStringLiteral("No se pudo escribir el archivo: %1").arg(d->path);
    if (!QFileInfo(d->path).absoluteDir().exists()) throw ReportError(cannot);
    if (d->pages == 0) throw ReportError(QStringLiteral("El informe no tiene páginas."));
    {
        KeepFreedMemory keep;
        HPDF_SaveToStream(d->doc);
    }
    d->check();
    QSaveFile f(d->path);
    if (!f.open(QIODevice::WriteOnly)) throw ErrorAlGuardar(f, d->path);
    HPDF_ResetStream(d->doc);
    QByteArray buf(1 << 16, Qt::Uninitialized);
    for (;;) {
        HPDF_UINT32 n = HPDF_UINT32(buf.size());
        const HPDF_STATUS st = HPDF_ReadFromStream(d->doc, reinterpret_cast<HPDF_BYTE*>(buf.data()), &n);
        if (n > 0 && f.write(buf.constData(), n) != qint64(n)) throw ErrorAlGuardar(f, d->path);
        if (st == HPDF_STREAM_EOF || n == 0) break;
        if (st != HPDF_OK) throw ReportError(cannot);
    }
    CerrarInforme(f, d->path);
    HPDF_Free(d->doc);
    d->doc = nullptr;
}

} // namespace kv::rpt
