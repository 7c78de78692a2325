// SPDX-License-Identifier: MIT
// Random clicks, keys and list selections over the viewer's windows on a generated library.
// After every step the labels, the pane's address and the settings file must hold only what
// the program allows, and the event loop must never stall. The seed is printed; set
// PAGORA_MONKEY_SEED to replay a run, PAGORA_MONKEY_STEPS to change its length.
#include "browserpane.h"
#include "builtinbook.h"
#include "clicklabel.h"
#include "filelistbox.h"
#include "frmhlavne.h"
#include "frmkonfig.h"
#include "frmvybrat.h"
#include "library.h"
#include "pageschemehandler.h"
#include "picturebutton.h"
#include "settingsstore.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

qint64 nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
        .count();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A page that links to its neighbours, the way a book's pages do, in both slash styles.
QByteArray page(const QString &title, const QStringList &links)
{
    QByteArray html = "<html><head><meta charset=\"utf-8\"><title>" + title.toUtf8() +
                      "</title></head><body><h1>" + title.toUtf8() + "</h1>";
    for (const QString &link : links)
        html += "<p><a href=\"" + link.toUtf8() + "\">" + link.toUtf8() + "</a></p>";
    return html + "</body></html>";
}

struct Book
{
    QString folder;
    QString marker; // empty: the folder has no marker
    QStringList pages;
};

// Several books with markers, one marker without its folder, one folder without a marker and
// a book whose names are as odd as a file system allows.
QList<Book> libraryBooks()
{
    QStringList many;
    for (int i = 1; i <= 12; ++i)
        many << QStringLiteral("%1 STRANA.PGX").arg(i);
    many[0] = QStringLiteral("1 UVOD.PGX");
    many[1] = QStringLiteral("2 O PROGRAME.PGX");
    return {
        {QStringLiteral("KNIHA"), QStringLiteral("KNIHA.BKX"), many},
        {QStringLiteral("Žltá kniha"),
         QStringLiteral("Žltá kniha.bkx"),
         {QStringLiteral("1 uvod.pgx"), QStringLiteral("2 o programe.pgx"),
          QStringLiteral("3 Ďalšia.Pgx")}},
        {QStringLiteral("<b> & 'x' #1 %20"),
         QStringLiteral("<b> & 'x' #1 %20.BKX"),
         {QStringLiteral("1 UVOD.PGX"), QStringLiteral("a#b?.PGX"), QStringLiteral("100% .PGX"),
          QStringLiteral("  medzera .PGX"), QStringLiteral("<i>.PGX"), QStringLiteral("..PGX"),
          QStringLiteral("\"úvodzovky\".PGX")}},
        {QStringLiteral("BEZ ZNACKY"), QString(), {QStringLiteral("1 UVOD.PGX")}},
        {QString(), QStringLiteral("CHYBAJUCA.BKX"), {}},
    };
}

class Watchdog
{
public:
    // The event loop beats every 20 ms, also inside message boxes; a beat missing for
    // abortAfterMs means the program hangs for good, and the run stops with the seed.
    Watchdog(quint64 seed, qint64 abortAfterMs) : m_seed(seed), m_abortAfterMs(abortAfterMs)
    {
        m_beat.store(nowMs());
        QObject::connect(&m_timer, &QTimer::timeout, [this] { beat(); });
        m_timer.start(20);
        m_thread = std::thread([this] { watch(); });
    }
    ~Watchdog()
    {
        m_stop.store(true);
        m_thread.join();
    }
    void beat()
    {
        const qint64 now = nowMs();
        const qint64 gap = now - m_beat.exchange(now);
        if (m_armed && gap > m_longest)
            m_longest = gap;
    }
    // Stalls count from here on: starting the engine may take a while.
    void arm()
    {
        beat();
        m_armed = true;
    }
    qint64 longestStall() const { return m_longest; }
    std::atomic<int> step{0};

private:
    void watch()
    {
        while (!m_stop.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (nowMs() - m_beat.load() > m_abortAfterMs) {
                std::fprintf(stderr,
                             "HANG: no event for %lld ms at step %d; replay with "
                             "PAGORA_MONKEY_SEED=%llu\n",
                             static_cast<long long>(m_abortAfterMs), step.load(),
                             static_cast<unsigned long long>(m_seed));
                std::fflush(stderr);
                std::abort();
            }
        }
    }

    quint64 m_seed;
    qint64 m_abortAfterMs;
    std::atomic<qint64> m_beat{0};
    std::atomic<bool> m_stop{false};
    QTimer m_timer;
    std::thread m_thread;
    qint64 m_longest = 0;
    bool m_armed = false;
};

} // namespace

class TestMonkey : public QObject
{
    Q_OBJECT

    QTemporaryDir m_drive;
    QTemporaryDir m_config;
    QTemporaryDir m_workdir;
    QTemporaryDir m_emptyPath;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<frmHlavne> m_main;
    QRandomGenerator m_random;
    quint64 m_seed = 0;
    bool m_listLater = false;

    // What the program may show: texts typed or chosen so far, names listed so far.
    QSet<QString> m_books{library::noBook};
    QSet<QString> m_pageNames{QString(), library::openingPage, library::aboutPage};
    QSet<QString> m_homePages{library::defaultHomePage};
    QSet<QString> m_captions{library::noPage, QStringLiteral("O programe.PGX"),
                             QStringLiteral("1 Uvod.PGX"), QString()};
    QStringList m_log; // the last steps, for the failure message

    // Tallies for the summary.
    int m_clicks = 0, m_keys = 0, m_selections = 0, m_typed = 0, m_boxes = 0, m_ends = 0,
        m_closeBoxes = 0, m_restarts = 0, m_waits = 0;
    QSet<QString> m_boxTitles;

    QString settingsFile() const { return m_config.path() + QStringLiteral("/Pagora.conf"); }

    int pick(int n) { return int(m_random.bounded(quint32(n))); }
    bool chance(int percent) { return pick(100) < percent; }

    template <typename T> const T &pickFrom(const QList<T> &list)
    {
        return list.at(pick(int(list.size())));
    }

    void note(const QString &what)
    {
        m_log << what;
        if (m_log.size() > 25)
            m_log.removeFirst();
    }

    void startMain()
    {
        // The start page comes from the stored home page; remember what was stored.
        m_homePages << m_settings->read(SettingsStore::homepageKey, library::defaultHomePage);
        m_captions << m_settings->read(SettingsStore::homepageKey, library::defaultHomePage);
        m_main = std::make_unique<frmHlavne>(*m_settings, [this] { ++m_ends; });
        m_main->setHelperLauncher(HelperLauncher(m_emptyPath.path()));
        // Half the runs fill the SpeedPanel later, as a huge book does, to let clicks and
        // keys meet a list whose names are still on their way.
        m_main->Listy->setListingBudget(m_listLater ? 0 : FileListBox::defaultListingBudget);
        m_main->Show();
    }

    QList<QWidget *> openWindows() const
    {
        QList<QWidget *> windows;
        if (m_main->isVisible())
            windows << m_main.get();
        if (frmVybrat *c = m_main->choose())
            windows << c;
        if (frmKonfig *k = m_main->config())
            windows << k;
        return windows;
    }

    // Every text the user could have typed into either line edit counts as typed.
    void rememberTyped()
    {
        if (frmVybrat *c = m_main->choose())
            m_books << c->Text1->text();
        if (frmKonfig *k = m_main->config())
            m_homePages << k->Text1->text();
        for (FileListBox *box :
             {m_main->Listy,
              m_main->choose() ? m_main->choose()->File1 : static_cast<FileListBox *>(nullptr)}) {
            if (!box)
                continue;
            for (int i = 0; i < box->count(); ++i) {
                m_pageNames << box->item(i)->text();
                m_captions << box->item(i)->text();
            }
        }
    }

    QString typedText()
    {
        static const QStringList vocabulary{
            QStringLiteral("KNIHA"),
            QStringLiteral("kniha"),
            QStringLiteral("Žltá kniha"),
            QStringLiteral("<b> & 'x' #1 %20"),
            QStringLiteral("BEZ ZNACKY"),
            QStringLiteral("CHYBAJUCA"),
            QStringLiteral("KNIHA.BKX"),
            QStringLiteral(""),
            QStringLiteral(".."),
            QStringLiteral("..\\..\\.."),
            QStringLiteral("C:\\"),
            QStringLiteral("TARVOL PAGORA"),
            library::defaultHomePage,
            library::programAboutPage,
            QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\5 STRANA.PGX"),
            QStringLiteral("about:blank"),
            QStringLiteral("pgx://c/TARVOL/PAGORA/KNIHA/1%20UVOD.PGX"),
            QStringLiteral("http://127.0.0.1:9/"),
            QStringLiteral("  "),
        };
        if (chance(70))
            return pickFrom(vocabulary);
        static const QString alphabet =
            QStringLiteral("aZ09 .\\/:<>%#?&\"'*|~ščťžýáíéúäôň\t€\u200b");
        QString junk;
        for (int i = 0, n = 1 + pick(12); i < n; ++i)
            junk += alphabet.at(pick(int(alphabet.size())));
        return junk;
    }

    // A mouse click on one visible, enabled widget of a window, or on a random point of it.
    void clickSomewhere(QWidget *window)
    {
        QList<QWidget *> targets;
        for (QWidget *w : window->findChildren<QWidget *>()) {
            if (w->isVisible() && w->isEnabled() && w->window() == window &&
                qobject_cast<QAbstractButton *>(w))
                targets << w;
        }
        if (!targets.isEmpty() && chance(85)) {
            QWidget *target = pickFrom(targets);
            note(QStringLiteral("click %1 in %2").arg(target->objectName(), window->objectName()));
            QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
        } else {
            const QPoint p(pick(qMax(1, window->width())), pick(qMax(1, window->height())));
            QWidget *under = window->childAt(p);
            QWidget *target = under ? under : window;
            note(QStringLiteral("click at %1,%2 in %3 (%4)")
                     .arg(p.x())
                     .arg(p.y())
                     .arg(window->objectName(), target->metaObject()->className()));
            QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(window, p));
        }
        ++m_clicks;
    }

    void selectInList(FileListBox *box)
    {
        if (box->count() == 0)
            return;
        QListWidgetItem *item = box->item(pick(box->count()));
        box->scrollToItem(item);
        const QRect rect = box->visualItemRect(item);
        note(QStringLiteral("select \"%1\" in %2").arg(item->text(), box->objectName()));
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, rect.center());
        ++m_selections;
    }

    void pressKey(QWidget *window)
    {
        static const QList<Qt::Key> keys{
            Qt::Key_Tab,  Qt::Key_Backtab,  Qt::Key_Return,    Qt::Key_Enter,  Qt::Key_Space,
            Qt::Key_Up,   Qt::Key_Down,     Qt::Key_Home,      Qt::Key_End,    Qt::Key_PageDown,
            Qt::Key_Left, Qt::Key_Right,    Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Escape,
            Qt::Key_A,    Qt::Key_K,        Qt::Key_1,         Qt::Key_F1,     Qt::Key_F5,
            Qt::Key_Menu, Qt::Key_Backslash};
        const Qt::Key key = pickFrom(keys);
        Qt::KeyboardModifiers modifiers;
        if (chance(10))
            modifiers = pickFrom(QList<Qt::KeyboardModifiers>{Qt::ShiftModifier, Qt::AltModifier,
                                                              Qt::ControlModifier});
        QWidget *target = window->focusWidget() ? window->focusWidget() : window;
        note(QStringLiteral("key %1/%2 to %3 in %4")
                 .arg(int(key), 0, 16)
                 .arg(int(modifiers), 0, 16)
                 .arg(target->objectName(), window->objectName()));
        QTest::keyClick(target, key, modifiers);
        ++m_keys;
    }

    void typeInto(QLineEdit *edit)
    {
        const QString text = typedText();
        note(QStringLiteral("type \"%1\" into %2").arg(text, edit->window()->objectName()));
        if (chance(50))
            edit->clear();
        edit->setFocus();
        // insert() stands for typing and pasting alike; keys would lose letters outside Latin-1.
        edit->insert(text);
        ++m_typed;
    }

    void closeBox(QWidget *window)
    {
        note(QStringLiteral("close box of %1").arg(window->objectName()));
        window->close();
        ++m_closeBoxes;
        if (window == m_main.get()) {
            // The program ended; start it again on the same settings, as the user would.
            QCoreApplication::processEvents();
            m_main.reset();
            startMain();
            ++m_restarts;
        }
    }

    void step()
    {
        const QList<QWidget *> windows = openWindows();
        if (windows.isEmpty()) {
            note(QStringLiteral("show main"));
            m_main->Show();
            return;
        }
        // Secondary windows are where the choices happen; favour them while open.
        QWidget *window = windows.size() > 1 && chance(70) ? windows.last() : pickFrom(windows);
        frmVybrat *choose = qobject_cast<frmVybrat *>(window);
        frmKonfig *config = qobject_cast<frmKonfig *>(window);
        if (choose && m_listLater)
            choose->File1->setListingBudget(0);
        if (choose && choose->Timer1.isActive() && chance(60)) {
            // The window applies its mode on one tick a second after opening; waiting that
            // long every time would spend the run on waiting.
            note(QStringLiteral("let the choose window tick"));
            choose->Timer1.start(pick(150));
            if (!QTest::qWaitFor([&] { return !m_main->choose() || !choose->Timer1.isActive(); },
                                 3000))
                note(QStringLiteral("the choose window never ticked"));
            return;
        }
        const int roll = pick(100);
        if (roll < 35) {
            clickSomewhere(window);
        } else if (roll < 60) {
            pressKey(window);
        } else if (roll < 78) {
            selectInList(choose ? choose->File1 : m_main->Listy);
        } else if (roll < 90 && (choose || config)) {
            typeInto(choose ? choose->Text1 : config->Text1);
        } else if (roll < 93) {
            // Closing the main window restarts the program, which costs a second: now and then.
            if (window != m_main.get() || chance(15))
                closeBox(window);
            else
                pressKey(window);
        } else {
            const int ms = pick(120);
            note(QStringLiteral("wait %1 ms").arg(ms));
            QTest::qWait(ms);
            ++m_waits;
        }
    }

    QString composedPathsSay(const QString &address) const
    {
        if (m_homePages.contains(address) || address == library::programAboutPage)
            return QString();
        for (const QString &book : m_books) {
            const QString folder = library::bookFolder(book) + QLatin1Char('\\');
            if (address.startsWith(folder) && m_pageNames.contains(address.mid(folder.size())))
                return QString();
        }
        return QStringLiteral("the pane was sent to \"%1\"").arg(address);
    }

    QString invariantBroken() const
    {
        const QString book = m_main->Kniha->text();
        if (!m_books.contains(book))
            return QStringLiteral("Kniha shows \"%1\", which nobody typed or chose").arg(book);
        const QString caption = m_main->List->text();
        if (!m_captions.contains(caption))
            return QStringLiteral("List shows \"%1\"").arg(caption);
        const QString wrongAddress = composedPathsSay(m_main->Hlavne->lastAddress());
        if (!wrongAddress.isEmpty())
            return wrongAddress;
        if (QFile::exists(settingsFile())) {
            QSettings parsed(settingsFile(), QSettings::IniFormat);
            parsed.allKeys();
            if (parsed.status() != QSettings::NoError)
                return QStringLiteral("the settings file does not parse");
        }
        return QString();
    }

    QString replayHint() const
    {
        return QStringLiteral("replay with PAGORA_MONKEY_SEED=%1; last steps:\n  %2")
            .arg(m_seed)
            .arg(m_log.join(QStringLiteral("\n  ")));
    }

private slots:
    void initTestCase()
    {
        // The offscreen platform complains about every raise(); thousands of lines hide the
        // lines that matter.
        static const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
                if (!message.startsWith(QLatin1String("This plugin does not support")))
                    previous(type, context, message);
            });
        qputenv("PAGORA_DRIVE_C", m_drive.path().toUtf8());
        // "Pomocník" must find nothing to start, and no desktop browser may open.
        qputenv("PATH", m_emptyPath.path().toUtf8());
        const QString root = m_drive.path() + QStringLiteral("/TARVOL/PAGORA/");
        for (const Book &book : libraryBooks()) {
            if (!book.marker.isEmpty())
                writeFile(root + book.marker, QByteArray());
            for (int i = 0; i < book.pages.size(); ++i) {
                QStringList links;
                if (i > 0)
                    links << QString(book.pages.at(i - 1))
                                 .replace(QLatin1Char('%'), QStringLiteral("%25"));
                if (i + 1 < book.pages.size())
                    links << QStringLiteral(".\\") + book.pages.at(i + 1);
                links << QStringLiteral("../KNIHA/3%20STRANA.PGX") << QStringLiteral("#koniec");
                writeFile(root + book.folder + QLatin1Char('/') + book.pages.at(i),
                          page(book.pages.at(i), links));
            }
        }
        QVERIFY(builtinbook::install());
        writeFile(m_workdir.path() + QStringLiteral("/CUDZI.PGX"), page("cudzi", {}));
        QDir::setCurrent(m_workdir.path());

        bool ok = false;
        m_seed = qEnvironmentVariable("PAGORA_MONKEY_SEED").toULongLong(&ok);
        if (!ok)
            m_seed = QRandomGenerator::system()->generate64();
        m_random.seed(m_seed);
        m_listLater = chance(50);
        std::printf("monkey seed: %llu (replay with PAGORA_MONKEY_SEED=%llu)\n",
                    static_cast<unsigned long long>(m_seed),
                    static_cast<unsigned long long>(m_seed));
        std::fflush(stdout);
    }

    void randomInputKeepsTheWindowsConsistent()
    {
        const int steps = qEnvironmentVariableIsSet("PAGORA_MONKEY_STEPS")
                              ? qEnvironmentVariableIntValue("PAGORA_MONKEY_STEPS")
                              : 3000;
        m_settings = std::make_unique<SettingsStore>(settingsFile());

        // Message boxes are modal: answer each one as soon as it shows.
        QTimer answerer;
        QObject::connect(&answerer, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            m_boxTitles << modal->windowTitle();
            ++m_boxes;
            modal->close();
            // A message box without an escape button ignores its close box.
            if (auto *dialog = qobject_cast<QDialog *>(modal); dialog && dialog->isVisible())
                dialog->done(0);
        });
        answerer.start(10);

        startMain();
        QSignalSpy firstLoad(m_main->Hlavne, &BrowserPane::loadFinished);
        firstLoad.wait(30000);

        // A stall of a minute is a hang for good; anything past two seconds fails at the end.
        Watchdog watchdog(m_seed, 60000);
        watchdog.arm();
        QElapsedTimer clock;
        clock.start();
        int done = 0;
        for (; done < steps; ++done) {
            watchdog.step.store(done);
            rememberTyped();
            step();
            QCoreApplication::processEvents();
            rememberTyped();
            const QString broken = invariantBroken();
            if (!broken.isEmpty())
                QFAIL(qPrintable(
                    QStringLiteral("step %1: %2\n%3").arg(done).arg(broken, replayHint())));
        }
        // Let the last navigations settle, so that their faults show here.
        QTest::qWait(500);
        const qint64 stall = watchdog.longestStall();

        std::printf("monkey: %d steps in %.1f s: %d clicks, %d keys, %d list selections, "
                    "%d texts typed, %d waits, %d message boxes (%s), %d close boxes, "
                    "%d program ends counted, %d restarts, longest stall %lld ms, lists filled "
                    "%s, seed %llu\n",
                    done, clock.elapsed() / 1000.0, m_clicks, m_keys, m_selections, m_typed,
                    m_waits, m_boxes,
                    qPrintable(QStringList(m_boxTitles.values()).join(QStringLiteral(", "))),
                    m_closeBoxes, m_ends, m_restarts, static_cast<long long>(stall),
                    m_listLater ? "later" : "at once", static_cast<unsigned long long>(m_seed));
        std::fflush(stdout);
        QVERIFY2(stall < 2000, qPrintable(QStringLiteral("the event loop stalled for %1 ms; %2")
                                              .arg(stall)
                                              .arg(replayHint())));
        QVERIFY(m_ends > 0 || steps < 500);
        m_main.reset();
    }
};

int main(int argc, char *argv[])
{
    registerPageScheme();
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    TestMonkey test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_monkey.moc"
