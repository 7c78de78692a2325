// SPDX-License-Identifier: MIT
// The library search on a library of real books (bench/make-corpus.sh), beside its floors
// and a desktop search engine indexing the same pages:
//   floors: reading and parsing every page with libxml2 alone, and inserting the already
//           extracted text into an FTS5 table alone, both measured in this run;
//   peer:   recollindex and recollq (Debian's recollcmd) on the same pages, when installed.
// Usage: bench_corpus LIBRARY_FOLDER [LABEL]. Prints table rows, the hit counts of the
// queries for both among them.
#include "librarysearch.h"
#include "pagetext.h"
#include "searchindex.h"
#include "searchquery.h"
#include "searchresultmodel.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <libxml/HTMLparser.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Figures
{
    std::vector<double> v;
    double median() const
    {
        std::vector<double> s = v;
        std::sort(s.begin(), s.end());
        return s.empty()      ? 0
               : s.size() % 2 ? s[s.size() / 2]
                              : (s[s.size() / 2 - 1] + s[s.size() / 2]) / 2;
    }
    double min() const { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }
    double max() const { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }
};

QString label;

void row(const QString &figure, const Figures &f, const char *unit, const QString &floor,
         double floorValue, const char *target)
{
    const QString platform = QGuiApplication::platformName();
    QString floorCells = QStringLiteral("— | — | —");
    if (!floor.isEmpty() && floorValue > 0)
        floorCells = QStringLiteral("%1 | %2 %3 | %4x")
                         .arg(floor)
                         .arg(floorValue, 0, 'f', 1)
                         .arg(QString::fromUtf8(unit))
                         .arg(f.median() / floorValue, 0, 'f', 2);
    std::printf("| %s (%s) | %.1f %s | %.1f %s | %.1f %s | %zu | %s | %s | %s |\n",
                qPrintable(figure), qPrintable(label), f.median(), unit, f.min(), unit, f.max(),
                unit, f.v.size(), qPrintable(platform), qPrintable(floorCells), target);
    std::fflush(stdout);
}

double cpuMs(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double childrenCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// Resident memory of this process, in MiB.
double residentMiB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * sysconf(_SC_PAGESIZE) / 1048576.0 : 0;
}

qint64 sizeOnDisk(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile())
        return info.size();
    qint64 total = 0;
    QDirIterator it(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}

QStringList pagesOf(const QString &library)
{
    QStringList pages;
    const QDir root(library);
    for (const QString &marker : root.entryList({QStringLiteral("*.BKX")}, QDir::Files)) {
        const QDir book(root.filePath(marker.left(marker.size() - 4)));
        for (const QString &page : book.entryList({QStringLiteral("*.PGX")}, QDir::Files))
            pages += book.filePath(page);
    }
    return pages;
}

// What the pages cost with libxml2 alone: read and parse, on as many threads as the index
// uses, nothing kept.
double parseFloor(const QStringList &pages)
{
    xmlInitParser();
    QThreadPool pool;
    QElapsedTimer t;
    t.start();
    QtConcurrent::blockingMap(&pool, pages, [](const QString &path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return;
        const QByteArray bytes = f.readAll();
        const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                            HTML_PARSE_NONET | HTML_PARSE_NOBLANKS;
        if (htmlDocPtr doc =
                htmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, nullptr, options))
            xmlFreeDoc(doc);
    });
    return msSince(t);
}

// What the FTS5 table alone costs for text already extracted: the same table, the same
// batches, one thread.
double insertFloor(const QVector<PageText> &texts, const QString &file)
{
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(file + QLatin1String(suffix));
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(file).constData(), &db);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; "
                 "CREATE VIRTUAL TABLE text USING fts5(book UNINDEXED, page UNINDEXED, title, "
                 "body, aside, tokenize='unicode61 remove_diacritics 2', prefix='2')",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(
        db, "INSERT INTO text(book, page, title, body, aside) VALUES('b', 'p', ?1, ?2, ?3)", -1,
        &insert, nullptr);
    std::vector<QByteArray> utf8;
    for (const PageText &text : texts) {
        utf8.push_back(text.title.toUtf8());
        utf8.push_back(text.body.toUtf8());
        utf8.push_back(text.aside.toUtf8());
    }
    QElapsedTimer t;
    t.start();
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i % 200 == 0)
            sqlite3_exec(db, i ? "COMMIT; BEGIN" : "BEGIN", nullptr, nullptr, nullptr);
        const QByteArray &title = utf8[3 * i];
        const QByteArray &body = utf8[3 * i + 1];
        const QByteArray &aside = utf8[3 * i + 2];
        sqlite3_bind_text(insert, 1, title.constData(), int(title.size()), SQLITE_STATIC);
        sqlite3_bind_text(insert, 2, body.constData(), int(body.size()), SQLITE_STATIC);
        sqlite3_bind_text(insert, 3, aside.constData(), int(aside.size()), SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const double ms = msSince(t);
    sqlite3_finalize(insert);
    sqlite3_close(db);
    return ms;
}

// Typed as a reader of these books would: Czech words without their diacritics, a phrase,
// a prefix still being typed, the manual's words.
const char *const queries[] = {"bunka",
                               "sesit",
                               "tabulka",
                               "tabul",
                               "zalozka",
                               "\"format bunek\"",
                               "vlozit obrazek",
                               "pismo",
                               "retezec",
                               "makro",
                               "graf",
                               "bytearray",
                               "dictionary",
                               "asyncio",
                               "\"list comprehension\"",
                               "decorator",
                               "pripojit",
                               "sloupec radek",
                               "k",
                               "xyzzy"};

// The same query in recollq's language: the last word still being typed is a beginning for
// us, and needs its star there.
QString forPeer(const char *typed)
{
    const QString text = QString::fromUtf8(typed);
    if (text.endsWith(QLatin1Char('"')) || text.section(QLatin1Char(' '), -1).size() < 2)
        return text;
    return text + QLatin1Char('*');
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_corpus LIBRARY_FOLDER [LABEL]\n");
        return 2;
    }
    const QString library = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const bool quick = qEnvironmentVariableIsSet("PAGORA_BENCH_QUICK");
    const QStringList pages = pagesOf(library);
    if (pages.isEmpty()) {
        std::fprintf(stderr, "bench_corpus: no books in %s\n", qPrintable(library));
        return 2;
    }
    qint64 htmlBytes = 0;
    for (const QString &p : pages)
        htmlBytes += QFileInfo(p).size();
    label =
        argc > 2
            ? QString::fromLocal8Bit(argv[2])
            : QStringLiteral("%L1 real pages, %2 MB").arg(pages.size()).arg(htmlBytes / 1000000);
    QTemporaryDir temp;
    const QString cache = temp.path() + QStringLiteral("/cache");

    // Every figure reads the pages from memory: read them once before anything is timed.
    for (const QString &p : pages) {
        QFile f(p);
        if (f.open(QIODevice::ReadOnly))
            while (!f.read(1 << 20).isEmpty()) {
            }
    }

    Figures parse, first, firstCpu, stall, bareStall, busy, unchanged, query, memory, unchangedCpu,
        queryCpu;
    // PAGORA_BENCH_REUSE_INDEX=file (one kept with PAGORA_BENCH_KEEP_INDEX) measures only the
    // refresh and the queries on it: for profiling them without indexing a big library again.
    const QString reuse = qEnvironmentVariable("PAGORA_BENCH_REUSE_INDEX");
    if (reuse.isEmpty()) {
        parse.v.push_back(parseFloor(pages));
    } else {
        QDir().mkpath(cache);
        QFile::copy(reuse, SearchIndex::fileFor(cache, library));
    }

    double rest = 0, peak = 0;
    SearchIndex::RefreshStats stats;
    {
        LibrarySearch search(library, cache);
        rest = residentMiB();
        peak = rest;
        QElapsedTimer tick;
        double longest = 0, longestBusy = 0;
        double tickCpu = cpuMs(CLOCK_THREAD_CPUTIME_ID);
        QTimer timer;
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            longest = std::max(longest, msSince(tick) - 10.0);
            tick.restart();
            const double now = cpuMs(CLOCK_THREAD_CPUTIME_ID);
            longestBusy = std::max(longestBusy, now - tickCpu);
            tickCpu = now;
            peak = std::max(peak, residentMiB());
        });
        SearchResultModel model;
        const auto fill = [&](const SearchQuery &q) {
            model.setHits(search.search(q).hits, [&search, q](const QVector<SearchHit> &hits) {
                return search.snippets(q, hits);
            });
            for (int i = 0; i < std::min(model.rowCount(), 12); ++i)
                model.data(model.index(i), SearchResultModel::HtmlRole);
        };
        // The reader searches while the index is built.
        QObject::connect(&search, &LibrarySearch::progress,
                         [&] { fill(SearchQuery::parse(QStringLiteral("bunka"))); });
        // What the machine alone makes a thread wait: one that only sleeps and wakes, at the
        // user interface's priority, through the same indexing.
        std::atomic_bool indexing{true};
        double bareLongest = 0;
        std::thread bare([&] {
            while (indexing) {
                QElapsedTimer slept;
                slept.start();
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                bareLongest = std::max(bareLongest, msSince(slept) - 10.0);
            }
        });
        QEventLoop loop;
        QObject::connect(&search, &LibrarySearch::refreshed, &loop, &QEventLoop::quit);
        const double cpuBefore = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        QElapsedTimer clock;
        clock.start();
        tick.start();
        timer.start();
        search.refresh();
        loop.exec();
        first.v.push_back(msSince(clock));
        indexing = false;
        bare.join();
        bareStall.v.push_back(bareLongest);
        firstCpu.v.push_back(cpuMs(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore);
        stall.v.push_back(std::max(0.0, longest));
        busy.v.push_back(longestBusy);
        timer.stop();
        stats = search.lastStats();
        memory.v.push_back(peak - rest);

        for (int i = 0; i < (quick ? 3 : 7); ++i) {
            SearchIndex index(search.location());
            index.open();
            QElapsedTimer t;
            const double c = cpuMs(CLOCK_THREAD_CPUTIME_ID);
            t.start();
            index.refresh(library);
            unchanged.v.push_back(msSince(t));
            unchangedCpu.v.push_back(cpuMs(CLOCK_THREAD_CPUTIME_ID) - c);
        }
        for (int round = 0; round < (quick ? 2 : 5); ++round) {
            for (const char *text : queries) {
                QElapsedTimer t;
                const double c = cpuMs(CLOCK_THREAD_CPUTIME_ID);
                t.start();
                fill(SearchQuery::parse(QString::fromUtf8(text)));
                query.v.push_back(msSince(t));
                queryCpu.v.push_back(cpuMs(CLOCK_THREAD_CPUTIME_ID) - c);
            }
        }
    }
    if (!reuse.isEmpty()) {
        label += QStringLiteral(", index reused");
        row(QStringLiteral("search: refresh, nothing changed"), unchanged, "ms", {}, 0, "≤ 1 s");
        row(QStringLiteral("search: query, typed text to filled list"), query, "ms", {}, 0,
            "≤ 30 ms median, ≤ 100 ms max");
        row(QStringLiteral("search: refresh, nothing changed, CPU time"), unchangedCpu, "ms", {}, 0,
            "—");
        row(QStringLiteral("search: query, CPU time"), queryCpu, "ms", {}, 0, "—");
        return 0;
    }
    const QString indexFile = SearchIndex::fileFor(cache, library);
    // What a reader finds on disk once the program has ended: the log folded into the file.
    {
        sqlite3 *db = nullptr;
        sqlite3_open(QFile::encodeName(indexFile).constData(), &db);
        sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    // PAGORA_BENCH_KEEP_INDEX=file keeps a copy of the index, to study its tables.
    if (!qEnvironmentVariableIsEmpty("PAGORA_BENCH_KEEP_INDEX")) {
        QFile::remove(qEnvironmentVariable("PAGORA_BENCH_KEEP_INDEX"));
        QFile::copy(indexFile, qEnvironmentVariable("PAGORA_BENCH_KEEP_INDEX"));
    }
    const double indexMB =
        (sizeOnDisk(indexFile) + sizeOnDisk(indexFile + QStringLiteral("-wal"))) / 1e6;

    // The text the index holds, extracted outside any timing, then inserted alone.
    QVector<PageText> texts(pages.size());
    QThreadPool pool;
    std::vector<int> order(pages.size());
    for (int i = 0; i < int(pages.size()); ++i)
        order[i] = i;
    QtConcurrent::blockingMap(&pool, order, [&](int i) {
        QFile f(pages.at(i));
        if (f.open(QIODevice::ReadOnly))
            texts[i] = PageText::fromHtml(f.readAll());
    });
    double textMB = 0;
    for (const PageText &t : texts)
        textMB +=
            (t.title.toUtf8().size() + t.body.toUtf8().size() + t.aside.toUtf8().size()) / 1e6;
    Figures insert;
    insert.v.push_back(insertFloor(texts, temp.path() + QStringLiteral("/floor.sqlite")));
    texts.clear();
    texts.squeeze();

    Figures size;
    size.v.push_back(indexMB);
    Figures sizeRatio;
    sizeRatio.v.push_back(indexMB / textMB);

    // The peer: recollindex on the same pages (books' own folders of pictures and scripts
    // skipped), then recollq for the same queries.
    const QString recollindex = QStandardPaths::findExecutable(QStringLiteral("recollindex"));
    const QString recollq = QStandardPaths::findExecutable(QStringLiteral("recollq"));
    Figures peerIndex, peerCpu, peerQuery, peerSize;
    QStringList counts;
    if (!recollindex.isEmpty() && !recollq.isEmpty()) {
        const QString config = temp.path() + QStringLiteral("/recoll");
        QDir().mkpath(config);
        QFile conf(config + QStringLiteral("/recoll.conf"));
        conf.open(QIODevice::WriteOnly);
        conf.write("topdirs = " + QFile::encodeName(library) +
                   "\nskippedNames = zdroje *.BKX\nindexedmimetypes = text/html\n"
                   "loglevel = 1\n");
        conf.close();
        QFile mimemap(config + QStringLiteral("/mimemap"));
        mimemap.open(QIODevice::WriteOnly);
        mimemap.write(".pgx = text/html\n");
        mimemap.close();
        QProcess index;
        index.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const double cpu = childrenCpuMs();
        QElapsedTimer t;
        t.start();
        index.start(recollindex, {QStringLiteral("-c"), config, QStringLiteral("-z")});
        index.waitForFinished(-1);
        peerIndex.v.push_back(msSince(t));
        peerCpu.v.push_back(childrenCpuMs() - cpu);
        peerSize.v.push_back(sizeOnDisk(config + QStringLiteral("/xapiandb")) / 1e6);

        SearchIndex ours(indexFile);
        ours.open();
        for (int round = 0; round < (quick ? 1 : 3); ++round) {
            for (const char *text : queries) {
                QProcess q;
                QElapsedTimer qt;
                qt.start();
                q.start(recollq, {QStringLiteral("-c"), config, QStringLiteral("-b"),
                                  QStringLiteral("-n"), QStringLiteral("0-100000"), forPeer(text)});
                q.waitForFinished(-1);
                peerQuery.v.push_back(msSince(qt));
                if (round == 0) {
                    const int peerHits = int(q.readAllStandardOutput().count('\n'));
                    const auto mine =
                        ours.search(SearchQuery::parse(QString::fromUtf8(text)), 1000000);
                    // A row of the table: our count beside the peer's, for the same query.
                    counts +=
                        QStringLiteral("| hits for `%1` (%2) | %3 pages | — | — | 1 | %4 | "
                                       "recollq `%5` | %6 pages | %7 | ≥ 1x peer |")
                            .arg(QString::fromUtf8(text), label)
                            .arg(mine.total)
                            .arg(QGuiApplication::platformName(), forPeer(text))
                            .arg(peerHits)
                            .arg(peerHits ? QString::number(double(mine.total) / peerHits, 'f', 2) +
                                                QLatin1Char('x')
                                          : QStringLiteral("—"));
                }
            }
        }
    }

    const double floors = parse.median() + insert.median();
    row(QStringLiteral("search: first indexing"), first, "ms",
        QStringLiteral("libxml2 parse + FTS5 insert, same pages"), floors, "≤ 2x floors");
    if (!peerIndex.v.empty())
        row(QStringLiteral("search: first indexing, against the peer"), first, "ms",
            QStringLiteral("recollindex, same pages"), peerIndex.median(), "≤ 1x peer");
    row(QStringLiteral("floor: libxml2 read and parse alone, all cores"), parse, "ms", {}, 0, "—");
    row(QStringLiteral("floor: FTS5 insert of the extracted text alone"), insert, "ms", {}, 0, "—");
    row(QStringLiteral("search: first indexing, CPU time of all threads"), firstCpu, "ms",
        peerCpu.v.empty() ? QString() : QStringLiteral("recollindex CPU time"), peerCpu.median(),
        "—");
    row(QStringLiteral("search: longest UI-thread stall while indexing"), stall, "ms",
        QStringLiteral("a bare thread's longest late wake-up, same time"), bareStall.median(),
        "≤ 50 ms");
    row(QStringLiteral("search: longest UI-thread work between ticks while indexing (CPU)"), busy,
        "ms", {}, 0, "—");
    row(QStringLiteral("search: refresh, nothing changed"), unchanged, "ms", {}, 0, "≤ 1 s");
    row(QStringLiteral("search: query, typed text to filled list"), query, "ms",
        peerQuery.v.empty() ? QString() : QStringLiteral("recollq, same queries (a process each)"),
        peerQuery.median(), "≤ 30 ms median, ≤ 100 ms max, ≤ 1x peer");
    row(QStringLiteral("search: refresh, nothing changed, CPU time"), unchangedCpu, "ms", {}, 0,
        "—");
    row(QStringLiteral("search: query, CPU time"), queryCpu, "ms", {}, 0, "—");
    row(QStringLiteral("search: index size on disk"), size, "MB",
        peerSize.v.empty() ? QString() : QStringLiteral("recoll's index, same pages"),
        peerSize.median(), "—");
    Figures text;
    text.v.push_back(textMB);
    row(QStringLiteral("search: index size against the text it holds"), size, "MB",
        QStringLiteral("UTF-8 text of titles, bodies and navigation"), textMB, "≤ 1.5x");
    row(QStringLiteral("search: memory growth while indexing (resident, over rest)"), memory, "MiB",
        {}, 0, "≤ 100 MiB");
    for (const QString &line : counts)
        std::printf("%s\n", qPrintable(line));
    if (stats.read != stats.pages)
        std::fprintf(stderr, "bench_corpus: only %d of %d pages indexed\n", stats.read,
                     stats.pages);
    return 0;
}
