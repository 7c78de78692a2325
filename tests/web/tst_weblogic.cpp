// SPDX-License-Identifier: MIT
// The parts of the browser pane that need no engine: charset choice, address mapping,
// what the page scheme answers, and the Slovak message pages.
#include "charsetsniffer.h"
#include "engineswitches.h"
#include "messagepage.h"
#include "pageaddress.h"
#include "pageresolver.h"
#include "pageschemehandler.h"

#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString FixtureBook = QStringLiteral(PAGORA_TEST_DATA "/web/TARVOL/PAGORA/SKUSKA/");

QByteArray fixture(const QString &name)
{
    QFile f(FixtureBook + name);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return f.readAll();
}

QByteArray cp1250(const char *latin1WithEscapes)
{
    return QByteArray(latin1WithEscapes);
}

using Kind = PageResolver::Reply::Kind;

} // namespace

class TestWebLogic : public QObject
{
    Q_OBJECT

    QTemporaryDir m_temp;
    QString m_drive;

private slots:
    // Grants made by one test's navigations must not widen what the next one may read.
    void init() { PageAddress::forgetGrants(); }

    void charsetLabels_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("charset");

        const QByteArray slovakUtf8 = QStringLiteral("<p>ťažký šťava</p>").toUtf8();
        const QByteArray slovak1250 = cp1250("<p>\x8D\x61\x9E\x6B\xFD \x9A\x9D\x61va</p>");
        QTest::newRow("unknown label on utf-8 text")
            << "<meta charset=\"x-neznamy-42\">" + slovakUtf8 << QByteArray("utf-8");
        QTest::newRow("unknown label on cp1250 text")
            << "<meta charset=\"x-neznamy-42\">" + slovak1250 << QByteArray("windows-1250");
        QTest::newRow("unknown label in http-equiv")
            << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=neznama\">" +
                   slovakUtf8
            << QByteArray("utf-8");
        QTest::newRow("unknown xml encoding")
            << "<?xml version=\"1.0\" encoding=\"x-neznamy-42\"?>" + slovakUtf8
            << QByteArray("utf-8");
        QTest::newRow("unknown label, then a known one")
            << "<meta charset=\"x-neznamy-42\"><meta charset=\"windows-1250\">" + slovak1250
            << QByteArray();
        QTest::newRow("known alias cp1250")
            << "<meta charset=\"cp1250\">" + slovak1250 << QByteArray();
        QTest::newRow("known alias utf8") << "<meta charset=utf8>" + slovakUtf8 << QByteArray();
        QTest::newRow("empty label") << "<meta charset=\"\">" + slovakUtf8 << QByteArray("utf-8");
    }

    void charsetLabels()
    {
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, charset);
        QCOMPARE(CharsetSniffer::charsetFor(page), charset);
    }

    void pagesReadOnlyTheLibrary_data()
    {
        QTest::addColumn<QByteArray>("url");
        QTest::addColumn<bool>("asPage");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text"); // the served file below the drive, or message words

        const int content = int(Kind::Content);
        const int notFound = int(Kind::NotFound);
        const int message = int(Kind::Message);
        const QString missing = QStringLiteral("sa nepodarilo nájsť.");
        QTest::newRow("file at the drive root")
            << QByteArray("pgx://c/OUTSIDE.TXT") << false << notFound << QString();
        QTest::newRow("file at the drive root, as a page")
            << QByteArray("pgx://c/OUTSIDE.TXT") << true << message
            << QStringLiteral("Stránku „C:\\OUTSIDE.TXT“ sa nepodarilo nájsť.");
        QTest::newRow("drive root is not listed")
            << QByteArray("pgx://c/") << true << message
            << QStringLiteral("Stránku „C:\\“ sa nepodarilo nájsť.");
        QTest::newRow("folder above the library is not listed")
            << QByteArray("pgx://c/TARVOL/") << true << message << missing;
        QTest::newRow("encoded dots from the library")
            << QByteArray("pgx://c/TARVOL/PAGORA/%2e%2e/%2e%2e/OUTSIDE.TXT") << false << notFound
            << QString();
        QTest::newRow("other drive")
            << QByteArray("pgx://d/OUTSIDE.TXT") << false << notFound << QString();
        QTest::newRow("library root is listed")
            << QByteArray("pgx://c/tarvol/pagora/") << true << message
            << QStringLiteral("„C:\\tarvol\\pagora\\“ je priečinok, nie stránka.");
        QTest::newRow("book folder kept elsewhere through a link")
            << QByteArray("pgx://c/TARVOL/PAGORA/INDE/1%20uvod.pgx") << true << content
            << QStringLiteral("../inde/1 UVOD.PGX");
        QTest::newRow("link inside a book leading out of it")
            << QByteArray("pgx://c/TARVOL/PAGORA/SKUSKA/VON.PGX") << true << message
            << QStringLiteral("Stránka „C:\\TARVOL\\PAGORA\\SKUSKA\\VON.PGX“ vedie mimo "
                              "povoleného priečinka, a preto sa nezobrazí.");
        QTest::newRow("link inside a book leading out of it, as a picture")
            << QByteArray("pgx://c/TARVOL/PAGORA/SKUSKA/VON.PGX") << false << notFound << QString();
    }

    void pagesReadOnlyTheLibrary()
    {
        QFETCH(QByteArray, url);
        QFETCH(bool, asPage);
        QFETCH(int, kind);
        QFETCH(QString, text);

        const PageResolver::Reply reply =
            PageResolver::answer(QUrl::fromEncoded(url, QUrl::StrictMode), asPage);
        QCOMPARE(int(reply.kind), kind);
        if (reply.kind == Kind::Content) {
            QCOMPARE(reply.file, QFileInfo(m_drive + QLatin1Char('/') + text).canonicalFilePath());
        } else if (reply.kind == Kind::Message) {
            const QString body = QString::fromUtf8(reply.body);
            QVERIFY2(body.contains(text), qPrintable(body));
            QVERIFY(!body.contains(QLatin1String("OUTSIDE.TXT</a>")));
        }
    }

    void symlinkedLibraryRootIsServed()
    {
        // The whole library lives elsewhere and the drive only links to it.
        QTemporaryDir elsewhere;
        QVERIFY(testsupport::copyTree(QStringLiteral(PAGORA_TEST_DATA "/web/TARVOL/PAGORA"),
                                      elsewhere.path() + QStringLiteral("/PAGORA")));
        QTemporaryDir drive;
        QVERIFY(QDir().mkpath(drive.path() + QStringLiteral("/TARVOL")));
        QVERIFY(QFile::link(elsewhere.path() + QStringLiteral("/PAGORA"),
                            drive.path() + QStringLiteral("/TARVOL/PAGORA")));
        qputenv("PAGORA_DRIVE_C", drive.path().toUtf8());
        const PageResolver::Reply page = PageResolver::answer(
            QUrl(QStringLiteral("pgx://c/TARVOL/PAGORA/SKUSKA/2%20UTF8.PGX")), true);
        const PageResolver::Reply picture = PageResolver::answer(
            QUrl(QStringLiteral("pgx://c/TARVOL/PAGORA/SKUSKA/obr/logo.png")), false);
        const PageResolver::Reply outside =
            PageResolver::answer(QUrl(QStringLiteral("pgx://c/TARVOL/x")), false);
        qputenv("PAGORA_DRIVE_C", m_drive.toUtf8());
        QCOMPARE(int(page.kind), int(Kind::Content));
        QCOMPARE(page.contentType, QByteArray("text/html; charset=utf-8"));
        QCOMPARE(int(picture.kind), int(Kind::Content));
        QCOMPARE(int(outside.kind), int(Kind::NotFound));
    }

    void unreadableBookFolderSaysSo()
    {
        // Root reads every folder, so the check runs as nobody.
        QTemporaryDir temp;
        const QString book = temp.path() + QStringLiteral("/TARVOL/PAGORA/ZAMKNUTA");
        QVERIFY(QDir().mkpath(book));
        for (const QString &open : {temp.path(), temp.path() + QStringLiteral("/TARVOL"),
                                    temp.path() + QStringLiteral("/TARVOL/PAGORA")}) {
            QVERIFY(QFile::setPermissions(
                open, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
        }
        QFile page(book + QStringLiteral("/1 UVOD.PGX"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        QVERIFY(QFile::setPermissions(book, QFileDevice::Permissions()));
        qputenv("PAGORA_DRIVE_C", temp.path().toUtf8());
        const bool root = ::geteuid() == 0;
        if (root)
            QVERIFY(::setresuid(65534, 65534, 0) == 0); // access() asks the real user
        const PageResolver::Reply reply = PageResolver::answer(
            QUrl(QStringLiteral("pgx://c/TARVOL/PAGORA/ZAMKNUTA/1%20uvod.pgx")), true);
        const PageResolver::Reply exact = PageResolver::answer(
            QUrl(QStringLiteral("pgx://c/TARVOL/PAGORA/ZAMKNUTA/1%20UVOD.PGX")), true);
        if (root)
            QVERIFY(::setresuid(0, 0, 0) == 0);
        qputenv("PAGORA_DRIVE_C", m_drive.toUtf8());
        QFile::setPermissions(book, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const PageResolver::Reply &r : {reply, exact}) {
            QCOMPARE(int(r.kind), int(Kind::Message));
            const QString body = QString::fromUtf8(r.body);
            QVERIFY2(body.contains(QStringLiteral("<title>Stránku sa nepodarilo prečítať</title>")),
                     qPrintable(body));
        }
    }

    void localPaths_data()
    {
        QTest::addColumn<QString>("address"); // relative to the temporary folder
        QTest::addColumn<QString>("link");    // followed from the page, if any
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QString>("display"); // relative to the temporary folder
        QTest::addColumn<QString>("text");    // words of the message

        const int content = int(Kind::Content);
        const int notFound = int(Kind::NotFound);
        const int message = int(Kind::Message);
        QTest::newRow("page without a declared charset")
            << "/domov/domov.html" << QString() << content << QByteArray("text/html; charset=utf-8")
            << "/domov/domov.html" << QString();
        QTest::newRow("its picture, in other letter case")
            << "/domov/domov.html"
            << "OBR/logo.PNG" << content << QByteArray("image/png") << "/domov/OBR/logo.PNG"
            << QString();
        QTest::newRow("written with doubled slashes and a dot")
            << "/domov//./domov.html" << QString() << content
            << QByteArray("text/html; charset=utf-8") << "/domov//./domov.html" << QString();
        QTest::newRow("missing page")
            << "/domov/nie.html" << QString() << message << MessagePage::contentType()
            << "/domov/nie.html" << QStringLiteral("sa nepodarilo nájsť.");
        QTest::newRow("missing folder")
            << "/nikde/nie.html" << QString() << message << MessagePage::contentType()
            << "/nikde/nie.html" << QStringLiteral("sa nepodarilo nájsť.");
        QTest::newRow("sibling folder by dots stays below the page's folder")
            << "/domov/domov.html"
            << "../susedny/tajne.txt" << notFound << QByteArray() << "/domov/susedny/tajne.txt"
            << QString();
        QTest::newRow("sibling folder by encoded dots")
            << "/domov/domov.html"
            << "%2e%2e/susedny/tajne.txt" << notFound << QByteArray() << "/domov/susedny/tajne.txt"
            << QString();
        QTest::newRow("link inside the folder leading out")
            << "/domov/domov.html"
            << "von/tajne.txt" << notFound << QByteArray() << "/domov/von/tajne.txt" << QString();
        QTest::newRow("folder address lists its pages")
            << "/domov/" << QString() << message << MessagePage::contentType() << "/domov/"
            << QStringLiteral(">domov.html</a>");
        QTest::newRow("folder address without the slash")
            << "/domov" << QString() << message << MessagePage::contentType() << "/domov"
            << QStringLiteral("/domov/“ je priečinok, nie stránka.");
    }

    void localPaths()
    {
        QFETCH(QString, address);
        QFETCH(QString, link);
        QFETCH(int, kind);
        QFETCH(QByteArray, contentType);
        QFETCH(QString, display);
        QFETCH(QString, text);

        const QString folder = m_temp.path() + QStringLiteral("/lokalne");
        if (!QFileInfo::exists(folder + QStringLiteral("/domov"))) {
            QVERIFY(QDir().mkpath(folder + QStringLiteral("/domov/obr")));
            QVERIFY(QDir().mkpath(folder + QStringLiteral("/susedny")));
            QVERIFY(QFile::copy(FixtureBook + QStringLiteral("2 UTF8.PGX"),
                                folder + QStringLiteral("/domov/domov.html")));
            QVERIFY(QFile::copy(FixtureBook + QStringLiteral("obr/Logo.png"),
                                folder + QStringLiteral("/domov/obr/Logo.png")));
            QFile secret(folder + QStringLiteral("/susedny/tajne.txt"));
            QVERIFY(secret.open(QIODevice::WriteOnly));
            secret.write("tajné");
            secret.close();
            QVERIFY(QFile::link(folder + QStringLiteral("/susedny"),
                                folder + QStringLiteral("/domov/von")));
        }

        QUrl url = PageAddress::fromNavigate(folder + address);
        QVERIFY2(PageAddress::isLocalHost(url.host()), url.toEncoded().constData());
        QCOMPARE(PageAddress::messageKind(url), PageAddress::Message::None);
        if (!link.isEmpty())
            url = url.resolved(QUrl(link));
        QCOMPARE(PageAddress::displayAddress(url), folder + display);

        const PageResolver::Reply reply = PageResolver::answer(url, link.isEmpty());
        QCOMPARE(int(reply.kind), kind);
        QCOMPARE(reply.contentType, contentType);
        if (reply.kind == Kind::Content)
            QVERIFY(
                reply.file.startsWith(QDir(folder).canonicalPath() + QStringLiteral("/domov/")));
        if (reply.kind == Kind::Message) {
            const QString body = QString::fromUtf8(reply.body);
            QVERIFY2(body.contains(text), qPrintable(body));
        }
    }

    void localFoldersAreOriginsApart()
    {
        const QUrl a = PageAddress::fromNavigate(QStringLiteral("/srv/a/x.html"));
        const QUrl b = PageAddress::fromNavigate(QStringLiteral("/srv/b/x.html"));
        const QUrl again = PageAddress::fromNavigate(QStringLiteral("/srv/a/y.html"));
        QVERIFY(a.host() != b.host());
        QCOMPARE(again.host(), a.host());
        QVERIFY(a.host() != QLatin1String("c") && a.host() != PageAddress::messageHost());
        // A host nobody navigated to is no local folder, even when it looks like one.
        QVERIFY(!PageAddress::localFolder(QUrl(QStringLiteral("pgx://l0123456789abcdef/x")))
                     .has_value());
        QCOMPARE(int(PageResolver::answer(QUrl(QStringLiteral("pgx://l0123456789abcdef/x")), false)
                         .kind),
                 int(Kind::NotFound));
    }

    void mayRequest_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("initiator");
        QTest::addColumn<bool>("allowed");

        const QString local = PageAddress::fromNavigate(QStringLiteral("/srv/a/x.html")).toString();
        QTest::newRow("the program's own load")
            << "pgx://c/TARVOL/PAGORA/A/1.PGX" << QString() << true;
        QTest::newRow("book page, same drive") << "pgx://c/TARVOL/PAGORA/A/1.PGX"
                                               << "pgx://c" << true;
        QTest::newRow("local page, its own folder") << local << local << true;
        QTest::newRow("local page reaching into the library")
            << "pgx://c/TARVOL/PAGORA/A/obr.png" << local << false;
        QTest::newRow("book page reaching a local folder") << local << "pgx://c" << false;
        QTest::newRow("web page reaching the library") << "pgx://c/TARVOL/PAGORA/A/1.PGX"
                                                       << "http://127.0.0.1:8080" << false;
    }

    void mayRequest()
    {
        QFETCH(QString, url);
        QFETCH(QString, initiator);
        QFETCH(bool, allowed);
        QCOMPARE(PageSchemeHandler::mayRequest(QUrl(url), QUrl(initiator)), allowed);
    }

    void driveFolderOutsideTheLibrary()
    {
        // A home page kept outside the library still opens, with its own folder.
        QVERIFY(QDir().mkpath(m_drive + QStringLiteral("/DOKUMENTY/obr")));
        QVERIFY(QDir().mkpath(m_drive + QStringLiteral("/INE")));
        for (const char *name : {"/DOKUMENTY/domov.PGX", "/DOKUMENTY/obr/a.txt", "/INE/b.txt"}) {
            QFile f(m_drive + QLatin1String(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const auto ask = [](const QUrl &url) { return int(PageResolver::answer(url, false).kind); };
        QCOMPARE(ask(QUrl(QStringLiteral("pgx://c/DOKUMENTY/obr/a.txt"))), int(Kind::NotFound));
        const QUrl home = PageAddress::fromNavigate(QStringLiteral("C:\\Dokumenty\\domov.pgx"));
        QCOMPARE(home.path(), QStringLiteral("/Dokumenty/domov.pgx"));
        QCOMPARE(int(PageResolver::answer(home, true).kind), int(Kind::Content));
        const auto below = [&](const char *path) {
            QUrl url = home;
            url.setPath(QLatin1String(path));
            return url;
        };
        QCOMPARE(ask(below("/DOKUMENTY/obr/a.txt")), int(Kind::Content));
        QCOMPARE(ask(below("/INE/b.txt")), int(Kind::NotFound));
        QCOMPARE(ask(below("/OUTSIDE.TXT")), int(Kind::NotFound));
        QCOMPARE(ask(below("/TARVOL/PAGORA/SKUSKA/2%20UTF8.PGX")), int(Kind::NotFound));
        // The folder is an origin of its own: the library's origins do not read it.
        QCOMPARE(ask(QUrl(QStringLiteral("pgx://c/DOKUMENTY/obr/a.txt"))), int(Kind::NotFound));
        QUrl fromBook = PageAddress::fromNavigate(QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\"));
        fromBook.setPath(QStringLiteral("/DOKUMENTY/obr/a.txt"));
        QCOMPARE(ask(fromBook), int(Kind::NotFound));
    }

    void engineSwitchesKeepWhatIsGiven_data()
    {
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<QByteArray>("merged");

        const QByteArray ours = "--disable-shared-workers --disable-ipc-flooding-protection "
                                "--disable-blink-features=WebTransport";
        QTest::newRow("nothing given") << QByteArray() << ours;
        QTest::newRow("the tests' own switch")
            << QByteArray("--disable-gpu") << "--disable-gpu " + ours;
        QTest::newRow("a feature list of the user's joins ours")
            << QByteArray("--disable-blink-features=Foo  --no-sandbox")
            << QByteArray("--disable-blink-features=Foo,WebTransport --no-sandbox "
                          "--disable-shared-workers --disable-ipc-flooding-protection");
        QTest::newRow("already merged, nothing doubled") << ours << ours;
    }

    void engineSwitchesKeepWhatIsGiven()
    {
        QFETCH(QByteArray, given);
        QFETCH(QByteArray, merged);
        QCOMPARE(engineswitches::merged(given), merged);
        QCOMPARE(engineswitches::merged(engineswitches::merged(given)), merged);
    }

    void originsKeepBooksAndFoldersApart()
    {
        const auto host = [](const char *address) {
            return PageAddress::fromNavigate(QString::fromUtf8(address)).host();
        };
        const QString book = host("C:\\TARVOL\\PAGORA\\SKUSKA\\1 UVOD.PGX");
        QCOMPARE(host("c:\\tarvol\\pagora\\skuska\\2 utf8.pgx"), book);
        QCOMPARE(host("C:\\TARVOL\\PAGORA\\SKUSKA\\"), book);
        QCOMPARE(host("C:\\TARVOL\\PAGORA\\SKUSKA\\obr\\..\\1 UVOD.PGX"), book);
        const QString other = host("C:\\TARVOL\\PAGORA\\INA\\1 UVOD.PGX");
        const QString library = host("C:\\TARVOL\\PAGORA\\");
        const QString home = host("C:\\DOMOV\\domov.html");
        const QString elsewhere = host("C:\\INDE\\x.html");
        const QStringList all = {book, other, library, home, elsewhere};
        for (qsizetype i = 0; i < all.size(); ++i) {
            QVERIFY2(all.at(i).startsWith(QLatin1Char('c')), qPrintable(all.at(i)));
            for (qsizetype j = i + 1; j < all.size(); ++j)
                QVERIFY2(all.at(i) != all.at(j), qPrintable(all.at(i)));
        }
        QCOMPARE(host("C:\\DOMOV\\iny.html"), home);

        // A relative link from one book into another moves to the other book's origin, with
        // its path and place in the page; a picture of another book still loads.
        QUrl link = PageAddress::fromNavigate(QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\"))
                        .resolved(QUrl(QStringLiteral("../INA/2%20O%20PROGRAME.PGX#koniec")));
        QCOMPARE(link.host(), book);
        const QUrl moved = PageAddress::withOriginHost(link);
        QCOMPARE(moved.host(), other);
        QCOMPARE(moved.path(), QStringLiteral("/TARVOL/PAGORA/INA/2 O PROGRAME.PGX"));
        QCOMPARE(moved.fragment(), QStringLiteral("koniec"));
        QUrl picture = link;
        picture.setPath(QStringLiteral("/TARVOL/PAGORA/SKUSKA/obr/Logo.png"));
        picture.setHost(other);
        picture.setFragment(QString());
        QCOMPARE(int(PageResolver::answer(picture, false).kind), int(Kind::Content));
        // Pages of one origin never request another's.
        QVERIFY(!PageSchemeHandler::mayRequest(moved, link.adjusted(QUrl::RemovePath)));
        // Made-up hosts that look like ours are drive URLs, never a way into a folder.
        QUrl madeUp(QStringLiteral("pgx://c-0123456789abcdef/DOMOV/domov.html"));
        QCOMPARE(int(PageResolver::answer(madeUp, false).kind), int(Kind::NotFound));
    }

    void resolveBookFile_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("file"); // below the drive, when found

        const int found = int(DriveMap::Status::Found);
        const int outside = int(DriveMap::Status::Outside);
        QTest::newRow("book page, other letter case")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\2 utf8.pgx") << found
            << QStringLiteral("TARVOL/PAGORA/SKUSKA/2 UTF8.PGX");
        QTest::newRow("book kept elsewhere through a link")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\INDE\\1 UVOD.PGX") << found
            << QStringLiteral("../inde/1 UVOD.PGX");
        QTest::newRow("link inside a book leading out of it")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\VON.PGX") << outside << QString();
        QTest::newRow("file at the drive root")
            << QStringLiteral("C:\\OUTSIDE.TXT") << outside << QString();
        QTest::newRow("dots out of the library")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\..\\..\\OUTSIDE.TXT") << outside << QString();
        QTest::newRow("missing page") << QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\NIE.PGX")
                                      << int(DriveMap::Status::NotFound) << QString();
    }

    void resolveBookFile()
    {
        QFETCH(QString, address);
        QFETCH(int, status);
        QFETCH(QString, file);
        const DriveMap::Result result = PageResolver::resolveBookFile(address);
        QCOMPARE(int(result.status), status);
        if (!file.isEmpty())
            QCOMPARE(QFileInfo(result.path).canonicalFilePath(),
                     QFileInfo(m_drive + QLatin1Char('/') + file).canonicalFilePath());
    }

    void ownPagesFollowTheColourScheme_data()
    {
        QTest::addColumn<QByteArray>("page");
        const QString address = QStringLiteral("C:\\X\\A.PGX");
        QTest::newRow("not found") << MessagePage::notFound(address);
        QTest::newRow("folder") << MessagePage::folder(address, {});
        QTest::newRow("unreadable") << MessagePage::unreadable(address);
        QTest::newRow("outside") << MessagePage::outside(address);
        QTest::newRow("invalid address") << MessagePage::invalidAddress(address);
        QTest::newRow("canceled") << MessagePage::canceled();
        QTest::newRow("blank page")
            << PageResolver::answer(PageAddress::messageUrl(PageAddress::Message::Blank), true)
                   .body;
        for (const char *name : {"1 UVOD.PGX", "2 O PROGRAME.PGX"}) {
            QFile f(QStringLiteral(PAGORA_TEST_DATA "/../../viewer/builtin/TARVOL PAGORA/") +
                    QLatin1String(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QTest::newRow(name) << f.readAll();
        }
    }

    void ownPagesFollowTheColourScheme()
    {
        QFETCH(QByteArray, page);
        QVERIFY(page.contains("<meta name=\"color-scheme\" content=\"light dark\">"));
        // The blank page has nothing to colour; the engine's dark canvas is enough there.
        if (page.contains("<body></body>"))
            return;
        QVERIFY(page.contains("@media (prefers-color-scheme: dark)"));
    }

    void initTestCase()
    {
        QVERIFY(m_temp.isValid());
        m_drive = m_temp.path() + QStringLiteral("/drive_c");
        QVERIFY(testsupport::copyTree(QStringLiteral(PAGORA_TEST_DATA "/web"), m_drive));
        qputenv("PAGORA_DRIVE_C", m_drive.toUtf8());
        qputenv("PAGORA_DRIVE_Q", QByteArray(m_temp.path().toUtf8() + "/nonexistent"));

        // Things a hostile or broken library could hold.
        const QString outside = m_temp.path() + QStringLiteral("/mimo.png");
        QVERIFY(QFile::copy(FixtureBook + QStringLiteral("obr/Logo.png"), outside));
        const QString book = m_drive + QStringLiteral("/TARVOL/PAGORA/SKUSKA/");
        QVERIFY(QFile::link(outside, book + QStringLiteral("MIMO.PNG")));
        QVERIFY(QFile::link(m_temp.path(), m_drive + QStringLiteral("/VON")));
        QFile big(book + QStringLiteral("VELKA.PGX"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(PageResolver::MaxFileSize + 1)); // sparse: costs no disk
        big.close();
        QCOMPARE(::mkfifo(QFile::encodeName(book + QStringLiteral("ROURA.PGX")).constData(), 0600),
                 0);
        QVERIFY(
            testsupport::copyTree(FixtureBook.chopped(1), m_temp.path() + QStringLiteral("/inde")));
        QVERIFY(QFile::link(m_temp.path() + QStringLiteral("/inde"),
                            m_drive + QStringLiteral("/TARVOL/PAGORA/INDE")));
        QVERIFY(QFile::link(m_temp.path() + QStringLiteral("/inde/1 UVOD.PGX"),
                            book + QStringLiteral("VON.PGX")));
        QFile outsideText(m_drive + QStringLiteral("/OUTSIDE.TXT"));
        QVERIFY(outsideText.open(QIODevice::WriteOnly));
        outsideText.write("mimo knižnice");
        outsideText.close();
    }

    void charset_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QByteArray>("charset");

        const QByteArray slovak1250 = cp1250("<p>\x8D\x61\x9E\x6B\xFD \x9A\x9D\x61va</p>");
        const QByteArray slovakUtf8 = QStringLiteral("<p>ťažký šťava</p>").toUtf8();
        const QByteArray none;

        QTest::newRow("utf-8 byte order mark") << "\xEF\xBB\xBF" + slovakUtf8 << none;
        QTest::newRow("utf-16 byte order mark") << QByteArray("\xFF\xFE<\0p\0", 6) << none;
        QTest::newRow("meta charset")
            << "<html><head><meta charset=\"windows-1250\"></head>" + slovak1250 << none;
        QTest::newRow("meta charset, capitals, unquoted")
            << "<HTML><HEAD><META CHARSET=UTF-8></HEAD>" + slovakUtf8 << none;
        QTest::newRow("http-equiv")
            << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1250\">" +
                   slovak1250
            << none;
        QTest::newRow("http-equiv, content first")
            << "<meta content='text/html;charset=utf-8' http-equiv='content-type'>" + slovakUtf8
            << none;
        QTest::newRow("xml declaration")
            << "<?xml version=\"1.0\" encoding=\"windows-1250\"?><html>" + slovak1250 << none;
        QTest::newRow("meta after 1024 bytes, cp1250")
            << "<html>" + QByteArray(1100, ' ') + "<meta charset=\"utf-8\">" + slovak1250
            << QByteArray("windows-1250");
        QTest::newRow("meta after 1024 bytes, utf-8")
            << "<html>" + QByteArray(1100, ' ') + "<meta charset=\"windows-1250\">" + slovakUtf8
            << QByteArray("utf-8");
        QTest::newRow("meta inside a comment does not count")
            << "<!-- <meta charset=\"utf-8\"> -->" + slovak1250 << QByteArray("windows-1250");
        QTest::newRow("charset in an unrelated meta does not count")
            << "<meta name=\"description\" content=\"charset=utf-8\">" + slovak1250
            << QByteArray("windows-1250");
        QTest::newRow("valid utf-8") << slovakUtf8 << QByteArray("utf-8");
        QTest::newRow("plain ascii") << QByteArray("<p>Kniha</p>") << QByteArray("windows-1250");
        QTest::newRow("cp1250") << slovak1250 << QByteArray("windows-1250");
        QTest::newRow("overlong utf-8 is not utf-8")
            << QByteArray("<p>\xC0\xAF</p>") << QByteArray("windows-1250");
        QTest::newRow("utf-8 surrogate is not utf-8")
            << QByteArray("<p>\xED\xA0\x80</p>") << QByteArray("windows-1250");
        QTest::newRow("utf-8 cut off at the end")
            << slovakUtf8 + "\xC5" << QByteArray("windows-1250");
        QTest::newRow("iso-8859-2 label on cp1250 bytes")
            << "<meta charset=\"ISO-8859-2\">" + slovak1250 << QByteArray("windows-1250");
        QTest::newRow("latin2 label on cp1250 bytes")
            << "<meta http-equiv=content-type content=\"text/html; charset=latin2\">" + slovak1250
            << QByteArray("windows-1250");
        QTest::newRow("true iso-8859-2 is left alone")
            << QByteArray("<meta charset=\"iso-8859-2\"><p>\xBB\x61\xBEk\xFD \xB9\xBB\x61va</p>")
            << none;

        QTest::newRow("fixture: undeclared cp1250")
            << fixture(QStringLiteral("1 UVOD.PGX")) << QByteArray("windows-1250");
        QTest::newRow("fixture: undeclared utf-8")
            << fixture(QStringLiteral("2 UTF8.PGX")) << QByteArray("utf-8");
        QTest::newRow("fixture: declared") << fixture(QStringLiteral("3 DEKLAROVANA.PGX")) << none;
        QTest::newRow("fixture: mislabelled")
            << fixture(QStringLiteral("4 ZLE OZNACENA.PGX")) << QByteArray("windows-1250");
        QTest::newRow("fixture: byte order mark") << fixture(QStringLiteral("5 BOM.PGX")) << none;
        // No declaration can say UTF-16 (the engine reads one that does as UTF-8).
        QTest::newRow("fixture: utf-16le without a mark, declared")
            << fixture(QStringLiteral("26 UTF16LE.PGX")) << QByteArray("utf-16le");
        QTest::newRow("fixture: utf-16be without a mark")
            << fixture(QStringLiteral("27 UTF16BE.PGX")) << QByteArray("utf-16be");
        QTest::newRow("utf-16le, too short to tell")
            << QByteArray("<\0", 2) << QByteArray("windows-1250");
        QTest::newRow("a stray zero byte in a cp1250 page")
            << slovak1250 + QByteArray(1, '\0') + slovak1250 << QByteArray("windows-1250");
        QTest::newRow("utf-8 text after a zero-filled start")
            << QByteArray(64, '\0') + slovakUtf8 << QByteArray("utf-8");
    }

    void charset()
    {
        QFETCH(QByteArray, page);
        QFETCH(QByteArray, charset);
        QCOMPARE(CharsetSniffer::charsetFor(page), charset);
    }

    void fromNavigate_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("url"); // empty when a message page is expected
        QTest::addColumn<int>("message");

        const int none = int(PageAddress::Message::None);
        const int invalid = int(PageAddress::Message::InvalidAddress);
        QTest::newRow("book page")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\1 UVOD.PGX")
            << QByteArray("pgx://c/TARVOL/PAGORA/KNIHA/1%20UVOD.PGX") << none;
        QTest::newRow("no book chosen")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\<žiadna>\\2 O PROGRAME.PGX")
            << QByteArray("pgx://c/TARVOL/PAGORA/%3C%C5%BEiadna%3E/2%20O%20PROGRAME.PGX") << none;
        QTest::newRow("folder keeps its trailing separator")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\")
            << QByteArray("pgx://c/TARVOL/PAGORA/KNIHA/") << none;
        QTest::newRow("drive root") << QStringLiteral("C:\\") << QByteArray("pgx://c/") << none;
        QTest::newRow("lower-case drive, slashes")
            << QStringLiteral("d:/kniha/x.pgx") << QByteArray("pgx://d/kniha/x.pgx") << none;
        QTest::newRow("percent sign in a name")
            << QStringLiteral("C:\\A\\100% ISTE.PGX") << QByteArray("pgx://c/A/100%25%20ISTE.PGX")
            << none;
        QTest::newRow("hash in a name")
            << QStringLiteral("C:\\A\\C#.PGX") << QByteArray("pgx://c/A/C%23.PGX") << none;
        QTest::newRow("question mark in a name")
            << QStringLiteral("C:\\A\\PREČO?.PGX") << QByteArray("pgx://c/A/PRE%C4%8CO%3F.PGX")
            << none;
        QTest::newRow("book name with trailing blanks")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA  \\1 UVOD.PGX")
            << QByteArray("pgx://c/TARVOL/PAGORA/KNIHA%20%20/1%20UVOD.PGX") << none;
        QTest::newRow("book name still ending in .BKX")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA.BKX\\1 UVOD.PGX")
            << QByteArray("pgx://c/TARVOL/PAGORA/KNIHA.BKX/1%20UVOD.PGX") << none;
        QTest::newRow("very long drive path")
            << QStringLiteral("C:\\") + QString(10000, QLatin1Char('A'))
            << "pgx://c/" + QByteArray(10000, 'A') << none;
        QTest::newRow("http") << QStringLiteral("http://example.org/a b")
                              << QByteArray("http://example.org/a%20b") << none;
        QTest::newRow("https") << QStringLiteral("https://example.org/")
                               << QByteArray("https://example.org/") << none;
        QTest::newRow("file") << QStringLiteral("file:///usr/share/doc/x.html")
                              << QByteArray("file:///usr/share/doc/x.html") << none;
        QTest::newRow("about:blank")
            << QStringLiteral("About:Blank") << QByteArray() << int(PageAddress::Message::Blank);
        QTest::newRow("our own scheme")
            << QStringLiteral("pgx://c/A/B.PGX") << QByteArray("pgx://c/A/B.PGX") << none;
        QTest::newRow("about:NavigationCanceled")
            << QStringLiteral("about:NavigationCanceled") << QByteArray()
            << int(PageAddress::Message::Canceled);
        QTest::newRow("other about: page")
            << QStringLiteral("about:NavigationFailure") << QByteArray() << invalid;
        QTest::newRow("empty") << QString() << QByteArray() << invalid;
        QTest::newRow("no scheme") << QStringLiteral("kniha.pgx") << QByteArray() << invalid;
        QTest::newRow("unknown scheme") << QStringLiteral("foo:bar") << QByteArray() << invalid;
        QTest::newRow("javascript")
            << QStringLiteral("javascript:alert(1)") << QByteArray() << invalid;
        QTest::newRow("http without host") << QStringLiteral("http://") << QByteArray() << invalid;
        QTest::newRow("network share")
            << QStringLiteral("\\\\server\\share\\x.pgx") << QByteArray() << invalid;
        QTest::newRow("drive letter only") << QStringLiteral("C:") << QByteArray() << invalid;
        QTest::newRow("tab in a drive path")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\1\tUVOD.PGX") << QByteArray() << invalid;
        QTest::newRow("newline after a URL")
            << QStringLiteral("http://example.org/\n") << QByteArray() << invalid;
        QTest::newRow("NUL and escape")
            << QString::fromUtf16(u"C:\\A\0\x1b.PGX", 9) << QByteArray() << invalid;
        QTest::newRow("10,000 characters")
            << QString(10000, QLatin1Char('x')) << QByteArray() << invalid;
    }

    void fromNavigate()
    {
        QFETCH(QString, address);
        QFETCH(QByteArray, url);
        QFETCH(int, message);

        const QUrl result = PageAddress::fromNavigate(address);
        QVERIFY(result.isValid());
        QCOMPARE(int(PageAddress::messageKind(result)), message);
        if (!url.isEmpty()) {
            // Which origin a drive path gets is originsKeepBooksAndFoldersApart's concern; the
            // rows here are about the path.
            QUrl path = result;
            if (PageAddress::drivePath(result))
                path.setHost(result.host().left(1));
            QCOMPARE(path.toEncoded(), url);
            return;
        }
        // The message names what was asked for, cut short only when absurdly long.
        if (message == int(PageAddress::Message::InvalidAddress)) {
            const QString carried = PageAddress::messageAddress(result);
            QCOMPARE(carried.left(2048), address.left(2048));
            QVERIFY(carried.size() <= 2049);
        }
    }

    void displayAddress_data()
    {
        QTest::addColumn<QByteArray>("url");
        QTest::addColumn<QString>("display");

        QTest::newRow("no book chosen")
            << QByteArray("pgx://c/TARVOL/PAGORA/%3C%C5%BEiadna%3E/2%20O%20PROGRAME.PGX")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\<žiadna>\\2 O PROGRAME.PGX");
        QTest::newRow("folder") << QByteArray("pgx://c/TARVOL/PAGORA/KNIHA/")
                                << QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\");
        QTest::newRow("root") << QByteArray("pgx://c/") << QStringLiteral("C:\\");
        QTest::newRow("special characters survive") << QByteArray("pgx://c/A/100%25%20C%23%3F.PGX")
                                                    << QStringLiteral("C:\\A\\100% C#?.PGX");
        QTest::newRow("link as the engine spells it")
            << QByteArray("pgx://c/TARVOL/PAGORA/skuska/2%20utf8.pgx")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\skuska\\2 utf8.pgx");
        QTest::newRow("message page names its address")
            << PageAddress::messageUrl(PageAddress::Message::NotLoaded,
                                       QStringLiteral("http://example.org/?a=1&b=2#c"))
                   .toEncoded()
            << QStringLiteral("http://example.org/?a=1&b=2#c");
        QTest::newRow("blank page")
            << PageAddress::fromNavigate(QStringLiteral("about:blank")).toEncoded()
            << QStringLiteral("about:blank");
        QTest::newRow("web address")
            << QByteArray("http://example.org/a%20b") << QStringLiteral("http://example.org/a b");
    }

    void displayAddress()
    {
        QFETCH(QByteArray, url);
        QFETCH(QString, display);
        QCOMPARE(PageAddress::displayAddress(QUrl::fromEncoded(url, QUrl::StrictMode)), display);
    }

    void drivePathRefusesSmuggledSeparators_data()
    {
        QTest::addColumn<QByteArray>("url");
        QTest::newRow("encoded slash") << QByteArray("pgx://c/TARVOL/..%2F..%2Fmimo.png");
        QTest::newRow("encoded backslash") << QByteArray("pgx://c/TARVOL/..%5C..%5Cmimo.png");
        QTest::newRow("encoded NUL") << QByteArray("pgx://c/TARVOL/a%00.PGX");
        QTest::newRow("message host") << QByteArray("pgx://pagora/chyba");
        QTest::newRow("long host") << QByteArray("pgx://cc/A.PGX");
        QTest::newRow("other scheme") << QByteArray("http://c/A.PGX");
    }

    void drivePathRefusesSmuggledSeparators()
    {
        QFETCH(QByteArray, url);
        QVERIFY(!PageAddress::drivePath(QUrl::fromEncoded(url)).has_value());
    }

    void answer_data()
    {
        QTest::addColumn<QByteArray>("url");
        QTest::addColumn<bool>("asPage");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QString>("text"); // the served file, or words the message must hold

        const int content = int(Kind::Content);
        const int notFound = int(Kind::NotFound);
        const int message = int(Kind::Message);
        const QByteArray html = MessagePage::contentType();
        const QString book = QStringLiteral("TARVOL/PAGORA/SKUSKA/");

        QTest::newRow("cp1250 page")
            << QByteArray("pgx://c/TARVOL/PAGORA/SKUSKA/1%20UVOD.PGX") << true << content
            << QByteArray("text/html; charset=windows-1250") << book + "1 UVOD.PGX";
        QTest::newRow("utf-8 page in other letter case")
            << QByteArray("pgx://c/tarvol/pagora/skuska/2%20utf8.pgx") << true << content
            << QByteArray("text/html; charset=utf-8") << book + "2 UTF8.PGX";
        QTest::newRow("declared page")
            << QByteArray("pgx://c/TARVOL/PAGORA/SKUSKA/3%20DEKLAROVANA.PGX") << true << content
            << QByteArray("text/html") << book + "3 DEKLAROVANA.PGX";
        QTest::newRow("stylesheet") << QByteArray("pgx://c/TARVOL/PAGORA/SKUSKA/styl.css") << false
                                    << content << QByteArray("text/css") << book + "STYL.CSS";
        QTest::newRow("picture in other letter case")
            << QByteArray("pgx://c/TARVOL/PAGORA/SKUSKA/OBR/LOGO.PNG") << false << content
            << QByteArray("image/png") << book + "obr/Logo.png";
        // Blanks are part of the name, as the page list and the choose window see it too.
        QTest::newRow("book name with trailing blanks")
            << QByteArray("pgx://c/TARVOL/PAGORA/SKUSKA%20%20/1%20UVOD.PGX") << true << message
            << html
            << QStringLiteral(
                   "Stránku „C:\\TARVOL\\PAGORA\\SKUSKA  \\1 UVOD.PGX“ sa nepodarilo nájsť.");
        QTest::newRow("missing page")
            << QByteArray("pgx://c/TARVOL/PAGORA/%3C%C5%BEiadna%3E/2%20O%20PROGRAME.PGX") << true
            << message << html
            << QStringLiteral("Stránku „C:\\TARVOL\\PAGORA\\&lt;žiadna&gt;\\2 O PROGRAME.PGX“ "
                              "sa nepodarilo nájsť.");
        QTest::newRow("missing picture") << QByteArray("pgx://c/TARVOL/PAGORA/SKUSKA/NIE.GIF")
                                         << false << notFound << QByteArray() << QString();
        QTest::newRow("folder") << QByteArray("pgx://c/TARVOL/PAGORA/SKUSKA/") << true << message
                                << html
                                << QStringLiteral("„C:\\TARVOL\\PAGORA\\SKUSKA\\“ je priečinok, "
                                                  "nie stránka.");
        QTest::newRow("folder lists its pages")
            << QByteArray("pgx://c/tarvol/pagora/skuska") << true << message << html
            << QStringLiteral(
                   "<a href=\"pgx://c/tarvol/pagora/skuska/1%20UVOD.PGX\">1 UVOD.PGX</a>");
        QTest::newRow("folder as a picture") << QByteArray("pgx://c/TARVOL/PAGORA/SKUSKA/") << false
                                             << notFound << QByteArray() << QString();
        QTest::newRow("dot dot stops at the drive root")
            << QByteArray("pgx://c/../../mimo.png") << false << notFound << QByteArray()
            << QString();
        QTest::newRow("encoded dots stop there too")
            << QByteArray("pgx://c/TARVOL/%2e%2e/%2e%2e/%2e%2e/mimo.png") << false << notFound
            << QByteArray() << QString();
        QTest::newRow("encoded slash") << QByteArray("pgx://c/TARVOL/..%2F..%2F..%2Fmimo.png")
                                       << false << notFound << QByteArray() << QString();
        QTest::newRow("encoded backslash") << QByteArray("pgx://c/TARVOL/..%5C..%5C..%5Cmimo.png")
                                           << false << notFound << QByteArray() << QString();
        QTest::newRow("link leading out of the drive")
            << QByteArray("pgx://c/TARVOL/PAGORA/SKUSKA/MIMO.PNG") << false << notFound
            << QByteArray() << QString();
        QTest::newRow("linked folder out of the drive")
            << QByteArray("pgx://c/VON/mimo.png") << false << notFound << QByteArray() << QString();
        QTest::newRow("page out of the drive gets the message")
            << QByteArray("pgx://c/VON/") << true << message << html
            << QStringLiteral("Stránku „C:\\VON\\“ sa nepodarilo nájsť.");
        QTest::newRow("too large page")
            << QByteArray("pgx://c/TARVOL/PAGORA/SKUSKA/VELKA.PGX") << true << message << html
            << QStringLiteral("je príliš veľká na zobrazenie.");
        QTest::newRow("pipe instead of a page")
            << QByteArray("pgx://c/TARVOL/PAGORA/SKUSKA/ROURA.PGX") << false << notFound
            << QByteArray() << QString();
        QTest::newRow("drive that is not mapped")
            << QByteArray("pgx://q/TARVOL/PAGORA/KNIHA/1%20UVOD.PGX") << true << message << html
            << QStringLiteral(
                   "Stránku „Q:\\TARVOL\\PAGORA\\KNIHA\\1 UVOD.PGX“ sa nepodarilo nájsť.");
        QTest::newRow("unknown host") << QByteArray("pgx://kniha/1.PGX") << true << message << html
                                      << QStringLiteral("sa nepodarilo nájsť.");
        QTest::newRow("invalid address message escapes markup")
            << PageAddress::messageUrl(PageAddress::Message::InvalidAddress,
                                       QStringLiteral("<script>alert(1)</script>"))
                   .toEncoded()
            << true << message << html
            << QStringLiteral(
                   "Adresu „&lt;script&gt;alert(1)&lt;/script&gt;“ nie je možné otvoriť.");
        QTest::newRow("message page as a picture")
            << PageAddress::messageUrl(PageAddress::Message::Canceled).toEncoded() << false
            << notFound << QByteArray() << QString();
    }

    void answer()
    {
        QFETCH(QByteArray, url);
        QFETCH(bool, asPage);
        QFETCH(int, kind);
        QFETCH(QByteArray, contentType);
        QFETCH(QString, text);

        const PageResolver::Reply reply =
            PageResolver::answer(QUrl::fromEncoded(url, QUrl::StrictMode), asPage);
        QCOMPARE(int(reply.kind), kind);
        QCOMPARE(reply.contentType, contentType);
        if (reply.kind == Kind::Content) {
            // Served byte for byte, and only from inside the drive.
            QFile expected(m_drive + QLatin1Char('/') + text);
            QVERIFY(expected.open(QIODevice::ReadOnly));
            QCOMPARE(reply.body, expected.readAll());
            QVERIFY(reply.file.startsWith(QDir(m_drive).canonicalPath() + QLatin1Char('/')));
        } else if (reply.kind == Kind::Message) {
            const QString body = QString::fromUtf8(reply.body);
            QVERIFY2(body.contains(text), qPrintable(body));
            QVERIFY(!body.contains(QLatin1String("<script"), Qt::CaseInsensitive));
        }
    }

    void messageTexts_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("sentence");

        const QString address = QStringLiteral("C:\\X\\Ťažká & \"zlá\".PGX");
        const QString escaped = QStringLiteral("C:\\X\\Ťažká &amp; &quot;zlá&quot;.PGX");
        QTest::newRow("not found")
            << MessagePage::notFound(address) << QStringLiteral("Stránka sa nenašla")
            << QStringLiteral("Stránku „%1“ sa nepodarilo nájsť.").arg(escaped);
        QTest::newRow("folder without pages")
            << MessagePage::folder(address, {}) << QStringLiteral("Priečinok, nie stránka")
            << QStringLiteral("V tomto priečinku nie sú žiadne stránky.");
        QTest::newRow("too large")
            << MessagePage::tooLarge(address) << QStringLiteral("Stránka je príliš veľká")
            << QStringLiteral("Stránka „%1“ je príliš veľká na zobrazenie.").arg(escaped);
        QTest::newRow("unreadable")
            << MessagePage::unreadable(address) << QStringLiteral("Stránku sa nepodarilo prečítať")
            << QStringLiteral("Stránku „%1“ sa nepodarilo prečítať.").arg(escaped);
        QTest::newRow("invalid address")
            << MessagePage::invalidAddress(address) << QStringLiteral("Neplatná adresa")
            << QStringLiteral("Adresu „%1“ nie je možné otvoriť.").arg(escaped);
        QTest::newRow("no address")
            << MessagePage::invalidAddress(QString()) << QStringLiteral("Neplatná adresa")
            << QStringLiteral("Nebola zadaná žiadna adresa.");
        QTest::newRow("not loaded")
            << MessagePage::notLoaded(address) << QStringLiteral("Stránku sa nepodarilo načítať")
            << QStringLiteral("Stránku „%1“ sa nepodarilo načítať.").arg(escaped);
        QTest::newRow("canceled") << MessagePage::canceled()
                                  << QStringLiteral("Prechod na stránku bol zrušený")
                                  << QStringLiteral("Prechod na stránku bol zrušený.");
    }

    void messageTexts()
    {
        QFETCH(QByteArray, page);
        QFETCH(QString, title);
        QFETCH(QString, sentence);
        const QString html = QString::fromUtf8(page);
        QVERIFY(html.contains(QStringLiteral("<title>") + title + QStringLiteral("</title>")));
        QVERIFY2(html.contains(QStringLiteral("<p>") + sentence + QStringLiteral("</p>")),
                 qPrintable(html));
        QVERIFY(html.contains(QLatin1String("<meta charset=\"utf-8\">")));
    }

    void shownAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << QStringLiteral("C:\\A\\B.PGX") << QStringLiteral("C:\\A\\B.PGX");
        QTest::newRow("control characters made visible")
            << QString::fromUtf16(u"a\tb\nc\0d\x7f", 8) << QString::fromUtf16(u"a␉b␊c␀d␡");
        QTest::newRow("10,000 characters cut short")
            << QString(10000, QLatin1Char('x')) << QString(300, QLatin1Char('x')) + u'…';
    }

    void shownAddress()
    {
        QFETCH(QString, address);
        QFETCH(QString, shown);
        QCOMPARE(MessagePage::shownAddress(address), shown);
    }

    void contentTypeForAnyName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("type");
        QTest::newRow("page") << "1 UVOD.PGX" << QByteArray("<p>x</p>")
                              << QByteArray("text/html; charset=windows-1250");
        QTest::newRow("stylesheet") << "STYL.Css" << QByteArray("p{}") << QByteArray("text/css");
        // Found by fuzz_charset: Qt's MIME database crashed on this name.
        QTest::newRow("NUL in the name")
            << QString::fromUtf8("page\0\0\0.pgp", 11) << QByteArray("<x")
            << QByteArray("application/octet-stream");
    }

    void contentTypeForAnyName()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, type);
        QCOMPARE(PageResolver::contentTypeFor(name, bytes), type);
    }
};

QTEST_GUILESS_MAIN(TestWebLogic)
#include "tst_weblogic.moc"
