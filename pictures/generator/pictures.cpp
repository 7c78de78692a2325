// SPDX-License-Identifier: MIT
#include "pictures.h"

#include "canvas.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

using namespace canvas;

namespace pictures {

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
    if (scale() != 1) {
        QPainter p(&img);
        questionMark(p, QRectF(12, 6, 13, 19), QColor(255, 224, 0), QColor(255, 250, 180),
                     QColor(88, 40, 0));
        return onMask(img, QColor(255, 0, 255));
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
    QImage img = layer(42, 30);
    img.fill(Qt::black);
    {
        // Whole design pixels, so that the 2x frame is exactly twice as thick.
        QPainter p(&img);
        const QColor frame(208, 208, 208);
        p.fillRect(QRect(0, 0, 42, 1), frame);
        p.fillRect(QRect(0, 29, 42, 1), frame);
        p.fillRect(QRect(0, 0, 1, 30), frame);
        p.fillRect(QRect(41, 0, 1, 30), frame);
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
    if (scale() != 1) {
        QPainter p(&img);
        questionMark(p, QRectF(7, 1, 17, 25), QColor(255, 220, 0), QColor(255, 250, 170),
                     QColor(96, 56, 0));
        return img;
    }
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
// The desktop's small icons, drawn pixel by pixel for their size: scaled down from 32, the
// book's lines and the question mark's stroke would blur into grey.

namespace {

const Legend bookLegend{{'o', qRgb(120, 120, 120)}, {'w', qRgb(255, 255, 252)},
                        {'g', qRgb(236, 236, 228)}, {'l', qRgb(120, 124, 140)},
                        {'c', qRgb(190, 186, 176)}, {'r', qRgb(214, 30, 30)},
                        {'s', qRgb(186, 16, 16)},   {'R', qRgb(110, 0, 0)}};
const Legend questionLegend{{'#', qRgb(255, 220, 0)},
                            {'o', qRgb(96, 56, 0)},
                            {'h', qRgb(255, 250, 170)},
                            {'s', qRgb(220, 160, 0)}};

QImage pixelIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

} // namespace

QImage knihaOtvorenaIcon(int size)
{
    if (size != 16 && size != 24) {
        setScale(size / 32.0);
        return knihaOtvorena();
    }
    QImage img = pixelIcon(size);
    if (size == 16) {
        stamp(img, 0, 0,
              {
                  "................",
                  "................",
                  ".oooo......oooo.",
                  "Rowwwoo..oogggoR",
                  "RowwwwwoogggggoR",
                  "RowlllwccglllgoR",
                  "RowwwwwccgggggoR",
                  "RowlllwccglllgoR",
                  "RowwwwwccgggggoR",
                  "RowlllwccglllgoR",
                  "RowwwwwccgggggoR",
                  "RoooowwccggooooR",
                  "RrrrroooooossssR",
                  "RrrrrrrrsssssssR",
                  ".RRRRRRRRRRRRRR.",
                  "................",
              },
              bookLegend);
    } else {
        stamp(
            img, 0, 0,
            {
                "........................", "........................", "........................",
                ".ooooo............ooooo.", "Rowwwwooo......oooggggoR", "RowwwwwwwoooooogggggggoR",
                "RowlllllwwwccggglllllgoR", "RowwwwwwwwwccgggggggggoR", "RowwwwwwwwwccgggggggggoR",
                "RowlllllllwccglllllllgoR", "RowwwwwwwwwccgggggggggoR", "RowwwwwwwwwccgggggggggoR",
                "RowlllllllwccglllllllgoR", "RowwwwwwwwwccgggggggggoR", "RowwwwwwwwwccgggggggggoR",
                "RowlllllllwccglllllllgoR", "RowwwwwwwwwccgggggggggoR", "RooooowwwwwccgggggoooooR",
                "RrrrrroooowccgoooosssssR", "RrrrrrrrroooooossssssssR", "RrrrrrrrrrrrsssssssssssR",
                ".RRRRRrrrrrrssssssRRRRR.", "......RRRRRRRRRRRR......", "........................",
            },
            bookLegend);
    }
    return img;
}

QImage otaznikIcon(int size)
{
    if (size != 16 && size != 24) {
        setScale(size / 32.0);
        return otaznik();
    }
    QImage img = pixelIcon(size);
    if (size == 16) {
        stamp(img, 0, 0,
              {
                  "................",
                  ".....oooooo.....",
                  "....oh#####o....",
                  "...oh##oo###o...",
                  "...o##o..o##so..",
                  "...ooo...o##so..",
                  "........o##so...",
                  ".......o##so....",
                  "......o##so.....",
                  "......o##so.....",
                  "......oooo......",
                  "................",
                  "......oooo......",
                  "......o##so.....",
                  "......osso......",
                  "................",
              },
              questionLegend);
    } else {
        stamp(
            img, 0, 0,
            {
                "........................", ".......oooooooo.........", ".....ooh#######oo.......",
                "....oh###########o......", "...oh####ooooo####o.....", "...o###oo.....oo##so....",
                "...oooo........o##so....", "..............o###so....", ".............o###so.....",
                "............o###so......", "...........o###so.......", "..........o###so........",
                ".........o##so..........", ".........o##so..........", ".........o##so..........",
                ".........oooo...........", "........................", ".........oooo...........",
                "........oh##so..........", "........o###so..........", ".........ossoo..........",
                "..........oo............", "........................", "........................",
            },
            questionLegend);
    }
    return img;
}

} // namespace pictures
