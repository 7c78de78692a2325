// SPDX-License-Identifier: MIT
// Reading aids driven through the real main window on the real engine: history keys and
// mouse buttons, reload, zoom kept to the next start, find in the page, the context menu
// and printing to a PDF file. Keys go to the page's own widget, which has the focus.
#include "browserpane.h"
#include "clicklabel.h"
#include "findbar.h"
#include "findcontroller.h"
#include "frmhlavne.h"
#include "pageprinter.h"
#include "pageschemehandler.h"
#include "paneactions.h"
#include "panezoom.h"
#include "picturebutton.h"
#include "readingstore.h"
#include "settingsstore.h"
#include "zoomsteps.h"

#include "pagescript.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <memory>
#include <unistd.h>

namespace {

constexpr int LoadTimeoutMs = 20000;

const QString book = QStringLiteral("C:\\TARVOL\\PAGORA\\CITANIE\\");

const QByteArray firstPage = R"(<html><head><meta charset="utf-8"><title>Úvod</title></head>
<body style="margin:8px"><h1>Úvod</h1>
<p><span id="text">Kôň a <b>Ľad</b>ová kráľovná. KON, kon, Koňa.</span></p>
<p><a id="link" href="2%20DRUHY.PGX">Druhý list</a></p>
<p><img id="picture" src="OBR.PNG" width="80" height="60"></p>
<script>document.write('<p style="display:none">kon v skrytom texte</p>')</script>
</body></html>)";

const QByteArray secondPage = R"(<html><head><meta charset="utf-8"><title>Druhý</title></head>
<body><p id="text">Druhý list.</p><p><a id="link" href="3%20TRETI.PGX">Tretí list</a></p>
</body></html>)";

const QByteArray thirdPage = R"(<html><head><meta charset="utf-8"><title>Tretí</title></head>
<body><p id="text">Tretí list, pôvodný text.</p></body></html>)";

void write(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
}

} // namespace

class TestReadingAids : public QObject
{
    Q_OBJECT

    QTemporaryDir m_drive;
    QTemporaryDir m_config;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<frmHlavne> m_main;

    QString settingsFile() const { return m_config.path() + QStringLiteral("/Pagora.conf"); }
    QString bookFolder() const
    {
        return m_drive.path() + QStringLiteral("/TARVOL/PAGORA/CITANIE/");
    }
    BrowserPane *pane() const { return m_main->Hlavne; }
    QWidget *pageWidget() const { return pane()->view()->focusProxy(); }

    frmHlavne *startMain()
    {
        m_main = std::make_unique<frmHlavne>(*m_settings, [] {});
        QSignalSpy first(m_main->Hlavne, &BrowserPane::loadFinished);
        m_main->Show();
        if (!QTest::qWaitForWindowExposed(m_main.get()))
            qWarning("the main window was never exposed");
        if (first.isEmpty() && !first.wait(LoadTimeoutMs))
            qWarning("the start page never loaded");
        return m_main.get();
    }

    // Navigates as the program does and waits until the page is there.
    bool navigate(const QString &page)
    {
        QSignalSpy finished(pane(), &BrowserPane::loadFinished);
        pane()->Navigate(book + page);
        return finished.wait(LoadTimeoutMs) && finished.last().first().toBool();
    }

    // Gives the page's own widget the focus, as a click into the page would.
    void focusPage()
    {
        QApplication::setActiveWindow(m_main.get());
        pane()->view()->setFocus();
        if (!QTest::qWaitFor([&] { return pageWidget() && pageWidget()->hasFocus(); }, 5000))
            qWarning("the page never got the focus");
    }

    bool waitForLoad(const std::function<void()> &action)
    {
        QSignalSpy finished(pane(), &BrowserPane::loadFinished);
        action();
        return finished.wait(LoadTimeoutMs);
    }

    QVariant js(const QString &script)
    {
        return runPageScript(pane()->page(), script, LoadTimeoutMs);
    }

    QString pageName() const { return pane()->url().fileName(); }

    // The centre of an element, in the page widget's coordinates.
    QPoint centreOf(const QString &selector)
    {
        const QVariantList r =
            js(QStringLiteral("(function(){var r=document.querySelector('%1')"
                              ".getBoundingClientRect();return [r.left+r.width/2,"
                              "r.top+r.height/2];})()")
                   .arg(selector))
                .toList();
        const double zoom = pane()->page()->zoomFactor();
        return QPoint(int(r.value(0).toDouble() * zoom), int(r.value(1).toDouble() * zoom));
    }

    void press(const QString &key)
    {
        static const QHash<QString, QPair<int, Qt::KeyboardModifiers>> keys{
            {"Alt+Left", {Qt::Key_Left, Qt::AltModifier}},
            {"Alt+Right", {Qt::Key_Right, Qt::AltModifier}},
            {"F5", {Qt::Key_F5, Qt::NoModifier}},
            {"Ctrl+R", {Qt::Key_R, Qt::ControlModifier}},
            {"Ctrl+F", {Qt::Key_F, Qt::ControlModifier}},
            {"F3", {Qt::Key_F3, Qt::NoModifier}},
            {"Shift+F3", {Qt::Key_F3, Qt::ShiftModifier}},
            {"Esc", {Qt::Key_Escape, Qt::NoModifier}},
            {"Ctrl+plus", {Qt::Key_Plus, Qt::ControlModifier}},
            {"Ctrl+=", {Qt::Key_Equal, Qt::ControlModifier}},
            {"Ctrl+keypad plus", {Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier}},
            {"Ctrl+minus", {Qt::Key_Minus, Qt::ControlModifier}},
            {"Ctrl+0", {Qt::Key_0, Qt::ControlModifier}},
            {"Ctrl+P", {Qt::Key_P, Qt::ControlModifier}},
        };
        QVERIFY2(keys.contains(key), qPrintable(key));
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : pageWidget();
        QTest::keyClick(target, Qt::Key(keys[key].first), keys[key].second);
    }

    void mouseButton(Qt::MouseButton button)
    {
        const QPoint at = pageWidget()->rect().center();
        QMouseEvent press(QEvent::MouseButtonPress, at, pageWidget()->mapToGlobal(at), button,
                          button, Qt::NoModifier);
        QApplication::sendEvent(pageWidget(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, pageWidget()->mapToGlobal(at), button,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(pageWidget(), &release);
    }

    void wheel(int delta, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        const QPointF at = pageWidget()->rect().center();
        QWheelEvent event(at, pageWidget()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pageWidget(), &event);
    }

    // Input of one step of a table: a key, a mouse button or a wheel turn.
    void input(const QString &step)
    {
        if (step == QStringLiteral("mouse back"))
            mouseButton(Qt::BackButton);
        else if (step == QStringLiteral("mouse forward"))
            mouseButton(Qt::ForwardButton);
        else if (step == QStringLiteral("Ctrl+wheel up"))
            wheel(120);
        else if (step == QStringLiteral("Ctrl+wheel down"))
            wheel(-120);
        else if (step == QStringLiteral("Ctrl+wheel half"))
            wheel(60);
        else
            press(step);
    }

    // As a keyboard types letters, Slovak ones included (keyClicks knows only Latin-1).
    static void typeText(QWidget *widget, const QString &text)
    {
        for (const QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(widget, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(widget, &release);
        }
    }

    QMenu *waitForMenu()
    {
        QMenu *menu = nullptr;
        (void)QTest::qWaitFor(
            [&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())); },
            LoadTimeoutMs);
        return menu;
    }

    // The entries as the user reads them: disabled ones in brackets, separators as "-".
    static QStringList entries(const QMenu *menu)
    {
        QStringList list;
        for (const QAction *a : menu->actions()) {
            if (a->isSeparator())
                list << QStringLiteral("-");
            else
                list << (a->isEnabled() ? a->text()
                                        : QLatin1Char('[') + a->text() + QLatin1Char(']'));
        }
        return list;
    }

    void clickLink()
    {
        QTest::mouseClick(pageWidget(), Qt::LeftButton, {}, centreOf(QStringLiteral("#link")));
    }

    QMenu *rightClick(const QString &selector)
    {
        const QPoint at = centreOf(selector);
        QTest::mouseClick(pageWidget(), Qt::RightButton, {}, at);
        return waitForMenu();
    }

    void closeMenus()
    {
        while (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        QApplication::processEvents();
    }

    QString findCount() const { return pane()->findBar()->countLabel()->text(); }

    bool waitForCount(const QString &expected)
    {
        return QTest::qWaitFor([&] { return findCount() == expected; }, LoadTimeoutMs);
    }

    int highlightCount()
    {
        return js(QStringLiteral("document.querySelectorAll('span[data-pagora-find]').length"))
            .toInt();
    }

    QString currentHighlight()
    {
        // The current match is the one painted orange.
        return js(QStringLiteral(
                      "Array.from(document.querySelectorAll('span[data-pagora-find]'))"
                      ".filter(function(s){return s.style.background.indexOf('255, 150, 50')>=0"
                      "||s.style.backgroundColor.indexOf('255, 150, 50')>=0;})"
                      ".map(function(s){return s.textContent;}).join('')"))
            .toString();
    }

private slots:
    void initTestCase()
    {
        qputenv("PAGORA_DRIVE_C", m_drive.path().toUtf8());
        qputenv("XDG_STATE_HOME", (m_config.path() + QStringLiteral("/state")).toUtf8());
        write(m_drive.path() + QStringLiteral("/TARVOL/PAGORA/CITANIE.BKX"), {});
        write(bookFolder() + QStringLiteral("1 UVOD.PGX"), firstPage);
        write(bookFolder() + QStringLiteral("2 DRUHY.PGX"), secondPage);
        write(bookFolder() + QStringLiteral("3 TRETI.PGX"), thirdPage);
        QImage picture(80, 60, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        QVERIFY(picture.save(bookFolder() + QStringLiteral("OBR.PNG")));
    }

    void init()
    {
        QFile::remove(settingsFile());
        QFile::remove(ReadingStore::defaultFile());
        m_settings = std::make_unique<SettingsStore>(settingsFile());
        write(bookFolder() + QStringLiteral("3 TRETI.PGX"), thirdPage);
    }

    void cleanup()
    {
        closeMenus();
        m_main.reset();
    }

    void historyAfterTwoLinkClicks_data()
    {
        QTest::addColumn<QString>("back");
        QTest::addColumn<QString>("forward");

        QTest::newRow("keys") << QStringLiteral("Alt+Left") << QStringLiteral("Alt+Right");
        QTest::newRow("mouse buttons")
            << QStringLiteral("mouse back") << QStringLiteral("mouse forward");
    }

    void historyAfterTwoLinkClicks()
    {
        QFETCH(QString, back);
        QFETCH(QString, forward);

        startMain();
        QVERIFY(navigate(QStringLiteral("1 UVOD.PGX")));
        const QString kniha = m_main->Kniha->text();
        const QString list = m_main->List->text();
        focusPage();
        // Real clicks: the engine skips history entries of pages nobody touched.
        QVERIFY(waitForLoad([&] { clickLink(); }));
        QCOMPARE(pageName(), QStringLiteral("2 DRUHY.PGX"));
        QVERIFY(waitForLoad([&] { clickLink(); }));
        QCOMPARE(pageName(), QStringLiteral("3 TRETI.PGX"));

        const QList<QPair<QString, QString>> steps{{back, "2 DRUHY.PGX"},
                                                   {back, "1 UVOD.PGX"},
                                                   {forward, "2 DRUHY.PGX"},
                                                   {forward, "3 TRETI.PGX"}};
        for (const auto &[step, expected] : steps) {
            QVERIFY2(waitForLoad([&] { input(step); }), qPrintable(step));
            QCOMPARE(pageName(), expected);
            // Following the history is like following a link: the labels stay.
            QCOMPARE(m_main->Kniha->text(), kniha);
            QCOMPARE(m_main->List->text(), list);
            QVERIFY(m_main->Praca->isEnabled());
        }
        // At the end of the history a step forward does nothing, and nothing breaks.
        input(forward);
        QTest::qWait(300);
        QCOMPARE(pageName(), QStringLiteral("3 TRETI.PGX"));
    }

    void reloadShowsTheTextEditedOnDisk_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("F5") << QStringLiteral("F5");
        QTest::newRow("Ctrl+R") << QStringLiteral("Ctrl+R");
    }

    void reloadShowsTheTextEditedOnDisk()
    {
        QFETCH(QString, key);

        startMain();
        QVERIFY(navigate(QStringLiteral("3 TRETI.PGX")));
        QVERIFY(js(QStringLiteral("document.body.innerText")).toString().contains("pôvodný text"));
        write(bookFolder() + QStringLiteral("3 TRETI.PGX"),
              QByteArray(thirdPage).replace("pôvodný text", "opravený text"));
        focusPage();
        QVERIFY(waitForLoad([&] { input(key); }));
        const QString body = js(QStringLiteral("document.body.innerText")).toString();
        QVERIFY2(body.contains(QStringLiteral("opravený text")), qPrintable(body));
        QCOMPARE(pageName(), QStringLiteral("3 TRETI.PGX"));
    }

    void zoomStepsLimitsAndNextStart_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<double>("expected");

        QTest::newRow("one step in") << QStringList{"Ctrl+plus"} << 1.1;
        QTest::newRow("Ctrl+= and keypad plus")
            << QStringList{"Ctrl+=", "Ctrl+keypad plus"} << 1.25;
        QTest::newRow("one step out") << QStringList{"Ctrl+minus"} << 0.9;
        QTest::newRow("wheel up and down")
            << QStringList{"Ctrl+wheel up", "Ctrl+wheel up", "Ctrl+wheel down"} << 1.1;
        QTest::newRow("two half wheel turns make one step")
            << QStringList{"Ctrl+wheel half", "Ctrl+wheel half"} << 1.1;
        QTest::newRow("upper limit holds") << QStringList(16, "Ctrl+plus") << 3.0;
        QTest::newRow("lower limit holds") << QStringList(9, "Ctrl+minus") << 0.5;
        QTest::newRow("back to normal") << QStringList{"Ctrl+plus", "Ctrl+plus", "Ctrl+0"} << 1.0;
    }

    void zoomStepsLimitsAndNextStart()
    {
        QFETCH(QStringList, steps);
        QFETCH(double, expected);

        // [List] is the older settings' group: its keys must come through untouched.
        QVERIFY(m_settings->write(SettingsStore::homepageKey, book + QStringLiteral("1 UVOD.PGX")));
        QVERIFY(m_settings->write(SettingsStore::loadKey, book + QStringLiteral("2 DRUHY.PGX")));

        startMain();
        QCOMPARE(pane()->page()->zoomFactor(), 1.0);
        focusPage();
        for (const QString &step : steps) {
            input(step);
            QVERIFY(m_main->Praca->isEnabled());
        }
        QCOMPARE(pane()->zoom()->factor(), expected);
        QTRY_COMPARE(pane()->page()->zoomFactor(), expected);

        // It holds for the next page, also one reached by a link.
        QVERIFY(navigate(QStringLiteral("1 UVOD.PGX")));
        QCOMPARE(pane()->page()->zoomFactor(), expected);
        QVERIFY(
            waitForLoad([&] { js(QStringLiteral("document.getElementById('link').click()")); }));
        QTRY_COMPARE(pane()->page()->zoomFactor(), expected);

        // And for the next start.
        m_main.reset();
        QCOMPARE(ReadingStore(ReadingStore::defaultFile()).state().zoom.value_or(0), expected);
        QSettings file(settingsFile(), QSettings::IniFormat);
        QCOMPARE(file.childGroups(), QStringList{"List"});
        QCOMPARE(file.value(QStringLiteral("List/Homepage")).toString(),
                 book + QStringLiteral("1 UVOD.PGX"));
        QCOMPARE(file.value(QStringLiteral("List/Load")).toString(),
                 book + QStringLiteral("2 DRUHY.PGX"));
        file.beginGroup(QStringLiteral("List"));
        QCOMPARE(file.childKeys(), (QStringList{"Homepage", "Load"}));
        file.endGroup();

        startMain();
        QCOMPARE(pane()->zoom()->factor(), expected);
        QTRY_COMPARE(pane()->page()->zoomFactor(), expected);
        QCOMPARE(pageName(), QStringLiteral("2 DRUHY.PGX"));
    }

    void storedZoomIsReadSafely_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<double>("expected");

        QTest::newRow("a step") << QStringLiteral("1.5") << 1.5;
        QTest::newRow("hand-written decimal comma") << QStringLiteral("1,25") << 1.25;
        QTest::newRow("too large") << QStringLiteral("40") << 3.0;
        QTest::newRow("too small") << QStringLiteral("0.01") << 0.5;
        QTest::newRow("garbage") << QStringLiteral("veľký") << 1.0;
    }

    void storedZoomIsReadSafely()
    {
        QFETCH(QString, stored);
        QFETCH(double, expected);

        QVERIFY(m_settings->write(QStringLiteral("View"), QStringLiteral("Zoom"), stored));
        startMain();
        QCOMPARE(pane()->zoom()->factor(), expected);
        QTRY_COMPARE(pane()->page()->zoomFactor(), expected);
        // Moved into the reader's own file, once: the settings keep no [View].
        QCOMPARE(m_settings->read(QStringLiteral("View"), QStringLiteral("Zoom"), {}), QString());
        QVERIFY(!QSettings(settingsFile(), QSettings::IniFormat)
                     .childGroups()
                     .contains(QStringLiteral("View")));
        QCOMPARE(ReadingStore(ReadingStore::defaultFile()).state().zoom.value_or(0), expected);
    }

    void findIgnoresCaseAndDiacritics_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("firstMatch");

        QTest::newRow("without diacritics")
            << QStringLiteral("kon") << QStringLiteral("1 z 4") << QStringLiteral("Kôň");
        QTest::newRow("upper case with diacritics")
            << QStringLiteral("KÔŇ") << QStringLiteral("1 z 4") << QStringLiteral("Kôň");
        QTest::newRow("across a bold part")
            << QStringLiteral("ladova") << QStringLiteral("1 z 1") << QStringLiteral("Ľadová");
        QTest::newRow("words and space") << QStringLiteral("kon  a lad") << QStringLiteral("1 z 1")
                                         << QStringLiteral("Kôň a Ľad");
        QTest::newRow("exact text")
            << QStringLiteral("kráľovná") << QStringLiteral("1 z 1") << QStringLiteral("kráľovná");
        QTest::newRow("quotes and a backslash are text")
            << QStringLiteral("'\"\\</script>") << QStringLiteral("Nenájdené") << QString();
        QTest::newRow("nothing matches")
            << QStringLiteral("xyz") << QStringLiteral("Nenájdené") << QString();
    }

    void findIgnoresCaseAndDiacritics()
    {
        QFETCH(QString, text);
        QFETCH(QString, count);
        QFETCH(QString, firstMatch);

        startMain();
        QVERIFY(navigate(QStringLiteral("1 UVOD.PGX")));
        const QString list = m_main->List->text();
        focusPage();
        input(QStringLiteral("Ctrl+F"));
        FindBar *bar = pane()->findBar();
        QVERIFY(bar->isVisible());
        QVERIFY(bar->edit()->hasFocus());
        QVERIFY(bar->geometry().bottom() == pane()->height() - 1);
        typeText(bar->edit(), text);
        QVERIFY2(waitForCount(count), qPrintable(findCount()));
        QCOMPARE(currentHighlight(), firstMatch);
        // The window keeps its face: the labels are as they were.
        QCOMPARE(m_main->List->text(), list);
    }

    void findSteppingAndEscape()
    {
        startMain();
        QVERIFY(navigate(QStringLiteral("1 UVOD.PGX")));

        // What the engine's own find does with the same page, for the record.
        for (const QString &query : {QStringLiteral("kon"), QStringLiteral("KÔŇ"),
                                     QStringLiteral("ladova"), QStringLiteral("kon  a lad")}) {
            int engineMatches = -1;
            pane()->page()->findText(query, {}, [&](const QWebEngineFindTextResult &r) {
                engineMatches = r.numberOfMatches();
            });
            QTRY_VERIFY(engineMatches >= 0);
            qInfo("engine's own find of \"%s\": %d matches", qPrintable(query), engineMatches);
        }
        pane()->page()->findText(QString());

        focusPage();
        pane()->findInPage(QStringLiteral("kon"));
        QVERIFY(waitForCount(QStringLiteral("1 z 4")));
        // The hidden paragraph's "kon" is not counted.
        QCOMPARE(highlightCount(), 4);

        const QList<QPair<QString, QString>> steps{
            {"F3", "2 z 4"}, {"F3", "3 z 4"},       {"F3", "4 z 4"},
            {"F3", "1 z 4"}, {"Shift+F3", "4 z 4"}, {"Shift+F3", "3 z 4"},
        };
        for (const auto &[key, expected] : steps) {
            input(key);
            QVERIFY2(waitForCount(expected), qPrintable(key + ": " + findCount()));
        }
        QCOMPARE(currentHighlight(), QStringLiteral("kon"));
        QTest::mouseClick(pane()->findBar()->nextButton(), Qt::LeftButton);
        QVERIFY(waitForCount(QStringLiteral("4 z 4")));
        QTest::mouseClick(pane()->findBar()->previousButton(), Qt::LeftButton);
        QVERIFY(waitForCount(QStringLiteral("3 z 4")));

        input(QStringLiteral("Esc"));
        QVERIFY(!pane()->findBar()->isVisible());
        QTRY_COMPARE(highlightCount(), 0);
        // The page's text is whole again, not split around the old highlights.
        QCOMPARE(js(QStringLiteral("document.getElementById('text').innerHTML")).toString(),
                 QStringLiteral("Kôň a <b>Ľad</b>ová kráľovná. KON, kon, Koňa."));
        QTRY_VERIFY(pageWidget()->hasFocus());

        // F3 brings the last text back.
        input(QStringLiteral("F3"));
        QVERIFY(pane()->findBar()->isVisible());
        QCOMPARE(pane()->findBar()->edit()->text(), QStringLiteral("kon"));
        QVERIFY(waitForCount(QStringLiteral("1 z 4")));

        // A find asked for while a page loads applies to that page when it is there.
        pane()->Navigate(book + QStringLiteral("2 DRUHY.PGX"));
        pane()->findInPage(QStringLiteral("druhy"));
        QVERIFY(waitForCount(QStringLiteral("1 z 1")));
        QTRY_COMPARE(highlightCount(), 1);
    }

    void findOnAHugePage_data()
    {
        QTest::addColumn<int>("matches");
        QTest::newRow("10,000 matches") << 10000;
        QTest::newRow("100,000 matches") << 100000;
    }

    // Every match is counted; only a window of them is highlighted, and stepping past it
    // moves the window.
    void findOnAHugePage()
    {
        QFETCH(int, matches);
        QByteArray page = "<html><head><meta charset=\"utf-8\"></head><body><p>";
        for (int i = 0; i < matches; ++i)
            page += QStringLiteral("kôň ").toUtf8();
        page += "</p></body></html>";
        write(bookFolder() + QStringLiteral("9 VELKA.PGX"), page);
        startMain();
        QVERIFY(navigate(QStringLiteral("9 VELKA.PGX")));
        focusPage();
        const QString total = QString::number(matches);
        QElapsedTimer clock;
        clock.start();
        pane()->findInPage(QStringLiteral("kon"));
        QVERIFY2(waitForCount(QStringLiteral("1 z ") + total), qPrintable(findCount()));
        qInfo("%d matches counted in %lld ms", matches, clock.restart()); // for the record
        const int highlighted = highlightCount();
        QVERIFY2(highlighted > 0 && highlighted <= 500, qPrintable(QString::number(highlighted)));
        input(QStringLiteral("Shift+F3"));
        QVERIFY2(waitForCount(total + QStringLiteral(" z ") + total), qPrintable(findCount()));
        QCOMPARE(currentHighlight(), QStringLiteral("kôň"));
        qInfo("stepped out of the highlighted window in %lld ms", clock.restart());
        input(QStringLiteral("Esc"));
        QVERIFY(!pane()->findBar()->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(highlightCount(), 0, LoadTimeoutMs);
        qInfo("closed and cleared in %lld ms", clock.elapsed());
    }

    void contextMenuEntries_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("selectFirst");
        QTest::addColumn<QStringList>("expected");

        const QStringList common{"Späť",
                                 "[Dopredu]",
                                 "Obnoviť",
                                 "-",
                                 "%COPY%",
                                 "Označiť všetko",
                                 "-",
                                 "Hľadať na stránke…",
                                 "Hľadať v knihách…",
                                 "Tlačiť…",
                                 "-",
                                 "Zväčšiť",
                                 "Zmenšiť",
                                 "[Pôvodná veľkosť]",
                                 "-",
                                 "Predchádzajúci list",
                                 "Ďalší list",
                                 "Pokračovať v čítaní",
                                 "Pridať záložku",
                                 "Záložky…",
                                 "Nočné čítanie"};
        auto with = [&](const QStringList &head, const QString &copy) {
            QStringList list = head + common;
            list.replace(list.indexOf("%COPY%"), copy);
            return list;
        };
        QTest::newRow("text") << QStringLiteral("#text") << false
                              << with({}, QStringLiteral("[Kopírovať]"));
        QTest::newRow("selected text")
            << QStringLiteral("#text") << true << with({}, QStringLiteral("Kopírovať"));
        QTest::newRow("link") << QStringLiteral("#link") << false
                              << with({"Otvoriť odkaz", "Kopírovať adresu odkazu", "-"},
                                      QStringLiteral("[Kopírovať]"));
        QTest::newRow("picture") << QStringLiteral("#picture") << false
                                 << with({"Kopírovať obrázok", "-"}, QStringLiteral("[Kopírovať]"));
    }

    void contextMenuEntries()
    {
        QFETCH(QString, target);
        QFETCH(bool, selectFirst);
        QFETCH(QStringList, expected);

        startMain();
        QVERIFY(navigate(QStringLiteral("1 UVOD.PGX")));
        focusPage();
        if (selectFirst) {
            js(QStringLiteral("getSelection().selectAllChildren(document.getElementById('text'))"));
            QTRY_VERIFY(!pane()->page()->selectedText().isEmpty());
        }
        QMenu *menu = rightClick(target);
        QVERIFY(menu);
        QCOMPARE(entries(menu), expected);
        for (const QString &developer :
             QStringList{"Inspect", "View source", "Save page", "Preskúmať"}) {
            for (const QAction *a : menu->actions())
                QVERIFY(!a->text().contains(developer, Qt::CaseInsensitive));
        }
    }

    void contextMenuActs_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("entry");

        QTest::newRow("open link") << QStringLiteral("#link") << QStringLiteral("Otvoriť odkaz");
        QTest::newRow("copy link address")
            << QStringLiteral("#link") << QStringLiteral("Kopírovať adresu odkazu");
        QTest::newRow("find in page")
            << QStringLiteral("#text") << QStringLiteral("Hľadať na stránke…");
        QTest::newRow("search the books")
            << QStringLiteral("#text") << QStringLiteral("Hľadať v knihách…");
        QTest::newRow("zoom in") << QStringLiteral("#text") << QStringLiteral("Zväčšiť");
        QTest::newRow("copy selection") << QStringLiteral("#text") << QStringLiteral("Kopírovať");
        QTest::newRow("copy picture")
            << QStringLiteral("#picture") << QStringLiteral("Kopírovať obrázok");
        QTest::newRow("back") << QStringLiteral("#text") << QStringLiteral("Späť");
    }

    void contextMenuActs()
    {
        QFETCH(QString, target);
        QFETCH(QString, entry);

        startMain();
        QVERIFY(navigate(QStringLiteral("1 UVOD.PGX")));
        const QString list = m_main->List->text();
        const QUrl before = pane()->url();
        focusPage();
        QSignalSpy library(pane(), &BrowserPane::searchLibraryRequested);
        QSignalSpy loaded(pane(), &BrowserPane::loadFinished);
        if (entry == QStringLiteral("Kopírovať")) {
            js(QStringLiteral("getSelection().selectAllChildren(document.getElementById('text'))"));
            QTRY_VERIFY(!pane()->page()->selectedText().isEmpty());
        }
        QMenu *menu = rightClick(target);
        QVERIFY(menu);
        QAction *chosen = nullptr;
        for (QAction *a : menu->actions()) {
            if (a->text() == entry)
                chosen = a;
        }
        QVERIFY(chosen);
        QVERIFY2(chosen->isEnabled(), qPrintable(entries(menu).join('|')));
        menu->close();
        chosen->trigger();

        if (entry == QStringLiteral("Otvoriť odkaz")) {
            QTRY_COMPARE(pageName(), QStringLiteral("2 DRUHY.PGX"));
        } else if (entry == QStringLiteral("Kopírovať adresu odkazu")) {
            QCOMPARE(QApplication::clipboard()->text(), book + QStringLiteral("2 DRUHY.PGX"));
        } else if (entry == QStringLiteral("Hľadať na stránke…")) {
            QVERIFY(pane()->findBar()->isVisible());
        } else if (entry == QStringLiteral("Hľadať v knihách…")) {
            QCOMPARE(library.size(), 1);
        } else if (entry == QStringLiteral("Zväčšiť")) {
            QCOMPARE(pane()->zoom()->factor(), 1.1);
        } else if (entry == QStringLiteral("Kopírovať")) {
            QTRY_COMPARE(QApplication::clipboard()->text().trimmed(),
                         QStringLiteral("Kôň a Ľadová kráľovná. KON, kon, Koňa."));
        } else if (entry == QStringLiteral("Kopírovať obrázok")) {
            QTRY_VERIFY(!QApplication::clipboard()->image().isNull());
            QCOMPARE(QApplication::clipboard()->image().size(), QSize(80, 60));
        } else if (entry == QStringLiteral("Späť")) {
            QVERIFY(loaded.wait(LoadTimeoutMs));
            QVERIFY(pane()->url() != before);
        } else {
            QFAIL(qPrintable(QStringLiteral("no check for ") + entry));
        }
        QCOMPARE(m_main->List->text(), list);
        QVERIFY(m_main->Praca->isEnabled());
    }

    void menuKeyOpensTheMenu()
    {
        startMain();
        QVERIFY(navigate(QStringLiteral("1 UVOD.PGX")));
        focusPage();
        QTest::keyClick(pageWidget(), Qt::Key_Menu);
        QMenu *menu = waitForMenu();
        QVERIFY(menu);
        QVERIFY(entries(menu).contains(QStringLiteral("Tlačiť…")));
    }

    void printToPdf_data()
    {
        QTest::addColumn<bool>("writableFolder");
        QTest::newRow("a PDF file") << true;
        QTest::newRow("a folder that does not exist") << false;
    }

    void printToPdf()
    {
        QFETCH(bool, writableFolder);

        startMain();
        QVERIFY(navigate(QStringLiteral("1 UVOD.PGX")));
        QTemporaryDir out;
        const QString file = writableFolder ? out.filePath(QStringLiteral("úvod.pdf"))
                                            : out.filePath(QStringLiteral("chýba/úvod.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        QString error;
        const bool ok = pane()->printer()->printTo(&printer, &error);
        QCOMPARE(ok, writableFolder);
        QCOMPARE(QFileInfo::exists(file), writableFolder);
        if (!writableFolder) {
            QVERIFY2(error.contains(QStringLiteral("nedá zapísať")), qPrintable(error));
            return;
        }
        QVERIFY(QFileInfo(file).size() > 0);
        if (qEnvironmentVariableIsSet("PAGORA_KEEP_PDF"))
            QFile::copy(file, qEnvironmentVariable("PAGORA_KEEP_PDF"));
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        QVERIFY2(!pdftotext.isEmpty(), "pdftotext (poppler-utils) is missing");
        QProcess p;
        p.start(pdftotext, {file, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(30000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(text.contains(QStringLiteral("kráľovná")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Druhý list")), qPrintable(text));
    }

    // The print dialog is no modal one: the window stays usable and not busy while it is
    // open, and a second Ctrl+P brings back the same dialog.
    void printKeyOpensAModelessDialog()
    {
        startMain();
        QVERIFY(navigate(QStringLiteral("1 UVOD.PGX")));
        focusPage();
        input(QStringLiteral("Ctrl+P"));
        QTRY_VERIFY(m_main->Hlavne->printer()->dialog());
        QDialog *dialog = m_main->Hlavne->printer()->dialog();
        QVERIFY(qobject_cast<QPrintDialog *>(dialog));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Tlačiť"));
        QTRY_VERIFY(dialog->isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(m_main->Praca->isEnabled());
        input(QStringLiteral("Ctrl+P"));
        QCOMPARE(m_main->Hlavne->printer()->dialog(), dialog);
        const QPointer<QDialog> gone(dialog);
        dialog->reject();
        QTRY_VERIFY(gone.isNull());
    }

    void f1DoesWhatTheHelpButtonDoes()
    {
        startMain();
        QTemporaryDir empty;
        m_main->setHelperLauncher(HelperLauncher(empty.path()));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", empty.path().toUtf8());
        auto restore = qScopeGuard([&] { qputenv("PATH", path); });
        focusPage();
        QString title;
        QTimer::singleShot(0, this, [&] {
            (void)QTest::qWaitFor([&] { return QApplication::activeModalWidget() != nullptr; },
                                  10000);
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                box->accept();
            }
        });
        QTest::keyClick(pageWidget(), Qt::Key_F1);
        QTRY_COMPARE(title, QStringLiteral("Pomocník"));
    }
};

int main(int argc, char *argv[])
{
    registerPageScheme();
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    TestReadingAids test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_readingaids.moc"
