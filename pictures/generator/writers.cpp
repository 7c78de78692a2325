// SPDX-License-Identifier: MIT
#include "writers.h"

#include <QHash>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>

namespace writers {

namespace {}

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

bool writeBmp32(const QImage &image, const QString &path)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    constexpr quint32 PixelOffset = 56; // 14 + 40 bytes of headers, 2 of padding
    const quint32 rowBytes = quint32(rgb.width()) * 4;
    const quint32 pixelBytes = rowBytes * quint32(rgb.height());
    QByteArray bytes(PixelOffset, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian<quint32>(v, bytes.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian<quint16>(v, bytes.data() + at); };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, PixelOffset + pixelBytes);
    put32(10, PixelOffset);
    put32(14, 40);
    put32(18, quint32(rgb.width()));
    put32(22, quint32(rgb.height())); // positive: bottom row first, as most readers expect
    put16(26, 1);
    put16(28, 32);
    put32(30, 0); // no compression
    put32(34, pixelBytes);
    put32(38, 2835);
    put32(42, 2835);
    bytes.reserve(PixelOffset + pixelBytes);
    for (int y = rgb.height() - 1; y >= 0; --y) {
        const auto *row = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            char pixel[4];
            qToLittleEndian<quint32>(row[x] | 0xff000000u, pixel);
            bytes.append(pixel, 4);
        }
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

namespace {

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

} // namespace

bool writeIco(const QImage &drawing, const QString &path)
{
    const QByteArray bytes = icoBytes(drawing);
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool writePng(const QImage &image, const QString &path)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    out.setDevicePixelRatio(1);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QImageWriter writer(&file, "png");
    // No time or software text chunks: the same drawing always gives the same bytes.
    return writer.write(out) && file.commit();
}

} // namespace writers
