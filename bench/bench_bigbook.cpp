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
#include "library.h"
#include "loadpaint.h"
#include "pageschemehandler.h"
#include "picturebutton.h"
#include "probe.h"
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

} // namespace

int main(int argc, char *argv[])
{
    registerPageScheme();
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QTemporaryDir scratch;
    qputenv("PAGORA_DRIVE_C", scratch.path().toUtf8() + "/drive_c");
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
    return 0;
}
