// SPDX-License-Identifier: MIT
// The library search on a generated library of 10,000 pages of about 5 KB of Slovak text:
// first indexing, a refresh with nothing changed, queries from the typed text to the filled
// list, and the longest stall of the user-interface thread while the index is built.
#include "librarysearch.h"
#include "searchindex.h"
#include "searchquery.h"
#include "searchresultmodel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

const char *const words[] = {
    "kôň",    "Ľadová",     "cesta",  "kapitola", "príroda", "čerešňa",   "ďatelina", "hora",
    "rieka",  "mesto",      "dedina", "kniha",    "list",    "človek",    "žena",     "muž",
    "dieťa",  "škola",      "učiteľ", "slnko",    "mesiac",  "hviezda",   "voda",     "oheň",
    "zem",    "vzduch",     "strom",  "kvet",     "tráva",   "vták",      "ryba",     "more",
    "jazero", "pole",       "lúka",   "cesta",    "most",    "hrad",      "zámok",    "kostol",
    "ulica",  "námestie",   "pieseň", "báseň",    "príbeh",  "rozprávka", "história", "veda",
    "umenie", "práca",      "radosť", "smútok",   "láska",   "priateľ",   "domov",    "večer",
    "ráno",   "zima",       "leto",   "jeseň",    "jar",     "sneh",      "dážď",     "vietor",
    "búrka",  "ticho",      "hlas",   "slovo",    "veta",    "odsek",     "ťava",     "ňufák",
    "ľalia",  "žltý",       "ôsmy",   "äno",      "úbočie",  "výhľad",    "pečiatka", "šťastie",
    "Tatry",  "Bratislava", "Košice", "Žilina"};

QString sentence(QRandomGenerator &random, int length)
{
    QString text;
    for (int i = 0; i < length; ++i) {
        if (i)
            text += QLatin1Char(' ');
        text += QString::fromUtf8(words[random.bounded(int(std::size(words)))]);
    }
    text[0] = text[0].toUpper();
    return text + QLatin1Char('.');
}

void makeLibrary(const QString &root, int books, int pagesPerBook)
{
    QRandomGenerator random(20261207);
    for (int b = 0; b < books; ++b) {
        const QString book = QStringLiteral("KNIHA %1").arg(b, 3, 10, QLatin1Char('0'));
        QDir().mkpath(root + QLatin1Char('/') + book);
        QFile(root + QLatin1Char('/') + book + QStringLiteral(".BKX")).open(QIODevice::WriteOnly);
        for (int p = 0; p < pagesPerBook; ++p) {
            QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>") +
                           sentence(random, 4) +
                           QStringLiteral("</title><style>p{margin:0}</style></head><body>");
            while (html.size() < 4800)
                html += QStringLiteral("<p>") + sentence(random, 12) + QStringLiteral("</p>\n");
            html += QStringLiteral("</body></html>");
            QFile f(root + QLatin1Char('/') + book + QStringLiteral("/%1 STRANA.PGX").arg(p + 1));
            if (f.open(QIODevice::WriteOnly))
                f.write(html.toUtf8());
        }
    }
}

struct Figures
{
    std::vector<double> ms;
    double median() const
    {
        std::vector<double> v = ms;
        std::sort(v.begin(), v.end());
        return v.empty()      ? 0
               : v.size() % 2 ? v[v.size() / 2]
                              : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    }
    double min() const { return ms.empty() ? 0 : *std::min_element(ms.begin(), ms.end()); }
    double max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

void row(const char *figure, const Figures &f, const char *target)
{
    std::printf("| %s | %.1f ms | %.1f ms | %.1f ms | %zu | %s | — | — | — | %s |\n", figure,
                f.median(), f.min(), f.max(), f.ms.size(),
                qPrintable(QGuiApplication::platformName()), target);
}

// CPU time of the whole process or of this thread: on a shared machine the wall-clock
// figures include waiting for a core; these show what the work itself costs.
double cpuMs(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // PAGORA_BENCH_DIR keeps the generated library for another run; the index is made anew.
    QTemporaryDir temp;
    const QString folder = qEnvironmentVariableIsEmpty("PAGORA_BENCH_DIR")
                               ? temp.path()
                               : qEnvironmentVariable("PAGORA_BENCH_DIR");
    const QString root = folder + QStringLiteral("/PAGORA");
    const QString cache = folder + QStringLiteral("/cache");
    QDir(cache).removeRecursively();
    if (!QFileInfo::exists(root))
        makeLibrary(root, 50, 200);

    Figures first, stall, unchanged, query, firstCpu, unchangedCpu, queryCpu, busy;
    {
        LibrarySearch search(root, cache);
        // The user-interface thread's 10 ms timer: its longest gap while the index is built.
        QElapsedTimer tick;
        double longest = 0;
        // The same gaps in CPU time of the UI thread: its own work, without the waiting
        // for a core that a shared machine adds.
        double longestBusy = 0;
        double tickCpu = cpuMs(CLOCK_THREAD_CPUTIME_ID);
        QTimer timer;
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            longest = std::max(longest, msSince(tick) - 10.0);
            tick.restart();
            const double now = cpuMs(CLOCK_THREAD_CPUTIME_ID);
            longestBusy = std::max(longestBusy, now - tickCpu);
            tickCpu = now;
        });
        // Searching while indexing is part of the load the user interface carries.
        SearchResultModel model;
        // The first rows a list shows, with their snippets, as the search window does.
        const auto fill = [&](const SearchQuery &q) {
            model.setHits(search.search(q).hits, [&search, q](const QVector<SearchHit> &hits) {
                return search.snippets(q, hits);
            });
            for (int i = 0; i < std::min(model.rowCount(), 12); ++i)
                model.data(model.index(i), SearchResultModel::HtmlRole);
        };
        QObject::connect(&search, &LibrarySearch::progress,
                         [&] { fill(SearchQuery::parse(QStringLiteral("kon ladov"))); });
        QElapsedTimer clock;
        QEventLoop loop;
        QObject::connect(&search, &LibrarySearch::refreshed, &loop, &QEventLoop::quit);
        const double cpuBefore = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        clock.start();
        tick.start();
        timer.start();
        search.refresh();
        loop.exec();
        first.ms.push_back(msSince(clock));
        firstCpu.ms.push_back(cpuMs(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore);
        stall.ms.push_back(std::max(0.0, longest));
        busy.ms.push_back(longestBusy);
        timer.stop();

        for (int i = 0; i < 7; ++i) {
            SearchIndex index(search.location());
            index.open();
            QElapsedTimer t;
            const double c = cpuMs(CLOCK_THREAD_CPUTIME_ID);
            t.start();
            index.refresh(root);
            unchanged.ms.push_back(msSince(t));
            unchangedCpu.ms.push_back(cpuMs(CLOCK_THREAD_CPUTIME_ID) - c);
        }

        const char *typed[] = {"k",
                               "ko",
                               "kon",
                               "kôň",
                               "kon lad",
                               "kon ladova",
                               "\"ladova cesta\"",
                               "ces",
                               "Tatry",
                               "zilina kos",
                               "stastie",
                               "p",
                               "pri",
                               "priroda hor",
                               "xyz",
                               "sneh dazd vie",
                               "\"kon hora\"",
                               "ulica nam",
                               "bratislava",
                               "c"};
        for (int round = 0; round < 5; ++round) {
            for (const char *text : typed) {
                QElapsedTimer t;
                const double c = cpuMs(CLOCK_THREAD_CPUTIME_ID);
                t.start();
                fill(SearchQuery::parse(QString::fromUtf8(text)));
                query.ms.push_back(msSince(t));
                queryCpu.ms.push_back(cpuMs(CLOCK_THREAD_CPUTIME_ID) - c);
            }
        }
    }

    std::printf("| figure | median | min | max | runs | platform | floor | floor median | ratio "
                "| target |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    row("search: first indexing, 10,000 pages of 5 KB", first, "≤ 10 s");
    row("search: refresh, nothing changed", unchanged, "≤ 300 ms");
    row("search: query, typed text to filled list", query, "≤ 30 ms median, ≤ 100 ms max");
    row("search: longest UI-thread stall while indexing", stall, "≤ 50 ms");
    row("search: first indexing, CPU time of all threads", firstCpu, "—");
    row("search: refresh, nothing changed, CPU time", unchangedCpu, "—");
    row("search: query, CPU time", queryCpu, "—");
    row("search: longest UI-thread work between two ticks while indexing (CPU)", busy, "—");
    return 0;
}
