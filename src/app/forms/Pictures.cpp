#include "app/forms/Pictures.h"
#include <QLinearGradient>
#include <QFontMetrics>
#include <QPainter>

namespace kv {

QPixmap BannerPrograma(int width, int height)
{
    QPixmap pm(width, height);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, height);
    g.setColorAt(0, QColor(20, 60, 140));
    g.setColorAt(1, QColor(90, 150, 220));
    p.fillRect(pm.rect(), g);
    // A door with a card reader: what the program watches over.
    const int d = height * 2 / 3;
    const QRect door(height / 6, (height - d) / 2, d * 2 / 3, d);
    p.setPen(QPen(Qt::white, 3));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(door, 4, 4);
    p.setBrush(Qt::white);
    p.drawEllipse(QPoint(door.right() - 8, door.center().y()), 3, 3);
    QFont f(QStringLiteral("Sans Serif"));
    f.setBold(true);
    const int textLeft = door.right() + height / 6;
    int px = height / 3;
    f.setPixelSize(px);
    while (px > 8 && QFontMetrics(f).horizontalAdvance(QStringLiteral("Kelvora")) > width - textLeft - 8)
        f.setPixelSize(--px);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(textLeft, 0, width - textLeft, height), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("Kelvora"));
    return pm;
}

} // namespace kv
