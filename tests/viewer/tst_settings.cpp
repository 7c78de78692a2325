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

private slots:
    void init()
    {
        m_file = m_dir.path() + QStringLiteral("/Tarvol/Pagora.conf");
        QFile::remove(m_file);
        QDir(m_file).removeRecursively(); // a test may have put a folder there
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
