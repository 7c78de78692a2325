// SPDX-License-Identifier: MIT
#include "storedpicture.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QResource>
#include <QTest>
#include <QtEndian>

namespace {

// A picture with a different colour in every pixel, so that a row drawn upside down, a
// channel swapped or a pixel shifted shows.
QImage pattern(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 37 % 256, y * 53 % 256, (x * 11 + y * 7) % 256));
    }
    return image;
}

struct Layout
{
    int bits = 24;
    bool topDown = false;
    uchar reserved = 0xff; // the fourth byte of 32-bit pixels
    int pixelOffset = 54;
};

QByteArray bmp(const QImage &image, const Layout &layout)
{
    const int stride = (image.width() * layout.bits + 31) / 32 * 4;
    QByteArray bytes(layout.pixelOffset, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian<quint32>(v, bytes.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian<quint16>(v, bytes.data() + at); };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, quint32(layout.pixelOffset + stride * image.height()));
    put32(10, quint32(layout.pixelOffset));
    put32(14, 40);
    put32(18, quint32(image.width()));
    put32(22, quint32(layout.topDown ? -image.height() : image.height()));
    put16(26, 1);
    put16(28, quint16(layout.bits));
    for (int i = 0; i < image.height(); ++i) {
        const int y = layout.topDown ? i : image.height() - 1 - i;
        QByteArray row(stride, '\0');
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            char *at = row.data() + x * layout.bits / 8;
            at[0] = char(qBlue(pixel));
            at[1] = char(qGreen(pixel));
            at[2] = char(qRed(pixel));
            if (layout.bits == 32)
                at[3] = char(layout.reserved);
        }
        bytes += row;
    }
    return bytes;
}

// What the picture leaves on a canvas, drawn away from its corner.
QImage drawn(const StoredPicture &picture, QSize canvas)
{
    QImage image(canvas, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    picture.draw(painter, QPoint(3, 2));
    return image;
}

QImage expected(const QImage &source, QSize canvas)
{
    QImage image(canvas, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    painter.drawImage(QPoint(3, 2), source);
    return image;
}

} // namespace

class TestStoredPicture : public QObject
{
    Q_OBJECT

private slots:
    void theIntroPictureIsDrawnInPlaceAndExact()
    {
        const QString path = QStringLiteral(":/pictures/uvod.bmp");
        // Compressed, it would have to be unpacked into memory first.
        QCOMPARE(QResource(path).compressionAlgorithm(), QResource::NoCompression);
        const StoredPicture picture(path);
        QVERIFY(picture.isInPlace());
        const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(picture.size(), reference.size());
        QCOMPARE(picture.size(), QSize(578, 436));
        const QSize canvas = reference.size() + QSize(6, 4);
        QCOMPARE(drawn(picture, canvas), expected(reference, canvas));
    }

    void layoutsAreDrawnExactly_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("topDown");
        QTest::addColumn<int>("reserved");
        QTest::addColumn<int>("pixelOffset");
        QTest::addColumn<bool>("inPlace");
        // Widths of 1, 2, 3 and 5 pixels pad 24-bit rows by every amount there is.
        for (int width : {1, 2, 3, 5, 64}) {
            QTest::addRow("24 bits, %d wide", width)
                << QSize(width, 4) << 24 << false << 0 << 54 << true;
        }
        QTest::newRow("24 bits, top row first") << QSize(7, 5) << 24 << true << 0 << 54 << true;
        QTest::newRow("32 bits") << QSize(7, 5) << 32 << false << 0xff << 56 << true;
        QTest::newRow("32 bits, top row first") << QSize(7, 5) << 32 << true << 0xff << 56 << true;
        // A zero fourth byte would reach the screen as a transparent pixel.
        QTest::newRow("32 bits, reserved byte zero")
            << QSize(7, 5) << 32 << false << 0 << 56 << false;
        QTest::newRow("32 bits, rows off the word boundary")
            << QSize(7, 5) << 32 << false << 0xff << 55 << false;
    }

    void layoutsAreDrawnExactly()
    {
        QFETCH(QSize, size);
        QFETCH(int, bits);
        QFETCH(bool, topDown);
        QFETCH(int, reserved);
        QFETCH(int, pixelOffset);
        QFETCH(bool, inPlace);
        const QImage source = pattern(size.width(), size.height());
        const QByteArray data = bmp(source, {bits, topDown, uchar(reserved), pixelOffset});
        // A byte array's data is word-aligned, so the rows are where the file puts them.
        QCOMPARE(quintptr(data.constData()) % 4, quintptr(0));
        const StoredPicture picture = StoredPicture::fromData(data);
        QCOMPARE(picture.isInPlace(), inPlace);
        QCOMPARE(picture.size(), size);
        const QSize canvas = size + QSize(6, 4);
        QCOMPARE(drawn(picture, canvas), expected(source, canvas));
    }

    void otherDataIsLeftToTheImageReader_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QImage source = pattern(6, 4);
        const QByteArray good = bmp(source, {});
        const auto patched = [&](int at, quint32 value, int bytes = 4) {
            QByteArray copy = good;
            if (bytes == 4)
                qToLittleEndian<quint32>(value, copy.data() + at);
            else
                qToLittleEndian<quint16>(quint16(value), copy.data() + at);
            return copy;
        };
        QTest::newRow("nothing") << QByteArray();
        QTest::newRow("a header only") << good.left(54);
        QTest::newRow("rows cut short") << good.left(good.size() - 1);
        QTest::newRow("not a bitmap") << QByteArray("GIF89a") + good.mid(6);
        QTest::newRow("16 bits") << patched(28, 16, 2);
        QTest::newRow("8 bits, no palette") << patched(28, 8, 2);
        QTest::newRow("run-length compressed") << patched(30, 1);
        QTest::newRow("two planes") << patched(26, 2, 2);
        QTest::newRow("no width") << patched(18, 0);
        QTest::newRow("negative width") << patched(18, quint32(-6));
        QTest::newRow("no height") << patched(22, 0);
        QTest::newRow("enormous width") << patched(18, 0x7fffffff);
        QTest::newRow("enormous height") << patched(22, 0x80000000u);
        QTest::newRow("rows past the end") << patched(10, 0xfffffff0u);
        QTest::newRow("rows inside the header") << patched(10, 20);
        QTest::newRow("a short header") << patched(14, 12);
        QTest::newRow("an enormous header") << patched(14, 0xffffffffu);
    }

    void otherDataIsLeftToTheImageReader()
    {
        QFETCH(QByteArray, data);
        const StoredPicture picture = StoredPicture::fromData(data);
        QVERIFY(!picture.isInPlace());
        // Whatever the reader makes of it (a cut file leaves rows unset) is drawn; nothing
        // breaks.
        const QImage reader = QImage::fromData(data);
        QCOMPARE(picture.isNull(), reader.isNull());
        QCOMPARE(picture.size(), reader.size());
        QImage canvas(8, 8, QImage::Format_RGB32);
        QPainter painter(&canvas);
        picture.draw(painter, QPoint(1, 1));
    }

    void aFileIsReadAndAMissingOneIsNothing()
    {
        const QImage source = pattern(9, 3);
        const QString path = QDir::temp().filePath(
            QStringLiteral("obrazok-%1.bmp").arg(QCoreApplication::applicationPid()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bmp(source, {}));
        file.close();
        const StoredPicture picture(path);
        QFile::remove(path);
        QVERIFY(picture.isInPlace());
        QCOMPARE(drawn(picture, QSize(15, 7)), expected(source, QSize(15, 7)));

        const StoredPicture missing(path);
        QVERIFY(missing.isNull());
        QImage canvas(4, 4, QImage::Format_RGB32);
        canvas.fill(Qt::gray);
        QPainter painter(&canvas);
        missing.draw(painter, QPoint(0, 0)); // draws nothing, and does not fail
    }
};

QTEST_MAIN(TestStoredPicture)
#include "tst_storedpicture.moc"
