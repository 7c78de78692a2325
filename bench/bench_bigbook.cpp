// SPDX-License-Identifier: MIT
// Big libraries through the real windows: book mode's second OK on a book of 10,000 pages
// until the SpeedPanel is filled and the opening page painted, the choose window's list of
// 5,000 markers, and a SpeedPanel of 100,000 files. The floor is the bare listing: QDir
// lists and sorts the same folder in this process. Prints table rows (scripts/bench.sh).
#include "browserpane.h"
#include "clicklabel.h"
#include "filelistbox.h"
#include "frmhlavne.h"
#include "frmvybrat.h"
#include "frmzalozky.h"
#include "library.h"
#include "loadpaint.h"
#include "nightreading.h"
#include "pageschemehandler.h"
#include "picturebutton.h"
#include "probe.h"
#include "readingaids.h"
#include "readingstore.h"
#include "settingsstore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

struct Stats
{
    QList<double> values;
    double at(double q) const
    {
        QList<double> v = values;
        std::sort(v.begin(), v.end());
        return v.isEmpty() ? 0 : v.at(qMin(v.size() - 1, qsizetype(q * (v.size() - 1) + 0.5)));
    }
};

void touchMany(const QString &folder, int count, const QString &nameFormat)
{
    QDir().mkpath(folder);
    for (int i = 1; i <= count; ++i) {
        QFile f(folder + QLatin1Char('/') + nameFormat.arg(i));
        if (f.open(QIODevice::WriteOnly))
            f.write("<p>x</p>");
    }
}

// The longest time the event loop could not answer while work() ran, in ms.
double longestStall(const std::function<void()> &work)
{
    qint64 last = probe::now();
    qint64 longest = 0;
    QTimer beat;
    beat.setInterval(5);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = probe::now();
        longest = std::max(longest, now - last);
        last = now;
    });
    beat.start();
    probe::waitFor([] { return false; }, 20);
    last = probe::now();
    work();
    const qint64 now = probe::now();
    longest = std::max(longest, now - last);
    probe::waitFor([] { return false; }, 20);
    return longest / 1e6;
}

double listingFloor(const QString &folder, const QString &pattern)
{
    const qint64 start = probe::now();
    QStringList names = QDir(folder).entryList(QStringList{pattern}, QDir::Files);
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return (probe::now() - start) / 1e6;
}

void row(const QString &figure, const Stats &s, const Stats &floor, const char *target)
{
    const double median = s.at(0.5);
    const double floorMedian = floor.at(0.5);
    std::printf("| %s | %.1f ms | %.1f ms | %.1f ms | %lld | %s | QDir list and sort, same "
                "folder | %.1f ms | %.2fx | %s |\n",
                qPrintable(figure), median, s.at(0), s.at(1),
                static_cast<long long>(s.values.size()),
                qPrintable(QGuiApplication::platformName()), floorMedian,
                floorMedian > 0 ? median / floorMedian : 0.0, target);
    std::fflush(stdout);
}

void namedRow(const QString &figure, const Stats &s, const QString &floorName, const Stats *floor,
              const char *target)
{
    const double median = s.at(0.5);
    if (!floor) {
        std::printf("| %s | %.1f ms | %.1f ms | %.1f ms | %lld | %s | — | — | — | %s |\n",
                    qPrintable(figure), median, s.at(0), s.at(1),
                    static_cast<long long>(s.values.size()),
                    qPrintable(QGuiApplication::platformName()), target);
    } else {
        const double floorMedian = floor->at(0.5);
        std::printf(
            "| %s | %.1f ms | %.1f ms | %.1f ms | %lld | %s | %s | %.1f ms | %.2fx | %s |\n",
            qPrintable(figure), median, s.at(0), s.at(1), static_cast<long long>(s.values.size()),
            qPrintable(QGuiApplication::platformName()), qPrintable(floorName), floorMedian,
            floorMedian > 0 ? median / floorMedian : 0.0, target);
    }
    std::fflush(stdout);
}

// A page of about 5 KB of text with a stylesheet, as the page switch figures use.
QByteArray readingPage(int n)
{
    QByteArray body;
    for (int i = 0; body.size() < 5000; ++i)
        body += "<p>Odsek " + QByteArray::number(i) + " listu " + QByteArray::number(n) +
                ": k\xc3\xb4\xc5\x88 be\xc5\xbe\xc3\xad po ceste.</p>";
    return "<html><head><meta charset=\"utf-8\"><title>List " + QByteArray::number(n) +
           "</title><style>body{font-family:serif} p{margin:0.5em}</style></head><body "
           "bgcolor=\"#ffffff\">" +
           body + "</body></html>";
}

// Turning pages, night reading and the bookmarks window, on the same main window.
void readingFigures(frmHlavne &main, probe::LoadPaintWaiter &waiter, const QString &root,
                    bool quick)
{
    const QString folder = root + QStringLiteral("/CITANIE");
    QDir().mkpath(folder);
    const int pages = 20;
    for (int i = 1; i <= pages; ++i) {
        QFile f(folder + QStringLiteral("/%1 LIST.PGX").arg(i, 2, 10, QLatin1Char('0')));
        if (f.open(QIODevice::WriteOnly))
            f.write(readingPage(i));
    }
    main.Kniha->setText(QStringLiteral("CITANIE"));
    main.Listy->setPath(library::rootPrefix + QStringLiteral("CITANIE"));
    ReadingAids *aids = main.readingAids();

    // One page shown and painted, from the moment action starts it.
    const auto timed = [&](const std::function<void()> &action) {
        bool shown = false;
        qint64 at = 0;
        waiter.arm(main.Hlavne, [&](qint64 t) {
            shown = true;
            at = t;
        });
        const qint64 start = probe::now();
        action();
        if (!probe::waitFor([&] { return shown; }, 30000)) {
            qWarning("a page never came");
            return -1.0;
        }
        return (at - start) / 1e6;
    };
    const auto click = [&](int row) { return timed([&] { main.Listy->setCurrentRow(row); }); };

    Stats turned, clicked, night, day;
    const int rounds = quick ? 10 : 40;
    for (int r = 0; r < rounds; ++r) {
        // A click on one entry, then a turn to the next: the same kind of step, interleaved.
        const int row = (2 * r) % (pages - 1);
        if (const double ms = click(row); ms >= 0)
            clicked.values << ms;
        if (const double ms = timed([&] { aids->turn(1); }); ms >= 0)
            turned.values << ms;
    }
    for (int r = 0; r < rounds; ++r) {
        const int row = (2 * r + 1) % pages;
        aids->night()->setOn(r % 2 == 0);
        if (const double ms = click(row); ms >= 0)
            (r % 2 == 0 ? night : day).values << ms;
    }
    aids->night()->setOn(false);
    namedRow(QStringLiteral("turn a page (next page to page painted)"), turned,
             QStringLiteral("SpeedPanel click, same pages"), &clicked, "≤ 1.1x");
    namedRow(QStringLiteral("page switch with night reading"), night,
             QStringLiteral("page switch without it"), &day, "≤ 1.1x");

    // What keeping the place and the history costs: written a second after the switch, off
    // its path; here the write itself, with a full history.
    ReadingStore &store = main.reading();
    store.change([](ReadingState &s) {
        s.history.clear();
        for (int i = 0; i < ReadingStore::maxHistory; ++i)
            s.history.append({QStringLiteral("CITANIE"), QStringLiteral("%1 LIST.PGX").arg(i),
                              QStringLiteral("List"), QDateTime::currentDateTimeUtc()});
    });
    Stats historyWrite;
    for (int r = 0; r < (quick ? 5 : 20); ++r) {
        store.changeLater([r](ReadingState &s) {
            s.history.prepend({QStringLiteral("CITANIE"), QString::number(r), {}, {}});
        });
        const qint64 start = probe::now();
        store.flush();
        historyWrite.values << (probe::now() - start) / 1e6;
    }
    namedRow(QStringLiteral("history and place written, %L1 entries (a second after a switch)")
                 .arg(ReadingStore::maxHistory),
             historyWrite, {}, nullptr, "off the switch");

    // The bookmarks window with 10,000 bookmarks, read afresh from the file and painted.
    store.change([](ReadingState &s) {
        s.bookmarks.clear();
        for (int i = 1; i <= 10000; ++i)
            s.bookmarks.append(
                {QString::number(i), i % 2 ? QStringLiteral("VELKA") : QStringLiteral("CITANIE"),
                 QStringLiteral("%1 STRANA.PGX").arg(i), QStringLiteral("Strana"), QPointF(0, i),
                 QStringLiteral("poznámka"), QDateTime::currentDateTimeUtc()});
    });
    // Each opening after a change of one note (the lists are made anew), then once more
    // with nothing changed (the lists stay).
    Stats window, again;
    for (int r = 0; r < (quick ? 3 : 7); ++r) {
        for (const bool changed : {true, false}) {
            if (frmZalozky *open = aids->bookmarksWindow())
                open->close();
            if (changed)
                store.change([r](ReadingState &s) { s.bookmarks[r].note = QString::number(r); });
            probe::waitFor([] { return false; }, 50);
            const qint64 start = probe::now();
            aids->openBookmarks();
            aids->bookmarksWindow()->repaint();
            (changed ? window : again).values << (probe::now() - start) / 1e6;
        }
    }
    namedRow(QStringLiteral("bookmarks window with 10,000 bookmarks, opened and painted"), window,
             {}, nullptr, "< 100 ms");
    namedRow(QStringLiteral("bookmarks window with 10,000 bookmarks, opened again unchanged"),
             again, {}, nullptr, "< 100 ms");
}

} // namespace

int main(int argc, char *argv[])
{
    registerPageScheme();
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QTemporaryDir scratch;
    qputenv("PAGORA_DRIVE_C", scratch.path().toUtf8() + "/drive_c");
    qputenv("XDG_STATE_HOME", scratch.path().toUtf8() + "/state");
    QApplication app(argc, argv);
    const bool quick = qEnvironmentVariableIntValue("PAGORA_BENCH_QUICK") != 0;
    const int runs = quick ? 2 : 5;
    const int hugeCount = quick ? 20000 : 100000;

    const QString root = scratch.path() + QStringLiteral("/drive_c/TARVOL/PAGORA");
    touchMany(root + QStringLiteral("/VELKA"), 10000, QStringLiteral("%1 STRANA.PGX"));
    QFile::remove(root + QStringLiteral("/VELKA/1 UVOD.PGX"));
    QFile::copy(QStringLiteral(":/builtin/TARVOL PAGORA/1 UVOD.PGX"),
                root + QStringLiteral("/VELKA/1 UVOD.PGX"));
    touchMany(root, 5000, QStringLiteral("KNIHA %1.BKX"));
    touchMany(root + QStringLiteral("/OBROVSKA"), hugeCount, QStringLiteral("%1 S.PGX"));

    SettingsStore settings(scratch.path() + QStringLiteral("/Pagora.conf"));
    frmHlavne main(settings, [] {});
    main.Show();
    probe::LoadPaintWaiter waiter;
    QObject::connect(main.Hlavne, &BrowserPane::loadFinished, &waiter, [&] { waiter.loaded(); });
    bool ready = false;
    waiter.arm(main.Hlavne, [&](qint64) { ready = true; });
    if (!probe::waitFor([&] { return ready; }, 60000))
        qWarning("the home page never came");

    Stats book, bookFloor, markers, markersFloor, huge, hugeFloor;
    for (int r = 0; r < runs; ++r) {
        // Book mode, both steps; the second OK is what is timed.
        main.Command6->click();
        frmVybrat *choose = main.choose();
        qint64 tickStart = 0;
        qint64 tickEnd = 0;
        struct TickWatch : QObject
        {
            qint64 *at;
            bool eventFilter(QObject *, QEvent *e) override
            {
                if (e->type() == QEvent::Timer)
                    *at = probe::now();
                return false;
            }
        } watch;
        watch.at = &tickStart;
        choose->Timer1.installEventFilter(&watch);
        QObject::connect(&choose->Timer1, &QTimer::timeout, choose,
                         [&] { tickEnd = probe::now(); });
        if (!probe::waitFor([&] { return tickEnd != 0; }, 10000))
            qWarning("the choose window never ticked");
        markers.values << (tickEnd - tickStart) / 1e6;
        markersFloor.values << listingFloor(root, QStringLiteral("*.BKX"));

        choose->Text1->setText(QStringLiteral("VELKA"));
        bool shown = false;
        qint64 shownAt = 0;
        qint64 listedAt = 0;
        const QMetaObject::Connection listing =
            QObject::connect(main.Listy, &FileListBox::listed, [&] { listedAt = probe::now(); });
        const qint64 start = probe::now();
        waiter.arm(main.Hlavne, [&](qint64 at) {
            shown = true;
            shownAt = at;
        });
        choose->Command4->click();
        // Done when the page is painted and the SpeedPanel holds the book, whichever is last.
        if (!probe::waitFor([&] { return shown && listedAt != 0; }, 60000))
            qWarning("the opening page or the book's list never came");
        QObject::disconnect(listing);
        if (shown && listedAt != 0 && main.Listy->count() == 10001)
            book.values << (std::max(shownAt, listedAt) - start) / 1e6;
        bookFloor.values << listingFloor(root + QStringLiteral("/VELKA"), QStringLiteral("*.PGX"));

        // Until the names are in the list, however they got there.
        bool listed = false;
        const QMetaObject::Connection hugeListing =
            QObject::connect(main.Listy, &FileListBox::listed, [&] { listed = true; });
        const double stall = longestStall([&] {
            main.Listy->setPath(library::rootPrefix + QStringLiteral("OBROVSKA"));
            if (!probe::waitFor([&] { return listed; }, 60000))
                qWarning("the SpeedPanel was never filled");
        });
        QObject::disconnect(hugeListing);
        if (listed && main.Listy->count() == hugeCount)
            huge.values << stall;
        else
            qWarning("the SpeedPanel holds %d names, not %d", main.Listy->count(), hugeCount);
        hugeFloor.values << listingFloor(root + QStringLiteral("/OBROVSKA"),
                                         QStringLiteral("*.PGX"));
        main.Listy->setPath(library::rootPrefix + QStringLiteral("VELKA"));
        probe::waitFor([&] { return !main.Listy->isListing(); }, 60000);
    }
    row(QStringLiteral("big book: 10,000 pages, second OK to opening page painted"), book,
        bookFloor, "≤ 250 ms, ≤ 3x");
    row(QStringLiteral("choose window: list of 5,000 markers"), markers, markersFloor, "≤ 3x");
    row(QStringLiteral("SpeedPanel of %L1 files: longest stall").arg(hugeCount), huge, hugeFloor,
        "≤ 200 ms");
    readingFigures(main, waiter, root, quick);
    return 0;
}
