// SPDX-License-Identifier: MIT
// The reader's own state file: what it keeps, how it writes, what it survives, and the
// [View] group an older version left in the settings file.
#include "readingpages.h"
#include "readingstore.h"
#include "settingsstore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

Bookmark mark(const QString &id, const QString &book, const QString &page, const QString &note = {})
{
    return Bookmark{id,
                    book,
                    page,
                    QStringLiteral("Nadpis"),
                    QPointF(0, 120),
                    note,
                    QDateTime::currentDateTimeUtc()};
}

QStringList ids(const ReadingState &state)
{
    QStringList out;
    for (const Bookmark &b : state.bookmarks)
        out << b.id;
    return out;
}

} // namespace

class TestReadingStore : public QObject
{
    Q_OBJECT

private slots:
    void keepsWhatItIsGiven()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("state/pagora/reading.json");
        const QString odd = QStringLiteral("a#b?%20 & <x> \"'ľščťž\t\u202e.PGX");
        const QString longNote = QString(10000, QChar(u'ô'));
        {
            ReadingStore store(file);
            QVERIFY(store.change([&](ReadingState &s) {
                s.zoom = 1.5;
                s.bookZoom.insert(QStringLiteral("KNIHA"), 2.0);
                s.places.insert(QStringLiteral("KNIHA"),
                                {QStringLiteral("3 X.PGX"), QPointF(0, 480.5), {}});
                s.bookmarks.append(
                    mark(QStringLiteral("1"), QStringLiteral("KNIHA"), odd, longNote));
                s.history.append({QStringLiteral("KNIHA"), odd, QStringLiteral("T"), {}});
                s.nightReading = true;
            }));
        }
        // A person can read it: indented JSON text.
        const QByteArray text = readAll(file);
        QVERIFY(text.contains("\"nightReading\": true"));
        const ReadingStore again(file);
        const ReadingState &s = again.state();
        QCOMPARE(s.zoom.value_or(0), 1.5);
        QCOMPARE(s.bookZoom.value(QStringLiteral("KNIHA")), 2.0);
        QCOMPARE(s.places.value(QStringLiteral("KNIHA")).scroll, QPointF(0, 480.5));
        QCOMPARE(s.bookmarks.size(), 1);
        QCOMPARE(s.bookmarks.first().page, odd);
        QCOMPARE(s.bookmarks.first().note, longNote);
        QCOMPARE(s.history.first().page, odd);
        QVERIFY(s.nightReading);
    }

    void laterChangesAreWrittenTogether()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("reading.json");
        ReadingStore store(file);
        store.changeLater([](ReadingState &s) { s.zoom = 2.0; });
        // Seen at once, on disk within a second.
        QCOMPARE(store.state().zoom.value_or(0), 2.0);
        QVERIFY(!QFile::exists(file));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file), 5000);
        QCOMPARE(ReadingStore(file).state().zoom.value_or(0), 2.0);
    }

    void damagedFileIsKeptAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("cut off") << QByteArray("{\"version\": 1, \"bookmarks\": [");
        QTest::newRow("not JSON") << QByteArray("[List]\nLoad=Homepage\n");
        QTest::newRow("an array") << QByteArray("[1, 2, 3]");
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe{", 4);
    }
    void damagedFileIsKeptAside()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString file = dir.filePath("reading.json");
        writeAll(file, content);
        ReadingStore store(file);
        QVERIFY(store.state().bookmarks.isEmpty());
        const QStringList kept =
            QDir(dir.path()).entryList({QStringLiteral("reading.json.poskodeny-*")}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(readAll(dir.filePath(kept.first())), content);
        // The program goes on and writes a good file.
        QVERIFY(store.change([](ReadingState &s) { s.bookmarks.append(mark("a", "K", "P")); }));
        QCOMPARE(ids(ReadingStore(file).state()), QStringList{"a"});
    }

    void entriesBrokenByHandAreLeftOut()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("reading.json");
        writeAll(file, R"({"zoom": "veľký", "books": {"K": {"zoom": 40, "page": 7,
            "scroll": {"y": -5}}, "L": {"page": "1 UVOD.PGX", "scroll": {"y": "weit"}}},
            "bookmarks": [{"id": "x"}, 5, {"id": "y", "page": "2 A.PGX", "note": 3}],
            "history": [null, {"page": "3 B.PGX"}]})");
        const ReadingStore store(file);
        const ReadingState &s = store.state();
        QVERIFY(!s.zoom);
        QCOMPARE(s.bookZoom.value(QStringLiteral("K")), 3.0);
        QVERIFY(!s.places.contains(QStringLiteral("K")));
        QCOMPARE(s.places.value(QStringLiteral("L")).scroll, QPointF(0, 0));
        QCOMPARE(ids(s), QStringList{"y"});
        QCOMPARE(s.history.size(), 1);
    }

    void writeIsAtomic()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("reading.json");
        ReadingStore store(file);
        QVERIFY(store.change([](ReadingState &s) { s.bookmarks.append(mark("a", "K", "P")); }));
        const QByteArray before = readAll(file);
        // A file size limit stands for a full disk (root included): the write fails midway.
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit saved = limit;
        limit.rlim_cur = rlim_t(before.size() + 100);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        const bool written = store.change([](ReadingState &s) {
            s.bookmarks.append(mark("b", "K", "Q", QString(10000, QLatin1Char('n'))));
        });
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &saved), 0);
        QVERIFY(!written);
        QCOMPARE(readAll(file), before);
        // Shown as the reader made it, and written with the next change.
        QCOMPARE(ids(store.state()), (QStringList{"a", "b"}));
        QVERIFY(store.change([](ReadingState &s) { s.bookmarks.append(mark("c", "K", "R")); }));
        QCOMPARE(ids(ReadingStore(file).state()), (QStringList{"a", "b", "c"}));
        // No temporary file is left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"reading.json"}));
    }

    void unwritableFolderLosesNothingShown()
    {
        QTemporaryDir dir;
        // A file where the folder should be: nothing can ever be written there.
        writeAll(dir.filePath("state"), "x");
        ReadingStore store(dir.filePath("state/pagora/reading.json"));
        for (int i = 0; i < 1000; ++i)
            store.changeLater([i](ReadingState &s) {
                s.history.prepend({QStringLiteral("K"), QString::number(i), {}, {}});
            });
        QVERIFY(!store.flush());
        QVERIFY(!store.change([](ReadingState &s) { s.bookmarks.append(mark("a", "K", "P")); }));
        QCOMPARE(store.state().history.size(), 1000);
        QCOMPARE(store.state().history.first().page, QStringLiteral("999"));
        QCOMPARE(ids(store.state()), QStringList{"a"});
    }

    void twoProgramsKeepEachOthersBookmarks()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("reading.json");
        ReadingStore first(file);
        ReadingStore second(file); // read before the first one wrote anything
        QVERIFY(first.change([](ReadingState &s) { s.bookmarks.append(mark("a", "K", "1")); }));
        QVERIFY(second.change([](ReadingState &s) { s.bookmarks.append(mark("b", "K", "2")); }));
        second.changeLater([](ReadingState &s) { s.nightReading = true; });
        QVERIFY(first.change([](ReadingState &s) {
            s.bookmarks.removeIf([](const Bookmark &b) { return b.id == QLatin1String("a"); });
        }));
        QVERIFY(second.flush());
        const ReadingState s = ReadingStore(file).state();
        QCOMPARE(ids(s), QStringList{"b"});
        QVERIFY(s.nightReading);
    }

    void twoProcessesWritingAtOnce()
    {
        // Real processes racing: every bookmark of both survives.
        QTemporaryDir dir;
        const QString file = dir.filePath("reading.json");
        const int each = 40;
        QList<QProcess *> writers;
        for (const char *name : {"p", "q"}) {
            auto *p = new QProcess(this);
            p->setProcessChannelMode(QProcess::ForwardedChannels);
            p->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--writer"), file, QString::fromLatin1(name),
                      QString::number(each)});
            writers << p;
        }
        for (QProcess *p : writers) {
            QVERIFY(p->waitForFinished(60000));
            QCOMPARE(p->exitCode(), 0);
        }
        QCOMPARE(ReadingStore(file).state().bookmarks.size(), 2 * each);
    }

    void hugeHistoryIsCutNotChoked()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("reading.json");
        ReadingState big;
        for (int i = 0; i < 100000; ++i)
            big.history.append({QStringLiteral("K"), QStringLiteral("%1.PGX").arg(i), {}, {}});
        writeAll(file, ReadingStore::toJson(big));
        QElapsedTimer timer;
        timer.start();
        ReadingStore store(file);
        QCOMPARE(store.state().history.size(), ReadingStore::maxHistory);
        QCOMPARE(store.state().history.first().page, QStringLiteral("0.PGX"));
        QVERIFY(store.change([](ReadingState &s) {
            s.history.prepend({QStringLiteral("K"), QStringLiteral("nový.PGX"), {}, {}});
        }));
        QCOMPARE(ReadingStore(file).state().history.size(), ReadingStore::maxHistory);
        QVERIFY2(timer.elapsed() < 20000, "no hang");
    }

    void viewGroupMovesOut_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<double>("zoom");
        // Windows-1250 "Domovská stránka" in a comment and a value, as a hand-written file has.
        const QByteArray cp1250 = "; Dom\xf4vsk\xe1 str\xe1nka\n";
        QTest::newRow("written by the older version")
            << QByteArray(
                   "[List]\nHomepage=C:\\\\A\\\\1 UVOD.PGX\nLoad=Homepage\n\n[View]\nZoom=1.25\n")
            << QByteArray("[List]\nHomepage=C:\\\\A\\\\1 UVOD.PGX\nLoad=Homepage\n\n") << 1.25;
        QTest::newRow("view first, comments and Windows-1250 stay")
            << QByteArray("; moje nastavenia\n[View]\n; lupa\nZoom=2\n") + cp1250 +
                   "[List]\r\nLoad=Homepage\r\nHomepage=C:\\\\N\xe1vod\\\\1 UVOD.PGX\r\n"
            << QByteArray("; moje nastavenia\n; lupa\n") + cp1250 +
                   "[List]\r\nLoad=Homepage\r\nHomepage=C:\\\\N\xe1vod\\\\1 UVOD.PGX\r\n"
            << 2.0;
        QTest::newRow("hand-written comma, no end of line")
            << QByteArray("[View]\nZoom=1,5\n[List]\nLoad=Homepage")
            << QByteArray("[List]\nLoad=Homepage") << 1.5;
        QTest::newRow("quoted by QSettings")
            << QByteArray("[View]\nZoom=\"1,25\"\n") << QByteArray() << 1.25;
        QTest::newRow("no view group: nothing changes")
            << QByteArray("[List]\nLoad=Homepage\n; [View]\n")
            << QByteArray("[List]\nLoad=Homepage\n; [View]\n") << 0.0;
    }
    void viewGroupMovesOut()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QByteArray, expected);
        QFETCH(double, zoom);
        QTemporaryDir dir;
        const QString conf = dir.filePath("Pagora.conf");
        writeAll(conf, settings);
        const QDateTime before = QFileInfo(conf).lastModified();
        const SettingsStore store(conf);
        ReadingStore reading(dir.filePath("reading.json"));
        QVERIFY(reading.takeOverViewGroup(store));
        QCOMPARE(readAll(conf), expected);
        QCOMPARE(reading.state().zoom.value_or(0.0), zoom);
        if (zoom > 0) {
            QCOMPARE(ReadingStore(dir.filePath("reading.json")).state().zoom.value_or(0), zoom);
        } else {
            QCOMPARE(QFileInfo(conf).lastModified(), before);
        }
        // Once only: a second start finds nothing to move.
        QVERIFY(reading.takeOverViewGroup(store));
        QCOMPARE(readAll(conf), expected);
    }

    void turnOrder_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("turn");
        QTest::addColumn<int>("row");
        const int moved = int(readingpages::Turn::Moved);
        QTest::newRow("next of the shown page") << 0 << "2 B.PGX" << 1 << moved << 2;
        QTest::newRow("previous") << -1 << "2 B.PGX" << -1 << moved << 0;
        QTest::newRow("shown in another letter case") << -1 << "1 uvod.pgx" << 1 << moved << 1;
        QTest::newRow("label of the about command") << -1 << "O programe.PGX" << 1 << moved << 0;
        QTest::newRow("selected when nothing matches") << 1 << "" << 1 << moved << 2;
        QTest::newRow("nothing known: the first page") << -1 << "<žiadny>" << 1 << moved << 0;
        QTest::newRow("nothing known, previous")
            << -1 << "<žiadny>" << -1 << int(readingpages::Turn::AtStart) << -1;
        QTest::newRow("last page") << -1 << "3 C.PGX" << 1 << int(readingpages::Turn::AtEnd) << 2;
        QTest::newRow("first page")
            << -1 << "1 UVOD.PGX" << -1 << int(readingpages::Turn::AtStart) << 0;
    }
    void turnOrder()
    {
        QFETCH(int, selected);
        QFETCH(QString, shown);
        QFETCH(int, step);
        QFETCH(int, turn);
        QFETCH(int, row);
        const QStringList names{"1 UVOD.PGX", "2 B.PGX", "3 C.PGX"};
        const auto result = readingpages::neighbour(names, selected, shown, step);
        QCOMPARE(int(result.turn), turn);
        QCOMPARE(result.row, row);
        QCOMPARE(int(readingpages::neighbour({}, -1, shown, 1).turn),
                 int(readingpages::Turn::NoPages));
    }

    void libraryPageOfAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("book");
        QTest::addColumn<QString>("page");
        QTest::newRow("page") << "C:\\TARVOL\\PAGORA\\KNIHA\\1 UVOD.PGX"
                              << "KNIHA"
                              << "1 UVOD.PGX";
        QTest::newRow("letter case") << "c:\\tarvol\\pagora\\K\\x.pgx"
                                     << "K"
                                     << "x.pgx";
        QTest::newRow("deeper") << "C:\\TARVOL\\PAGORA\\K\\obr\\a.PGX"
                                << ""
                                << "";
        QTest::newRow("the library") << "C:\\TARVOL\\PAGORA\\K"
                                     << ""
                                     << "";
        QTest::newRow("elsewhere") << "C:\\INE\\K\\1.PGX"
                                   << ""
                                   << "";
        QTest::newRow("web") << "https://example.org/"
                             << ""
                             << "";
    }
    void libraryPageOfAddress()
    {
        QFETCH(QString, address);
        QFETCH(QString, book);
        QFETCH(QString, page);
        const auto found = readingpages::fromAddress(address);
        QCOMPARE(found ? found->book : QString(), book);
        QCOMPARE(found ? found->page : QString(), page);
    }
};

// Started by twoProcessesWritingAtOnce: adds bookmarks one by one, each its own write.
static int runWriter(const QStringList &args)
{
    const QString file = args.value(2);
    const QString name = args.value(3);
    const int count = args.value(4).toInt();
    ReadingStore store(file);
    for (int i = 0; i < count; ++i) {
        const QString id = name + QString::number(i);
        if (!store.change([&](ReadingState &s) { s.bookmarks.append(mark(id, "K", id)); }))
            return 1;
    }
    return 0;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == QLatin1String("--writer"))
        return runWriter(app.arguments());
    TestReadingStore test;
    return QTest::qExec(&test, QStringList{app.arguments().first()} + app.arguments().mid(1));
}

#include "tst_readingstore.moc"
