// SPDX-License-Identifier: MIT
// The search window driven through the real main window: the key, typing, opening a hit.
#include "browserpane.h"
#include "clicklabel.h"
#include "filelistbox.h"
#include "frmhladat.h"
#include "frmhlavne.h"
#include "library.h"
#include "librarysearch.h"
#include "pageschemehandler.h"
#include "picturebutton.h"
#include "settingsstore.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>
#include <memory>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <unistd.h>

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray page(const QString &title, const QString &body)
{
    return QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                          "<body>%2</body></html>")
        .arg(title, body)
        .toUtf8();
}

} // namespace

class TestSearchWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_drive;
    QTemporaryDir m_home;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<frmHlavne> m_main;
    QStringList m_highlighted;

    QString root() const { return m_drive.filePath("TARVOL/PAGORA"); }

    frmHladat *openSearch()
    {
        // By the key, with the focus in the pane, as a reader would.
        m_main->activateWindow();
        if (!QTest::qWaitForWindowActive(m_main.get()))
            return nullptr;
        // The engine's own widget inside the view holds the focus when a page was clicked.
        auto *view = m_main->Hlavne->findChild<QWebEngineView *>();
        QWidget *pane = view && view->focusProxy() ? view->focusProxy() : m_main->Hlavne;
        pane->setFocus();
        QTest::keyClick(pane, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        return m_main->librarySearch();
    }

    // Waits until the index holds every page and the list shows the hits for the text.
    static void waitIndexed(frmHladat *window)
    {
        if (window->librarySearch()->isRefreshing()) {
            QSignalSpy done(window->librarySearch(), &LibrarySearch::refreshed);
            QVERIFY(done.wait(60000));
        }
    }

private slots:
    void initTestCase()
    {
        qputenv("PAGORA_DRIVE_C", m_drive.path().toUtf8());
        qputenv("XDG_CACHE_HOME", m_home.filePath("cache").toUtf8());
        write(root() + "/PRIRODA.BKX", {});
        write(root() + "/PRIRODA/1 UVOD.PGX", page("Úvod", "<p>Príroda okolo nás.</p>"));
        write(root() + "/PRIRODA/2 O PROGRAME.PGX", page("O knihe", "<p>Kniha o prírode.</p>"));
        write(root() + "/PRIRODA/3 KONE.PGX", page("Kone", "<p>Kôň beží po Ľadovej ceste.</p>"));
        write(root() + "/PRIRODA/4 HORY.PGX", page("Hory", "<p>Tatry.</p>"));
        write(root() + "/INA.BKX", {});
        write(root() + "/INA/1 UVOD.PGX", page("Iná", "<p>Nič o zvieratách.</p>"));
        m_settings = std::make_unique<SettingsStore>(m_home.filePath("Pagora.conf"));
        m_main = std::make_unique<frmHlavne>(*m_settings, [] {});
        m_main->highlightTerms = [this](const QString &terms) { m_highlighted += terms; };
        m_main->Show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        auto *view = m_main->Hlavne->findChild<QWebEngineView *>();
        QVERIFY(view);
        QTRY_VERIFY_WITH_TIMEOUT(view->focusProxy(), 30000);
    }

    void cleanupTestCase() { m_main.reset(); }

    void typeAndOpen_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("book");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("highlight");
        QTest::addColumn<bool>("byDoubleClick");
        QTest::addColumn<bool>("listedLater");
        QTest::newRow("without diacritics, Enter") << "kon ladovej"
                                                   << "1 výsledok"
                                                   << "PRIRODA"
                                                   << "3 KONE.PGX"
                                                   << "kon" << false << false;
        QTest::newRow("prefix, double click") << "tat"
                                              << "1 výsledok"
                                              << "PRIRODA"
                                              << "4 HORY.PGX"
                                              << "tat" << true << false;
        QTest::newRow("other book") << "zvieratach"
                                    << "1 výsledok"
                                    << "INA"
                                    << "1 UVOD.PGX"
                                    << "zvieratach" << false << false;
        QTest::newRow("phrase") << "\"ladovej ceste\""
                                << "1 výsledok"
                                << "PRIRODA"
                                << "3 KONE.PGX"
                                << "ladovej ceste" << false << false;
        // The SpeedPanel gets the book's names only after the hit is opened.
        QTest::newRow("book listed later, Enter") << "kon ladovej"
                                                  << "1 výsledok"
                                                  << "PRIRODA"
                                                  << "3 KONE.PGX"
                                                  << "kon" << false << true;
        QTest::newRow("other book listed later") << "zvieratach"
                                                 << "1 výsledok"
                                                 << "INA"
                                                 << "1 UVOD.PGX"
                                                 << "zvieratach" << false << true;
    }
    void typeAndOpen()
    {
        QFETCH(QString, typed);
        QFETCH(QString, count);
        QFETCH(QString, book);
        QFETCH(QString, page);
        QFETCH(QString, highlight);
        QFETCH(bool, byDoubleClick);
        QFETCH(bool, listedLater);
        m_main->Listy->setListingBudget(listedLater ? 0 : FileListBox::defaultListingBudget);
        const auto restore = qScopeGuard(
            [&] { m_main->Listy->setListingBudget(FileListBox::defaultListingBudget); });
        // Opening a hit that is there shows no message; one that did would block here.
        QStringList boxes;
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                boxes << modal->windowTitle();
                modal->close();
            }
        });
        answerer.start(20);

        frmHladat *window = openSearch();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Hľadať v knihách"));
        QVERIFY(QTest::qWaitForWindowExposed(window));
        waitIndexed(window);
        window->Text1->clear();
        QTest::keyClicks(window->Text1, typed);
        QCOMPARE(window->Label1->text(), count);
        QCOMPARE(window->List1->model()->rowCount(), 1);

        m_highlighted.clear();
        if (byDoubleClick) {
            const QRect rect = window->List1->visualRect(window->List1->model()->index(0, 0));
            // A real double click: press, release, then the second press as a double click.
            QTest::mouseClick(window->List1->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(window->List1->viewport(), Qt::LeftButton, {}, rect.center());
        } else {
            QTest::keyClick(window->Text1, Qt::Key_Return);
        }
        QCOMPARE(m_main->Kniha->text(), book);
        QCOMPARE(m_main->List->text(), page);
        QCOMPARE(m_main->Listy->path(), library::bookFolder(book));
        if (listedLater)
            QTRY_VERIFY_WITH_TIMEOUT(!m_main->Listy->isListing(), 10000);
        QCOMPARE(boxes, QStringList());
        QCOMPARE(m_main->Listy->fileName(), page);
        QCOMPARE(m_main->Hlavne->lastAddress(), library::pagePath(book, page));
        QVERIFY(m_main->Praca->isEnabled());
        QCOMPARE(m_highlighted, QStringList{highlight});
        // Clicking that page in the SpeedPanel now would change nothing.
        QCOMPARE(m_main->Listy->currentItem()->text(), page);
    }

    void oneWindowAndMessages()
    {
        frmHladat *first = openSearch();
        QVERIFY(first);
        QCOMPARE(openSearch(), first);
        waitIndexed(first);
        first->Text1->clear();
        QTest::keyClicks(first->Text1, "xyzzy");
        QCOMPARE(first->Label1->text(), QStringLiteral("Nič sa nenašlo."));
        QCOMPARE(first->List1->model()->rowCount(), 0);
        // Enter with nothing found opens nothing.
        const QString before = m_main->Hlavne->lastAddress();
        QTest::keyClick(first->Text1, Qt::Key_Return);
        QCOMPARE(m_main->Hlavne->lastAddress(), before);
        // Hostile text is searched as words, never as an error.
        first->Text1->setText(QStringLiteral("NEAR(\"kon* AND (lad"));
        QCOMPARE(first->Label1->text(), QStringLiteral("Nič sa nenašlo."));
        first->Text1->setText(QStringLiteral("\"kôň"));
        QCOMPARE(first->Label1->text(), QStringLiteral("1 výsledok"));
        first->Text1->setText(QString());
        QCOMPARE(first->Label1->text(), QString());
        QTest::keyClick(first, Qt::Key_Escape);
        QVERIFY(!m_main->librarySearch());
    }

    void choiceKeptWhileIndexing()
    {
        frmHladat *window = openSearch();
        QVERIFY(window);
        waitIndexed(window);
        window->Text1->setText(QStringLiteral("prirod"));
        QCOMPARE(window->Label1->text(), QStringLiteral("2 výsledky"));
        window->List1->setFocus();
        QTest::keyClick(window->List1, Qt::Key_Down);
        QCOMPARE(window->List1->currentIndex().row(), 1);
        // A step of indexing searches again; the reader's choice stays.
        emit window->librarySearch()->progress(1234, 10000);
        QCOMPARE(window->Label2->text(),
                 QStringLiteral("Indexujem 1\u00A0234 z 10\u00A0000 listov…"));
        QCOMPARE(window->List1->currentIndex().row(), 1);
        // New words start at the best hit.
        window->Text1->setText(QStringLiteral("priroda"));
        window->Text1->setText(QStringLiteral("prirod"));
        QCOMPARE(window->List1->currentIndex().row(), 0);
        window->close();
    }

    // Typing keeps the screen reader on the text box: the list, which follows the typed
    // words, announces no focused hit until the focus moves into it.
    void typingFiresNoFocusEventsInTheList()
    {
        frmHladat *window = openSearch();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        waitIndexed(window);
        window->Text1->clear();
        QTRY_COMPARE(QApplication::focusWidget(), window->Text1);

        static QList<QPair<QObject *, int>> focused; // object, child
        focused.clear();
        // As when a screen reader listens: Qt sends no accessibility events otherwise.
        QPlatformAccessibility *bridge =
            QGuiApplicationPrivate::platformIntegration()->accessibility();
        QVERIFY(bridge);
        bridge->setActive(true);
        const QAccessible::UpdateHandler previous =
            QAccessible::installUpdateHandler([](QAccessibleEvent *event) {
                if (event->type() == QAccessible::Focus)
                    focused.append({event->object(), event->child()});
            });
        const auto restore = qScopeGuard([previous, bridge] {
            QAccessible::installUpdateHandler(previous);
            bridge->setActive(false);
        });
        QTest::keyClicks(window->Text1, "prirod");
        QCOMPARE(window->Label1->text(), QStringLiteral("2 výsledky"));
        QCOMPARE(window->List1->currentIndex().row(), 0);
        for (const auto &event : std::as_const(focused))
            QVERIFY2(event.first != window->List1,
                     qPrintable(QStringLiteral("focus event for hit %1").arg(event.second)));

        // Down moves into the list: now its hit is announced, and so is the next one.
        focused.clear();
        QTest::keyClick(window->Text1, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), window->List1);
        QTest::keyClick(window->List1, Qt::Key_Down);
        QCOMPARE(window->List1->currentIndex().row(), 1);
        QVERIFY(!focused.isEmpty());
        QCOMPARE(focused.last().first, window->List1);
        QCOMPARE(focused.last().second, 1);
        window->close();
    }

    void refreshAtReopening()
    {
        frmHladat *window = openSearch();
        QVERIFY(window);
        waitIndexed(window);
        write(root() + "/PRIRODA/5 RIEKY.PGX", page("Rieky", "<p>Váh a Hron.</p>"));
        window->close();
        window = openSearch();
        QVERIFY(window);
        waitIndexed(window);
        window->Text1->setText(QStringLiteral("hron"));
        QCOMPARE(window->Label1->text(), QStringLiteral("1 výsledok"));
        window->close();
    }

    void missingLibrary()
    {
        QTemporaryDir empty;
        qputenv("PAGORA_DRIVE_C", empty.path().toUtf8());
        frmHladat *window = openSearch();
        QVERIFY(window);
        QVERIFY2(window->Label1->text().startsWith(
                     QStringLiteral("Knižnica C:\\TARVOL\\PAGORA sa nenašla")),
                 qPrintable(window->Label1->text()));
        window->Text1->setText(QStringLiteral("kon"));
        QCOMPARE(window->List1->model()->rowCount(), 0);
        window->close();
        qputenv("PAGORA_DRIVE_C", m_drive.path().toUtf8());
    }
};

int main(int argc, char *argv[])
{
    registerPageScheme();
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    TestSearchWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_searchwindow.moc"
