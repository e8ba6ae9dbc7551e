#include "reports/engine/TitleBlock.h"
#include "settings/TConfig.h"
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

namespace kv::rpt {

const char* const kLogoError = "Ruta del escudo errónea o no definida, utilice el menú configuración..";

QImage EscudoIncorporado()
{
    // A plain shield outline: neutral, so it is never taken for a real logo.
    QImage img(105, 126, QImage::Format_RGB32);
    img.setDotsPerMeterX(int(96 / 0.0254 + 0.5));
    img.setDotsPerMeterY(int(96 / 0.0254 + 0.5));
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 150, 150), 3));
    QPainterPath path;
    path.moveTo(12, 10);
    path.lineTo(93, 10);
    path.lineTo(93, 62);
    path.quadTo(93, 100, 52.5, 118);
    path.quadTo(12, 100, 12, 62);
    path.closeSubpath();
    p.fillPath(path, QColor(235, 235, 235));
    p.drawPath(path);
    return img;
}

bool CargarEscudo(const QString& ruta, QImage& logo)
{
    QImage img;
    if (!ruta.trimmed().isEmpty() && QFileInfo(ruta).isFile()) {
        QImageReader reader(ruta);
        reader.setDecideFormatFromContent(true);
        img = reader.read();
    }
    if (img.isNull()) {
        logo = EscudoIncorporado();
        return false;
    }
    logo = img;
    return true;
}

TitleBlock LeerTitulo()
{
    TitleBlock t;
    {
        TConfig cfg;
        t.colegio = cfg.NColegio();
        t.encabezado1 = cfg.Encabezado1();
        t.encabezado2 = cfg.Encabezado2();
        t.anio = cfg.anioactual();
        t.logoCargado = CargarEscudo(cfg.rutaEscudo(), t.logo);
        t.errorConfig = cfg.excepcion();
    }
    return t;
}

void AgregarTitulo(ReportLayout& layout, const TitleBlock& t, double bandHeight, bool grande)
{
    Band& b = layout.band(BandKind::Title, bandHeight);
    Element logo;
    logo.kind = ElementKind::Image;
    logo.name = QStringLiteral("QRImage1");
    logo.x = 0.8;
    logo.y = 0.8;
    logo.width = 27.8;
    logo.height = 33.3;
    logo.image = t.logo;
    b.add(logo);
    const ReportFont nombre{QStringLiteral("Arial"), grande ? 15.0 : 14.0, true, true};
    const ReportFont linea{QStringLiteral("Arial"), grande ? 11.0 : 10.0};
    b.add(Element::label(QStringLiteral("QRLabel8"), 40.5, 0.5, t.colegio, nombre));
    b.add(Element::box(QStringLiteral("QRLblEncabezado1"), 40.2, 7.9, 120.9, t.encabezado1, linea));
    b.add(Element::label(QStringLiteral("QRLabel7"), 40.2, 12.2, t.encabezado2, linea));
}

} // namespace kv::rpt
