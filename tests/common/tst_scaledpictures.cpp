// SPDX-License-Identifier: MIT
// On a screen that scales the interface by 2, the window icons (also the intro's book) come
// from their 2x drawings, as Qt picks "@2x" files for an icon made from a file name.
#include <QApplication>
#include <QIcon>
#include <QTest>

class TestScaledPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }

    void windowIconsHaveSharpDoubles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("open book") << ":/pictures/kniha_otvorena.ico";
        QTest::newRow("closed book") << ":/pictures/kniha_zatvorena.ico";
        QTest::newRow("question mark") << ":/pictures/otaznik.ico";
    }

    void windowIconsHaveSharpDoubles()
    {
        QFETCH(QString, file);
        const QImage normal(file);
        const QImage doubled(
            QString(file).replace(QLatin1String(".ico"), QLatin1String("@2x.ico")));
        QCOMPARE(normal.size(), QSize(32, 32));
        QCOMPARE(doubled.size(), QSize(64, 64));
        // What a window or the intro asks for: 32 by 32 on the scaled screen.
        const QPixmap shown = QIcon(file).pixmap(QSize(32, 32));
        QCOMPARE(shown.devicePixelRatio(), 2.0);
        QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32),
                 doubled.convertToFormat(QImage::Format_ARGB32));
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestScaledPictures test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_scaledpictures.moc"
