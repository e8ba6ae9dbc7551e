#include "reports/engine/PageModel.h"
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace kv::rpt {

QStringList Page::texts() const
{
    QStringList l;
    for (const PageItem& it : items)
        if (it.kind == PageItem::Text) l << it.text;
    return l;
}

const PageItem* Page::find(const QString& text) const
{
    for (const PageItem& it : items)
        if (it.kind == PageItem::Text && it.text == text) return &it;
    return nullptr;
}

namespace {

const char kMagic[] = "KELVORA-INFORME";
constexpr qint32 kVersion = 1;

QDataStream& operator<<(QDataStream& s, const ReportFont& f)
{
    return s << f.family << f.pointSize << f.bold << f.italic;
}
QDataStream& operator>>(QDataStream& s, ReportFont& f)
{
    return s >> f.family >> f.pointSize >> f.bold >> f.italic;
}
QDataStream& operator<<(QDataStream& s, const PageItem& it)
{
    s << qint32(it.kind) << it.rect << it.text << it.font << it.penMm << it.element;
    if (it.kind == PageItem::Image) s << it.image << it.imageSizeMm;
    return s;
}
QDataStream& operator>>(QDataStream& s, PageItem& it)
{
    qint32 k = 0;
    s >> k >> it.rect >> it.text >> it.font >> it.penMm >> it.element;
    it.kind = PageItem::Kind(k);
    if (it.kind == PageItem::Image) s >> it.image >> it.imageSizeMm;
    return s;
}

} // namespace

ReportError ErrorAlGuardar(const QFileDevice& f, const QString& path)
{
    // Qt reports a write refused for lack of room as a resource error.
    if (f.error() == QFileDevice::ResourceError)
        return ReportError(QStringLiteral("No se pudo guardar el informe: el disco está lleno."));
    return ReportError(
        QStringLiteral("No se pudo guardar el informe %1: %2").arg(QDir::toNativeSeparators(path), f.errorString()));
}

void CerrarInforme(QSaveFile& f, const QString& path)
{
    // The last buffered bytes are written here: a refusal at this point is not seen by
    // commit(). Any failure leaves the earlier file as it was (the temporary one goes).
    if (!f.flush() || f.error() != QFileDevice::NoError) throw ErrorAlGuardar(f, path);
    if (!f.commit()) throw ErrorAlGuardar(f, path);
}

void GuardarInforme(const QString& path, const std::function<void(QIODevice&)>& escribir)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) throw ErrorAlGuardar(f, path);
    escribir(f);
    CerrarInforme(f, path);
}

void PageModel::save(const QString& path) const
{
    GuardarInforme(path, [this](QIODevice& f) { write(f); });
}

void PageModel::write(QIODevice& f) const
{
    QDataStream s(&f);
    s.setVersion(QDataStream::Qt_6_0);
    s.writeRawData(kMagic, sizeof kMagic);
    s << kVersion << reportName << paperMm << qint32(orientation) << titleLines << headings << rows;
    s << qint32(pages.size());
    for (const Page& p : pages) {
        s << qint32(p.items.size());
        for (const PageItem& it : p.items) s << it;
    }
}

PageModel PageModel::load(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("No se pudo abrir el archivo: %1").arg(path));
    const QString notReport = QStringLiteral("El archivo %1 no es un informe guardado.").arg(path);
    QDataStream s(&f);
    s.setVersion(QDataStream::Qt_6_0);
    char magic[sizeof kMagic] = {};
    if (s.readRawData(magic, sizeof kMagic) != int(sizeof kMagic) || memcmp(magic, kMagic, sizeof kMagic) != 0)
        throw ReportError(notReport);
    PageModel m;
    qint32 version = 0, orient = 0, n = 0;
    s >> version;
    if (version != kVersion) throw ReportError(notReport);
    s >> m.reportName >> m.paperMm >> orient >> m.titleLines >> m.headings >> m.rows >> n;
    if (s.status() != QDataStream::Ok || n < 0 || n > 1000000) throw ReportError(notReport);
    m.orientation = QPageLayout::Orientation(orient);
    for (qint32 i = 0; i < n && s.status() == QDataStream::Ok; ++i) {
        Page p;
        qint32 items = 0;
        s >> items;
        if (items < 0 || items > 10000000) throw ReportError(notReport);
        for (qint32 j = 0; j < items && s.status() == QDataStream::Ok; ++j) {
            PageItem it;
            s >> it;
            p.items << it;
        }
        m.pages << p;
    }
    if (s.status() != QDataStream::Ok) throw ReportError(notReport);
    return m;
}

} // namespace kv::rpt
