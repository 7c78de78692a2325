// SPDX-License-Identifier: MIT
// Reading a book as a book, through the real main window: turning pages, carrying on where
// the reader stopped, bookmarks and history, zoom per book and night reading.
#include "../web/pagescript.h"
#include "browserpane.h"
#include "clicklabel.h"
#include "filelistbox.h"
#include "frmhlavne.h"
#include "frmzalozky.h"
#include "library.h"
#include "nightreading.h"
#include "pageschemehandler.h"
#include "panehint.h"
#include "panezoom.h"
#include "picturebutton.h"
#include "readingaids.h"
#include "readingstore.h"
#include "settingsstore.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>
#include <unistd.h>

namespace {

constexpr int LoadTimeoutMs = 20000;
const QString bookName = QStringLiteral("KNIHA");

QByteArray longPage(const QString &title)
{
    QString body;
    for (int i = 0; i < 150; ++i)
        body += QStringLiteral("<p id=\"p%1\">%2, odsek %1.</p>").arg(i).arg(title);
    return QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                          "<body>%2</body></html>")
        .arg(title, body)
        .toUtf8();
}

// An old book's page: colours in attributes and a stylesheet, a picture and links.
const QByteArray oldPage = R"(<html><head><title>Starý</title>
<style>body { background: #ffffff; color: #000000 } .pozn { color: #202020; background: #f0f0f0 }</style>
</head><body bgcolor="#ffffff" text="#000000" link="#0000ee">
<table bgcolor="#ffffcc" width="100%"><tr><td bgcolor="#ffffff" id="cell">
<font color="#000080" id="font">Modré písmo</font> <span class="pozn" id="note">poznámka</span>
<a id="link" href="1%20UVOD.PGX">Úvod</a></td></tr></table>
<img id="picture" src="OBR.PNG" width="120" height="90">
<p>)" + QByteArray(4000, 'x') +
                           R"(</p></body></html>)";

// A page that is dark by its own design.
const QByteArray darkPage = R"(<html><head><meta charset="utf-8">
<meta name="color-scheme" content="dark"><title>Tmavý</title>
<style>body { background: rgb(0, 0, 80); color: rgb(255, 255, 0) }</style></head>
<body><p id="text">Vlastné tmavé farby.</p></body></html>)";

void write(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
}

// 0 black to 1 white, from a CSS "rgb(r, g, b)" or "rgba(...)".
double lightness(const QString &css)
{
    const QString inner = css.section(QLatin1Char('('), 1).section(QLatin1Char(')'), 0, 0);
    const QStringList parts = inner.split(QLatin1Char(','));
    if (parts.size() < 3)
        return -1;
    return (0.299 * parts[0].toDouble() + 0.587 * parts[1].toDouble() +
            0.114 * parts[2].toDouble()) /
           255.0;
}

} // namespace

class TestReading : public QObject
{
    Q_OBJECT

    QTemporaryDir m_drive;
    QTemporaryDir m_home;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<frmHlavne> m_main;

    QString folder() const { return m_drive.filePath("TARVOL/PAGORA/KNIHA/"); }
    BrowserPane *pane() const { return m_main->Hlavne; }
    ReadingAids *aids() const { return m_main->readingAids(); }
    QWidget *pageWidget() const { return pane()->view()->focusProxy(); }

    void startMain()
    {
        m_main = std::make_unique<frmHlavne>(*m_settings, [] {});
        QSignalSpy first(pane(), &BrowserPane::loadFinished);
        m_main->Show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        QVERIFY(!first.isEmpty() || first.wait(LoadTimeoutMs));
        QTRY_VERIFY_WITH_TIMEOUT(pageWidget(), LoadTimeoutMs);
    }

    // As the choose window does when a book is chosen.
    void chooseBook()
    {
        m_main->Kniha->setText(bookName);
        m_main->Listy->setPath(library::bookFolder(bookName));
        QVERIFY(waitForLoad([&] { pane()->Navigate(library::openingPagePath(bookName)); }));
        m_main->List->setText(QStringLiteral("1 Uvod.PGX"));
    }

    bool waitForLoad(const std::function<void()> &action)
    {
        QSignalSpy finished(pane(), &BrowserPane::loadFinished);
        action();
        return finished.wait(LoadTimeoutMs);
    }

    void focusPage()
    {
        QApplication::setActiveWindow(m_main.get());
        pageWidget()->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(pageWidget()->hasFocus(), 5000);
    }

    void key(int k, Qt::KeyboardModifiers modifiers)
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : pageWidget();
        QTest::keyClick(target, Qt::Key(k), modifiers);
    }

    QVariant js(const QString &script)
    {
        return runPageScript(pane()->page(), script, LoadTimeoutMs);
    }

    double scrollY() { return js(QStringLiteral("window.scrollY")).toDouble(); }

    ReadingState onDisk()
    {
        m_main->reading().flush();
        return ReadingStore(m_main->reading().file()).state();
    }

    void clickListy(const QString &page)
    {
        const auto items = m_main->Listy->findItems(page, Qt::MatchExactly);
        QVERIFY(!items.isEmpty());
        QVERIFY(waitForLoad([&] {
            QTest::mouseClick(m_main->Listy->viewport(), Qt::LeftButton, {},
                              m_main->Listy->visualItemRect(items.first()).center());
        }));
    }

private slots:
    void initTestCase()
    {
        qputenv("PAGORA_DRIVE_C", m_drive.path().toUtf8());
        qputenv("XDG_STATE_HOME", m_home.filePath("state").toUtf8());
        write(m_drive.filePath("TARVOL/PAGORA/KNIHA.BKX"), {});
        write(folder() + "1 UVOD.PGX", longPage(QStringLiteral("Úvod")));
        write(folder() + "2 DRUHY.PGX", longPage(QStringLiteral("Druhý")));
        write(folder() + "3 TRETI.PGX", longPage(QStringLiteral("Tretí")));
        write(folder() + "4 STARY.PGX", oldPage);
        write(folder() + "5 TMAVY.PGX", darkPage);
        QImage picture(120, 90, QImage::Format_RGB32);
        picture.fill(QColor(250, 250, 250)); // a light picture must stay light
        QVERIFY(picture.save(folder() + "OBR.PNG"));
        write(m_drive.filePath("TARVOL/PAGORA/INA.BKX"), {});
        write(m_drive.filePath("TARVOL/PAGORA/INA/1 UVOD.PGX"), longPage(QStringLiteral("Iná")));
        // Dark by its stylesheet alone.
        write(m_drive.filePath("TARVOL/PAGORA/INA/2 TMAVA.PGX"),
              "<html><head><style>:root { color-scheme: dark } body { background: rgb(10, 40, "
              "10); color: rgb(200, 255, 200) }</style></head><body><p>Tmavá.</p></body></html>");
    }

    void init()
    {
        QFile::remove(ReadingStore::defaultFile());
        m_settings = std::make_unique<SettingsStore>(m_home.filePath("Pagora.conf"));
        startMain();
    }

    void cleanup() { m_main.reset(); }

    void keysAndMenuEntries()
    {
        // Every reading command has its Slovak name, a key that clashes with nothing of the
        // window, and a place in the pane's menu.
        const QStringList names{"Predchádzajúci list", "Ďalší list", "Pokračovať v čítaní",
                                "Pridať záložku",      "Záložky…",   "Nočné čítanie"};
        QStringList seen;
        QSet<QKeySequence> keys;
        for (QAction *a : m_main->actions()) {
            for (const QKeySequence &k : a->shortcuts()) {
                QVERIFY2(!keys.contains(k), qPrintable(k.toString()));
                keys.insert(k);
            }
        }
        for (QAction *a : aids()->actions()) {
            seen << a->text();
            QVERIFY(!a->shortcut().isEmpty());
        }
        QCOMPARE(seen, names);
        for (const QKeySequence &scrolling :
             {QKeySequence(Qt::Key_Space), QKeySequence(Qt::Key_PageDown),
              QKeySequence(Qt::Key_PageUp)})
            QVERIFY(!keys.contains(scrolling));
    }

    void turnPages_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("next") << "1 UVOD.PGX" << int(Qt::Key_PageDown) << "2 DRUHY.PGX";
        QTest::newRow("previous") << "3 TRETI.PGX" << int(Qt::Key_PageUp) << "2 DRUHY.PGX";
        QTest::newRow("after the opening page") << "" << int(Qt::Key_PageDown) << "2 DRUHY.PGX";
    }
    void turnPages()
    {
        QFETCH(QString, from);
        QFETCH(int, keyCode);
        QFETCH(QString, expected);
        chooseBook();
        if (!from.isEmpty())
            clickListy(from);
        focusPage();
        QVERIFY(waitForLoad([&] { key(keyCode, Qt::ControlModifier); }));
        // As a click on that SpeedPanel entry: labels, selection, pane, busy indicator.
        QCOMPARE(m_main->List->text(), expected);
        QCOMPARE(m_main->Kniha->text(), bookName);
        QCOMPARE(m_main->Listy->fileName(), expected);
        QCOMPARE(pane()->lastAddress(), library::pagePath(bookName, expected));
        QCOMPARE(pane()->url().fileName(), expected);
        QVERIFY(m_main->Praca->isEnabled());
    }

    void lastPageGivesAHint()
    {
        chooseBook();
        clickListy(QStringLiteral("5 TMAVY.PGX"));
        focusPage();
        QSignalSpy loads(pane(), &BrowserPane::loadFinished);
        key(Qt::Key_PageDown, Qt::ControlModifier);
        QVERIFY(!loads.wait(500));
        QCOMPARE(m_main->List->text(), QStringLiteral("5 TMAVY.PGX"));
        QVERIFY(aids()->hint()->isVisible());
        QCOMPARE(aids()->hint()->text(), QStringLiteral("Toto je posledný list knihy."));
        QVERIFY(!QApplication::activeModalWidget());
        // The first page says so too.
        clickListy(QStringLiteral("1 UVOD.PGX"));
        aids()->action(ReadingAids::PreviousPage)->trigger();
        QCOMPARE(aids()->hint()->text(), QStringLiteral("Toto je prvý list knihy."));
    }

    void placeIsKeptAcrossStarts()
    {
        chooseBook();
        clickListy(QStringLiteral("3 TRETI.PGX"));
        // At another zoom too, the place is the page's own (CSS pixels).
        pane()->zoom()->setFactor(1.5);
        js(QStringLiteral("window.scrollTo(0, 1500)"));
        QTRY_COMPARE_WITH_TIMEOUT(
            qRound(m_main->reading().state().places.value(bookName).scroll.y()), 1500, 5000);
        m_main.reset();

        // A new start shows the start page as always; opening the book marks the last page.
        startMain();
        QCOMPARE(pane()->lastAddress(), library::defaultHomePage);
        chooseBook();
        const auto marked =
            m_main->Listy->findItems(QStringLiteral("3 TRETI.PGX"), Qt::MatchExactly);
        QVERIFY(!marked.isEmpty());
        QCOMPARE(marked.first()->data(Qt::ToolTipRole).toString(), ReadingAids::lastReadNote());
        QCOMPARE(m_main->Listy->toolTipAt(m_main->Listy->visualItemRect(marked.first()).center()),
                 ReadingAids::lastReadNote());
        QVERIFY(marked.first()->font().bold());

        focusPage();
        QVERIFY(waitForLoad([&] { key(Qt::Key_L, Qt::ControlModifier); }));
        QCOMPARE(m_main->List->text(), QStringLiteral("3 TRETI.PGX"));
        QCOMPARE(m_main->Listy->fileName(), QStringLiteral("3 TRETI.PGX"));
        QTRY_COMPARE_WITH_TIMEOUT(qRound(scrollY()), 1500, 5000);
    }

    void bookmarkOnAPreparedPane()
    {
        // The start-up prepares the main window and its start page behind the intro.
        m_main.reset();
        QVERIFY(ReadingStore(ReadingStore::defaultFile()).change([](ReadingState &s) {
            s.zoom = 1.25;
            s.bookZoom.insert(bookName, 2.0);
        }));
        QVERIFY(m_settings->write(SettingsStore::loadKey,
                                  library::pagePath(bookName, QStringLiteral("3 TRETI.PGX"))));
        m_main = std::make_unique<frmHlavne>(*m_settings, [] {});
        QSignalSpy loaded(m_main->Hlavne, &BrowserPane::loadFinished);
        m_main->prepare();
        QVERIFY(loaded.wait(LoadTimeoutMs));
        aids()->addBookmark();
        QCOMPARE(onDisk().bookmarks.size(), 1);
        QCOMPARE(onDisk().bookmarks.first().page, QStringLiteral("3 TRETI.PGX"));
        QVERIFY(m_settings->write(SettingsStore::loadKey, SettingsStore::homepageKey));
    }

    void continueFromTheHomePage()
    {
        chooseBook();
        clickListy(QStringLiteral("2 DRUHY.PGX"));
        m_main.reset();
        startMain();
        // No book chosen yet: the book read last.
        QVERIFY(waitForLoad([&] { aids()->action(ReadingAids::Continue)->trigger(); }));
        QCOMPARE(m_main->Kniha->text(), bookName);
        QCOMPARE(m_main->List->text(), QStringLiteral("2 DRUHY.PGX"));
    }

    void zoomPerBook()
    {
        chooseBook();
        pane()->zoom()->setFactor(1.5); // as Ctrl+plus does
        QVERIFY(waitForLoad([&] { pane()->Navigate(library::openingPagePath("INA")); }));
        QCOMPARE(pane()->zoom()->factor(), 1.5); // the overall zoom
        pane()->zoom()->setFactor(0.75);
        QVERIFY(waitForLoad([&] { pane()->Navigate(library::openingPagePath(bookName)); }));
        QCOMPARE(pane()->zoom()->factor(), 1.5);
        const ReadingState s = onDisk();
        QCOMPARE(s.bookZoom.value(bookName), 1.5);
        QCOMPARE(s.bookZoom.value("INA"), 0.75);
    }

    void bookmarksWindow()
    {
        write(folder() + "6 ZMIZNE.PGX", longPage(QStringLiteral("Zmizne")));
        chooseBook();
        clickListy(QStringLiteral("2 DRUHY.PGX"));
        js(QStringLiteral("window.scrollTo(0, 800)"));
        QTRY_COMPARE_WITH_TIMEOUT(qRound(scrollY()), 800, 5000);
        focusPage();
        key(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(onDisk().bookmarks.size(), 1);
        QCOMPARE(onDisk().bookmarks.first().title, QStringLiteral("Druhý"));
        QCOMPARE(qRound(onDisk().bookmarks.first().scroll.y()), 800);
        m_main->Listy->refresh();
        clickListy(QStringLiteral("6 ZMIZNE.PGX"));
        key(Qt::Key_D, Qt::ControlModifier);
        QVERIFY(QFile::remove(folder() + "6 ZMIZNE.PGX"));
        clickListy(QStringLiteral("1 UVOD.PGX"));

        focusPage();
        key(Qt::Key_B, Qt::ControlModifier);
        frmZalozky *window = aids()->bookmarksWindow();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Záložky"));
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY(!window->isModal());
        QCOMPARE(window->Zalozky->topLevelItemCount(), 1);
        QTreeWidgetItem *bookItem = window->Zalozky->topLevelItem(0);
        QCOMPARE(bookItem->text(0), bookName);
        QCOMPARE(bookItem->childCount(), 2);
        QCOMPARE(bookItem->child(0)->text(0), QStringLiteral("2 DRUHY.PGX"));
        QCOMPARE(bookItem->child(0)->text(1), QStringLiteral("Druhý"));
        QCOMPARE(bookItem->child(1)->text(0),
                 QStringLiteral("6 ZMIZNE.PGX ") + frmZalozky::missingNote());

        // Enter opens it as the SpeedPanel would, at its place.
        window->Zalozky->setCurrentItem(bookItem->child(0));
        window->Zalozky->setFocus();
        QVERIFY(waitForLoad([&] { QTest::keyClick(window->Zalozky, Qt::Key_Return); }));
        QCOMPARE(m_main->List->text(), QStringLiteral("2 DRUHY.PGX"));
        QCOMPARE(m_main->Listy->fileName(), QStringLiteral("2 DRUHY.PGX"));
        QTRY_COMPARE_WITH_TIMEOUT(qRound(scrollY()), 800, 5000);

        // The missing page says so, opens nothing and can be deleted.
        window->Zalozky->setCurrentItem(window->Zalozky->topLevelItem(0)->child(1));
        QVERIFY(!window->openCurrent());
        QVERIFY(window->Stav->text().contains(QStringLiteral("6 ZMIZNE.PGX")));
        QTest::keyClick(window->Zalozky, Qt::Key_Delete);
        QCOMPARE(onDisk().bookmarks.size(), 1);
        QCOMPARE(window->Zalozky->topLevelItem(0)->childCount(), 1);

        // A note of 10,000 characters, written in place.
        const QString note(10000, QChar(u'ž'));
        window->Zalozky->setCurrentItem(window->Zalozky->topLevelItem(0)->child(0));
        window->Zalozky->topLevelItem(0)->child(0)->setText(2, note);
        QCOMPARE(onDisk().bookmarks.first().note, note);

        // History: the pages read, newest first.
        window->Karty->setCurrentWidget(window->Historia);
        window->Show();
        QVERIFY(window->Historia->topLevelItemCount() >= 3);
        QCOMPARE(window->Historia->topLevelItem(0)->text(2), QStringLiteral("2 DRUHY.PGX"));
        QCOMPARE(window->Historia->topLevelItem(1)->text(2), QStringLiteral("1 UVOD.PGX"));
        window->Historia->setCurrentItem(window->Historia->topLevelItem(1));
        QVERIFY(waitForLoad([&] { QVERIFY(window->openCurrent()); }));
        QCOMPARE(m_main->List->text(), QStringLiteral("1 UVOD.PGX"));

        // Delete takes one entry out of the history; the button all of it, after a question.
        window->Show();
        const int before = window->Historia->topLevelItemCount();
        const QString second = window->Historia->topLevelItem(1)->text(2);
        window->Historia->setCurrentItem(window->Historia->topLevelItem(0));
        QTest::keyClick(window->Historia, Qt::Key_Delete);
        QCOMPARE(window->Historia->topLevelItemCount(), before - 1);
        QCOMPARE(window->Historia->topLevelItem(0)->text(2), second);
        QCOMPARE(onDisk().history.size(), before - 1);
        QString asked;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            asked = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        window->VymazatHistoriu->click();
        QCOMPARE(asked, QStringLiteral("Vymazať celú históriu čítania?"));
        QCOMPARE(window->Historia->topLevelItemCount(), 0);
        QVERIFY(onDisk().history.isEmpty());
        QCOMPARE(onDisk().bookmarks.size(), 1); // the bookmarks stay
        window->close();
    }

    void nightReading()
    {
        chooseBook();
        clickListy(QStringLiteral("4 STARY.PGX"));
        const QString white = js("getComputedStyle(document.body).backgroundColor").toString();
        QVERIFY2(lightness(white) > 0.9, qPrintable(white));
        focusPage();
        key(Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(aids()->night()->isOn());
        QVERIFY(aids()->action(ReadingAids::Night)->isChecked());
        QVERIFY(onDisk().nightReading);
        // The page shown follows at once; then a fresh load of it.
        QTRY_VERIFY_WITH_TIMEOUT(
            lightness(js("getComputedStyle(document.body).backgroundColor").toString()) < 0.2,
            5000);
        QVERIFY(waitForLoad([&] { pane()->Navigate(library::pagePath(bookName, "4 STARY.PGX")); }));

        const auto colour = [&](const QString &selector, const QString &property) {
            return js(QStringLiteral("getComputedStyle(document.querySelector('%1'))['%2']")
                          .arg(selector, property))
                .toString();
        };
        QVERIFY(lightness(colour("body", "backgroundColor")) < 0.2);
        QVERIFY(lightness(colour("#font", "color")) > 0.7); // <font color>
        QVERIFY(lightness(colour("#note", "color")) > 0.7); // a stylesheet's colour
        QVERIFY(lightness(colour("#cell", "color")) > 0.7);
        const QString cell = colour("#cell", "backgroundColor"); // bgcolor
        QVERIFY2(cell == QLatin1String("rgba(0, 0, 0, 0)") || lightness(cell) < 0.2,
                 qPrintable(cell));
        const QString link = colour("#link", "color");
        QVERIFY(link != colour("#font", "color"));
        QVERIFY(lightness(link) > 0.5);
        QCOMPARE(colour("#picture", "filter"), QStringLiteral("none"));

        // What the screen shows: mostly dark, the picture still light.
        const QImage shot = pane()->view()->grab().toImage();
        QVERIFY(!shot.isNull());
        double sum = 0;
        int n = 0;
        for (int y = 0; y < shot.height(); y += 4) {
            for (int x = 0; x < shot.width(); x += 4) {
                sum += qGray(shot.pixel(x, y)) / 255.0;
                ++n;
            }
        }
        QVERIFY2(sum / n < 0.35, qPrintable(QString::number(sum / n)));
        const QVariantList pic =
            js("(function(){var r=document.getElementById('picture').getBoundingClientRect();"
               "return [r.left+r.width/2, r.top+r.height/2];})()")
                .toList();
        const double zoom = pane()->page()->zoomFactor();
        const QPoint centre(int(pic.value(0).toDouble() * zoom),
                            int(pic.value(1).toDouble() * zoom));
        if (shot.rect().contains(centre))
            QVERIFY(qGray(shot.pixel(centre)) > 200);

        // A page dark by its own design stays as it is.
        QVERIFY(waitForLoad([&] { pane()->Navigate(library::pagePath(bookName, "5 TMAVY.PGX")); }));
        QCOMPARE(js("getComputedStyle(document.body).backgroundColor").toString(),
                 QStringLiteral("rgb(0, 0, 80)"));
        QCOMPARE(js("getComputedStyle(document.body).color").toString(),
                 QStringLiteral("rgb(255, 255, 0)"));
        QVERIFY(waitForLoad([&] { pane()->Navigate(library::pagePath("INA", "2 TMAVA.PGX")); }));
        QCOMPARE(js("getComputedStyle(document.body).backgroundColor").toString(),
                 QStringLiteral("rgb(10, 40, 10)"));

        // Our message pages and the built-in book too.
        QVERIFY(waitForLoad([&] { pane()->Navigate(library::pagePath(bookName, "9 NIE.PGX")); }));
        QVERIFY(lightness(js("getComputedStyle(document.body).backgroundColor").toString()) < 0.2);
        QVERIFY(waitForLoad([&] { pane()->Navigate(library::defaultHomePage); }));
        QVERIFY(lightness(js("getComputedStyle(document.body).backgroundColor").toString()) < 0.2);

        // Remembered at the next start; the window's own face keeps its colours.
        m_main.reset();
        startMain();
        QVERIFY(aids()->night()->isOn());
        QVERIFY(lightness(js("getComputedStyle(document.body).backgroundColor").toString()) < 0.2);
        QCOMPARE(m_main->palette().color(QPalette::Window),
                 QApplication::palette().color(QPalette::Window));
        aids()->action(ReadingAids::Night)->trigger();
        QVERIFY(!onDisk().nightReading);
        QTRY_VERIFY_WITH_TIMEOUT(
            !js(QStringLiteral("!!document.getElementById('%1')").arg(NightReading::styleId()))
                 .toBool(),
            5000);
        QVERIFY(waitForLoad([&] { pane()->Navigate(library::pagePath(bookName, "4 STARY.PGX")); }));
        QVERIFY(lightness(js("getComputedStyle(document.body).backgroundColor").toString()) > 0.9);
    }
};

int main(int argc, char **argv)
{
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    registerPageScheme();
    QApplication app(argc, argv);
    TestReading test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_reading.moc"
