// SPDX-License-Identifier: MIT
#include "storedpicture.h"

#include <QFile>
#include <QPainter>
#include <QResource>
#include <QtEndian>
#include <cstdlib>

namespace {

constexpr qsizetype FileHeader = 14;
constexpr qsizetype InfoHeader = 40; // the smallest header that says all we read
constexpr qint64 MaxSide = 32768;

quint32 u32(const QByteArray &data, qsizetype at)
{
    return qFromLittleEndian<quint32>(data.constData() + at);
}

quint16 u16(const QByteArray &data, qsizetype at)
{
    return qFromLittleEndian<quint16>(data.constData() + at);
}

} // namespace

StoredPicture::StoredPicture(const QString &path)
{
    QByteArray data;
    if (path.startsWith(QLatin1Char(':'))) {
        // Not copied when the resource is stored uncompressed.
        data = QResource(path).uncompressedData();
    } else {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            data = file.readAll();
    }
    *this = fromData(data);
}

StoredPicture StoredPicture::fromData(const QByteArray &data)
{
    StoredPicture picture;
    picture.m_data = data;
    const auto readAnyway = [&] {
        picture.m_rows = QImage::fromData(data);
        return picture;
    };
    if (data.size() < FileHeader + InfoHeader || data[0] != 'B' || data[1] != 'M')
        return readAnyway();
    const qint64 offset = u32(data, 10);
    const qint64 headerSize = u32(data, 14);
    const qint64 width = qint32(u32(data, 18));
    const qint64 height = qint32(u32(data, 22));
    const int bits = u16(data, 28);
    const bool fits = headerSize >= InfoHeader && u16(data, 26) == 1 &&
                      (bits == 24 || bits == 32) && u32(data, 30) == 0 && width > 0 &&
                      width <= MaxSide && height != 0 && std::llabs(height) <= MaxSide &&
                      offset >= FileHeader + headerSize;
    const qint64 stride = (width * bits + 31) / 32 * 4;
    const qint64 rows = std::llabs(height);
    if (!fits || offset + stride * rows > data.size())
        return readAnyway();
    const auto *pixels = reinterpret_cast<const uchar *>(picture.m_data.constData()) + offset;
    if (bits == 32) {
        // Drawn as the screen's own pixels only when the reserved byte says opaque, and
        // where the rows lie as such pixels must.
        if (quintptr(pixels) % alignof(QRgb) != 0)
            return readAnyway();
        for (qint64 i = 3; i < stride * rows; i += 4) {
            if (pixels[i] != 0xff)
                return readAnyway();
        }
    }
    // BMP's blue-green-red(-reserved) bytes are exactly what these formats read.
    picture.m_rows = QImage(pixels, int(width), int(rows), stride,
                            bits == 32 ? QImage::Format_RGB32 : QImage::Format_BGR888);
    picture.m_bottomUp = height > 0;
    picture.m_inPlace = !picture.m_rows.isNull();
    return picture;
}

void StoredPicture::draw(QPainter &painter, const QPoint &at) const
{
    if (m_rows.isNull())
        return;
    if (!m_bottomUp) {
        painter.drawImage(at, m_rows);
        return;
    }
    painter.save();
    // Most BMP files store the bottom row first; drawn mirrored, they read the right way up.
    painter.translate(at.x(), at.y() + m_rows.height());
    painter.scale(1, -1);
    painter.drawImage(0, 0, m_rows);
    painter.restore();
}
