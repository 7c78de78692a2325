// SPDX-License-Identifier: MIT
// Window layouts are designed in twips; these turn them into Qt's logical pixels.
#pragma once

#include <QRect>
#include <QSize>

namespace twips {

// 15 twips are one pixel at 96 dpi; Qt's own scaling takes care of other densities.
constexpr int perPixel = 15;

constexpr int toPixels(int t)
{
    return (t + perPixel / 2) / perPixel;
}

inline QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

inline QSize size(int width, int height)
{
    return QSize(toPixels(width), toPixels(height));
}

} // namespace twips
