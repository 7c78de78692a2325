// SPDX-License-Identifier: MIT
#include "picturebutton.h"

#include <QApplication>
#include <QIcon>
#include <QTemporaryDir>
#include <QTest>

class TestPictureButton : public QObject
{
    Q_OBJECT

private slots:
    void doubleSizeFileName_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bmp") << ":/pictures/odchod.bmp"
                             << ":/pictures/odchod@2x.bmp";
        QTest::newRow("ico") << ":/pictures/konfiguracia.ico"
                             << ":/pictures/konfiguracia@2x.ico";
        QTest::newRow("dot in a folder name") << "/a.b/obr"
                                              << "/a.b/obr@2x";
        QTest::newRow("two dots") << "x.y.bmp"
                                  << "x.y@2x.bmp";
    }

    void doubleSizeFileName()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        QCOMPARE(PictureButton::doubleSizeFile(file), expected);
    }

    // Every toolbar picture has a 2x variant of exactly twice the size whose mask colour
    // still turns transparent, and a scaled screen gets that variant, not the 1x blown up.
    void toolbarPicturesHaveSharpDoubles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QColor>("mask");
        QTest::addColumn<bool>("masked");
        QTest::addColumn<bool>("clearCorner");
        const QColor magenta(255, 0, 255), green(0, 255, 0), blue(0, 0, 255);
        QTest::newRow("vybrat_knihu") << ":/pictures/vybrat_knihu.bmp" << magenta << true << true;
        QTest::newRow("vybrat_list") << ":/pictures/vybrat_list.bmp" << green << true << true;
        QTest::newRow("o_dokumente") << ":/pictures/o_dokumente.bmp" << magenta << true << true;
        QTest::newRow("konfiguracia") << ":/pictures/konfiguracia.ico" << QColor() << false << true;
        QTest::newRow("o_programe") << ":/pictures/o_programe.bmp" << blue << true << true;
        QTest::newRow("pomocnik") << ":/pictures/pomocnik.bmp" << magenta << true << true;
        QTest::newRow("odchod") << ":/pictures/odchod.bmp" << green << true << true;
        // The busy indicator: opaque, black to its light frame.
        QTest::newRow("praca") << ":/pictures/praca.bmp" << QColor() << false << false;
        QTest::newRow("praca_zaneprazdneny")
            << ":/pictures/praca_zaneprazdneny.bmp" << QColor() << false << false;
    }

    void toolbarPicturesHaveSharpDoubles()
    {
        QFETCH(QString, file);
        QFETCH(QColor, mask);
        QFETCH(bool, masked);
        QFETCH(bool, clearCorner);
        const std::optional<QColor> key = masked ? std::optional<QColor>(mask) : std::nullopt;
        const QList<QPixmap> pictures = PictureButton::loadPictures(file, key);
        QCOMPARE(pictures.size(), 2);
        const QImage normal = pictures[0].toImage();
        const QImage doubled = pictures[1].toImage();
        QCOMPARE(doubled.size(), normal.size() * 2);
        QCOMPARE(pictures[1].devicePixelRatio(), 2.0);
        if (clearCorner) {
            // The top left corner is background in these designs: transparent at both sizes.
            QCOMPARE(qAlpha(normal.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(doubled.pixel(0, 0)), 0);
        } else {
            // Each design pixel is a block of four in the double: sharp, not smoothed.
            for (int y = 0; y < normal.height(); ++y)
                for (int x = 0; x < normal.width(); ++x)
                    QCOMPARE(doubled.pixel(2 * x + 1, 2 * y + 1), normal.pixel(x, y));
        }
        if (masked) {
            // No pixel of the mask colour is left over in the double either.
            for (int y = 0; y < doubled.height(); ++y)
                for (int x = 0; x < doubled.width(); ++x) {
                    const QRgb p = doubled.pixel(x, y);
                    if (qAlpha(p) != 0 && (p & RGB_MASK) == (mask.rgb() & RGB_MASK))
                        QFAIL(qPrintable(QStringLiteral("mask colour at %1,%2").arg(x).arg(y)));
                }
        }

        PictureButton button;
        button.setPicture(file, key);
        QCOMPARE(button.iconSize(), normal.size());
        const QPixmap shown = button.icon().pixmap(normal.size(), 2.0);
        QCOMPARE(shown.devicePixelRatio(), 2.0);
        QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32),
                 doubled.convertToFormat(QImage::Format_ARGB32));
        // An unscaled screen keeps the design's own picture.
        QCOMPARE(button.icon()
                     .pixmap(normal.size(), 1.0)
                     .toImage()
                     .convertToFormat(QImage::Format_ARGB32),
                 normal.convertToFormat(QImage::Format_ARGB32));
    }

    void pictureWithoutDoubleKeepsOneSize()
    {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("sam.bmp"));
        QImage single(12, 10, QImage::Format_RGB32);
        single.fill(Qt::red);
        QVERIFY(single.save(file));
        const QList<QPixmap> pictures = PictureButton::loadPictures(file, std::nullopt);
        QCOMPARE(pictures.size(), 1);
        QVERIFY(PictureButton::loadPictures(QStringLiteral(":/pictures/nie_je.bmp"), std::nullopt)
                    .isEmpty());
        PictureButton button;
        button.setPicture(QStringLiteral(":/pictures/nie_je.bmp"));
        QCOMPARE(button.iconSize(), QSize(0, 0));
    }
};

QTEST_MAIN(TestPictureButton)
#include "tst_picturebutton.moc"
