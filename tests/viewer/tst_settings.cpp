// SPDX-License-Identifier: MIT
#include "library.h"
#include "settingsstore.h"
#include "startpage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file;

    void writeRaw(const QByteArray &content)
    {
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.flush();
        // Settings files are cached by size and time; two quick writes of one size must
        // still look different.
        static int age = 0;
        f.setFileTime(QDateTime::currentDateTime().addSecs(--age),
                      QFileDevice::FileModificationTime);
    }

    QStringList keptCopies() const
    {
        return QDir(QFileInfo(m_file).path())
            .entryList({QFileInfo(m_file).fileName() + SettingsStore::keptCopyPrefix +
                        QStringLiteral("-*")},
                       QDir::Files, QDir::Name);
    }

    QByteArray bytes(const QString &file) const
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }

private slots:
    void init()
    {
        m_file = m_dir.path() + QStringLiteral("/Tarvol/Pagora.conf");
        // Also clears kept copies and a folder a test may have put where the file goes.
        QDir(QFileInfo(m_file).path()).removeRecursively();
    }

    void damagedFileIsKeptBeforeTheFirstWrite_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("nul and y-umlaut before an unclosed section")
            << QByteArray("\0", 1) + QByteArray("\xff[List\nLoad=C:\\\\X\\\\1.PGX\n");
        QTest::newRow("unclosed section") << QByteArray("[List\nHomepage=C:\\\\X\n");
        QTest::newRow("line without equals sign")
            << QByteArray("[List]\nHomepage=C:\\\\X\nmoja poznamka\n");
        QTest::newRow("hash line inside a group")
            << QByteArray("[List]\n# poznamka\nHomepage=C:\\\\X\n");
        QTest::newRow("windows-1250 bytes") << QByteArray("[List]\nHomepage=C:\\\\\x8eLT\xc1\n");
    }

    void damagedFileIsKeptBeforeTheFirstWrite()
    {
        QFETCH(QByteArray, content);
        QDir().mkpath(QFileInfo(m_file).path());
        writeRaw(content);
        const QString minuteBefore = QDateTime::currentDateTime().toString("yyyyMMdd-HHmm");
        QVERIFY(SettingsStore(m_file).write(SettingsStore::loadKey, QStringLiteral("Homepage")));
        const QString minuteAfter = QDateTime::currentDateTime().toString("yyyyMMdd-HHmm");
        const QStringList kept = keptCopies();
        QCOMPARE(kept.size(), 1);
        const QString prefix = QStringLiteral("Pagora.conf.poskodeny-");
        QVERIFY2(kept.first() == prefix + minuteBefore || kept.first() == prefix + minuteAfter,
                 qPrintable(kept.first()));
        QCOMPARE(bytes(QFileInfo(m_file).path() + QLatin1Char('/') + kept.first()), content);
        // Work goes on with the file the write made; it parses, so it is not kept again.
        QCOMPARE(SettingsStore(m_file).read(SettingsStore::loadKey, QString()),
                 QStringLiteral("Homepage"));
        QVERIFY(SettingsStore(m_file).write(SettingsStore::homepageKey, QStringLiteral("C:\\Y")));
        QCOMPARE(keptCopies().size(), 1);
    }

    void earlierKeptCopyIsNeverOverwritten()
    {
        QDir().mkpath(QFileInfo(m_file).path());
        const QDateTime now = QDateTime::currentDateTime();
        QStringList earlier;
        // A copy for this minute and the next, so the test holds across a minute's turn.
        for (const QDateTime &at : {now, now.addSecs(60)}) {
            const QString name = m_file + SettingsStore::keptCopyPrefix +
                                 at.toString(QStringLiteral("-yyyyMMdd-HHmm"));
            QFile f(name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("earlier " + name.toUtf8());
            earlier << name;
        }
        const QByteArray damaged("[List\nLoad=x\n");
        writeRaw(damaged);
        QVERIFY(SettingsStore(m_file).write(SettingsStore::loadKey, QStringLiteral("Homepage")));
        for (const QString &name : earlier)
            QCOMPARE(bytes(name), "earlier " + name.toUtf8());
        const QStringList kept = keptCopies();
        QCOMPARE(kept.size(), 3);
        int holdingTheDamage = 0;
        for (const QString &name : kept)
            holdingTheDamage +=
                bytes(QFileInfo(m_file).path() + QLatin1Char('/') + name) == damaged;
        QCOMPARE(holdingTheDamage, 1);
    }

    void unchangedValueLeavesTheFileAsItIs_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("damaged");
        QTest::newRow("comments")
            << QByteArray("; moja\n[List]\n; poznamka\nLoad=Homepage\nHomepage=C:\\\\X\n") << false;
        QTest::newRow("windows-1250 home page")
            << QByteArray("[List]\nHomepage=C:\\\\\x8eLT\xc1\nLoad=Homepage\n") << true;
        QTest::newRow("crlf and other groups")
            << QByteArray("[General]\r\nx=1\r\n\r\n[List]\r\nLoad=Homepage\r\n") << false;
    }

    void unchangedValueLeavesTheFileAsItIs()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, damaged);
        QDir().mkpath(QFileInfo(m_file).path());
        writeRaw(content);
        QCOMPARE(SettingsStore::parsesCleanly(content), !damaged);
        // What every exit writes.
        QVERIFY(SettingsStore(m_file).write(SettingsStore::loadKey, SettingsStore::homepageKey));
        QCOMPARE(bytes(m_file), content);
        QVERIFY(keptCopies().isEmpty());
    }

    void cleanFileIsNeverCopied_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("written by the program")
            << QByteArray("[List]\nHomepage=C:\\\\X\nLoad=Homepage\n");
        QTest::newRow("comments") << QByteArray("; moja\n[List]\n; poznamka\nLoad=x\n");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("utf-8 with bom") << QByteArray("\xef\xbb\xbf[List]\nHomepage=\xc5\xbd\n");
        QTest::newRow("continued line") << QByteArray("[List]\nHomepage=a\\\nb\nLoad=x\n");
    }

    void cleanFileIsNeverCopied()
    {
        QFETCH(QByteArray, content);
        QDir().mkpath(QFileInfo(m_file).path());
        writeRaw(content);
        QVERIFY(SettingsStore(m_file).write(SettingsStore::loadKey, QStringLiteral("Homepage")));
        QVERIFY2(keptCopies().isEmpty(), qPrintable(keptCopies().join(", ")));
    }

    void missingFileIsNotCopied()
    {
        QVERIFY(SettingsStore(m_file).write(SettingsStore::loadKey, QStringLiteral("Homepage")));
        QVERIFY(keptCopies().isEmpty());
    }

    void groupsAreKeptApart()
    {
        SettingsStore store(m_file);
        QVERIFY(
            store.write(QStringLiteral("View"), QStringLiteral("Zoom"), QStringLiteral("1.25")));
        QVERIFY(store.write(SettingsStore::loadKey, QStringLiteral("Homepage")));
        QCOMPARE(store.read(QStringLiteral("View"), QStringLiteral("Zoom"), QStringLiteral("1")),
                 QStringLiteral("1.25"));
        QCOMPARE(store.read(QStringLiteral("Zoom"), QStringLiteral("none")),
                 QStringLiteral("none"));
        QCOMPARE(store.read(QStringLiteral("View"), SettingsStore::loadKey, QStringLiteral("none")),
                 QStringLiteral("none"));
        QCOMPARE(store.read(SettingsStore::listGroup, SettingsStore::loadKey, QString()),
                 QStringLiteral("Homepage"));
        const QByteArray text = bytes(m_file);
        QVERIFY2(text.contains("[View]\nZoom=1.25") && text.contains("[List]\nLoad=Homepage"),
                 text.constData());
    }

    void fileFollowsXdgConfigHome()
    {
        QCOMPARE(SettingsStore::defaultFile(),
                 qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Tarvol/Pagora.conf"));
    }

    void absentKeyGivesTheDefault()
    {
        SettingsStore store(m_file);
        QCOMPARE(store.read(SettingsStore::loadKey, QStringLiteral("dflt")),
                 QStringLiteral("dflt"));
    }

    void storedStringsComeBackUnchanged_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("empty") << QString();
        QTest::newRow("windows path") << library::defaultHomePage;
        QTest::newRow("quotes") << QStringLiteral("\"C:\\a b\\c\" 'x'");
        QTest::newRow("ini punctuation") << QStringLiteral("a,b=c;d#e [List] k=v");
        QTest::newRow("leading at") << QStringLiteral("@Variant(x)");
        QTest::newRow("blanks around") << QStringLiteral("  medzery  ");
        QTest::newRow("slovak") << QStringLiteral("Ďaleký kôň úľ ťava ŽIADNA <žiadna>");
        QTest::newRow("control characters") << QStringLiteral("a\nb\tc\r\x01");
        QTest::newRow("long") << QString(10000, QLatin1Char('w'));
    }

    void storedStringsComeBackUnchanged()
    {
        QFETCH(QString, value);
        SettingsStore store(m_file);
        QVERIFY(store.write(SettingsStore::homepageKey, value));
        QCOMPARE(SettingsStore(m_file).read(SettingsStore::homepageKey, QStringLiteral("dflt")),
                 value);
    }

    void fileIsIniTextInGroupList()
    {
        SettingsStore store(m_file);
        QVERIFY(store.write(SettingsStore::loadKey, QStringLiteral("Homepage")));
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY2(text.contains("[List]") && text.contains("Load=Homepage"), text.constData());
    }

    void handEditedFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("garbage") << QByteArray("\x00\x01\xff[[[\n===\n[List\nLoad=x\n", 24)
                                 << QStringLiteral("dflt");
        QTest::newRow("unquoted commas")
            << QByteArray("[List]\nLoad=a, b,c\n") << QStringLiteral("a,b,c");
        QTest::newRow("invalid utf-8")
            << QByteArray("[List]\nLoad=\xff\xfe\n") << QStringLiteral("\uFFFD\uFFFD");
    }

    void handEditedFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QDir().mkpath(QFileInfo(m_file).path());
        writeRaw(content);
        QCOMPARE(SettingsStore(m_file).read(SettingsStore::loadKey, QStringLiteral("dflt")),
                 expected);
        // Writing over a damaged file repairs it rather than failing.
        QVERIFY(SettingsStore(m_file).write(SettingsStore::loadKey, QStringLiteral("Homepage")));
        QCOMPARE(SettingsStore(m_file).read(SettingsStore::loadKey, QString()),
                 QStringLiteral("Homepage"));
    }

    void unwritableStoreIsReported()
    {
        // A folder where the file should be: unreadable and unwritable even for root.
        QVERIFY(QDir().mkpath(m_file));
        SettingsStore store(m_file);
        QCOMPARE(store.read(SettingsStore::loadKey, QStringLiteral("dflt")),
                 QStringLiteral("dflt"));
        QVERIFY(!store.write(SettingsStore::loadKey, QStringLiteral("Homepage")));
    }

    void startPage_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("captionSet");

        QTest::newRow("nothing stored") << QByteArray() << library::defaultHomePage << true;
        QTest::newRow("load is Homepage, homepage stored")
            << QByteArray("[List]\nLoad=Homepage\nHomepage=C:\\\\X\\\\1.PGX\n")
            << QStringLiteral("C:\\X\\1.PGX") << true;
        QTest::newRow("empty homepage is used as is")
            << QByteArray("[List]\nHomepage=\n") << QString() << true;
        QTest::newRow("load in other letter case is an address")
            << QByteArray("[List]\nLoad=homepage\nHomepage=C:\\\\X\n") << QStringLiteral("homepage")
            << false;
        QTest::newRow("load is an address") << QByteArray("[List]\nLoad=http://example.invalid/\n")
                                            << QStringLiteral("http://example.invalid/") << false;
        QTest::newRow("load is empty") << QByteArray("[List]\nLoad=\n") << QString() << false;
    }

    void startPage()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, address);
        QFETCH(bool, captionSet);
        if (!stored.isEmpty()) {
            QDir().mkpath(QFileInfo(m_file).path());
            writeRaw(stored);
        }
        const StartPage start = chooseStartPage(SettingsStore(m_file));
        QCOMPARE(start.address, address);
        QCOMPARE(start.pageCaption.has_value(), captionSet);
        if (captionSet)
            QCOMPARE(*start.pageCaption, address);
    }

    void composedPathsAreJoinedVerbatim()
    {
        QCOMPARE(library::pagePath(QStringLiteral("KNIHA "), QStringLiteral("3 X.PGX")),
                 QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA \\3 X.PGX"));
        QCOMPARE(library::openingPagePath(QStringLiteral("KNIHA.BKX")),
                 QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA.BKX\\1 UVOD.PGX"));
        QCOMPARE(library::aboutPagePath(library::noBook),
                 QStringLiteral("C:\\TARVOL\\PAGORA\\<žiadna>\\2 O PROGRAME.PGX"));
        QCOMPARE(library::bookFolder(QString()), QStringLiteral("C:\\TARVOL\\PAGORA\\"));
        QCOMPARE(library::pagePath(QStringLiteral("K"), QString()),
                 QStringLiteral("C:\\TARVOL\\PAGORA\\K\\"));
    }
};

int main(int argc, char *argv[])
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QCoreApplication app(argc, argv);
    TestSettings test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_settings.moc"
