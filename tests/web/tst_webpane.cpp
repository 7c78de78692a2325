// SPDX-License-Identifier: MIT
// The browser pane on the real engine: pages from a small library are loaded and their
// rendered text read back.
#include "bookpage.h"
#include "browserpane.h"
#include "pageaddress.h"
#include "pagerequestinterceptor.h"
#include "pageschemehandler.h"

#include "testsupport.h"
#include <QApplication>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <unistd.h>

namespace {

// Loads are quick, but a busy build machine may start the engine slowly.
constexpr int LoadTimeoutMs = 20000;

const QString Pangram = QStringLiteral("Kŕdeľ šťastných ďatľov učí pri ústí Váhu mĺkveho koňa "
                                       "obhrýzať kôru a žrať čerstvé mäso.");

// Answers every request with a tiny page and counts the connections, so a test can tell
// whether anything reached the network.
class LocalWebServer : public QTcpServer
{
public:
    int connections = 0;

    LocalWebServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                ++connections;
                connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    const QByteArray request = socket->readAll();
                    if (!request.contains("\r\n\r\n"))
                        return;
                    if (request.startsWith("GET /presmeruj ")) {
                        socket->write("HTTP/1.0 302 Found\r\nLocation: /\r\n"
                                      "Connection: close\r\n\r\n");
                        socket->disconnectFromHost();
                        return;
                    }
                    socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
                                  "Connection: close\r\n\r\n<html><body><p>Webová stránka</p>"
                                  "<p><a id=\"von\" href=\"/iny\">iná</a></p></body></html>");
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
};

} // namespace

class TestWebPane : public QObject
{
    Q_OBJECT

    QTemporaryDir m_temp;
    QString m_drive;
    LocalWebServer m_server;
    quint16 m_closedPort = 0;
    BrowserPane *m_pane = nullptr;
    QList<QUrl> m_openedExternally;

    QString web(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }

    // Navigates and waits for the pane to settle; returns its ok flag.
    bool navigate(const QString &address)
    {
        QSignalSpy finished(m_pane, &BrowserPane::loadFinished);
        m_pane->Navigate(address);
        if (!finished.wait(LoadTimeoutMs)) {
            qWarning("no loadFinished for %s", qPrintable(address.left(100)));
            return false;
        }
        return finished.last().first().toBool();
    }

    QVariant js(const QString &script)
    {
        QVariant result;
        bool done = false;
        m_pane->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                      [&](const QVariant &v) {
                                          result = v;
                                          done = true;
                                      });
        if (!QTest::qWaitFor([&] { return done; }, LoadTimeoutMs))
            qWarning("runJavaScript timed out: %s", qPrintable(script));
        return result;
    }

    QString bodyText() { return js(QStringLiteral("document.body.innerText")).toString(); }

    // Clicks the element in the page and waits for the navigation it starts.
    bool clickAndWait(const QString &selector)
    {
        QSignalSpy finished(m_pane, &BrowserPane::loadFinished);
        js(QStringLiteral("document.querySelector('%1').click()").arg(selector));
        return finished.wait(LoadTimeoutMs);
    }

    // Runs a script that leaves its answer in window.__r, maybe later, and waits for it.
    QString answerOf(const QString &script)
    {
        js(QStringLiteral("window.__r = undefined;") + script);
        QString answer;
        (void)QTest::qWaitFor(
            [&] {
                const QVariant v = js(QStringLiteral("window.__r"));
                answer = v.isValid() && !v.isNull() ? v.toString() : QString();
                return !answer.isEmpty();
            },
            LoadTimeoutMs);
        return answer;
    }

    // The script for a page trying to read url: "xhr", "img" or "fetch".
    static QString attempt(const QString &how, const QString &url)
    {
        const QString u = QStringLiteral("'") + url + QStringLiteral("'");
        if (how == QLatin1String("img"))
            return QStringLiteral("{ const i = new Image(); i.onload = () => window.__r = "
                                  "'nacitany ' + i.naturalWidth; i.onerror = () => window.__r = "
                                  "'zablokovany'; i.src = %1; }")
                .arg(u);
        if (how == QLatin1String("fetch"))
            return QStringLiteral(
                       "fetch(%1).then(r => r.text()).then(t => window.__r = 'nacitany ' "
                       "+ t, () => window.__r = 'zablokovany');")
                .arg(u);
        return QStringLiteral("{ const x = new XMLHttpRequest(); x.onload = () => window.__r = "
                              "'nacitany ' + x.status + ' ' + x.responseText; x.onerror = () => "
                              "window.__r = 'zablokovany'; x.open('GET', %1); x.send(); }")
            .arg(u);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_temp.isValid());
        m_drive = m_temp.path() + QStringLiteral("/drive_c");
        QVERIFY(testsupport::copyTree(QStringLiteral(PAGORA_TEST_DATA "/web"), m_drive));
        qputenv("PAGORA_DRIVE_C", m_drive.toUtf8());
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            m_closedPort = closed.serverPort();
        }

        // The hostile page learns where the bait lies: a picture outside the drive, linked
        // from inside it, and the port of our counting server.
        const QString book = m_drive + QStringLiteral("/TARVOL/PAGORA/SKUSKA/");
        const QString outside = m_temp.path() + QStringLiteral("/mimo.png");
        QVERIFY(QFile::copy(book + QStringLiteral("obr/Logo.png"), outside));
        QVERIFY(QFile::link(outside, book + QStringLiteral("MIMO.PNG")));
        // Bait at the drive root, outside the library.
        QVERIFY(QFile::copy(outside, m_drive + QStringLiteral("/MIMO.PNG")));
        QFile outsideText(m_drive + QStringLiteral("/OUTSIDE.TXT"));
        QVERIFY(outsideText.open(QIODevice::WriteOnly));
        outsideText.write("MIMO-KNIZNICE");
        outsideText.close();
        QFile hostile(book + QStringLiteral("9 NEBEZPECNA.PGX"));
        QVERIFY(hostile.open(QIODevice::ReadWrite));
        QByteArray html = hostile.readAll();
        html.replace("@PORT@", QByteArray::number(m_server.serverPort()));
        html.replace("@OUTSIDE@", outside.toUtf8());
        QVERIFY(hostile.resize(0));
        QVERIFY(hostile.write(html) == html.size());
        hostile.close();

        m_pane = new BrowserPane;
        m_pane->bookPage()->setExternalOpener(
            [this](const QUrl &url) { m_openedExternally << url; });
        m_pane->resize(800, 600);
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pane));
    }

    void cleanupTestCase()
    {
        delete m_pane;
        m_pane = nullptr;
    }

    void pageReadsRight_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("charset");
        QTest::addColumn<QString>("text");

        QTest::newRow("undeclared cp1250")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\1 UVOD.PGX")
            << QStringLiteral("windows-1250") << QStringLiteral("ŤAŽKÝ ŠTÍT ŽIARI");
        QTest::newRow("undeclared utf-8")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\2 UTF8.PGX") << QStringLiteral("UTF-8")
            << Pangram;
        QTest::newRow("declared iso-8859-2 honoured")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\3 DEKLAROVANA.PGX")
            << QStringLiteral("ISO-8859-2") << QStringLiteral("ŤAŽKÝ ŠTÍT ŽIARI");
        QTest::newRow("iso-8859-2 label on cp1250 bytes")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\4 ZLE OZNACENA.PGX")
            << QStringLiteral("windows-1250") << QStringLiteral("ŤAŽKÝ ŠTÍT ŽIARI");
        QTest::newRow("byte order mark beats the declaration")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\5 BOM.PGX") << QStringLiteral("UTF-8")
            << Pangram;
        QTest::newRow("address in other letter case")
            << QStringLiteral("c:\\tarvol\\pagora\\skuska\\1 uvod.pgx")
            << QStringLiteral("windows-1250") << Pangram;
    }

    void pageReadsRight()
    {
        QFETCH(QString, address);
        QFETCH(QString, charset);
        QFETCH(QString, text);

        QVERIFY(navigate(address));
        QCOMPARE(m_pane->lastAddress(), address);
        QCOMPARE(js(QStringLiteral("document.characterSet")).toString(), charset);
        const QString body = bodyText();
        QVERIFY2(body.contains(text), qPrintable(body));
        QVERIFY2(body.contains(Pangram), qPrintable(body));
    }

    void stylesheetAndPictureLoad()
    {
        // The page asks for "STYL.CSS" and "OBR\LOGO.PNG"; the files are STYL.CSS and obr/Logo.png.
        QVERIFY(navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\1 UVOD.PGX")));
        QTRY_COMPARE_WITH_TIMEOUT(js(QStringLiteral("document.images[0].naturalWidth")).toInt(), 3,
                                  LoadTimeoutMs);
        QCOMPARE(js(QStringLiteral("getComputedStyle(document.body).color")).toString(),
                 QStringLiteral("rgb(0, 128, 0)"));
    }

    void backslashLinkInOtherCaseIsFollowed()
    {
        QVERIFY(navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\1 UVOD.PGX")));
        QCOMPARE(js(QStringLiteral("document.querySelector('a').getAttribute('href')")).toString(),
                 QStringLiteral("..\\skuska\\2 utf8.pgx"));
        QVERIFY(clickAndWait(QStringLiteral("a")));
        QCOMPARE(m_pane->url().path(), QStringLiteral("/TARVOL/PAGORA/skuska/2 utf8.pgx"));
        QCOMPARE(js(QStringLiteral("document.characterSet")).toString(), QStringLiteral("UTF-8"));
        QVERIFY(bodyText().contains(QStringLiteral("Druhá stránka")));
    }

    void messagePages_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("text");

        QTest::newRow("missing page, no book chosen")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\<žiadna>\\2 O PROGRAME.PGX")
            << QStringLiteral("Stránku „C:\\TARVOL\\PAGORA\\<žiadna>\\2 O PROGRAME.PGX“ sa "
                              "nepodarilo nájsť.");
        QTest::newRow("book name still ending in .BKX")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA.BKX\\1 UVOD.PGX")
            << QStringLiteral("Stránku „C:\\TARVOL\\PAGORA\\SKUSKA.BKX\\1 UVOD.PGX“ sa nepodarilo "
                              "nájsť.");
        QTest::newRow("book name with trailing blanks")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA \\2 UTF8.PGX")
            << QStringLiteral("Stránku „C:\\TARVOL\\PAGORA\\SKUSKA \\2 UTF8.PGX“ sa nepodarilo "
                              "nájsť.");
        QTest::newRow("folder") << QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\")
                                << QStringLiteral("„C:\\TARVOL\\PAGORA\\SKUSKA\\“ je priečinok, "
                                                  "nie stránka.");
        QTest::newRow("about:NavigationCanceled")
            << QStringLiteral("about:NavigationCanceled")
            << QStringLiteral("Prechod na stránku bol zrušený.");
        QTest::newRow("empty") << QString() << QStringLiteral("Nebola zadaná žiadna adresa.");
        QTest::newRow("10,000 characters")
            << QString(10000, QLatin1Char('x'))
            << QStringLiteral("Adresu „") + QString(300, QLatin1Char('x')) + QStringLiteral("…“");
        QTest::newRow("control characters")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\1\t\x01UVOD.PGX\r\n")
            << QStringLiteral("Adresu „C:\\TARVOL\\PAGORA\\SKUSKA\\1␉␁UVOD.PGX␍␊“ nie je možné "
                              "otvoriť.");
        QTest::newRow("unknown scheme") << QStringLiteral("foo:bar")
                                        << QStringLiteral("Adresu „foo:bar“ nie je možné otvoriť.");
        QTest::newRow("web page that does not answer")
            << QStringLiteral("http://127.0.0.1:%1/").arg(m_closedPort)
            << QStringLiteral("Stránku „http://127.0.0.1:%1/“ sa nepodarilo načítať.")
                   .arg(m_closedPort);
        QTest::newRow("missing local file")
            << QStringLiteral("file:///nonexistent/pagora/x.html")
            << QStringLiteral("Stránku „file:///nonexistent/pagora/x.html“ sa nepodarilo načítať.");
    }

    void messagePages()
    {
        QFETCH(QString, address);
        QFETCH(QString, text);

        QVERIFY(!navigate(address)); // a message page reports ok == false
        QVERIFY2(PageAddress::isPageScheme(m_pane->url()), qPrintable(m_pane->url().toString()));
        QCOMPARE(js(QStringLiteral("document.characterSet")).toString(), QStringLiteral("UTF-8"));
        const QString body = bodyText();
        QVERIFY2(body.contains(text), qPrintable(body));
    }

    void folderPageLinksToItsPages()
    {
        QVERIFY(!navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\")));
        QVERIFY(clickAndWait(QStringLiteral("a")));
        QCOMPARE(PageAddress::displayAddress(m_pane->url()),
                 QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\1 UVOD.PGX"));
        QVERIFY(bodyText().contains(Pangram));
    }

    void webPageThatProgramOpensLoads()
    {
        // From a book page to a web address that redirects, as http to https would.
        QVERIFY(navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\1 UVOD.PGX")));
        QVERIFY(navigate(web(QStringLiteral("/presmeruj"))));
        QCOMPARE(m_pane->url(), QUrl(web(QStringLiteral("/"))));
        QVERIFY(bodyText().contains(QStringLiteral("Webová stránka")));
        // A page's own click, with no user behind it, neither navigates nor opens a browser.
        QSignalSpy finished(m_pane, &BrowserPane::loadFinished);
        js(QStringLiteral("document.getElementById('von').click()"));
        QVERIFY(navigate(QStringLiteral("about:blank")));
        QCOMPARE(PageAddress::displayAddress(m_pane->url()), QStringLiteral("about:blank"));
        QCOMPARE(bodyText(), QString());
        QVERIFY(m_openedExternally.isEmpty());
    }

    void userClickOnWebLinkOpensBrowser()
    {
        QVERIFY(navigate(web(QStringLiteral("/"))));
        const QVariantList box =
            js(QStringLiteral("(() => { const r = document.getElementById('von')"
                              ".getBoundingClientRect(); return [r.x + r.width / 2, "
                              "r.y + r.height / 2]; })()"))
                .toList();
        QCOMPARE(box.size(), 2);
        // The engine draws into the view's focus proxy; that is where a user's click lands.
        auto *view = m_pane->findChild<QWebEngineView *>();
        QVERIFY(view);
        QWidget *target = view->focusProxy();
        QVERIFY(target);
        const QPoint at(box.at(0).toInt(), box.at(1).toInt());
        QTest::mouseClick(target, Qt::LeftButton, {}, at);
        QTRY_COMPARE_WITH_TIMEOUT(m_openedExternally.size(), 1, LoadTimeoutMs);
        QCOMPARE(m_openedExternally.first(), QUrl(web(QStringLiteral("/iny"))));
        m_openedExternally.clear();
    }

    void supersededNavigationLeavesNoMessage()
    {
        QList<QUrl> shown;
        QMetaObject::Connection c = connect(m_pane->page(), &QWebEnginePage::urlChanged, this,
                                            [&](const QUrl &url) { shown << url; });
        QSignalSpy finished(m_pane, &BrowserPane::loadFinished);
        m_pane->Navigate(QStringLiteral("http://127.0.0.1:%1/").arg(m_closedPort));
        m_pane->Navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\<žiadna>\\2 O PROGRAME.PGX"));
        m_pane->Navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\2 UTF8.PGX"));
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() && finished.last().first().toBool(),
                                 LoadTimeoutMs);
        // One more load, so that a late message for the abandoned addresses would show up.
        QVERIFY(navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\1 UVOD.PGX")));
        disconnect(c);
        for (const QUrl &url : std::as_const(shown))
            QVERIFY2(!PageAddress::isMessagePage(url), qPrintable(url.toString()));
        QVERIFY(bodyText().contains(QStringLiteral("ŤAŽKÝ")));
    }

    void pagesReachOnlyTheLibrary_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("url");

        QTest::newRow("xhr to a file at the drive root")
            << "xhr" << QStringLiteral("pgx://c/OUTSIDE.TXT");
        QTest::newRow("fetch of a file at the drive root")
            << "fetch" << QStringLiteral("pgx://c/OUTSIDE.TXT");
        QTest::newRow("picture at the drive root") << "img" << QStringLiteral("pgx://c/MIMO.PNG");
        QTest::newRow("listing of the drive root") << "xhr" << QStringLiteral("pgx://c/");
        QTest::newRow("encoded dots to the drive root")
            << "xhr" << QStringLiteral("%2e%2e/%2e%2e/%2e%2e/OUTSIDE.TXT");
        QTest::newRow("encoded dots to a picture there")
            << "img" << QStringLiteral("%2e%2e/%2e%2e/%2e%2e/MIMO.PNG");
    }

    void pagesReachOnlyTheLibrary()
    {
        QFETCH(QString, how);
        QFETCH(QString, url);
        QVERIFY(navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\1 UVOD.PGX")));
        // The page's own files still load, so a refusal below means something.
        QVERIFY(answerOf(attempt(QStringLiteral("xhr"), QStringLiteral("STYL.CSS")))
                    .startsWith(QLatin1String("nacitany 200")));
        const QString result = answerOf(attempt(how, url));
        QVERIFY2(!result.isEmpty(), "no answer");
        QVERIFY2(!result.contains(QLatin1String("MIMO-KNIZNICE")), qPrintable(result));
        QVERIFY2(!result.contains(QLatin1String("OUTSIDE.TXT</a>")), qPrintable(result));
        if (how == QLatin1String("img"))
            QCOMPARE(result, QStringLiteral("zablokovany"));
    }

    void symlinkedLibraryRootLoads()
    {
        QTemporaryDir elsewhere;
        QTemporaryDir drive;
        QVERIFY(testsupport::copyTree(m_drive + QStringLiteral("/TARVOL/PAGORA/SKUSKA"),
                                      elsewhere.path() + QStringLiteral("/PAGORA/SKUSKA")));
        QVERIFY(QDir().mkpath(drive.path() + QStringLiteral("/TARVOL")));
        QVERIFY(QFile::link(elsewhere.path() + QStringLiteral("/PAGORA"),
                            drive.path() + QStringLiteral("/TARVOL/PAGORA")));
        qputenv("PAGORA_DRIVE_C", drive.path().toUtf8());
        const bool ok = navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\1 UVOD.PGX"));
        const QString body = bodyText();
        const int width =
            answerOf(QStringLiteral("{ const i = document.images[0]; if (i.complete) "
                                    "window.__r = 'w' + i.naturalWidth; else i.onload "
                                    "= i.onerror = () => window.__r = 'w' + "
                                    "i.naturalWidth; }"))
                .mid(1)
                .toInt();
        qputenv("PAGORA_DRIVE_C", m_drive.toUtf8());
        QVERIFY(ok);
        QVERIFY2(body.contains(Pangram), qPrintable(body));
        QCOMPARE(width, 3);
    }

    void localPathOpensWithItsFolder()
    {
        const QString folder = m_temp.path() + QStringLiteral("/lokalne");
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/domov/obr")));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/susedny")));
        QVERIFY(QFile::copy(m_drive + QStringLiteral("/TARVOL/PAGORA/SKUSKA/obr/Logo.png"),
                            folder + QStringLiteral("/domov/obr/Logo.png")));
        QFile home(folder + QStringLiteral("/domov/domov.html"));
        QVERIFY(home.open(QIODevice::WriteOnly));
        home.write((QStringLiteral("<html><body><p>") + Pangram +
                    QStringLiteral("</p><img src=\"OBR/logo.png\"></body></html>"))
                       .toUtf8());
        home.close();
        QFile secret(folder + QStringLiteral("/susedny/tajne.txt"));
        QVERIFY(secret.open(QIODevice::WriteOnly));
        secret.write("TAJNE-SUSEDNE");
        secret.close();

        const QString address = folder + QStringLiteral("/domov/domov.html");
        QVERIFY(navigate(address));
        QCOMPARE(m_pane->lastAddress(), address);
        QCOMPARE(PageAddress::displayAddress(m_pane->url()), address);
        // The same charset rule as for books: undeclared UTF-8 reads right.
        QCOMPARE(js(QStringLiteral("document.characterSet")).toString(), QStringLiteral("UTF-8"));
        QVERIFY(bodyText().contains(Pangram));
        QTRY_COMPARE_WITH_TIMEOUT(js(QStringLiteral("document.images[0].naturalWidth")).toInt(), 3,
                                  LoadTimeoutMs);

        // Its own folder and below, nothing else.
        QVERIFY(answerOf(attempt(QStringLiteral("xhr"), QStringLiteral("obr/Logo.png")))
                    .startsWith(QLatin1String("nacitany 200")));
        const QStringList refused = {
            QStringLiteral("../susedny/tajne.txt"),
            QStringLiteral("%2e%2e/susedny/tajne.txt"),
            QStringLiteral("file://") + folder + QStringLiteral("/susedny/tajne.txt"),
            QStringLiteral("pgx://c/TARVOL/PAGORA/SKUSKA/STYL.CSS"),
        };
        for (const QString &url : refused) {
            const QString result = answerOf(attempt(QStringLiteral("xhr"), url));
            QVERIFY2(!result.contains(QLatin1String("TAJNE")) &&
                         !result.contains(QLatin1String("nacitany 200 body")),
                     qPrintable(url + QStringLiteral(": ") + result));
            QVERIFY2(!result.startsWith(QLatin1String("nacitany 200")) ||
                         result.contains(QLatin1String("sa nepodarilo nájsť")),
                     qPrintable(url + QStringLiteral(": ") + result));
        }
        QCOMPARE(answerOf(attempt(QStringLiteral("img"),
                                  QStringLiteral("pgx://c/TARVOL/PAGORA/SKUSKA/obr/Logo.png"))),
                 QStringLiteral("zablokovany"));

        // A missing local page gets the same Slovak message as a missing book page.
        const QString missing = folder + QStringLiteral("/domov/nie.html");
        QVERIFY(!navigate(missing));
        QVERIFY(
            bodyText().contains(QStringLiteral("Stránku „%1“ sa nepodarilo nájsť.").arg(missing)));
    }

    void ownPagesDeclareTheColourScheme()
    {
        QVERIFY(!navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\NIE.PGX")));
        QCOMPARE(
            js(QStringLiteral("getComputedStyle(document.documentElement).colorScheme")).toString(),
            QStringLiteral("light dark"));
    }

    void exitRefusesPendingRequests()
    {
        // A pane of its own: after this no request of it is ever answered again.
        auto *pane = new BrowserPane;
        pane->resize(400, 300);
        pane->show();
        QSignalSpy finished(pane, &BrowserPane::loadFinished);
        pane->Navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\2 UTF8.PGX"));
        QVERIFY(finished.wait(LoadTimeoutMs));
        QVERIFY(finished.last().first().toBool());
        pane->schemeHandler()->setRecording(true);
        pane->schemeHandler()->shutdown();
        // The engine gives the navigation up; nothing is read for it.
        int ended = 0;
        connect(pane->page(), &QWebEnginePage::loadingChanged, pane,
                [&](const QWebEngineLoadingInfo &info) {
                    if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus)
                        ++ended;
                });
        pane->Navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\1 UVOD.PGX"));
        QTRY_VERIFY_WITH_TIMEOUT(ended > 0, LoadTimeoutMs);
        QVERIFY(pane->schemeHandler()->servedFiles().isEmpty());
        QVERIFY(pane->schemeHandler()->requests().isEmpty());
        delete pane;
    }

    void hostilePageStaysInsideTheLibrary()
    {
        BookPage *page = m_pane->bookPage();
        const int windowsBefore = QApplication::topLevelWidgets().size();
        const int windowRequestsBefore = page->windowRequests();
        m_server.connections = 0;
        m_pane->schemeHandler()->setRecording(true);
        m_pane->requestInterceptor()->setRecording(true);

        QVERIFY(navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\9 NEBEZPECNA.PGX")));
        // The page writes down what became of each attempt; 14 lines when all are settled.
        QString results;
        const bool settled = QTest::qWaitFor(
            [&] {
                results = js(QStringLiteral("document.getElementById('vysledky').textContent"))
                              .toString();
                return results.count(QLatin1Char('\n')) >= 14;
            },
            LoadTimeoutMs);
        QVERIFY2(settled, qPrintable(results));
        const QStringList lines = results.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 14);
        for (const QString &line : lines) {
            if (line.startsWith(QLatin1String("vlastny=")))
                QCOMPARE(line, QStringLiteral("vlastny=nacitany")); // the book's own picture
            else
                QVERIFY2(line.endsWith(QLatin1String("=zablokovany")) ||
                             line.endsWith(QLatin1String("=zablokovane")),
                         qPrintable(line));
        }

        // Links to an unknown scheme, to the web and into a new window, clicked by the page.
        js(QStringLiteral("document.getElementById('foo').click()"));
        js(QStringLiteral("document.getElementById('webOdkaz').click()"));
        js(QStringLiteral("document.getElementById('noveOkno').click()"));
        // "../../../../etc/passwd" stops at the drive root and finds nothing there.
        QVERIFY(clickAndWait(QStringLiteral("#passwd")));
        QCOMPARE(m_pane->url(), QUrl(QStringLiteral("pgx://c/etc/passwd")));
        QVERIFY(
            bodyText().contains(QStringLiteral("Stránku „C:\\etc\\passwd“ sa nepodarilo nájsť.")));

        QCOMPARE(m_server.connections, 0);
        QVERIFY(m_openedExternally.isEmpty());
        QCOMPARE(QApplication::topLevelWidgets().size(), windowsBefore);
        QCOMPARE(page->windowRequests(), windowRequestsBefore);

        const QString root = QDir(m_drive).canonicalPath() + QLatin1Char('/');
        const QStringList served = m_pane->schemeHandler()->servedFiles();
        QVERIFY(!served.isEmpty());
        for (const QString &file : served)
            QVERIFY2(file.startsWith(root), qPrintable(file));
        const QList<QUrl> blocked = m_pane->requestInterceptor()->blocked();
        QVERIFY(blocked.contains(QUrl(web(QStringLiteral("/obrazok.png")))));
        for (const QUrl &url : m_pane->requestInterceptor()->seen()) {
            QVERIFY2(PageRequestInterceptor::allowedFromBook(url) || blocked.contains(url),
                     qPrintable(url.toString()));
        }
        m_pane->schemeHandler()->setRecording(false);
        m_pane->requestInterceptor()->setRecording(false);
    }
};

int main(int argc, char **argv)
{
    // The scheme must be known before the engine starts, and the engine's sandbox
    // refuses to run as root.
    registerPageScheme();
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    TestWebPane test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_webpane.moc"
