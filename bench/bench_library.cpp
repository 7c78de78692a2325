// SPDX-License-Identifier: MIT
// How the library side scales: mapping page paths onto a large library, listing a big
// book, and answering page requests, per call. Prints table rows; run it through
// scripts/bench.sh.
#include "drivemap.h"
#include "filelistbox.h"
#include "pageaddress.h"
#include "pageresolver.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

#include <sys/time.h>

namespace {

constexpr int books = 200;
constexpr int pagesPerBook = 50;
constexpr int bigBookPages = 3000;
constexpr int hugeBookPages = 100000;

void writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(content);
}

constexpr int rounds = 5;

// Microseconds per call, one value per round.
QList<double> measure(int calls, const std::function<void(int)> &call)
{
    QList<double> perRound;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < calls; ++i)
            call(i);
        perRound << timer.nsecsElapsed() / 1000.0 / calls;
    }
    std::sort(perRound.begin(), perRound.end());
    return perRound;
}

void row(const char *what, const char *size, const QList<double> &v)
{
    std::printf("| %s (%s) | %.1f µs | %.1f µs | %.1f µs | %lld | — | — | — | — | — |\n", what,
                size, v.at(v.size() / 2), v.first(), v.last(), static_cast<long long>(v.size()));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir drive;
    qputenv("PAGORA_DRIVE_C", drive.path().toUtf8());
    const QString root = drive.path() + QStringLiteral("/TARVOL/PAGORA");

    QByteArray page = "<html><body><h1>Kapitola</h1>";
    while (page.size() < 100 * 1024)
        page += "<p>Ťažký kôň žerie ďatelinu, šťastný úľ v lete.</p>\n";
    page += "</body></html>";

    for (int b = 0; b < books; ++b) {
        const QString book = root + QStringLiteral("/KNIHA %1").arg(b);
        QDir().mkpath(book);
        writeFile(book + QStringLiteral(".BKX"), "");
        for (int p = 1; p <= pagesPerBook; ++p)
            writeFile(book + QStringLiteral("/%1 STRANA.PGX").arg(p), p == 1 ? page : "<p>x</p>");
    }
    const QString big = root + QStringLiteral("/VELKA");
    QDir().mkpath(big);
    for (int p = 1; p <= bigBookPages; ++p)
        writeFile(big + QStringLiteral("/%1 STRANA.PGX").arg(p), "<p>x</p>");

    const char *library = "200 books x 50 pages";

    row("map a page path, exact letter case", library, measure(2000, [](int i) {
            DriveMap::resolve(QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA %1\\%2 STRANA.PGX")
                                  .arg(i % books)
                                  .arg(i % pagesPerBook + 1));
        }));
    row("map a page path, other letter case", library, measure(500, [](int i) {
            DriveMap::resolve(QStringLiteral("c:\\tarvol\\pagora\\kniha %1\\%2 strana.pgx")
                                  .arg(i % books)
                                  .arg(i % pagesPerBook + 1));
        }));
    row("map a missing page", library, measure(500, [](int i) {
            DriveMap::resolve(QStringLiteral("C:\\TARVOL\\PAGORA\\<žiadna>\\%1 NIC.PGX").arg(i));
        }));
    row("list the books (*.BKX)", library,
        measure(20, [&](int) { FileListBox::listFiles(root, QStringLiteral("*.BKX")); }));
    row("list the pages of a big book (*.PGX)", "3000 pages",
        measure(20, [&](int) { FileListBox::listFiles(big, QStringLiteral("*.PGX")); }));
    const QUrl firstPage =
        PageAddress::fromNavigate(QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA 7\\1 STRANA.PGX"));
    row("answer a 100 KB page request (read, charset)", library,
        measure(200, [&](int) { PageResolver::answer(firstPage, true); }));
    const QUrl missing =
        PageAddress::fromNavigate(QStringLiteral("C:\\TARVOL\\PAGORA\\X\\1 UVOD.PGX"));
    row("answer a missing page (Slovak message)", library,
        measure(500, [&](int) { PageResolver::answer(missing, true); }));

    // A missing picture in a huge book: every lookup of a name not there in any letter
    // case used to list the whole folder.
    const QString huge = root + QStringLiteral("/OBROVSKA");
    QDir().mkpath(huge);
    for (int p = 1; p <= hugeBookPages; ++p)
        writeFile(huge + QStringLiteral("/%1 STRANA.PGX").arg(p), QByteArray());
    // Aged, as a book is that was not written this very second.
    const timeval old[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimes(QFile::encodeName(huge).constData(), old);
    row("map a missing picture (cached listing)", "100000 pages", measure(300, [](int i) {
            DriveMap::resolve(QStringLiteral("C:\\TARVOL\\PAGORA\\OBROVSKA\\OBR%1.GIF").arg(i));
        }));
    DriveMap::clearCache();
    QElapsedTimer first;
    first.start();
    DriveMap::resolve(QStringLiteral("C:\\TARVOL\\PAGORA\\OBROVSKA\\CHYBA.GIF"));
    row("map a missing picture, first lookup", "100000 pages", {first.nsecsElapsed() / 1000.0});
    return 0;
}
