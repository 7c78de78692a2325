// SPDX-License-Identifier: MIT
#include "frmuvod.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontInfo>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

class TestFrmUvod : public QObject
{
    Q_OBJECT

private slots:
    void handsOverToTheMainWindowAfterTwoSingleTicks()
    {
        QWidget mainWindow;
        bool introVisibleAtHandOver = false;
        int handOvers = 0;
        QPointer<frmUvod> intro;
        QElapsedTimer clock;
        qint64 handOverAt = 0;
        intro = new frmUvod([&] {
            ++handOvers;
            handOverAt = clock.elapsed();
            mainWindow.show();
            introVisibleAtHandOver = intro && intro->isVisible();
        });
        QSignalSpy tick1(&intro->Timer1, &QTimer::timeout);
        QSignalSpy tick2(&intro->Timer2, &QTimer::timeout);
        QSignalSpy painted(intro, &frmUvod::firstPainted);
        clock.start();
        intro->show();
        // What waits for the first paint must not wait for the ticks.
        QTRY_COMPARE_WITH_TIMEOUT(painted.count(), 1, 1000);
        QCOMPARE(tick1.count(), 0);

        QCOMPARE(intro->Label1->text(), QStringLiteral("Tarvol Pagora"));
        QCOMPARE(intro->Label2->text(), QStringLiteral("New 1.00"));
        QCOMPARE(intro->Label1->font().family(), QStringLiteral("Times New Roman"));
        QCOMPARE(intro->Label1->font().pointSize(), 36);
        // Without a metric-compatible face the title wraps and clips differently.
        const QString face = QFontInfo(intro->Label1->font()).family();
        QVERIFY2(face == QLatin1String("Times New Roman") ||
                     face == QLatin1String("Liberation Serif"),
                 qPrintable(face));
        QCOMPARE(intro->Label1->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(intro->Label2->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(intro->size(), QSize(578, 436));
        QVERIFY(intro->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(intro->Timer1.interval(), 1500);
        QVERIFY(!intro->Timer2.isActive());
        QVERIFY(intro->cursor().shape() != Qt::WaitCursor);

        QVERIFY(tick1.wait(5000));
        QCOMPARE(intro->Label2->text(), QStringLiteral("Nahráva sa..."));
        QCOMPARE(intro->cursor().shape(), Qt::WaitCursor);
        // Only over the intro window: the application's pointer is untouched.
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(!intro->Timer1.isActive());
        QVERIFY(intro->Timer2.isActive());
        QCOMPARE(intro->Timer2.interval(), 1000);
        QCOMPARE(handOvers, 0);

        QTRY_VERIFY_WITH_TIMEOUT(intro.isNull(), 5000);
        QCOMPARE(handOvers, 1);
        QVERIFY(introVisibleAtHandOver);
        QVERIFY(mainWindow.isVisible());
        QCOMPARE(tick1.count(), 1);
        QCOMPARE(tick2.count(), 1);
        QVERIFY2(handOverAt >= 2300, qPrintable(QString::number(handOverAt)));
        QTest::qWait(1200);
        QCOMPARE(handOvers, 1);
        QCOMPARE(painted.count(), 1); // once, however often it repainted
    }

    // A close box, Alt+F4 or any key or click does not end or skip the intro.
    void takesNoInput()
    {
        QWidget mainWindow;
        int handOvers = 0;
        QPointer<frmUvod> intro = new frmUvod([&] {
            ++handOvers;
            mainWindow.show();
        });
        intro->show();
        QVERIFY(QTest::qWaitForWindowExposed(intro));
        QCloseEvent byTheManager;
        QApplication::sendEvent(intro->windowHandle(), &byTheManager);
        QVERIFY(!byTheManager.isAccepted());
        QVERIFY(!intro->close());
        QTest::keyClick(intro, Qt::Key_F4, Qt::AltModifier);
        QTest::keyClick(intro, Qt::Key_Escape);
        QTest::mouseClick(intro, Qt::LeftButton);
        QTest::qWait(100);
        QVERIFY(intro && intro->isVisible());
        QCOMPARE(handOvers, 0);
        QTRY_VERIFY_WITH_TIMEOUT(intro.isNull(), 5000);
        QCOMPARE(handOvers, 1);
        QVERIFY(mainWindow.isVisible());
    }

    void showsItsPictureTheRightWayUp()
    {
        frmUvod intro([] {});
        intro.Timer1.stop();
        intro.show();
        QVERIFY(QTest::qWaitForWindowExposed(&intro));
        const QImage shown = intro.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage picture =
            QImage(QStringLiteral(":/pictures/uvod.bmp")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), picture.size());
        // The right-hand page carries no text: there the window is the picture itself.
        const QRect page(300, 0, 240, 400);
        QCOMPARE(shown.copy(page), picture.copy(page));
    }
};

QTEST_MAIN(TestFrmUvod)
#include "tst_frmuvod.moc"
