// SPDX-License-Identifier: MIT
// Drawing helpers shared by the pictures. A layer's device pixel ratio is the drawing
// scale: painters on it work in the design's 1x coordinates whatever its real size.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>

#include <initializer_list>
#include <utility>

namespace canvas {

using Legend = std::initializer_list<std::pair<char, QRgb>>;

// The scale that layer() draws at: 1 for the design's pictures, 2 for their 2x variants,
// size/32 for the desktop icons.
void setScale(qreal scale);
qreal scale();

QImage layer(int width, int height);
void stamp(QImage &image, int left, int top, std::initializer_list<const char *> rows,
           Legend legend);
QImage onMask(const QImage &drawing, const QColor &mask);
QImage flattened(const QImage &drawing);
QPointF polar(QPointF centre, qreal radius, qreal degrees);
void arrow(QPainter &p, const QPainterPath &shaft, qreal width, qreal headLength, qreal headHalf,
           const QColor &fill, const QColor &outline);
QPainterPath cog(QPointF centre, qreal outer, qreal inner, qreal hole, int teeth, qreal phase);
// A question mark filling box, for the sizes where the 1x pixel art would turn blocky.
void questionMark(QPainter &p, const QRectF &box, const QColor &fill, const QColor &light,
                  const QColor &edge);

} // namespace canvas
