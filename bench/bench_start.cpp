// SPDX-License-Identifier: MIT
// Start-up, hand-over, page switches, memory and the helper's start, each beside its floor
// measured in the same run: the real pagora (built with a probe) and plain programs that do
// only the bare minimum. Prints table rows; run it through scripts/bench.sh.
// PAGORA_BENCH_QUICK=1 makes fewer runs; PAGORA_BENCH_VIEWER names another probed pagora
// (relative to this program's folder) to compare builds; PAGORA_BENCH_START_ONLY=1 measures
// the start and the hand-over alone.
#include "builtinbook.h"
#include "probe.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMultiHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>

namespace {

using Report = QMultiHash<QByteArray, qint64>;

struct Lab
{
    QString bin;   // where this program lies: floors/ and probe/ are beside it
    QString drive; // the library drive
    QString config;
    QString out;
    QString book = QStringLiteral("VYKON");
    QStringList pageFiles;
    QString homeFile;
};

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(content);
}

QByteArray picture(int size, QRgb colour)
{
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, (x * y) % 7 ? colour : qRgb(x % 256, y % 256, 90));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A book of 20 pages from 5 to 200 KB, each with two pictures and the book's stylesheet.
void makeBook(Lab &lab)
{
    const QString folder = lab.drive + QStringLiteral("/TARVOL/PAGORA/") + lab.book;
    writeFile(folder + QStringLiteral("/obr/a.png"), picture(200, qRgb(200, 40, 40)));
    writeFile(folder + QStringLiteral("/obr/b.png"), picture(120, qRgb(40, 90, 200)));
    writeFile(folder + QStringLiteral("/styl/kniha.css"),
              "body{font-family:serif;margin:2em;background:#fdf8ec}h1{color:#803}"
              "p{line-height:1.4}img{float:right;margin:0 0 1em 1em}");
    writeFile(lab.drive + QStringLiteral("/TARVOL/PAGORA/") + lab.book + QStringLiteral(".BKX"),
              "");
    constexpr int pages = 20;
    for (int p = 1; p <= pages; ++p) {
        const int size = 5 * 1024 + (195 * 1024) * (p - 1) / (pages - 1);
        QByteArray html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                          "<link rel=\"stylesheet\" href=\"styl/kniha.css\"></head><body>"
                          "<h1>Kapitola " +
                          QByteArray::number(p) +
                          "</h1><img src=\"obr/a.png\"><img src=\"obr/b.png\">";
        while (html.size() < size)
            html += "<p>Ťažký kôň žerie ďatelinu, šťastný úľ v lete; Ľadová pieseň nad "
                    "Tatrami znie.</p>\n";
        html += "</body></html>";
        const QString file = folder + QStringLiteral("/%1 STRANA %2.PGX").arg(p).arg(p);
        writeFile(file, html);
        lab.pageFiles << file;
    }
}

Report readReport(const QString &file)
{
    Report report;
    QFile f(file);
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : f.readAll().split('\n')) {
            const int space = line.indexOf(' ');
            if (space > 0)
                report.insert(line.left(space), line.mid(space + 1).toLongLong());
        }
    }
    return report;
}

// Runs one program to its end; returns its report with "start" (the clock before the start).
Report run(const Lab &lab, const QString &program, const QStringList &args,
           const QMap<QString, QString> &extraEnv, const QByteArray &waitFor = {})
{
    QFile::remove(lab.out);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PAGORA_DRIVE_C"), lab.drive);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), lab.config);
    env.insert(QStringLiteral("PAGORA_PROBE_OUT"), lab.out);
    for (auto it = extraEnv.cbegin(); it != extraEnv.cend(); ++it)
        env.insert(it.key(), it.value());
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    const qint64 start = probe::now();
    process.start(lab.bin + QLatin1Char('/') + program, args);
    if (!process.waitForFinished(600000)) {
        std::fprintf(stderr, "%s did not finish\n", qPrintable(program));
        process.kill();
        process.waitForFinished();
    }
    // Something it started may still be writing.
    for (int i = 0; !waitFor.isEmpty() && i < 400 && !readReport(lab.out).contains(waitFor); ++i)
        QThread::msleep(50);
    Report report = readReport(lab.out);
    report.insert("start", start);
    return report;
}

struct Stats
{
    QList<double> values;
    double median() const
    {
        if (values.isEmpty())
            return 0;
        QList<double> v = values;
        std::sort(v.begin(), v.end());
        const qsizetype n = v.size();
        return n % 2 ? v.at(n / 2) : (v.at(n / 2 - 1) + v.at(n / 2)) / 2;
    }
    double min() const
    {
        return values.isEmpty() ? 0 : *std::min_element(values.begin(), values.end());
    }
    double max() const
    {
        return values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end());
    }
};

QString platform()
{
    const QString p = qEnvironmentVariable("QT_QPA_PLATFORM");
    return p.isEmpty() ? QStringLiteral("xcb") : p;
}

void row(const char *figure, const char *unit, const Stats &s, const char *floorName,
         const Stats *floor, const char *target)
{
    auto fmt = [&](double v) {
        return QStringLiteral("%1 %2").arg(v, 0, 'f', 1).arg(QLatin1String(unit));
    };
    const QString median = s.values.isEmpty() ? QStringLiteral("failed") : fmt(s.median());
    QString floorMedian = QStringLiteral("—");
    QString ratio = QStringLiteral("—");
    if (floor) {
        floorMedian = floor->values.isEmpty() ? QStringLiteral("failed") : fmt(floor->median());
        if (!floor->values.isEmpty() && floor->median() > 0 && !s.values.isEmpty())
            ratio = QStringLiteral("%1x").arg(s.median() / floor->median(), 0, 'f', 2);
    }
    std::printf("| %s | %s | %s | %s | %lld | %s | %s | %s | %s | %s |\n", figure,
                qPrintable(median),
                qPrintable(s.values.isEmpty() ? QStringLiteral("—") : fmt(s.min())),
                qPrintable(s.values.isEmpty() ? QStringLiteral("—") : fmt(s.max())),
                static_cast<long long>(s.values.size()), qPrintable(platform()), floorName,
                qPrintable(floorMedian), qPrintable(ratio), target);
    std::fflush(stdout);
}

double ms(qint64 ns)
{
    return ns / 1e6;
}

// Adds a - b (in ms) when both were noted.
void addSpan(Stats &s, const Report &r, const QByteArray &a, const QByteArray &b)
{
    if (r.contains(a) && r.contains(b))
        s.values << ms(r.value(a) - r.value(b));
}

void addAll(Stats &s, const Report &r, const QByteArray &key, double scale)
{
    const QList<qint64> values = r.values(key);
    for (qint64 v : values)
        s.values << v * scale;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const bool quick = qEnvironmentVariableIntValue("PAGORA_BENCH_QUICK") != 0;
    const int runs = quick ? 2 : 5;
    const int switches = quick ? 30 : 100;
    const int longSwitches = quick ? 100 : 500;
    const QString viewer =
        qEnvironmentVariable("PAGORA_BENCH_VIEWER", QStringLiteral("probe/pagora"));
    const bool startOnly = qEnvironmentVariableIntValue("PAGORA_BENCH_START_ONLY") != 0;

    QTemporaryDir scratch;
    Lab lab;
    lab.bin = QCoreApplication::applicationDirPath();
    lab.drive = scratch.path() + QStringLiteral("/drive_c");
    lab.config = scratch.path() + QStringLiteral("/config");
    lab.out = scratch.path() + QStringLiteral("/report.txt");
    qputenv("PAGORA_DRIVE_C", lab.drive.toUtf8());
    QDir().mkpath(lab.drive);
    QString error;
    if (!builtinbook::install(&error))
        qFatal("%s", qPrintable(error));
    lab.homeFile = lab.drive + QStringLiteral("/TARVOL/PAGORA/TARVOL PAGORA/1 UVOD.PGX");
    makeBook(lab);

    const QMap<QString, QString> exitAfterPaint{
        {QStringLiteral("PAGORA_PROBE_EXIT"), QStringLiteral("1")}};
    QMap<QString, QString> viewerEnv{
        {QStringLiteral("PAGORA_PROBE_BOOK"), lab.book},
        {QStringLiteral("PAGORA_PROBE_SWITCHES"), QString::number(startOnly ? 0 : switches)}};
    if (!startOnly)
        viewerEnv.insert(QStringLiteral("PAGORA_PROBE_HELP"), QStringLiteral("1"));
    QStringList viewArgs{lab.homeFile, QString::number(startOnly ? 0 : switches)};
    viewArgs += lab.pageFiles;

    Stats intro, bare, linked, handover, bareHandover, preloadedHandover, switchTimes, bareSwitch,
        schemeSwitch;
    Stats pssHome, barePssHome, helpStart, helpPss, barePss;
    // Interleaved, so a burst of load on the machine hits every program alike.
    for (int r = 0; r < runs; ++r) {
        const Report w =
            run(lab, QStringLiteral("floors/barewindow"), {}, exitAfterPaint, "barewindow.done");
        addSpan(bare, w, "barewindow.painted", "start");
        addAll(barePss, w, "barewindow.pss", 1 / 1024.0);
        const Report l = run(lab, QStringLiteral("floors/barewindow_linked"), {}, exitAfterPaint,
                             "barewindow_linked.done");
        addSpan(linked, l, "barewindow_linked.painted", "start");
        const Report p =
            run(lab, viewer, {}, viewerEnv, startOnly ? QByteArray() : QByteArray("help.done"));
        addSpan(intro, p, "Pagora.painted", "start");
        addAll(handover, p, "handover", 1e-6);
        addAll(switchTimes, p, "switch", 1e-6);
        addAll(pssHome, p, "pss_home", 1 / 1024.0);
        addSpan(helpStart, p, "help.painted", "help_click");
        addAll(helpPss, p, "help.pss", 1 / 1024.0);
        const Report v = run(lab, QStringLiteral("floors/bareview"), viewArgs, {}, "done");
        addAll(bareHandover, v, "handover", 1e-6);
        addAll(bareSwitch, v, "switch", 1e-6);
        addAll(barePssHome, v, "pss_home", 1 / 1024.0);
        const Report pre =
            run(lab, QStringLiteral("floors/bareview"), {lab.homeFile, QStringLiteral("0")},
                {{QStringLiteral("PAGORA_FLOOR_PRELOADED"), QStringLiteral("1")}}, "done");
        addAll(preloadedHandover, pre, "handover", 1e-6);
        if (!startOnly) {
            const Report s =
                run(lab, QStringLiteral("floors/bareview"), viewArgs,
                    {{QStringLiteral("PAGORA_FLOOR_SCHEME"), QStringLiteral("1")}}, "done");
            addAll(schemeSwitch, s, "switch", 1e-6);
        }
    }

    row("intro on screen (process start to first paint)", "ms", intro,
        "bare window linked to the engine", &linked, "≤ 1.1x");
    row("intro on screen, against a bare window", "ms", intro, "bare window", &bare, "—");
    row("bare window linked to the engine", "ms", linked, "bare window", &bare, "—");
    row("hand-over (second tick to home page painted)", "ms", handover,
        "bare view created, same page", &bareHandover, "≤ 30 ms");
    row("hand-over, against a plain window that loaded its view hidden", "ms", handover,
        "plain window with its view, shown", &preloadedHandover, "≤ 1.2x");
    if (startOnly)
        return 0;
    row("page switch (SpeedPanel to page painted)", "ms", switchTimes,
        "bare view, same files as file:", &bareSwitch, "≤ 1.1x");
    row("page switch, against the smallest page scheme", "ms", switchTimes,
        "bare view, same files through a custom scheme", &schemeSwitch, "—");
    row("bare view, smallest page scheme", "ms", schemeSwitch,
        "bare view, same files as file:", &bareSwitch, "—");
    row("memory after the home page (PSS, all processes)", "MiB", pssHome, "bare view, same page",
        &barePssHome, "≤ 1.15x");

    // Memory growth over a long reading session, in one run each.
    Stats growth, bareGrowth;
    viewerEnv.insert(QStringLiteral("PAGORA_PROBE_SWITCHES"), QString::number(longSwitches));
    viewerEnv.remove(QStringLiteral("PAGORA_PROBE_HELP"));
    const Report p = run(lab, viewer, {}, viewerEnv);
    viewArgs[1] = QString::number(longSwitches);
    const Report v = run(lab, QStringLiteral("floors/bareview"), viewArgs, {}, "done");
    auto percent = [](Stats &s, const Report &r) {
        if (r.contains("pss_home") && r.contains("pss_after") && r.value("pss_home") > 0)
            s.values << 100.0 * (r.value("pss_after") - r.value("pss_home")) / r.value("pss_home");
    };
    percent(growth, p);
    percent(bareGrowth, v);
    const QByteArray growthName =
        "memory growth after " + QByteArray::number(longSwitches) + " switches (PSS)";
    row(growthName.constData(), "%", growth, "bare view, same loads", &bareGrowth, "< 10 %");
    row("help: memory after start (PSS)", "MiB", helpPss, "bare window", &barePss, "≤ 60 MiB");
    row("helper start (\"Pomocník\" click to help painted)", "ms", helpStart,
        "bare window, process start", &bare, "≤ 2x");
    return 0;
}
