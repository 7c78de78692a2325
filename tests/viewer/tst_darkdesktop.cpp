// SPDX-License-Identifier: MIT
// A dark desktop darkens the program's own pages: the palette decides, the engine is told at
// its start, and the pages' own dark styles apply. No environment variable is set by hand.
#include "browserpane.h"
#include "builtinbook.h"
#include "pageschemehandler.h"
#include "startupchecks.h"
#include "web/pagescript.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <unistd.h>

namespace {

constexpr int LoadTimeoutMs = 30000;

QPalette darkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(40, 42, 46));
    palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
    palette.setColor(QPalette::Base, QColor(30, 30, 32));
    palette.setColor(QPalette::Text, QColor(230, 230, 230));
    palette.setColor(QPalette::Button, QColor(50, 52, 56));
    palette.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    return palette;
}

QPalette lightPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(239, 239, 239));
    palette.setColor(QPalette::WindowText, Qt::black);
    return palette;
}

} // namespace

class TestDarkDesktop : public QObject
{
    Q_OBJECT

    QTemporaryDir m_drive;

    // The page's background as the engine computed it, and whether it saw a dark preference.
    static QPair<QString, bool> pageLook(BrowserPane &pane, const QString &address)
    {
        QSignalSpy finished(&pane, &BrowserPane::loadFinished);
        pane.Navigate(address);
        if (!finished.wait(LoadTimeoutMs))
            return {};
        const QString background =
            runPageScript(pane.page(), "getComputedStyle(document.body).backgroundColor",
                          LoadTimeoutMs)
                .toString();
        const bool dark =
            runPageScript(pane.page(), "matchMedia('(prefers-color-scheme: dark)').matches",
                          LoadTimeoutMs)
                .toBool();
        return {background, dark};
    }

private slots:
    void paletteDecides_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<bool>("dark");
        QTest::newRow("light theme") << lightPalette() << false;
        QTest::newRow("dark theme") << darkPalette() << true;
        QPalette contrast;
        contrast.setColor(QPalette::Window, Qt::black);
        contrast.setColor(QPalette::WindowText, Qt::white);
        QTest::newRow("high contrast, white on black") << contrast << true;
        contrast.setColor(QPalette::Window, Qt::white);
        contrast.setColor(QPalette::WindowText, Qt::black);
        QTest::newRow("high contrast, black on white") << contrast << false;
    }

    void paletteDecides()
    {
        QFETCH(QPalette, palette);
        QFETCH(bool, dark);
        QCOMPARE(startupchecks::isDark(palette), dark);
    }

    // What the engine is told keeps the switches already there and is said once.
    void engineFlags_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("light, none") << lightPalette() << QByteArray() << QByteArray();
        QTest::newRow("light, others")
            << lightPalette() << QByteArray("--disable-gpu") << QByteArray("--disable-gpu");
        QTest::newRow("dark, none")
            << darkPalette() << QByteArray() << QByteArray("--force-dark-mode");
        QTest::newRow("dark, others") << darkPalette() << QByteArray("--disable-gpu")
                                      << QByteArray("--disable-gpu --force-dark-mode");
        QTest::newRow("dark, already said")
            << darkPalette() << QByteArray("--force-dark-mode --disable-gpu")
            << QByteArray("--force-dark-mode --disable-gpu");
    }

    void engineFlags()
    {
        QFETCH(QPalette, palette);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        const QByteArray saved = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        if (before.isEmpty())
            qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        else
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", before);
        startupchecks::engineFollowsPalette(palette);
        QCOMPARE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), after);
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", saved);
    }

    // Last: the engine starts here, under the dark desktop's palette.
    void ownPagesFollowTheDarkDesktop_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("background");
        QTest::newRow("built-in home page") << "C:\\TARVOL\\PAGORA\\TARVOL PAGORA\\1 UVOD.PGX"
                                            << "rgb(28, 31, 35)";
        QTest::newRow("built-in about page")
            << "C:\\TARVOL\\PAGORA\\TARVOL PAGORA\\2 O PROGRAME.PGX"
            << "rgb(28, 31, 35)";
        QTest::newRow("message: missing page") << "C:\\TARVOL\\PAGORA\\TARVOL PAGORA\\9 NIE JE.PGX"
                                               << "rgb(30, 30, 30)";
    }

    void ownPagesFollowTheDarkDesktop()
    {
        QFETCH(QString, address);
        QFETCH(QString, background);
        static bool started = false;
        if (!started) {
            started = true;
            qputenv("PAGORA_DRIVE_C", m_drive.path().toUtf8());
            QString error;
            QVERIFY2(builtinbook::install(&error), qPrintable(error));
            QApplication::setPalette(darkPalette());
            startupchecks::engineFollowsPalette(QGuiApplication::palette());
        }
        BrowserPane pane;
        pane.resize(640, 480);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        const auto [shown, dark] = pageLook(pane, address);
        QVERIFY(dark);
        QCOMPARE(shown, background);
    }
};

int main(int argc, char *argv[])
{
    registerPageScheme();
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    TestDarkDesktop test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_darkdesktop.moc"
