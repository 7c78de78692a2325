// SPDX-License-Identifier: MIT
// The viewer's windows driven as a user drives them: clicks, keys, message boxes.
#include "accessiblewindows.h"
#include "browserpane.h"
#include "clicklabel.h"
#include "face.h"
#include "filelistbox.h"
#include "frmhlavne.h"
#include "frmkonfig.h"
#include "frmvybrat.h"
#include "library.h"
#include "pageprinter.h"
#include "pageschemehandler.h"
#include "picturebutton.h"
#include "settingsstore.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWindow>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {

struct SeenBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool indicatorEnabled = true;
    QImage indicator;
};

// Owns the pollers of the running test. cleanup() ends them: a poller that outlived its
// test would write into a SeenBox that is gone, and at exit it would leak.
QObject *boxAnswerers()
{
    static QObject owner;
    return &owner;
}

// Answers the next message box that opens, noting what it said.
void answerNextMessageBox(SeenBox *seen, PictureButton *indicator = nullptr)
{
    auto *poll = new QTimer(boxAnswerers());
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            if (started->elapsed() > 15000)
                poll->deleteLater();
            return;
        }
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        if (indicator) {
            seen->indicatorEnabled = indicator->isEnabled();
            seen->indicator = indicator->grab().toImage();
        }
        box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->accept();
        poll->deleteLater();
    });
    poll->start(20);
}

void touch(const QString &path, const QByteArray &content = "<p>x</p>")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
}

QStringList items(const FileListBox *box)
{
    QStringList names;
    for (int i = 0; i < box->count(); ++i)
        names << box->item(i)->text();
    return names;
}

void selectEntry(FileListBox *box, const QString &name)
{
    const auto found = box->findItems(name, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(name));
    const QRect rect = box->visualItemRect(found.first());
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class TestViewerWindows : public QObject
{
    Q_OBJECT

    QTemporaryDir m_drive;
    QTemporaryDir m_config;
    QTemporaryDir m_workdir;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<frmHlavne> m_main;
    int m_ended = 0;

    QString settingsFile() const { return m_config.path() + QStringLiteral("/Pagora.conf"); }

    frmHlavne *startMain()
    {
        m_main = std::make_unique<frmHlavne>(*m_settings, [this] { ++m_ended; });
        m_main->Show();
        return m_main.get();
    }

    frmVybrat *openChoose(PictureButton *button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        frmVybrat *choose = m_main->choose();
        if (choose) {
            // The mode is applied on the window's single tick, one second after it opened.
            if (!QTest::qWaitFor([&] { return !choose->Timer1.isActive(); }, 5000))
                qWarning("the choose window never ticked");
        }
        return choose;
    }

    void chooseBook(const QString &typed)
    {
        frmVybrat *choose = openChoose(m_main->Command6);
        QVERIFY(choose);
        QTest::mouseClick(choose->Command1, Qt::LeftButton);
        choose->Text1->setText(typed);
        QTest::mouseClick(choose->Command4, Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        qputenv("PAGORA_DRIVE_C", m_drive.path().toUtf8());
        const QString root = m_drive.path() + QStringLiteral("/TARVOL/PAGORA/");
        for (const char *page :
             {"KNIHA/1 UVOD.PGX", "KNIHA/2 O PROGRAME.PGX", "KNIHA/3 DALSIA.PGX",
              "KNIHA/10 POSLEDNA.PGX", "KNIHA/obr.gif", "KNIHA.BKX", "Iná.bkx", "VOLNY.PGX"})
            touch(root + QString::fromUtf8(page));
        touch(m_workdir.path() + QStringLiteral("/CUDZI.PGX"));
        QDir::setCurrent(m_workdir.path());
    }

    void init()
    {
        QFile::remove(settingsFile());
        QFile::setPermissions(settingsFile(), QFile::ReadOwner | QFile::WriteOwner);
        QDir(settingsFile()).removeRecursively();
        m_settings = std::make_unique<SettingsStore>(settingsFile());
        m_ended = 0;
    }

    void cleanup()
    {
        qDeleteAll(boxAnswerers()->findChildren<QTimer *>(Qt::FindDirectChildrenOnly));
        m_main.reset();
    }

    void firstStartShowsTheHomePage()
    {
        frmHlavne *main = startMain();
        QCOMPARE(main->Hlavne->lastAddress(), library::defaultHomePage);
        QCOMPARE(main->List->text(), library::defaultHomePage);
        QCOMPARE(main->Kniha->text(), library::noBook);
        QCOMPARE(main->windowTitle(), QStringLiteral("Tarvol Pagora NEW 1.0"));
        QVERIFY(main->Praca->isEnabled());
        // The page list starts in the working folder.
        QCOMPARE(items(main->Listy), QStringList{"CUDZI.PGX"});
    }

    void storedLoadAddressIsShownAndLabelsStay()
    {
        QVERIFY(
            m_settings->write(SettingsStore::loadKey, QStringLiteral("about:NavigationCanceled")));
        frmHlavne *main = startMain();
        QCOMPARE(main->Hlavne->lastAddress(), QStringLiteral("about:NavigationCanceled"));
        QCOMPARE(main->List->text(), library::noPage);
    }

    // The pane is prepared behind the intro from the settings as they were then; the main
    // window adopts it, and what is stored at the hand-over decides what is shown.
    void preparedMainWindowShowsTheStartPage_data()
    {
        const QString first = QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\1 UVOD.PGX");
        const QString other = QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\3 DALSIA.PGX");
        QTest::addColumn<QString>("loadBefore");
        QTest::addColumn<QString>("homeBefore");
        QTest::addColumn<QString>("homeAtTick");
        QTest::addColumn<bool>("navigatesAgain");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("caption");
        QTest::newRow("home page unchanged")
            << "Homepage" << first << first << false << first << first;
        QTest::newRow("home page changed meanwhile")
            << "Homepage" << first << other << true << other << other;
        QTest::newRow("home page set to the same text again")
            << "Homepage" << other << other << false << other << other;
        QTest::newRow("stored start address")
            << other << first << first << false << other << library::noPage;
    }

    void preparedMainWindowShowsTheStartPage()
    {
        QFETCH(QString, loadBefore);
        QFETCH(QString, homeBefore);
        QFETCH(QString, homeAtTick);
        QFETCH(bool, navigatesAgain);
        QFETCH(QString, shown);
        QFETCH(QString, caption);
        QVERIFY(m_settings->write(SettingsStore::loadKey, loadBefore));
        QVERIFY(m_settings->write(SettingsStore::homepageKey, homeBefore));

        m_main = std::make_unique<frmHlavne>(*m_settings, [this] { ++m_ended; });
        QSignalSpy ready(m_main->Hlavne, &BrowserPane::loadFinished);
        m_main->prepare();
        QVERIFY(ready.wait(20000));
        // Prepared behind the intro: rendered, yet nothing of it is on screen, and the page
        // is in its place in the window from the start.
        QVERIFY(m_main->testAttribute(Qt::WA_DontShowOnScreen));
        QCOMPARE(m_main->Hlavne->parentWidget(), m_main.get());
        QCOMPARE(m_main->Hlavne->geometry(), face::paneRect());
        for (QWidget *window : QApplication::topLevelWidgets()) {
            QVERIFY2(!window->windowHandle() || !window->windowHandle()->isVisible(),
                     qPrintable(window->objectName()));
        }
        QCOMPARE(m_main->List->text(), library::noPage); // the load handler has not run

        QVERIFY(m_settings->write(SettingsStore::homepageKey, homeAtTick));
        QSignalSpy starts(m_main->Hlavne->page(), &QWebEnginePage::loadStarted);
        QSignalSpy finished(m_main->Hlavne, &BrowserPane::loadFinished);
        BrowserPane *const pane = m_main->Hlavne;
        m_main->Show();
        QCOMPARE(m_main->Hlavne, pane);
        QVERIFY(m_main->isVisible());
        QVERIFY(!m_main->testAttribute(Qt::WA_DontShowOnScreen));
        QVERIFY(m_main->windowHandle()->isVisible());
        QVERIFY(pane->isVisible());
        QCOMPARE(pane->lastAddress(), shown);
        QCOMPARE(m_main->List->text(), caption);
        QCOMPARE(m_main->Kniha->text(), library::noBook);
        QVERIFY(m_main->Praca->isEnabled());
        if (navigatesAgain) {
            QVERIFY(finished.wait(20000));
            QVERIFY(finished.last().first().toBool());
        } else {
            QTest::qWait(500);
            QCOMPARE(starts.count(), 0);
        }
        QVERIFY(pane->url().path().endsWith(shown.mid(shown.lastIndexOf(QLatin1Char('\\')) + 1)));

        // A second prepare() or Show() sends it nowhere.
        starts.clear();
        m_main->prepare();
        m_main->Show();
        QTest::qWait(200);
        QCOMPARE(starts.count(), 0);
    }

    // What a screen reader is given as the program's windows: each a frame or a dialog
    // named by its title, and nothing else (no engine internals).
    void topLevelAccessibleObjectsAreTheWindows()
    {
        m_main = std::make_unique<frmHlavne>(*m_settings, [this] { ++m_ended; });
        QSignalSpy ready(m_main->Hlavne, &BrowserPane::loadFinished);
        m_main->prepare();
        QVERIFY(ready.wait(20000));
        // Behind the intro the main window is no window a screen reader is told of.
        QAccessibleInterface *app = QAccessible::queryAccessibleInterface(qApp);
        QVERIFY(app);
        for (int i = 0; i < app->childCount(); ++i)
            QVERIFY(app->child(i)->object() != m_main.get());
        m_main->Show();
        QTest::mouseClick(m_main->Command6, Qt::LeftButton);
        QTRY_VERIFY(m_main->choose());
        QTest::mouseClick(m_main->Command1, Qt::LeftButton);
        QTRY_VERIFY(m_main->config());
        QApplication::processEvents();

        QStringList seen;
        for (int i = 0; i < app->childCount(); ++i) {
            QAccessibleInterface *top = app->child(i);
            QVERIFY(top);
            const QString name = top->text(QAccessible::Name);
            seen << name;
            QVERIFY2(top->role() == QAccessible::Window || top->role() == QAccessible::Dialog,
                     qPrintable(QStringLiteral("%1: role %2").arg(name).arg(int(top->role()))));
            QVERIFY2(!name.isEmpty() && name != QLatin1String("Offscreen"), qPrintable(name));
        }
        QVERIFY2(seen.contains(QStringLiteral("Tarvol Pagora NEW 1.0")),
                 qPrintable(seen.join(',')));
        QVERIFY2(seen.contains(QStringLiteral("Konfigurácia")), qPrintable(seen.join(',')));
    }

    void layoutDoesNotFollowTheWindowSize()
    {
        frmHlavne *main = startMain();
        const QRect pane = main->Hlavne->geometry();
        const QRect list = main->Listy->geometry();
        QCOMPARE(pane, QRect(120, 64, 665, 465));
        QCOMPARE(list, QRect(8, 64, 105, 461));
        main->showNormal();
        main->resize(1400, 1000);
        QApplication::processEvents();
        QCOMPARE(main->Hlavne->geometry(), pane);
        main->resize(300, 200);
        QApplication::processEvents();
        QCOMPARE(main->Listy->geometry(), list);
    }

    // Only message boxes are modal: with the print dialog open the main window still
    // answers, and a second Ctrl+P brings back the same dialog.
    void printDialogLeavesTheMainWindowUsable()
    {
        frmHlavne *main = startMain();
        QVERIFY(QTest::qWaitForWindowExposed(main));
        main->activateWindow();
        QTest::keyClick(main, Qt::Key_P, Qt::ControlModifier);
        QTRY_VERIFY(main->Hlavne->printer()->dialog() &&
                    main->Hlavne->printer()->dialog()->isVisible());
        QDialog *dialog = main->Hlavne->printer()->dialog();
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(dialog->windowModality(), Qt::NonModal);
        // A toolbar button still works meanwhile.
        QSignalSpy loaded(main->Hlavne, &BrowserPane::loadFinished);
        QTest::mouseClick(main->Command5, Qt::LeftButton);
        QVERIFY(loaded.wait(20000));
        QVERIFY(main->Hlavne->lastAddress().endsWith(QStringLiteral("2 O PROGRAME.PGX")));
        QVERIFY(dialog->isVisible());
        QTest::keyClick(main, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(main->Hlavne->printer()->dialog(), dialog);
        const QPointer<QDialog> gone(dialog);
        dialog->reject();
        QTRY_VERIFY(gone.isNull());
    }

    void toolbarInDesignOrder()
    {
        frmHlavne *main = startMain();
        const QList<PictureButton *> toolbar{main->Command6, main->Command2, main->Command3,
                                             main->Command4, main->Command5, main->Command7,
                                             main->Command1};
        QStringList tips;
        for (PictureButton *b : toolbar)
            tips << b->toolTip();
        QCOMPARE(tips, (QStringList{"Vybrať knihu", "Vybrať list", "Pomocník", "Odchod",
                                    "O programe", "O dokumente", "Konfigurácia"}));
        QCOMPARE(main->Command6->x(), 8);
        QCOMPARE(main->Command4->x(), 344);
        QVERIFY(main->Praca->toolTip().isEmpty());
        // Tab order starts at "O dokumente" and runs as designed.
        // The pane's focus lands inside it; name each stop by the window's own control.
        auto control = [main](QWidget *w) {
            while (w && w->parentWidget() != main)
                w = w->parentWidget();
            return w;
        };
        QWidget *w = main->Command7;
        QStringList order;
        while (order.size() < 10) {
            if (order.isEmpty() || order.last() != control(w)->objectName())
                order << control(w)->objectName();
            do {
                w = w->nextInFocusChain();
            } while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(main) || !control(w));
        }
        QCOMPARE(order, (QStringList{"Command7", "Command6", "Command5", "Command4", "Command3",
                                     "Command2", "Listy", "Command1", "Hlavne", "Praca"}));
    }

    void aboutCommandsBeforeAnyBook()
    {
        frmHlavne *main = startMain();
        QTest::mouseClick(main->Command7, Qt::LeftButton);
        QCOMPARE(main->Hlavne->lastAddress(),
                 QStringLiteral("C:\\TARVOL\\PAGORA\\<žiadna>\\2 O PROGRAME.PGX"));
        QCOMPARE(main->List->text(), QStringLiteral("O programe.PGX"));

        main->List->setText(QStringLiteral("3 DALSIA.PGX"));
        QTest::mouseClick(main->Command5, Qt::LeftButton);
        QCOMPARE(main->Hlavne->lastAddress(), library::programAboutPage);
        QCOMPARE(main->List->text(), QStringLiteral("3 DALSIA.PGX"));
        QCOMPARE(main->Kniha->text(), library::noBook);
        QVERIFY(main->Praca->isEnabled());
    }

    void busyIndicatorExplainsItselfWhileShowingTheHourglass()
    {
        frmHlavne *main = startMain();
        const QImage idle = main->Praca->grab().toImage();
        SeenBox seen;
        answerNextMessageBox(&seen, main->Praca);
        QTest::mouseClick(main->Praca, Qt::LeftButton);
        QCOMPARE(seen.title, QStringLiteral("Kontrolka"));
        QCOMPARE(seen.text, QStringLiteral("Ak je nápis Tarvol prekrytý presýpacími hodinami, je "
                                           "Tarvol Pagora zaneprázdnený"));
        QCOMPARE(seen.icon, QMessageBox::Information);
        QVERIFY(!seen.indicatorEnabled);
        QVERIFY2(seen.indicator != idle, "the hourglass picture was not drawn");
        QVERIFY(main->Praca->isEnabled());
    }

    void speedPanelShowsTheClickedPage()
    {
        frmHlavne *main = startMain();
        // Right after start the list shows the working folder; the path is built under no book.
        selectEntry(main->Listy, QStringLiteral("CUDZI.PGX"));
        QCOMPARE(main->Hlavne->lastAddress(),
                 QStringLiteral("C:\\TARVOL\\PAGORA\\<žiadna>\\CUDZI.PGX"));
        QCOMPARE(main->List->text(), QStringLiteral("CUDZI.PGX"));

        chooseBook(QStringLiteral("KNIHA"));
        QCOMPARE(items(main->Listy), (QStringList{"1 UVOD.PGX", "10 POSLEDNA.PGX",
                                                  "2 O PROGRAME.PGX", "3 DALSIA.PGX"}));
        selectEntry(main->Listy, QStringLiteral("10 POSLEDNA.PGX"));
        QCOMPARE(main->Hlavne->lastAddress(),
                 QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\10 POSLEDNA.PGX"));
        QTest::keyClick(main->Listy, Qt::Key_Down);
        QCOMPARE(main->Hlavne->lastAddress(),
                 QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\2 O PROGRAME.PGX"));
        QCOMPARE(main->List->text(), QStringLiteral("2 O PROGRAME.PGX"));
        QVERIFY(main->Praca->isEnabled());

        QTest::mouseClick(main->Command7, Qt::LeftButton);
        QCOMPARE(main->Hlavne->lastAddress(),
                 QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\2 O PROGRAME.PGX"));
    }

    void typicalUseByKeyboard()
    {
        frmHlavne *main = startMain();
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main));
        QCOMPARE(QApplication::focusWidget(), main->Command7);
        QTest::keyClick(main->Command7, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), main->Command6);
        QTest::keyClick(main->Command6, Qt::Key_Space);

        frmVybrat *choose = main->choose();
        QVERIFY(choose);
        QVERIFY(QTest::qWaitForWindowActive(choose));
        QTRY_COMPARE_WITH_TIMEOUT(choose->windowTitle(), QStringLiteral("Vybrať knihu"), 5000);
        QCOMPARE(QApplication::focusWidget(), choose->File1);
        QTest::keyClick(choose->File1, Qt::Key_Down);
        QTest::keyClick(choose->File1, Qt::Key_Down);
        QCOMPARE(choose->File1->fileName(), QStringLiteral("KNIHA.BKX"));
        QTest::keyClick(choose->File1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), choose->Command1);
        QTest::keyClick(choose->Command1, Qt::Key_Space);
        QCOMPARE(QApplication::focusWidget(), choose->Text1);
        QTest::keyClick(choose->Text1, Qt::Key_End);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(choose->Text1, Qt::Key_Backspace);
        QTest::keyClick(choose->Text1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), choose->Command4);
        QTest::keyClick(choose->Command4, Qt::Key_Space);
        QCOMPARE(main->Kniha->text(), QStringLiteral("KNIHA"));
        QTRY_VERIFY(main->choose() == nullptr);

        main->Listy->setFocus();
        QTest::keyClick(main->Listy, Qt::Key_Down);
        QCOMPARE(main->Hlavne->lastAddress(),
                 QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\1 UVOD.PGX"));
        QCOMPARE(main->List->text(), QStringLiteral("1 UVOD.PGX"));
    }

    void chooseWindowTimeline()
    {
        frmHlavne *main = startMain();
        QTest::mouseClick(main->Command6, Qt::LeftButton);
        frmVybrat *choose = main->choose();
        QVERIFY(choose);
        // The first second: nothing applied yet.
        QCOMPARE(choose->windowTitle(), QString(44, QLatin1Char('_')));
        QCOMPARE(items(choose->File1), QStringList{"CUDZI.PGX"} /* working folder, *.* */);
        QVERIFY(choose->Command2->isVisible());
        QVERIFY(!choose->Command1->isVisible() && !choose->Command3->isVisible());
        QVERIFY(choose->Kniha->isChecked());

        QTRY_COMPARE_WITH_TIMEOUT(choose->windowTitle(), QStringLiteral("Vybrať knihu"), 5000);
        QCOMPARE(items(choose->File1), (QStringList{"Iná.bkx", "KNIHA.BKX"}));
        QVERIFY(choose->Command1->isVisible() && !choose->Command3->isVisible());

        // The other opener only brings the same window forward; the mode stays.
        QTest::mouseClick(main->Command2, Qt::LeftButton);
        QCOMPARE(main->choose(), choose);
        QTest::qWait(1300);
        QCOMPARE(choose->windowTitle(), QStringLiteral("Vybrať knihu"));

        // Enter and Esc start nothing.
        choose->File1->setFocus();
        QTest::keyClick(choose->File1, Qt::Key_Return);
        QTest::keyClick(choose, Qt::Key_Escape);
        QVERIFY(choose->isVisible());
        QVERIFY(!choose->Frame1->isVisible());

        QTest::mouseClick(choose->Command2, Qt::LeftButton);
        QTRY_VERIFY(main->choose() == nullptr);
        QCOMPARE(main->Kniha->text(), library::noBook);
    }

    void cancelWithinTheFirstSecond()
    {
        frmHlavne *main = startMain();
        QTest::mouseClick(main->Command2, Qt::LeftButton);
        QPointer<frmVybrat> choose = main->choose();
        QTest::mouseClick(choose->Command2, Qt::LeftButton);
        QTRY_VERIFY(choose.isNull());
        // No tick comes: no "no book" message, nothing changed.
        SeenBox seen;
        answerNextMessageBox(&seen);
        QTest::qWait(1500);
        QVERIFY(seen.title.isEmpty());
        QCOMPARE(main->List->text(), library::defaultHomePage);
    }

    void lastFlagBeforeTheTickWins()
    {
        frmHlavne *main = startMain();
        QTest::mouseClick(main->Command2, Qt::LeftButton);
        QTest::mouseClick(main->Command6, Qt::LeftButton);
        frmVybrat *choose = main->choose();
        QTRY_COMPARE_WITH_TIMEOUT(choose->windowTitle(), QStringLiteral("Vybrať knihu"), 5000);
    }

    void bookModeBothSteps_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        QTest::newRow("ending deleted") << QStringLiteral("KNIHA") << true;
        QTest::newRow("other letter case") << QStringLiteral("kniha") << true;
        QTest::newRow("ending left in") << QStringLiteral("KNIHA.BKX") << false;
        QTest::newRow("trailing blanks") << QStringLiteral("KNIHA  ") << false;
        QTest::newRow("empty") << QString() << true; // the library root itself
    }

    void bookModeBothSteps()
    {
        QFETCH(QString, typed);
        QFETCH(bool, found);
        frmHlavne *main = startMain();
        frmVybrat *choose = openChoose(main->Command6);
        QVERIFY(choose);
        selectEntry(choose->File1, QStringLiteral("KNIHA.BKX"));
        QTest::mouseClick(choose->Command1, Qt::LeftButton);
        QVERIFY(choose->Frame1->isVisible());
        QCOMPARE(choose->Text1->text(), QStringLiteral("KNIHA.BKX"));
        QCOMPARE(choose->Label1->text(), QStringLiteral("Zmažte prosím .BKX v texte!"));

        choose->Text1->setText(typed);
        SeenBox seen;
        answerNextMessageBox(&seen);
        QTest::mouseClick(choose->Command4, Qt::LeftButton);
        QCOMPARE(main->Kniha->text(), typed);
        QCOMPARE(main->Hlavne->lastAddress(),
                 QStringLiteral("C:\\TARVOL\\PAGORA\\") + typed + QStringLiteral("\\1 UVOD.PGX"));
        QCOMPARE(main->Listy->path(), QStringLiteral("C:\\TARVOL\\PAGORA\\") + typed);
        QCOMPARE(main->List->text(), QStringLiteral("1 Uvod.PGX"));
        QTRY_VERIFY(main->choose() == nullptr);
        if (found) {
            QVERIFY(seen.title.isEmpty());
        } else {
            QTRY_VERIFY(!seen.title.isEmpty());
            QVERIFY2(seen.text.contains(typed), qPrintable(seen.text));
            QCOMPARE(main->Listy->count(), 0);
        }
    }

    void bookModeWithNothingSelected()
    {
        frmHlavne *main = startMain();
        frmVybrat *choose = openChoose(main->Command6);
        QTest::mouseClick(choose->Command1, Qt::LeftButton);
        QCOMPARE(choose->Text1->text(), QString());
    }

    void pageMode()
    {
        frmHlavne *main = startMain();
        chooseBook(QStringLiteral("KNIHA"));
        frmVybrat *choose = openChoose(main->Command2);
        QVERIFY(choose);
        QCOMPARE(choose->windowTitle(), QStringLiteral("Vybrať list"));
        QCOMPARE(items(choose->File1), (QStringList{"1 UVOD.PGX", "10 POSLEDNA.PGX",
                                                    "2 O PROGRAME.PGX", "3 DALSIA.PGX"}));
        QVERIFY(!choose->Command1->isVisible() && choose->Command3->isVisible());
        selectEntry(choose->File1, QStringLiteral("3 DALSIA.PGX"));
        QTest::mouseClick(choose->Command3, Qt::LeftButton);
        QCOMPARE(main->Hlavne->lastAddress(),
                 QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\3 DALSIA.PGX"));
        QCOMPARE(main->List->text(), QStringLiteral("3 DALSIA.PGX"));
        QCOMPARE(main->Kniha->text(), QStringLiteral("KNIHA"));
        QTRY_VERIFY(main->choose() == nullptr);

        // OK with nothing selected: the book folder itself, and an empty page label.
        choose = openChoose(main->Command2);
        QTest::mouseClick(choose->Command3, Qt::LeftButton);
        QCOMPARE(main->Hlavne->lastAddress(), QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\"));
        QCOMPARE(main->List->text(), QString());
    }

    // What a screen reader learns of the choose window in both modes and at both steps.
    void chooseWindowForScreenReaders_data()
    {
        QTest::addColumn<bool>("bookMode");
        QTest::addColumn<QString>("listName");
        QTest::newRow("book") << true << QStringLiteral("Knihy");
        QTest::newRow("page") << false << QStringLiteral("Listy knihy");
    }

    void chooseWindowForScreenReaders()
    {
        QFETCH(bool, bookMode);
        QFETCH(QString, listName);
        frmHlavne *main = startMain();
        if (!bookMode)
            chooseBook(QStringLiteral("KNIHA"));
        frmVybrat *choose = openChoose(bookMode ? main->Command6 : main->Command2);
        QVERIFY(choose);
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(choose->File1);
        QVERIFY(list);
        QCOMPARE(list->text(QAccessible::Name), listName);
        QCOMPARE(int(list->role()), int(QAccessible::List));
        if (!bookMode)
            return;
        QTest::mouseClick(choose->Command1, Qt::LeftButton);
        QAccessibleInterface *text = QAccessible::queryAccessibleInterface(choose->Text1);
        QVERIFY(text);
        QCOMPARE(text->text(QAccessible::Name), QStringLiteral("Názov knihy"));
        // The instruction labels the text box, both ways round.
        const auto labels = text->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first().first->text(QAccessible::Name),
                 QStringLiteral("Zmažte prosím .BKX v texte!"));
        const auto labelled = labels.first().first->relations(QAccessible::Labelled);
        QCOMPARE(labelled.size(), 1);
        QCOMPARE(labelled.first().first->object(), choose->Text1);
        // The visible design stays: the same texts, the focus in the text box.
        QCOMPARE(choose->Label1->text(), QStringLiteral("Zmažte prosím .BKX v texte!"));
        QCOMPARE(choose->focusWidget(), choose->Text1);
        choose->close();
    }

    void pageModeWithoutABookIsRefused()
    {
        frmHlavne *main = startMain();
        SeenBox seen;
        answerNextMessageBox(&seen);
        QTest::mouseClick(main->Command2, Qt::LeftButton);
        QPointer<frmVybrat> choose = main->choose();
        QTRY_VERIFY_WITH_TIMEOUT(!seen.title.isEmpty(), 5000);
        QCOMPARE(seen.title, QStringLiteral("Z akej knihy?"));
        QCOMPARE(seen.text, QStringLiteral("Nemáte vybranú žiadnu knihu!"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QTRY_VERIFY(choose.isNull());
        QCOMPARE(main->List->text(), library::defaultHomePage);
        QCOMPARE(main->Hlavne->lastAddress(), library::defaultHomePage);

        // The next opening behaves normally.
        QVERIFY(openChoose(main->Command6));
        QCOMPARE(main->choose()->windowTitle(), QStringLiteral("Vybrať knihu"));
    }

    void pageModeWithAnEmptyBookNameListsTheLibraryRoot()
    {
        frmHlavne *main = startMain();
        chooseBook(QString());
        frmVybrat *choose = openChoose(main->Command2);
        QCOMPARE(choose->windowTitle(), QStringLiteral("Vybrať list"));
        QCOMPARE(items(choose->File1), QStringList{"VOLNY.PGX"});
    }

    void missingLibraryRootIsExplained()
    {
        qputenv("PAGORA_DRIVE_C", "/nonexistent/pagora-test");
        frmHlavne *main = startMain();
        SeenBox seen;
        answerNextMessageBox(&seen);
        frmVybrat *choose = openChoose(main->Command6);
        QTRY_VERIFY_WITH_TIMEOUT(!seen.title.isEmpty(), 5000);
        QVERIFY2(seen.text.contains(library::rootFolder), qPrintable(seen.text));
        QCOMPARE(choose->windowTitle(), QStringLiteral("Vybrať knihu"));
        QCOMPARE(choose->File1->count(), 0);
        qputenv("PAGORA_DRIVE_C", m_drive.path().toUtf8());
    }

    void configurationWindow()
    {
        frmHlavne *main = startMain();
        QTest::mouseClick(main->Command1, Qt::LeftButton);
        frmKonfig *config = main->config();
        QVERIFY(config);
        QCOMPARE(config->windowTitle(), QStringLiteral("Konfigurácia"));
        QCOMPARE(config->Frame1->title(), QStringLiteral("Úvodná strana:"));
        QCOMPARE(config->Text1->text(), library::defaultHomePage);

        // Cancel keeps the setting absent.
        config->Text1->setText(QStringLiteral("C:\\INE"));
        QTest::mouseClick(config->Command2, Qt::LeftButton);
        QTRY_VERIFY(main->config() == nullptr);
        QCOMPARE(m_settings->read(SettingsStore::homepageKey, QStringLiteral("absent")),
                 QStringLiteral("absent"));

        // OK saves the text as typed; the pane keeps its page.
        QTest::mouseClick(main->Command1, Qt::LeftButton);
        config = main->config();
        QCOMPARE(config->Text1->text(), library::defaultHomePage);
        const QString typed = QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\3 DALSIA.PGX") +
                              QString(300, QLatin1Char(' '));
        config->Text1->setText(typed);
        QTest::keyClick(config->Text1, Qt::Key_Return); // Enter saves nothing
        QVERIFY(config->isVisible());
        QTest::mouseClick(config->Command1, Qt::LeftButton);
        QTRY_VERIFY(main->config() == nullptr);
        QCOMPARE(m_settings->read(SettingsStore::homepageKey, QString()), typed);
        QCOMPARE(main->Hlavne->lastAddress(), library::defaultHomePage);

        // Any length: a line edit would otherwise stop at 32767 characters.
        QTest::mouseClick(main->Command1, Qt::LeftButton);
        const QString longText(40000, QLatin1Char('k'));
        main->config()->Text1->setText(longText);
        QTest::mouseClick(main->config()->Command1, Qt::LeftButton);
        QTRY_VERIFY(main->config() == nullptr);
        QCOMPARE(m_settings->read(SettingsStore::homepageKey, QString()), longText);

        // Reopened, it shows the built-in page again, not the stored one.
        QTest::mouseClick(main->Command1, Qt::LeftButton);
        QCOMPARE(main->config()->Text1->text(), library::defaultHomePage);
        main->config()->Text1->clear();
        QTest::mouseClick(main->config()->Command1, Qt::LeftButton);
        QTRY_VERIFY(main->config() == nullptr);
        QCOMPARE(m_settings->read(SettingsStore::homepageKey, QStringLiteral("dflt")), QString());

        // The next start shows what was saved.
        QVERIFY(m_settings->write(SettingsStore::homepageKey, typed));
        m_main.reset();
        QCOMPARE(startMain()->Hlavne->lastAddress(), typed);
        QCOMPARE(m_main->List->text(), typed);
    }

    void configurationKeepsTheTextWhenTheStoreFails()
    {
        frmHlavne *main = startMain();
        QTest::mouseClick(main->Command1, Qt::LeftButton);
        frmKonfig *config = main->config();
        config->Text1->setText(QStringLiteral("C:\\MOJA"));
        QVERIFY(QDir().mkpath(settingsFile())); // the store cannot be written now
        SeenBox seen;
        answerNextMessageBox(&seen);
        QTest::mouseClick(config->Command1, Qt::LeftButton);
        QVERIFY(!seen.title.isEmpty());
        QVERIFY2(seen.text.contains(QStringLiteral("nepodarilo")), qPrintable(seen.text));
        QCOMPARE(main->config(), config);
        QVERIFY(config->isVisible());
        QCOMPARE(config->Text1->text(), QStringLiteral("C:\\MOJA"));
    }

    void helperIsStartedOrItsAbsenceExplained()
    {
        QTemporaryDir own;
        const QString mark = own.filePath(QStringLiteral("mark"));
        QFile script(own.filePath(QStringLiteral("help")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho started >> '%1'\n").arg(mark).toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        frmHlavne *main = startMain();
        main->setHelperLauncher(HelperLauncher(own.path()));
        QTest::mouseClick(main->Command3, Qt::LeftButton);
        QTest::mouseClick(main->Command3, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(mark).size(), qint64(16), 10000);
        QVERIFY(main->Praca->isEnabled());

        QFile::remove(script.fileName());
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", own.path().toUtf8());
        SeenBox seen;
        answerNextMessageBox(&seen);
        QTest::mouseClick(main->Command3, Qt::LeftButton);
        qputenv("PATH", savedPath);
        QVERIFY2(seen.text.startsWith(QStringLiteral("Pomocníka sa nepodarilo spustiť.")),
                 qPrintable(seen.text));
        QVERIFY(main->isVisible());
        QVERIFY(main->Praca->isEnabled());
    }

    void exitStoresLoadAndEndsWithOtherWindowsOpen_data()
    {
        QTest::addColumn<bool>("byCloseBox");
        QTest::newRow("Odchod") << false;
        QTest::newRow("close box") << true;
    }

    void exitStoresLoadAndEndsWithOtherWindowsOpen()
    {
        QFETCH(bool, byCloseBox);
        QVERIFY(m_settings->write(SettingsStore::loadKey, QStringLiteral("http://iny.invalid/")));
        frmHlavne *main = startMain();
        QTest::mouseClick(main->Command6, Qt::LeftButton);
        QTest::mouseClick(main->Command1, Qt::LeftButton);
        main->config()->Text1->setText(QStringLiteral("C:\\NEULOZENE"));
        if (byCloseBox)
            main->close();
        else
            QTest::mouseClick(main->Command4, Qt::LeftButton);
        QCOMPARE(m_ended, 1);
        QCOMPARE(m_settings->read(SettingsStore::loadKey, QString()), QStringLiteral("Homepage"));
        QCOMPARE(m_settings->read(SettingsStore::homepageKey, QStringLiteral("absent")),
                 QStringLiteral("absent"));
        QVERIFY(!main->Praca->isEnabled()); // the program is over; the indicator stays busy
    }

    void exitKeepsWhatTheFileHeld_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("rewritten");
        QTest::newRow("comments and a Windows-1250 home page")
            << QByteArray("; moje nastavenia\n[List]\nHomepage=C:\\\\\x8eLT\xc1.PGX\n"
                          "Load=Homepage\n")
            << false;
        QTest::newRow("unreadable line")
            << (QByteArray("\0", 1) + QByteArray("\xff[List\nLoad=Homepage\n")) << true;
    }

    void exitKeepsWhatTheFileHeld()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, rewritten);
        {
            QFile f(settingsFile());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        frmHlavne *main = startMain();
        QTest::mouseClick(main->Command4, Qt::LeftButton);
        QCOMPARE(m_ended, 1);
        QFile f(settingsFile());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList kept =
            QDir(m_config.path()).entryList({QStringLiteral("Pagora.conf.poskodeny-*")});
        QList<QByteArray> keptContents;
        for (const QString &name : kept) {
            QFile copy(m_config.path() + QLatin1Char('/') + name);
            QVERIFY(copy.open(QIODevice::ReadOnly));
            keptContents << copy.readAll();
            copy.remove();
        }
        if (!rewritten) {
            QCOMPARE(f.readAll(), content);
            QVERIFY(kept.isEmpty());
            return;
        }
        QCOMPARE(m_settings->read(SettingsStore::loadKey, QString()), QStringLiteral("Homepage"));
        QCOMPARE(keptContents, QList<QByteArray>{content});
    }

    void exitEndsEvenWhenTheStoreCannotBeWritten()
    {
        frmHlavne *main = startMain();
        QVERIFY(QDir().mkpath(settingsFile()));
        QTest::mouseClick(main->Command4, Qt::LeftButton);
        QCOMPARE(m_ended, 1);
    }

    void hostileAddressesDoNotUpsetTheWindow()
    {
        QVERIFY(m_settings->write(SettingsStore::homepageKey,
                                  QString(10000, QLatin1Char('x')) + QStringLiteral("\x01\n")));
        frmHlavne *main = startMain();
        QCOMPARE(main->List->text().size(), 10002);
        QCOMPARE(main->List->width(), 289); // the label does not grow
        SeenBox seen;
        answerNextMessageBox(&seen);
        chooseBook(QStringLiteral("<b>tučné</b>"));
        QCOMPARE(main->Kniha->text(), QStringLiteral("<b>tučné</b>"));
        QCOMPARE(main->Kniha->textFormat(), Qt::PlainText);
    }
};

int main(int argc, char *argv[])
{
    registerPageScheme();
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    accessiblewindows::install(); // as both programs do
    TestViewerWindows test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_viewerwindows.moc"
