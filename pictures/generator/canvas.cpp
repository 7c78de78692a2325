// SPDX-License-Identifier: MIT
#include "canvas.h"

#include <QPainter>
#include <QtMath>

namespace canvas {

namespace {
qreal currentScale = 1;
}

void setScale(qreal scale)
{
    currentScale = scale;
}

qreal scale()
{
    return currentScale;
}

QImage layer(int width, int height)
{
    QImage image(qRound(width * currentScale), qRound(height * currentScale),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(currentScale);
    image.fill(Qt::transparent);
    return image;
}

// Pixel art for the details that must be exact at 1x; characters not in the legend leave
// the pixel alone. On a scaled layer each pixel becomes a block.
void stamp(QImage &image, int left, int top, std::initializer_list<const char *> rows,
           Legend legend)
{
    const qreal s = image.devicePixelRatio();
    int y = top;
    for (const char *row : rows) {
        for (int x = left; *row; ++row, ++x) {
            for (const auto &entry : legend) {
                if (entry.first != *row)
                    continue;
                for (int py = qRound(y * s); py < qRound((y + 1) * s); ++py) {
                    for (int px = qRound(x * s); px < qRound((x + 1) * s); ++px) {
                        if (image.rect().contains(px, py))
                            image.setPixel(px, py, entry.second);
                    }
                }
            }
        }
        ++y;
    }
}

// Only the exact mask colour turns transparent, so every pixel is either fully the mask or
// fully opaque: soft edges against the background would leave an off-colour fringe.
QImage onMask(const QImage &drawing, const QColor &mask)
{
    const QImage source = drawing.convertToFormat(QImage::Format_ARGB32);
    QImage out(source.size(), QImage::Format_RGB32);
    const QRgb key = mask.rgb();
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb p = source.pixel(x, y);
            QRgb c = key;
            if (qAlpha(p) >= 128) {
                c = qRgb(qRed(p), qGreen(p), qBlue(p));
                // A subject pixel that happens to equal the mask would become a hole.
                if (c == key)
                    c = qRgb(qRed(c) == 255 ? 254 : qRed(c) + 1, qGreen(c), qBlue(c));
            }
            out.setPixel(x, y, c);
        }
    }
    return out;
}

QImage flattened(const QImage &drawing)
{
    QImage out(drawing.size(), QImage::Format_RGB32);
    out.setDevicePixelRatio(drawing.devicePixelRatio());
    out.fill(Qt::black);
    QPainter p(&out);
    p.drawImage(0, 0, drawing);
    return out;
}

QPointF polar(QPointF centre, qreal radius, qreal degrees)
{
    const qreal a = qDegreesToRadians(degrees);
    return centre + QPointF(radius * qCos(a), radius * qSin(a));
}

// A thick curved arrow: the shaft follows path, the head sits on its end along its tangent.
void arrow(QPainter &p, const QPainterPath &shaft, qreal width, qreal headLength, qreal headHalf,
           const QColor &fill, const QColor &outline)
{
    const QPointF tip = shaft.pointAtPercent(1.0);
    const qreal angle = -shaft.angleAtPercent(1.0); // Qt measures it counter-clockwise
    const QPointF dir(qCos(qDegreesToRadians(angle)), qSin(qDegreesToRadians(angle)));
    const QPointF normal(-dir.y(), dir.x());
    const QPointF base = tip - dir * (headLength * 0.15);
    const QPointF point = base + dir * headLength;
    const QPolygonF head{base + normal * headHalf, point, base - normal * headHalf};

    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(outline, width + 2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(shaft);
    p.setPen(QPen(outline, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(outline);
    p.drawPolygon(head);
    p.setPen(QPen(fill, width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shaft);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    const QPointF centre = (head[0] + head[1] + head[2]) / 3.0;
    QPolygonF inner;
    for (const QPointF &corner : head)
        inner << centre + (corner - centre) * 0.62;
    p.drawPolygon(inner);
    p.restore();
}

// Cog wheel outline: teeth as trapezoids on a rim, a round hole in the middle.
QPainterPath cog(QPointF centre, qreal outer, qreal inner, qreal hole, int teeth, qreal phase)
{
    QPolygonF rim;
    const qreal step = 360.0 / teeth;
    for (int i = 0; i < teeth; ++i) {
        const qreal a = phase + i * step;
        rim << polar(centre, inner, a - step * 0.5) << polar(centre, inner, a - step * 0.28)
            << polar(centre, outer, a - step * 0.17) << polar(centre, outer, a + step * 0.17)
            << polar(centre, inner, a + step * 0.28);
    }
    QPainterPath path;
    path.addPolygon(rim);
    path.closeSubpath();
    path.addEllipse(centre, hole, hole);
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

void questionMark(QPainter &p, const QRectF &box, const QColor &fill, const QColor &light,
                  const QColor &edge)
{
    // Drawn in a 13 x 19 box, the proportions of the toolbar's pixel art.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(box.topLeft());
    p.scale(box.width() / 13.0, box.height() / 19.0);
    QPainterPath hook(QPointF(2.3, 5.4));
    hook.cubicTo(QPointF(2.3, 0.9), QPointF(10.7, 0.9), QPointF(10.7, 5.2));
    hook.cubicTo(QPointF(10.7, 8.2), QPointF(6.5, 8.8), QPointF(6.5, 11.6));
    hook.lineTo(6.5, 13.2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(edge, 4.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(hook);
    p.setPen(QPen(fill, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(hook);
    QPainterPath shine(QPointF(3.4, 4.2));
    shine.cubicTo(QPointF(4.2, 2.2), QPointF(7.6, 1.9), QPointF(9.0, 3.0));
    p.setPen(QPen(light, 0.9, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(shine);
    p.setPen(QPen(edge, 0.9));
    p.setBrush(fill);
    p.drawEllipse(QPointF(6.5, 16.7), 1.85, 1.85);
    p.restore();
}

} // namespace canvas
