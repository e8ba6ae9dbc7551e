#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cmath>

namespace admin {

namespace {

QColor pick(QRandomGenerator& rng, const std::initializer_list<QColor>& colours)
{
    const int i = int(rng.bounded(int(colours.size())));
    return *(colours.begin() + i);
}

} // namespace

QImage drawPortrait(QRandomGenerator& rng, int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    const QColor backdrop = pick(rng, {QColor(200, 215, 235), QColor(225, 225, 225),
                                       QColor(210, 230, 215), QColor(235, 225, 205)});
    const QColor skin = pick(rng, {QColor(241, 204, 170), QColor(224, 172, 125),
                                   QColor(198, 140, 95), QColor(150, 100, 70), QColor(110, 75, 50)});
    const QColor hair = pick(rng, {QColor(30, 20, 15), QColor(70, 45, 25), QColor(120, 80, 40),
                                   QColor(200, 160, 90), QColor(15, 15, 15)});
    // School uniform colours, with the odd sweater.
    const QColor shirt = pick(rng, {QColor(30, 50, 110), QColor(120, 20, 30), QColor(40, 90, 60),
                                    QColor(240, 240, 240), QColor(90, 90, 100)});
    const bool longHair = rng.bounded(2) == 1;
    const qreal shift = qreal(rng.bounded(9)) - 4.0;   // not everybody stands in the middle

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, h);
    bg.setColorAt(0, backdrop.lighter(110));
    bg.setColorAt(1, backdrop.darker(115));
    p.fillRect(img.rect(), bg);

    const qreal cx = w / 2.0 + shift;
    const qreal headW = w * 0.42, headH = h * 0.36;
    const qreal headTop = h * 0.16;

    p.setPen(Qt::NoPen);
    if (longHair) {   // hair behind the head and down to the shoulders
        p.setBrush(hair);
        p.drawRoundedRect(QRectF(cx - headW * 0.62, headTop - 4, headW * 1.24, headH * 1.25), 20, 20);
    }

    // Shoulders and neck.
    QPainterPath body;
    body.moveTo(cx - w * 0.48, h);
    body.cubicTo(cx - w * 0.46, h * 0.74, cx - w * 0.2, h * 0.7, cx, h * 0.7);
    body.cubicTo(cx + w * 0.2, h * 0.7, cx + w * 0.46, h * 0.74, cx + w * 0.48, h);
    body.closeSubpath();
    p.setBrush(skin.darker(108));
    p.drawRect(QRectF(cx - headW * 0.18, headTop + headH * 0.8, headW * 0.36, h * 0.16));
    p.setBrush(shirt);
    p.drawPath(body);
    // Collar.
    p.setBrush(QColor(250, 250, 250));
    QPolygonF collar;
    collar << QPointF(cx - w * 0.12, h * 0.71) << QPointF(cx, h * 0.8) << QPointF(cx + w * 0.12, h * 0.71);
    p.drawPolygon(collar);

    // Head.
    p.setBrush(skin);
    p.drawEllipse(QRectF(cx - headW / 2, headTop, headW, headH));
    // Hair on top.
    p.setBrush(hair);
    p.drawChord(QRectF(cx - headW / 2 - 2, headTop - 6, headW + 4, headH * 0.75), 0, 180 * 16);

    // Eyes and mouth.
    p.setBrush(QColor(40, 30, 25));
    const qreal eyeY = headTop + headH * 0.52;
    p.drawEllipse(QPointF(cx - headW * 0.18, eyeY), 2.6, 2.2);
    p.drawEllipse(QPointF(cx + headW * 0.18, eyeY), 2.6, 2.2);
    p.setPen(QPen(skin.darker(160), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(cx - headW * 0.16, headTop + headH * 0.62, headW * 0.32, headH * 0.2), 200 * 16,
              140 * 16);
    p.end();
    return img;
}

QImage drawShield(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    const qreal s = size;
    QPainterPath shield;
    shield.moveTo(s * 0.12, s * 0.08);
    shield.lineTo(s * 0.88, s * 0.08);
    shield.lineTo(s * 0.88, s * 0.5);
    shield.cubicTo(s * 0.88, s * 0.75, s * 0.65, s * 0.88, s * 0.5, s * 0.96);
    shield.cubicTo(s * 0.35, s * 0.88, s * 0.12, s * 0.75, s * 0.12, s * 0.5);
    shield.closeSubpath();

    p.setPen(QPen(QColor(180, 140, 30), s * 0.03));
    p.setBrush(QColor(20, 60, 130));
    p.drawPath(shield);

    // A gold band across, a green field below it and a book on top: the usual school arms.
    p.save();
    p.setClipPath(shield);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 160, 40));
    p.drawRect(QRectF(0, s * 0.44, s, s * 0.1));
    p.setBrush(QColor(30, 120, 60));
    p.drawRect(QRectF(0, s * 0.54, s, s * 0.5));
    p.restore();

    p.setPen(QPen(QColor(60, 40, 20), s * 0.012));
    p.setBrush(QColor(250, 245, 230));
    QPolygonF left, right;
    left << QPointF(s * 0.5, s * 0.22) << QPointF(s * 0.3, s * 0.17) << QPointF(s * 0.3, s * 0.38)
         << QPointF(s * 0.5, s * 0.42);
    right << QPointF(s * 0.5, s * 0.22) << QPointF(s * 0.7, s * 0.17) << QPointF(s * 0.7, s * 0.38)
          << QPointF(s * 0.5, s * 0.42);
    p.drawPolygon(left);
    p.drawPolygon(right);

    // A star in the green field.
    QPolygonF star;
    const QPointF c(s * 0.5, s * 0.7);
    for (int i = 0; i < 10; ++i) {
        const qreal r = (i % 2 == 0) ? s * 0.11 : s * 0.045;
        const qreal a = -M_PI / 2 + i * M_PI / 5;
        star << QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 200, 50));
    p.drawPolygon(star);
    p.end();
    return img;
}

} // namespace admin
