// SPDX-License-Identifier: MIT
// The desktop's icons as installed: every size there, and the small ones drawn for their size.
#include <QImage>
#include <QTest>

class TestDesktopIcons : public QObject
{
    Q_OBJECT

    static QImage icon(const QString &name, int size)
    {
        return QImage(QStringLiteral(PAGORA_TEST_DATA "/../../dist/icons/%1/%2.png")
                          .arg(size)
                          .arg(name))
            .convertToFormat(QImage::Format_ARGB32);
    }

    // The smallest rectangle holding every pixel that is not fully transparent.
    static QRect drawn(const QImage &image)
    {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) != 0)
                    box |= QRect(x, y, 1, 1);
        return box;
    }

private slots:
    void everySize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        for (const char *name : {"sk.tarvol.Pagora", "sk.tarvol.Pagora.Pomocnik"})
            for (int size : {16, 24, 32, 48, 64, 128, 256})
                QTest::addRow("%s %d", name, size) << QString::fromLatin1(name) << size;
    }

    void everySize()
    {
        QFETCH(QString, name);
        QFETCH(int, size);
        const QImage image = icon(name, size);
        QCOMPARE(image.size(), QSize(size, size));
        // The whole picture, not a piece of a bigger one: it fills most of its square and
        // stays inside it with room to spare.
        const QRect box = drawn(image);
        QVERIFY2(box.width() >= size / 2 && box.height() >= size * 5 / 8,
                 qPrintable(QStringLiteral("drawn %1x%2").arg(box.width()).arg(box.height())));
        QVERIFY2(box.right() < size && box.bottom() < size && box.left() >= 0,
                 qPrintable(QStringLiteral("drawn at %1,%2").arg(box.x()).arg(box.y())));
        QVERIFY(qAlpha(image.pixel(size - 1, size - 1)) == 0 ||
                qAlpha(image.pixel(0, 0)) == 0); // a corner is background
    }

    void smallIconsAreNotCrops_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        for (const char *name : {"sk.tarvol.Pagora", "sk.tarvol.Pagora.Pomocnik"})
            for (int size : {16, 24})
                QTest::addRow("%s %d", name, size) << QString::fromLatin1(name) << size;
    }

    void smallIconsAreNotCrops()
    {
        QFETCH(QString, name);
        QFETCH(int, size);
        const QImage small = icon(name, size);
        const QImage big = icon(name, 32);
        QVERIFY(!small.isNull() && !big.isNull());
        QVERIFY(small != big.copy(0, 0, size, size));
        // Nor the big one merely scaled down: drawn pixel by pixel, every pixel is either
        // background or fully opaque.
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const int alpha = qAlpha(small.pixel(x, y));
                QVERIFY2(alpha == 0 || alpha == 255,
                         qPrintable(QStringLiteral("%1,%2: alpha %3").arg(x).arg(y).arg(alpha)));
            }
    }
};

QTEST_GUILESS_MAIN(TestDesktopIcons)
#include "tst_desktopicons.moc"
