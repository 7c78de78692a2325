// SPDX-License-Identifier: MIT
// A picture drawn straight from where it is stored. Uncompressed 24- and 32-bit BMP data is
// drawn in place: nothing unpacked, copied or converted ahead. The intro's picture is on
// screen before anything else, and reading it into an image of its own took several times as
// long as drawing it.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QSize>

class QPainter;

class StoredPicture
{
public:
    StoredPicture() = default;
    // A resource kept uncompressed or a file; any format QImage reads.
    explicit StoredPicture(const QString &path);
    // The picture over these bytes; they are kept, and used in place where they can be.
    static StoredPicture fromData(const QByteArray &data);

    bool isNull() const { return m_rows.isNull(); }
    QSize size() const { return m_rows.size(); }
    // Whether it is drawn from the stored bytes themselves.
    bool isInPlace() const { return m_inPlace; }

    void draw(QPainter &painter, const QPoint &at) const;

private:
    QByteArray m_data;
    QImage m_rows;
    bool m_bottomUp = false;
    bool m_inPlace = false;
};
