// SPDX-License-Identifier: MIT
// picturegen: draws every picture the programs compile in, so that the artwork is ours and
// can be redrawn at any time. Everything is plain QPainter work on QImage, no fonts and no
// randomness, so that the same source always gives the same bytes.
#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSaveFile>
#include <QTextStream>
#include <QtMath>

#include <initializer_list>
#include <utility>

namespace {

using Legend = std::initializer_list<std::pair<char, QRgb>>;

QImage layer(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Pixel art for the details that must be exact at 1x; characters not in the legend leave
// the pixel alone.
void stamp(QImage &image, int left, int top, std::initializer_list<const char *> rows,
           Legend legend)
{
    int y = top;
    for (const char *row : rows) {
        for (int x = left; *row; ++row, ++x) {
            for (const auto &entry : legend) {
                if (entry.first == *row && image.rect().contains(x, y))
                    image.setPixel(x, y, entry.second);
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

// ---------------------------------------------------------------------------------------
// Toolbar pictures

void openFolder(QPainter &p, int x, int y)
{
    // Back wall with its tab; the papers stand in it and the front flap leans forward.
    const QColor edge(112, 72, 0);
    p.setPen(QPen(edge, 1));
    p.setBrush(QColor(222, 160, 24));
    p.drawPolygon(QPolygonF{{x + 0.5, y + 3.5},
                            {x + 2.5, y + 1.5},
                            {x + 9.5, y + 1.5},
                            {x + 11.5, y + 3.5},
                            {x + 25.5, y + 3.5},
                            {x + 25.5, y + 21.5},
                            {x + 0.5, y + 21.5}});
    // Papers, the back one slanted.
    p.setBrush(QColor(236, 236, 236));
    p.setPen(QPen(QColor(96, 96, 96), 1));
    p.drawPolygon(QPolygonF{
        {x + 4.5, y - 0.5}, {x + 20.5, y - 2.5}, {x + 22.5, y + 12.5}, {x + 6.5, y + 14.5}});
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(QRectF(x + 3.5, y + 1.5, 18, 14));
    for (int i = 0; i < 4; ++i)
        p.fillRect(QRect(x + 6, y + 4 + 2 * i, 13, 1), QColor(150, 150, 160));
    // Front flap.
    QLinearGradient front(x, y + 8, x, y + 22);
    front.setColorAt(0, QColor(255, 232, 110));
    front.setColorAt(1, QColor(240, 184, 40));
    p.setBrush(front);
    p.setPen(QPen(edge, 1));
    p.drawPolygon(QPolygonF{
        {x + 7.5, y + 8.5}, {x + 31.5, y + 8.5}, {x + 25.5, y + 21.5}, {x + 0.5, y + 21.5}});
    p.setPen(QPen(QColor(255, 248, 190), 1));
    p.drawLine(QPointF(x + 8.5, y + 9.5), QPointF(x + 29.5, y + 9.5));
}

QImage vybratKnihu()
{
    QImage img = layer(40, 33);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        openFolder(p, 1, 10);
        QPainterPath shaft(QPointF(16, 14));
        shaft.cubicTo(QPointF(16, 3), QPointF(26, 1.5), QPointF(32, 6.5));
        arrow(p, shaft, 3.0, 6.5, 4.5, QColor(24, 96, 232), QColor(0, 24, 96));
    }
    return onMask(img, QColor(255, 0, 255));
}

void closedFolder(QPainter &p, int x, int y, int w, int h)
{
    const QColor edge(112, 72, 0);
    p.setPen(QPen(edge, 1));
    p.setBrush(QColor(222, 160, 24));
    p.drawPolygon(QPolygonF{{x + 0.5, y + 2.5},
                            {x + 2.5, y + 0.5},
                            {x + 9.5, y + 0.5},
                            {x + 11.5, y + 2.5},
                            {x + w - 0.5, y + 2.5},
                            {x + w - 0.5, y + h - 0.5},
                            {x + 0.5, y + h - 0.5}});
    QLinearGradient front(x, y + 5, x, y + h);
    front.setColorAt(0, QColor(255, 232, 110));
    front.setColorAt(1, QColor(240, 184, 40));
    p.setBrush(front);
    p.drawRect(QRectF(x + 0.5, y + 5.5, w - 1, h - 6));
    p.setPen(QPen(QColor(255, 248, 190), 1));
    p.drawLine(QPointF(x + 1.5, y + 6.5), QPointF(x + w - 1.5, y + 6.5));
}

void linedPage(QPainter &p, int x, int y, int w, int h)
{
    const int fold = 5;
    p.setPen(QPen(QColor(64, 64, 72), 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF{{x + 0.5, y + 0.5},
                            {x + w - fold - 0.5, y + 0.5},
                            {x + w - 0.5, y + fold + 0.5},
                            {x + w - 0.5, y + h - 0.5},
                            {x + 0.5, y + h - 0.5}});
    p.setBrush(QColor(200, 200, 208));
    p.drawPolygon(QPolygonF{{x + w - fold - 0.5, y + 0.5},
                            {x + w - fold - 0.5, y + fold + 0.5},
                            {x + w - 0.5, y + fold + 0.5}});
    for (int ly = y + 5; ly < y + h - 2; ly += 2) {
        const int right = ly <= y + fold + 1 ? x + w - fold - 2 : x + w - 3;
        p.fillRect(QRect(x + 3, ly, right - x - 3, 1), QColor(96, 136, 200));
    }
}

QImage vybratList()
{
    QImage img = layer(42, 35);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        closedFolder(p, 1, 6, 26, 19);
        linedPage(p, 18, 14, 18, 21);
        QPainterPath shaft(QPointF(17, 8));
        shaft.cubicTo(QPointF(21, 0.5), QPointF(32, 0.5), QPointF(35, 8));
        arrow(p, shaft, 3.0, 6.0, 4.5, QColor(24, 96, 232), QColor(0, 24, 96));
    }
    return onMask(img, QColor(0, 255, 0));
}

void star(QImage &img, int x, int y, QRgb colour)
{
    stamp(img, x - 1, y - 1, {".*.", "***", ".*."}, {{'*', colour}});
}

QImage oDokumente()
{
    QImage img = layer(38, 31);
    const QPointF c(16.5, 15.5);
    const qreal tilt = -18;
    const QColor ringFill(255, 140, 24), ringEdge(136, 56, 0);
    auto ring = [&](QPainter &p, int from, int span) {
        p.save();
        p.translate(c);
        p.rotate(tilt);
        QPainterPath arc;
        const QRectF box(-17, -5.5, 34, 11);
        arc.arcMoveTo(box, from);
        arc.arcTo(box, from, span);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(ringEdge, 4.2, Qt::SolidLine, Qt::FlatCap));
        p.drawPath(arc);
        p.setPen(QPen(ringFill, 2.2, Qt::SolidLine, Qt::FlatCap));
        p.drawPath(arc);
        p.restore();
    };
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        ring(p, 0, 180); // the far half, which the globe hides where they cross
        QRadialGradient sea(c + QPointF(-3.5, -4), 13);
        sea.setColorAt(0, QColor(56, 88, 200));
        sea.setColorAt(0.6, QColor(24, 40, 140));
        sea.setColorAt(1, QColor(10, 16, 80));
        p.setBrush(sea);
        p.setPen(QPen(QColor(6, 8, 40), 1));
        p.drawEllipse(c, 11, 11);
    }
    const QRgb yellow = qRgb(255, 232, 48);
    star(img, 12, 9, yellow);
    star(img, 20, 7, yellow);
    star(img, 17, 14, yellow);
    star(img, 11, 19, yellow);
    star(img, 22, 21, yellow);
    stamp(img, 23, 12, {"*"}, {{'*', yellow}});
    stamp(img, 8, 13, {"*"}, {{'*', yellow}});
    stamp(img, 16, 23, {"*"}, {{'*', yellow}});
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        ring(p, 180, 180);
        // The wand: black stick, white tip, a spark where it touches.
        p.setPen(QPen(QColor(8, 8, 8), 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(27, 29), QPointF(34.5, 19.5));
        p.setPen(QPen(QColor(255, 255, 255), 2.0, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(33, 21.4), QPointF(35, 18.9));
    }
    stamp(img, 33, 13, {"..*..", "..*..", "**W**", "..*..", "..*.."},
          {{'*', qRgb(255, 240, 96)}, {'W', qRgb(255, 255, 255)}});
    return onMask(img, QColor(255, 0, 255));
}

QPolygonF bolt(QPointF at, qreal s)
{
    // A zig-zag lightning bolt, at is its top corner, s a scale.
    const QPointF pts[] = {{0, 0}, {5, 0}, {3, 4.5}, {6, 4.5}, {0.5, 13}, {2, 7}, {-1, 7}};
    QPolygonF poly;
    for (const QPointF &pt : pts)
        poly << at + pt * s;
    return poly;
}

QImage oPrograme()
{
    QImage img = layer(37, 34);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF big(13.5, 14.5), small(27, 25.5);
        QRadialGradient purple(big + QPointF(-3, -3), 13);
        purple.setColorAt(0, QColor(200, 130, 240));
        purple.setColorAt(1, QColor(120, 40, 170));
        p.setPen(QPen(QColor(56, 8, 80), 1));
        p.setBrush(purple);
        p.drawPath(cog(big, 12.5, 9.5, 3.5, 9, 10));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(80, 20, 110), 1));
        p.drawEllipse(big, 6, 6);
        QRadialGradient green(small + QPointF(-2, -2), 9);
        green.setColorAt(0, QColor(150, 240, 120));
        green.setColorAt(1, QColor(30, 150, 40));
        p.setPen(QPen(QColor(8, 64, 8), 1));
        p.setBrush(green);
        p.drawPath(cog(small, 8.5, 6.2, 2.5, 7, 0));
        p.setPen(QPen(QColor(70, 50, 0), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(QColor(255, 224, 32));
        p.drawPolygon(bolt(QPointF(27, 0.5), 1.4));
    }
    return onMask(img, QColor(0, 0, 255));
}

QImage pomocnik()
{
    QImage img = layer(37, 35);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF c(18.5, 17.5);
        QRadialGradient ball(c + QPointF(-6, -6), 22, c + QPointF(-6, -7));
        ball.setColorAt(0, QColor(255, 190, 180));
        ball.setColorAt(0.25, QColor(240, 40, 32));
        ball.setColorAt(0.75, QColor(176, 0, 0));
        ball.setColorAt(1, QColor(96, 0, 0));
        p.setBrush(ball);
        p.setPen(QPen(QColor(72, 0, 0), 1));
        p.drawEllipse(c, 16, 16);
    }
    const Legend q{{'#', qRgb(255, 224, 0)}, {'o', qRgb(88, 40, 0)}, {'h', qRgb(255, 250, 180)}};
    stamp(img, 12, 6,
          {
              "...ooooooo...", "..ohhhhhh#o..", ".ohh#####hho.", "oh##ooooo##ho", "o##o.....o##o",
              "oooo.....o##o", ".........o##o", "........o###o", ".......o###o.", "......o###o..",
              ".....o###o...", ".....o##o....", ".....o##o....", ".....oooo....", ".............",
              ".....oooo....", ".....o##o....", ".....o##o....", ".....oooo....",
          },
          q);
    return onMask(img, QColor(255, 0, 255));
}

QImage odchod()
{
    QImage img = layer(34, 33);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        // Frame and the dark doorway.
        p.setPen(QPen(QColor(40, 24, 8), 1));
        p.setBrush(QColor(150, 100, 50));
        p.drawRect(QRectF(11.5, 1.5, 21, 31));
        p.setBrush(QColor(16, 16, 40));
        p.drawRect(QRectF(14.5, 4.5, 15, 28));
        // The lightning comes out of the dark.
        p.setPen(QPen(QColor(80, 50, 0), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(QColor(255, 230, 40));
        p.drawPolygon(bolt(QPointF(20, 6), 1.9));
        // The door swung open towards us, its near edge taller.
        QLinearGradient leaf(1, 0, 14, 0);
        leaf.setColorAt(0, QColor(196, 120, 236));
        leaf.setColorAt(1, QColor(110, 40, 150));
        p.setBrush(leaf);
        p.setPen(QPen(QColor(48, 8, 64), 1));
        const QPolygonF door{{14.5, 4.5}, {1.5, 0.5}, {1.5, 32.5}, {14.5, 32.5}};
        p.drawPolygon(door);
        p.setPen(QPen(QColor(80, 24, 104), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(QPolygonF{{11.5, 7.5}, {4.5, 5.5}, {4.5, 15.5}, {11.5, 16.5}});
        p.drawPolygon(QPolygonF{{11.5, 19.5}, {4.5, 19.5}, {4.5, 29.5}, {11.5, 29.5}});
    }
    stamp(img, 3, 17, {"oo", "##"}, {{'o', qRgb(255, 236, 120)}, {'#', qRgb(200, 150, 0)}});
    return onMask(img, QColor(0, 255, 0));
}

// ---------------------------------------------------------------------------------------
// Busy indicator: the program name lit up in many colours on black.

QImage praca()
{
    QImage img(42, 30, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        p.setPen(QPen(QColor(208, 208, 208), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, 41, 29);
    }
    struct Glyph
    {
        std::initializer_list<const char *> rows;
        QRgb colour;
        QRgb light;
        int top;
    };
    const Glyph word[] = {
        {{"######", "######", "..##..", "..##..", "..##..", "..##..", "..##..", "..##..", "..##..",
          "..##.."},
         qRgb(255, 56, 56),
         qRgb(255, 170, 160),
         0},
        {{".####.", "....##", ".#####", "##..##", "##..##", "##..##", ".#####"},
         qRgb(255, 150, 0),
         qRgb(255, 210, 130),
         3},
        {{"##.##", "#####", "###..", "##...", "##...", "##...", "##..."},
         qRgb(255, 236, 0),
         qRgb(255, 255, 170),
         3},
        {{"##..##", "##..##", "##..##", "##..##", ".####.", ".####.", "..##.."},
         qRgb(48, 216, 64),
         qRgb(170, 255, 170),
         3},
        {{".####.", "##..##", "##..##", "##..##", "##..##", "##..##", ".####."},
         qRgb(48, 160, 255),
         qRgb(170, 220, 255),
         3},
        {{"##", "##", "##", "##", "##", "##", "##", "##", "##", "##"},
         qRgb(220, 96, 255),
         qRgb(240, 200, 255),
         0},
    };
    int x = 3;
    const int top = 10;
    for (const Glyph &g : word) {
        // The top row a shade lighter, as if lit from above.
        int width = 0;
        int row = 0;
        for (const char *r : g.rows) {
            width = std::max<int>(width, int(qstrlen(r)));
            stamp(img, x, top + g.top + row, {r}, {{'#', row == 0 ? g.light : g.colour}});
            ++row;
        }
        x += width + 1;
    }
    return flattened(img);
}

QImage pracaZaneprazdneny()
{
    QImage img = praca().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const Legend hourglass{{'K', qRgb(0, 0, 0)},       {'W', qRgb(222, 160, 90)},
                           {'w', qRgb(150, 90, 40)},   {'G', qRgb(236, 244, 255)},
                           {'g', qRgb(150, 190, 224)}, {'S', qRgb(255, 212, 40)}};
    stamp(img, 13, 3,
          {
              "KKKKKKKKKKKKKKKK", "KWWWWWWWWWWWWWWK", "KwwwwwwwwwwwwwwK", "KKKKKKKKKKKKKKKK",
              "KWKKGgggggggKKWK", "KWKKGgggggggKKWK", "KWKKGSSSSSSSKKWK", "KWKKKGSSSSSKKKWK",
              "KWKKKKGSSSKKKKWK", "KWKKKKKSSKKKKKWK", "KWKKKKKSSKKKKKWK", "KWKKKKKgSKKKKKWK",
              "KWKKKKGgSgKKKKWK", "KWKKKGggSggKKKWK", "KWKKGgggSgggKKWK", "KWKKGggSSSggKKWK",
              "KWKKGgSSSSSgKKWK", "KWKKGSSSSSSSKKWK", "KWKKSSSSSSSSKKWK", "KKKKKKKKKKKKKKKK",
              "KWWWWWWWWWWWWWWK", "KwwwwwwwwwwwwwwK", "KKKKKKKKKKKKKKKK",
          },
          hourglass);
    return flattened(img);
}

// ---------------------------------------------------------------------------------------
// The opening picture: an open ruled notebook lying on the desk.

QImage uvod()
{
    const int w = 578, h = 436;
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient desk(0, 0, w, h);
    desk.setColorAt(0, QColor(120, 84, 52));
    desk.setColorAt(1, QColor(88, 58, 34));
    p.fillRect(img.rect(), desk);

    // The cover shows as a dark blue border round the pages.
    p.setPen(QPen(QColor(12, 24, 60), 1));
    p.setBrush(QColor(30, 56, 120));
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 6, 6);

    // The program writes over the left page and puts page numbers in both lower outer
    // corners, so the pages reach almost to the cover's edge.
    const int spine = w / 2;
    const int margin = 5, top = 5, bottom = 427;
    const QColor paper(253, 252, 244);
    const QColor edge(196, 192, 176);

    // The sheets underneath peek out at the outer and lower edges.
    p.setPen(QPen(edge, 1));
    for (int i = 2; i >= 1; --i) {
        p.setBrush(i == 2 ? QColor(232, 230, 216) : QColor(242, 240, 228));
        p.drawRect(QRectF(margin - i + 0.5, top + 0.5, spine - margin, bottom - top + i));
        p.drawRect(QRectF(spine + i - 0.5, top + 0.5, spine - margin, bottom - top + i));
    }

    for (int side = 0; side < 2; ++side) {
        const int left = side == 0 ? margin : spine;
        const int right = side == 0 ? spine : w - margin;
        const QRectF page(left + 0.5, top + 0.5, right - left - 1, bottom - top);
        p.setPen(QPen(edge, 1));
        p.setBrush(paper);
        p.drawRect(page);

        // Ruling from edge to edge.
        for (int y = 46; y < bottom - 10; y += 19)
            p.fillRect(QRect(left + 1, y, right - left - 2, 1), QColor(158, 190, 228));

        // The paper dips into the fold and lifts a little towards the outer edge.
        const qreal inner = side == 0 ? right : left;
        const qreal outer = side == 0 ? left : right;
        const qreal towardsOuter = side == 0 ? -1 : 1;
        QLinearGradient fold(inner, 0, inner + towardsOuter * 44, 0);
        fold.setColorAt(0, QColor(110, 100, 80, 80));
        fold.setColorAt(0.25, QColor(110, 100, 80, 36));
        fold.setColorAt(1, QColor(110, 100, 80, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(fold);
        p.drawRect(page.adjusted(0.5, 0.5, -0.5, -0.5));
        QLinearGradient lift(outer, 0, outer - towardsOuter * 16, 0);
        lift.setColorAt(0, QColor(140, 130, 110, 44));
        lift.setColorAt(1, QColor(140, 130, 110, 0));
        p.setBrush(lift);
        p.drawRect(page.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    p.fillRect(QRect(spine - 1, top + 1, 2, bottom - top - 1), QColor(168, 160, 140));

    // Two staples lie along the fold, their legs through the paper.
    for (int y : {112, 300}) {
        const int length = 32;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 50, 30, 60));
        p.drawRoundedRect(QRectF(spine - 1, y + 1, 4, length), 2, 2);
        QLinearGradient metal(spine - 2, 0, spine + 2, 0);
        metal.setColorAt(0, QColor(128, 130, 140));
        metal.setColorAt(0.45, QColor(246, 248, 252));
        metal.setColorAt(1, QColor(104, 106, 116));
        p.setBrush(metal);
        p.drawRoundedRect(QRectF(spine - 2, y, 4, length), 2, 2);
        p.fillRect(QRect(spine - 1, y + 1, 2, 1), QColor(70, 70, 76));
        p.fillRect(QRect(spine - 1, y + length - 2, 2, 1), QColor(70, 70, 76));
    }
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

// ---------------------------------------------------------------------------------------
// Icons

QImage konfiguracia()
{
    QImage img = layer(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Notepad with a spiral along the top and ruled lines.
    p.setPen(QPen(QColor(60, 60, 70), 1));
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(QRectF(1.5, 3.5, 20, 26));
    p.setPen(QPen(QColor(120, 160, 220), 1));
    for (int y = 9; y < 29; y += 3)
        p.drawLine(QPointF(3, y + 0.5), QPointF(20, y + 0.5));
    p.setPen(QPen(QColor(200, 40, 40), 1));
    p.drawLine(QPointF(5.5, 6), QPointF(5.5, 29));
    p.end();
    for (int x = 3; x < 21; x += 3)
        stamp(img, x, 1, {"o.", "o.", "o#", "o."},
              {{'o', qRgb(90, 90, 100)}, {'#', qRgb(30, 30, 30)}});
    // What has been written so far.
    stamp(img, 7, 14, {"..#...#...#..", ".#.#.#.#.#.#.", "#...#...#...#"},
          {{'#', qRgb(24, 40, 120)}});
    stamp(img, 7, 20, {"..#...#", ".#.#.#.", "#...#.."}, {{'#', qRgb(24, 40, 120)}});
    p.begin(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // The pencil, from its tip on the paper up to the right.
    const QPointF tip(13.5, 22.5);
    const qreal angle = -48;
    p.translate(tip);
    p.rotate(angle);
    p.setPen(QPen(QColor(60, 40, 0), 1));
    p.setBrush(QColor(240, 200, 140));
    p.drawPolygon(QPolygonF{{0, 0}, {6, -2.5}, {6, 2.5}});
    p.setBrush(QColor(40, 40, 40));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF{{0, 0}, {2.2, -0.9}, {2.2, 0.9}});
    p.setPen(QPen(QColor(60, 40, 0), 1));
    p.setBrush(QColor(255, 200, 0));
    p.drawRect(QRectF(6, -2.5, 17, 5));
    p.setBrush(QColor(250, 140, 170));
    p.drawRect(QRectF(23, -2.5, 3, 5));
    p.resetTransform();
    // The hand comes in from the lower right corner: sleeve, back of the hand, the thumb
    // under the pencil and the index finger on top of it.
    const QColor skin(252, 204, 164), skinEdge(150, 86, 44);
    auto finger = [&](QPointF from, QPointF to, qreal width) {
        p.setPen(QPen(skinEdge, width + 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(from, to);
        p.setPen(QPen(skin, width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(from, to);
    };
    p.setPen(QPen(QColor(20, 30, 90), 1));
    p.setBrush(QColor(50, 80, 190));
    p.drawPolygon(QPolygonF{{32, 22}, {32, 32}, {21, 32}});
    p.setPen(QPen(QColor(120, 120, 130), 1));
    p.setBrush(QColor(240, 240, 244));
    p.drawPolygon(QPolygonF{{32, 19}, {32, 23}, {22, 33}, {18, 33}});
    finger(QPointF(22, 27), QPointF(18, 28), 3.6);
    finger(QPointF(24, 25), QPointF(19.5, 25.5), 3.6);
    p.setPen(QPen(skinEdge, 1));
    p.setBrush(skin);
    p.drawEllipse(QPointF(24.5, 21), 5.5, 5);
    finger(QPointF(21, 23), QPointF(16.5, 22.5), 3.2);
    finger(QPointF(25, 17), QPointF(18.5, 18.5), 3.4);
    p.end();
    stamp(img, 17, 17, {"nn"}, {{'n', qRgb(255, 236, 222)}});
    return img;
}

QImage knihaOtvorena()
{
    QImage img = layer(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Draw the left half, then the same mirrored for the right one.
    for (int side = 0; side < 2; ++side) {
        p.resetTransform();
        if (side == 1) {
            p.translate(32, 0);
            p.scale(-1, 1);
        }
        QPainterPath cover(QPointF(16, 11));
        cover.quadTo(QPointF(8, 7), QPointF(0.5, 9.5));
        cover.lineTo(0.5, 27.5);
        cover.quadTo(QPointF(8, 26), QPointF(16, 31));
        cover.closeSubpath();
        p.setPen(QPen(QColor(90, 0, 0), 1));
        p.setBrush(side == 0 ? QColor(214, 30, 30) : QColor(186, 16, 16));
        p.drawPath(cover);

        QPainterPath sheets(QPointF(16, 9));
        sheets.quadTo(QPointF(9, 5), QPointF(2.5, 7));
        sheets.lineTo(2.5, 26);
        sheets.quadTo(QPointF(9, 24.5), QPointF(16, 29.5));
        sheets.closeSubpath();
        p.setPen(QPen(QColor(140, 136, 120), 1));
        p.setBrush(QColor(222, 220, 206));
        p.drawPath(sheets);

        QPainterPath page(QPointF(16, 8));
        page.quadTo(QPointF(9, 2.5), QPointF(3.5, 5));
        page.lineTo(3.5, 24.5);
        page.quadTo(QPointF(9, 22.5), QPointF(16, 28));
        page.closeSubpath();
        p.setPen(QPen(QColor(120, 120, 120), 1));
        p.setBrush(side == 0 ? QColor(255, 255, 252) : QColor(244, 244, 238));
        p.drawPath(page);

        for (int y = 9; y <= 21; y += 3) {
            p.fillRect(QRect(6, y, 6, 1), QColor(120, 124, 140));
            p.fillRect(QRect(12, y + 1, 2, 1), QColor(120, 124, 140));
        }
        p.fillRect(QRect(15, 8, 1, 20), QColor(190, 186, 176));
    }
    p.end();
    return img;
}

QImage knihaZatvorena()
{
    QImage img = layer(32, 32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Page edges peeking out on the right and bottom, then the cover.
    p.setPen(QPen(QColor(110, 100, 80), 1));
    p.setBrush(QColor(250, 246, 230));
    p.drawRect(QRectF(5.5, 4.5, 24, 25));
    p.setPen(QPen(QColor(96, 64, 0), 1));
    QLinearGradient cover(4, 0, 28, 0);
    cover.setColorAt(0, QColor(255, 236, 80));
    cover.setColorAt(1, QColor(240, 192, 16));
    p.setBrush(cover);
    p.drawRect(QRectF(2.5, 1.5, 25, 27));
    p.setBrush(QColor(200, 140, 0));
    p.drawRect(QRectF(2.5, 1.5, 5, 27));
    p.setPen(QPen(QColor(255, 246, 170), 1));
    p.drawLine(QPointF(8.5, 2.5), QPointF(26.5, 2.5));
    // A label on the front.
    p.setPen(QPen(QColor(150, 100, 0), 1));
    p.setBrush(QColor(255, 252, 230));
    p.drawRect(QRectF(11.5, 7.5, 12, 7));
    p.setPen(QPen(QColor(170, 140, 90), 1));
    p.drawLine(QPointF(13.5, 10), QPointF(21.5, 10));
    p.drawLine(QPointF(13.5, 12), QPointF(19.5, 12));
    p.end();
    return img;
}

QImage otaznik()
{
    QImage img = layer(32, 32);
    const Legend q{{'#', qRgb(255, 220, 0)},
                   {'o', qRgb(96, 56, 0)},
                   {'h', qRgb(255, 250, 170)},
                   {'s', qRgb(220, 160, 0)}};
    stamp(img, 7, 1,
          {
              "....oooooooo....",  "..ooohhhhhh#ooo.",  ".ohhh#########o.",  "oh####ooooo####o",
              "oh##oo.....oo##so", "oh##o.......o##so", "ooooo.......o##so", "...........o###so",
              "..........o###so.", ".........o###so..", "........o###so...", ".......o###so....",
              "......o###so.....", "......o##so......", "......o##so......", "......o##so......",
              "......o##so......", "......oooo.......", ".................", "......oooo.......",
              ".....oh##so......", ".....o###so......", ".....o###so......", "......ossoo......",
              ".......oo........",
          },
          q);
    return img;
}

// ---------------------------------------------------------------------------------------
// Writing

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

bool writeBmp(const QImage &image, const QString &path)
{
    // Qt writes uncompressed 24-bit rows for any 32-bit image.
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    rgb.setDotsPerMeterX(2835);
    rgb.setDotsPerMeterY(2835);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, "bmp");
    return writer.write(rgb) && file.commit();
}

// An icon's pixels as palette indices; index 0 is black, the colour the AND mask's
// transparent pixels carry.
struct Indexed
{
    QList<QRgb> palette;
    QList<uchar> pixels; // row by row, top first
    QList<bool> transparent;
};

// Exact colours when they fit in 256; otherwise channel bits are dropped until they do.
Indexed indexed(const QImage &drawing)
{
    const QImage source = drawing.convertToFormat(QImage::Format_ARGB32);
    for (int bits = 8; bits >= 1; --bits) {
        const uint keep = (0xffu << (8 - bits)) & 0xffu;
        const QRgb channels = (keep << 16) | (keep << 8) | keep;
        Indexed out;
        out.palette = {qRgb(0, 0, 0)};
        QHash<QRgb, int> slot;
        bool fits = true;
        for (int y = 0; y < source.height() && fits; ++y) {
            for (int x = 0; x < source.width() && fits; ++x) {
                const QRgb p = source.pixel(x, y);
                const bool clear = qAlpha(p) < 128;
                int i = 0;
                if (!clear) {
                    const QRgb c = (p & channels) | 0xff000000u;
                    i = slot.value(c, -1);
                    if (i < 0) {
                        i = int(out.palette.size());
                        slot.insert(c, i);
                        out.palette.append(c);
                        fits = out.palette.size() <= 256;
                    }
                }
                out.pixels.append(uchar(i));
                out.transparent.append(clear);
            }
        }
        if (fits)
            return out;
    }
    return {}; // unreachable: one bit per channel gives at most 9 colours
}

void put16(QByteArray &out, quint16 v)
{
    out.append(char(v & 0xff));
    out.append(char(v >> 8));
}

void put32(QByteArray &out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xff));
}

// Qt's own icon writer always writes 32-bit colour, so the 256-colour icons are put
// together here: one 8-bit palette image with an AND mask for the transparency.
QByteArray icoBytes(const QImage &drawing)
{
    const int w = drawing.width(), h = drawing.height();
    const Indexed image = indexed(drawing);
    const int xorRow = (w + 3) / 4 * 4;
    const int andRow = (w + 31) / 32 * 4;
    const quint32 pixelBytes = quint32((xorRow + andRow) * h);
    const quint32 headerBytes = 40, paletteBytes = 256 * 4;

    QByteArray out;
    put16(out, 0);
    put16(out, 1); // icon
    put16(out, 1); // one image
    out.append(char(w)).append(char(h));
    out.append(char(0)).append(char(0)); // 256 colours, reserved
    put16(out, 1);                       // planes
    put16(out, 8);                       // bits per pixel
    put32(out, headerBytes + paletteBytes + pixelBytes);
    put32(out, 22); // the image follows this directory

    put32(out, headerBytes);
    put32(out, quint32(w));
    put32(out, quint32(2 * h)); // colour rows and mask rows together
    put16(out, 1);
    put16(out, 8);
    put32(out, 0); // uncompressed
    put32(out, pixelBytes);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0); // all 256 palette entries
    put32(out, 0);
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < image.palette.size() ? image.palette[i] : 0;
        out.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append(char(0));
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(xorRow, 0);
        for (int x = 0; x < w; ++x)
            row[x] = char(image.pixels[y * w + x]);
        out.append(row);
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(andRow, 0);
        for (int x = 0; x < w; ++x) {
            if (image.transparent[y * w + x])
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
    return out;
}

bool writeIco(const QImage &drawing, const QString &path)
{
    const QByteArray bytes = icoBytes(drawing);
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

struct Picture
{
    const char *file;
    QImage (*draw)();
};

} // namespace

int main(int argc, char *argv[])
{
    // Painting on QImage needs no screen and no platform plugin.
    QCoreApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err() << QString::fromUtf8("Použitie: picturegen <priečinok>\n"
                                   "Nakreslí obrázky programu do zadaného priečinka.\n");
        return 2;
    }
    const QString folder = args.at(1);
    if (!QDir().mkpath(folder)) {
        err() << QString::fromUtf8("Priečinok %1 sa nedá vytvoriť.\n").arg(folder);
        return 1;
    }

    const Picture pictures[] = {
        {"vybrat_knihu.bmp", vybratKnihu},
        {"vybrat_list.bmp", vybratList},
        {"o_dokumente.bmp", oDokumente},
        {"konfiguracia.ico", konfiguracia},
        {"o_programe.bmp", oPrograme},
        {"pomocnik.bmp", pomocnik},
        {"odchod.bmp", odchod},
        {"praca.bmp", praca},
        {"praca_zaneprazdneny.bmp", pracaZaneprazdneny},
        {"uvod.bmp", uvod},
        {"kniha_otvorena.ico", knihaOtvorena},
        {"kniha_zatvorena.ico", knihaZatvorena},
        {"otaznik.ico", otaznik},
    };
    int failures = 0;
    for (const Picture &picture : pictures) {
        const QString path = QDir(folder).filePath(QLatin1String(picture.file));
        const QImage image = picture.draw();
        const bool ok =
            path.endsWith(QLatin1String(".ico")) ? writeIco(image, path) : writeBmp(image, path);
        if (!ok) {
            err() << QString::fromUtf8("Súbor %1 sa nedá zapísať.\n").arg(path);
            ++failures;
        }
    }
    err().flush();
    return failures == 0 ? 0 : 1;
}
