// SPDX-License-Identifier: MIT
// What the browser pane costs: time from starting the engine to the first page shown, later
// page loads, and the memory of this process and the engine's helper processes afterwards.
// Prints a table; run it through scripts/bench.sh.
#include "browserpane.h"
#include "pageschemehandler.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {

// A kB field of /proc/<pid>/<file> in MiB; 0 when the process is gone.
double fieldMiB(qint64 pid, const char *file, const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file)));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

double residentMiB(qint64 pid)
{
    return fieldMiB(pid, "status", "VmRSS:");
}

// Proportional share: shared libraries counted once across the processes, not per process.
double proportionalMiB(qint64 pid)
{
    return fieldMiB(pid, "smaps_rollup", "Pss:");
}

qint64 parentOf(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("PPid:"))
            return line.mid(5).trimmed().toLongLong();
    }
    return -1;
}

// The engine's renderer and zygote processes descend from this one.
double descendantsMiB(qint64 root, int *count, double (*measure)(qint64))
{
    double total = 0;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number || pid == root)
            continue;
        for (qint64 p = parentOf(pid); p > 1; p = parentOf(p)) {
            if (p == root) {
                total += measure(pid);
                ++*count;
                break;
            }
        }
    }
    return total;
}

bool load(BrowserPane &pane, const QString &address)
{
    QEventLoop loop;
    bool finished = false;
    const auto done = QObject::connect(&pane, &BrowserPane::loadFinished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    pane.Navigate(address);
    loop.exec();
    QObject::disconnect(done);
    return finished;
}

void row(const char *what, double value, const char *unit)
{
    std::printf("| %-52s | %10.1f %-3s |\n", what, value, unit);
}

void memoryRows(const char *when)
{
    int helpers = 0;
    const double own = residentMiB(::getpid());
    const double others = descendantsMiB(::getpid(), &helpers, residentMiB);
    int ignored = 0;
    const double proportional =
        proportionalMiB(::getpid()) + descendantsMiB(::getpid(), &ignored, proportionalMiB);
    char label[128];
    std::snprintf(label, sizeof label, "RSS %s: this process", when);
    row(label, own, "MiB");
    std::snprintf(label, sizeof label, "RSS %s: %d engine helper processes", when, helpers);
    row(label, others, "MiB");
    std::snprintf(label, sizeof label, "RSS %s: together", when);
    row(label, own + others, "MiB");
    std::snprintf(label, sizeof label, "PSS %s: together (shared pages once)", when);
    row(label, proportional, "MiB");
}

} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    registerPageScheme();
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("PAGORA_DRIVE_C", PAGORA_TEST_DATA "/web");
    QApplication app(argc, argv);
    const double appMs = sinceStart.nsecsElapsed() / 1e6;

    const QString first = QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\1 UVOD.PGX");
    const QString second = QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\2 UTF8.PGX");
    const QString missing = QStringLiteral("C:\\TARVOL\\PAGORA\\<žiadna>\\2 O PROGRAME.PGX");

    std::printf("| %-52s | %14s |\n", "measure", "value");
    std::printf("|%s|%s|\n", QByteArray(54, '-').constData(), QByteArray(16, '-').constData());
    row("process start to QApplication", appMs, "ms");
    memoryRows("before the engine");

    QElapsedTimer timer;
    timer.start();
    BrowserPane pane;
    pane.resize(800, 600);
    pane.show();
    const double paneMs = timer.nsecsElapsed() / 1e6;
    if (!load(pane, first))
        qFatal("the first page did not load");
    const double firstMs = timer.nsecsElapsed() / 1e6;
    row("BrowserPane constructed and shown", paneMs, "ms");
    row("engine start to first loadFinished (cp1250 page)", firstMs, "ms");

    // Later loads: best of several, alternating pages so that none is a no-op.
    double best = 1e9;
    double bestMissing = 1e9;
    for (int i = 0; i < 10; ++i) {
        timer.restart();
        load(pane, i % 2 ? first : second);
        best = std::min(best, timer.nsecsElapsed() / 1e6);
        timer.restart();
        load(pane, missing);
        bestMissing = std::min(bestMissing, timer.nsecsElapsed() / 1e6);
    }
    row("later page load, best of 10", best, "ms");
    row("missing page (Slovak message), best of 10", bestMissing, "ms");
    memoryRows("after 21 loads");
    return 0;
}
