// SPDX-License-Identifier: MIT
// The browser pane on the real engine: pages from a small library are loaded and their
// rendered text read back.
#include "bookpage.h"
#include "browserpane.h"
#include "frmhlavne.h"
#include "pageaddress.h"
#include "pagedialog.h"
#include "pagerequestinterceptor.h"
#include "pageschemehandler.h"

#include "pagescript.h"
#include "testsupport.h"

#include <QApplication>
#include <QDateTime>

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>
#include <QUrlQuery>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <csignal>
#include <memory>
#include <unistd.h>
#include <vector>

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
    QStringList paths; // of every request, in order

    // A web page that reaches for the library and the file system; @PORT@ is ours.
    QByteArray hostilePage;

    LocalWebServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                ++connections;
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    const QByteArray request = socket->readAll();
                    if (!request.contains("\r\n\r\n"))
                        return;
                    paths << QString::fromLatin1(request.split(' ').value(1));
                    if (request.startsWith("GET /zly ")) {
                        socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html; "
                                      "charset=utf-8\r\nConnection: close\r\n\r\n" +
                                      hostilePage);
                        socket->disconnectFromHost();
                        return;
                    }
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
    // Listeners a page must never reach (STUN over UDP, TURN over TCP).
    QUdpSocket m_udp;
    QTcpServer m_tcp;
    int m_datagrams = 0;
    int m_tcpConnections = 0;
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
        return runPageScript(m_pane->page(), script, LoadTimeoutMs);
    }

    QString bodyText() { return js(QStringLiteral("document.body.innerText")).toString(); }

    // Where the engine draws and a user's pointer and keys land.
    QWidget *input() const
    {
        auto *view = m_pane->findChild<QWebEngineView *>();
        return view ? view->focusProxy() : nullptr;
    }

    QPoint centerOf(const QString &id)
    {
        const QVariantList box =
            js(QStringLiteral("(() => { const r = document.getElementById('%1')"
                              ".getBoundingClientRect(); return [r.x + r.width / 2, "
                              "r.y + r.height / 2]; })()")
                   .arg(id))
                .toList();
        return box.size() == 2 ? QPoint(box.at(0).toInt(), box.at(1).toInt()) : QPoint();
    }

    // As a user does it: the pointer goes onto the element, rests until the engine knows
    // what lies under it, and clicks.
    void userClick(const QString &id, Qt::MouseButton button = Qt::LeftButton)
    {
        const QPoint at = centerOf(id);
        QSignalSpy hovered(m_pane->page(), &QWebEnginePage::linkHovered);
        QTest::mouseMove(input(), at);
        if (!hovered.wait(2000))
            QTest::qWait(300); // plain text reports nothing
        QTest::mouseClick(input(), button, {}, at);
    }

    bool killRenderer()
    {
        const qint64 pid = m_pane->page()->renderProcessPid();
        return pid > 0 && pid != QCoreApplication::applicationPid() &&
               ::kill(pid_t(pid), SIGKILL) == 0;
    }

    QString bookPage(const QString &name) const
    {
        return QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\") + name;
    }

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

        QVERIFY(m_udp.bind(QHostAddress::LocalHost, 0));
        connect(&m_udp, &QUdpSocket::readyRead, this, [this] {
            while (m_udp.hasPendingDatagrams()) {
                m_udp.receiveDatagram();
                ++m_datagrams;
            }
        });
        QVERIFY(m_tcp.listen(QHostAddress::LocalHost));
        connect(&m_tcp, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_tcp.nextPendingConnection()) {
                ++m_tcpConnections;
                socket->deleteLater();
            }
        });

        // The hostile pages learn where the bait lies: a picture outside the drive, linked
        // from inside it, and the ports of our listeners.
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
        const QStringList pages = QDir(book).entryList({QStringLiteral("*.PGX")}, QDir::Files);
        for (const QString &name : pages) {
            QFile page(book + name);
            QVERIFY(page.open(QIODevice::ReadWrite));
            QByteArray html = page.readAll();
            html.replace("@PORT@", QByteArray::number(m_server.serverPort()));
            html.replace("@CLOSED@", QByteArray::number(m_closedPort));
            html.replace("@UDP@", QByteArray::number(m_udp.localPort()));
            html.replace("@TCP@", QByteArray::number(m_tcp.serverPort()));
            html.replace("@OUTSIDE@", outside.toUtf8());
            QVERIFY(page.resize(0));
            QVERIFY(page.write(html) == html.size());
        }
        QFile hostileWeb(QStringLiteral(PAGORA_TEST_DATA "/webpages/ZLY.HTML"));
        QVERIFY(hostileWeb.open(QIODevice::ReadOnly));
        m_server.hostilePage = hostileWeb.readAll();

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
        QTest::newRow("utf-16le without a byte order mark")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\26 UTF16LE.PGX")
            << QStringLiteral("UTF-16LE") << QStringLiteral("ŤAŽKÝ ŠTÍT ŽIARI");
        QTest::newRow("utf-16be without a byte order mark")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\27 UTF16BE.PGX")
            << QStringLiteral("UTF-16BE") << QStringLiteral("ŤAŽKÝ ŠTÍT ŽIARI");
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

    void userClickOnWebLinkFollowsItInThePane()
    {
        QVERIFY(navigate(web(QStringLiteral("/"))));
        const QPoint at = centerOf(QStringLiteral("von"));
        QSignalSpy hovered(m_pane->page(), &QWebEnginePage::linkHovered);
        QTest::mouseMove(input(), at);
        QVERIFY(hovered.wait(LoadTimeoutMs));
        QSignalSpy finished(m_pane, &BrowserPane::loadFinished);
        QTest::mouseClick(input(), Qt::LeftButton, {}, at);
        QVERIFY(finished.wait(LoadTimeoutMs));
        QCOMPARE(m_pane->url(), QUrl(web(QStringLiteral("/iny"))));
        QVERIFY(m_openedExternally.isEmpty());
    }

    void userLinkLeavesTheLibraryInThePane_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("expected"); // path on our web server, or a book page

        QTest::newRow("web link, a hidden link clicked along")
            << QStringLiteral("17 ODKAZY.PGX") << QStringLiteral("odkaz")
            << QStringLiteral("/odkaz");
        QTest::newRow("web link into a new window")
            << QStringLiteral("19 OKNA.PGX") << QStringLiteral("nove") << QStringLiteral("/nove");
        QTest::newRow("book link into a new window")
            << QStringLiteral("19 OKNA.PGX") << QStringLiteral("kniha")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\2 UTF8.PGX");
    }

    void userLinkLeavesTheLibraryInThePane()
    {
        QFETCH(QString, page);
        QFETCH(QString, link);
        QFETCH(QString, expected);

        const QString address = bookPage(page);
        QVERIFY(navigate(address));
        const int windowsBefore = QApplication::topLevelWidgets().size();
        m_server.paths.clear();
        m_openedExternally.clear();

        userClick(link);
        const QUrl want = expected.startsWith(QLatin1Char('/'))
                              ? QUrl(web(expected))
                              : PageAddress::fromNavigate(expected);
        QTRY_COMPARE_WITH_TIMEOUT(m_pane->url(), want, LoadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!m_pane->page()->isLoading(), LoadTimeoutMs);
        QTest::qWait(500); // time for anything the book page's scripts tried on the way
        // The page's own tries on the way (a window, a location, a hidden link) got nowhere.
        const QStringList wantPaths =
            expected.startsWith(QLatin1Char('/')) ? QStringList{expected} : QStringList{};
        m_server.paths.removeAll(QStringLiteral("/favicon.ico"));
        QCOMPARE(m_server.paths, wantPaths);
        QVERIFY(m_openedExternally.isEmpty());
        QCOMPARE(m_pane->lastAddress(), address);
        QCOMPARE(QApplication::topLevelWidgets().size(), windowsBefore);
    }

    void enterOnFocusedLinkFollowsIt()
    {
        QVERIFY(navigate(bookPage(QStringLiteral("17 ODKAZY.PGX"))));
        m_server.paths.clear();
        input()->setFocus();
        QSignalSpy hovered(m_pane->page(), &QWebEnginePage::linkHovered);
        QTest::keyClick(input(), Qt::Key_Tab); // the first link of the page
        QVERIFY(hovered.wait(LoadTimeoutMs));
        QCOMPARE(hovered.last().first().toString(), web(QStringLiteral("/odkaz")));
        QTest::keyClick(input(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(m_pane->url(), QUrl(web(QStringLiteral("/odkaz"))),
                                  LoadTimeoutMs);
        QTest::qWait(500);
        m_server.paths.removeAll(QStringLiteral("/favicon.ico"));
        QVERIFY2(m_server.paths == QStringList{QStringLiteral("/odkaz")},
                 qPrintable(m_server.paths.join(QLatin1Char(' '))));
    }

    void enterLendsNoLinkUnderThePointer_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("expected"); // path on our web server, or empty to stay

        QTest::newRow("Enter in a text field") << QStringLiteral("enter") << QString();
        QTest::newRow("a real click on the invisible link")
            << QStringLiteral("click") << QStringLiteral("/neviditelny?4711");
    }

    // A page-wide invisible link lies under the pointer; the page clicks it when the reader
    // presses Enter in its text field.
    void enterLendsNoLinkUnderThePointer()
    {
        QFETCH(QString, how);
        QFETCH(QString, expected);
        QVERIFY(navigate(bookPage(QStringLiteral("21 ENTER.PGX"))));
        const QUrl book = m_pane->url();
        m_server.paths.clear();
        // Anew in each row, from the field that lies above the link: the engine reports a
        // link only when the pointer comes onto it.
        QTest::mouseMove(input(), centerOf(QStringLiteral("pole")));
        QTest::qWait(300);
        const QPoint at = centerOf(QStringLiteral("text"));
        QSignalSpy hovered(m_pane->page(), &QWebEnginePage::linkHovered);
        QTest::mouseMove(input(), at);
        QVERIFY(hovered.wait(LoadTimeoutMs));
        QCOMPARE(hovered.last().first().toString(), web(QStringLiteral("/neviditelny?4711")));
        if (how == QLatin1String("enter")) {
            input()->setFocus();
            js(QStringLiteral("document.getElementById('pole').focus()"));
            QTest::keyClick(input(), Qt::Key_Return);
            QTest::qWait(1500);
            QCOMPARE(m_pane->url(), book);
        } else {
            QTest::mouseClick(input(), Qt::LeftButton, {}, at);
            QTRY_COMPARE_WITH_TIMEOUT(m_pane->url(), QUrl(web(expected)), LoadTimeoutMs);
            QTest::qWait(300);
        }
        m_server.paths.removeAll(QStringLiteral("/favicon.ico"));
        QCOMPARE(m_server.paths, expected.isEmpty() ? QStringList() : QStringList{expected});
    }

    // The page sets its location every 5 ms; the reader's click on a book link still counts
    // the first time.
    void readersLinkOutlastsAPageThatKeepsLeaving()
    {
        m_server.paths.clear();
        for (int round = 0; round < 5; ++round) {
            const QByteArray where = QByteArrayLiteral("round ") + QByteArray::number(round);
            QVERIFY2(navigate(bookPage(QStringLiteral("22 PRESMEROVANIA.PGX"))), where);
            QTest::mouseMove(input(), QPoint(2, 2)); // the reader comes to the link anew
            QTest::qWait(round * 20);
            userClick(QStringLiteral("dalej"));
            QTRY_VERIFY2_WITH_TIMEOUT(m_pane->url().fileName() == QStringLiteral("2 UTF8.PGX"),
                                      where.constData(), LoadTimeoutMs);
            QTRY_VERIFY2_WITH_TIMEOUT(bodyText().contains(Pangram), where.constData(),
                                      LoadTimeoutMs);
        }
        m_server.paths.removeAll(QStringLiteral("/favicon.ico"));
        QCOMPARE(m_server.paths, QStringList());
    }

    void scriptNeverLeavesTheLibrary_data()
    {
        QTest::addColumn<QString>("action");

        QTest::newRow("click on plain text") << QStringLiteral("click");
        QTest::newRow("double click on plain text") << QStringLiteral("double");
        QTest::newRow("arrow key") << QStringLiteral("arrow");
        QTest::newRow("Enter with no link focused") << QStringLiteral("enter");
        QTest::newRow("a click, then a key") << QStringLiteral("click arrow");
    }

    void scriptNeverLeavesTheLibrary()
    {
        QFETCH(QString, action);

        // The page sets location every 100 ms, clicks a hidden link on every click, and
        // opens windows and changes location on every press and key.
        const QString address = bookPage(QStringLiteral("10 SKRIPTY.PGX"));
        QVERIFY(navigate(address));
        const QUrl book = m_pane->url();
        m_server.paths.clear();
        m_server.connections = 0;
        m_openedExternally.clear();

        input()->setFocus();
        for (const QString &step : action.split(QLatin1Char(' '))) {
            if (step == QLatin1String("click")) {
                userClick(QStringLiteral("text"));
            } else if (step == QLatin1String("double")) {
                const QPoint at = centerOf(QStringLiteral("text"));
                QTest::mouseMove(input(), at);
                QTest::mouseDClick(input(), Qt::LeftButton, {}, at);
            } else if (step == QLatin1String("arrow")) {
                QTest::keyClick(input(), Qt::Key_Down);
            } else if (step == QLatin1String("enter")) {
                QTest::keyClick(input(), Qt::Key_Return);
            }
            QTest::qWait(100);
        }
        QTest::qWait(1500);
        QCOMPARE(m_pane->url(), book);
        QCOMPARE(m_server.connections, 0);
        QCOMPARE(m_openedExternally, QList<QUrl>());
        QVERIFY(bodyText().contains(QStringLiteral("Tajomstvo knihy")));
    }

    void programsAddressOutlastsAPageThatKeepsLeaving_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("text");
        QTest::newRow("the same page again")
            << QStringLiteral("10 SKRIPTY.PGX") << QStringLiteral("Tajomstvo knihy");
        QTest::newRow("another page") << QStringLiteral("2 UTF8.PGX") << Pangram;
    }

    // For a few seconds after a click, the page's own navigations (every 100 ms, and on every
    // press) may cancel the one the program just started; the page never gets away, and the
    // program's address must still come, as a new document.
    void programsAddressOutlastsAPageThatKeepsLeaving()
    {
        QFETCH(QString, target);
        QFETCH(QString, text);
        const QString chaser = bookPage(QStringLiteral("10 SKRIPTY.PGX"));
        m_server.connections = 0;
        for (int round = 0; round < 10; ++round) {
            const QByteArray where = QByteArrayLiteral("round ") + QByteArray::number(round);
            QVERIFY2(navigate(chaser), where.constData());
            userClick(QStringLiteral("text"));
            QTest::qWait(round * 10); // meet the page's timer at another point each round
            const double asked = double(QDateTime::currentMSecsSinceEpoch());
            QVERIFY2(navigate(bookPage(target)), where.constData());
            QCOMPARE(m_pane->url().fileName(), target);
            // url() names an address that never came as well; the document tells.
            QVERIFY2(js(QStringLiteral("performance.timeOrigin")).toDouble() > asked - 20,
                     where.constData());
            QVERIFY2(bodyText().contains(text), where.constData());
        }
        QCOMPARE(m_server.connections, 0);
    }

    void mailLinkGoesToTheMailProgram()
    {
        const QString address = bookPage(QStringLiteral("10 SKRIPTY.PGX"));
        QVERIFY(navigate(address));
        const QUrl book = m_pane->url();
        m_openedExternally.clear();
        userClick(QStringLiteral("posta"));
        QTRY_COMPARE_WITH_TIMEOUT(m_openedExternally.size(), 1, LoadTimeoutMs);
        QTest::qWait(500);
        QCOMPARE(m_openedExternally.size(), 1); // the page's own mail window never
        const QUrl mail = m_openedExternally.first();
        QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
        QCOMPARE(mail.path(), QStringLiteral("ana@example.sk"));
        const QUrlQuery query(mail);
        QCOMPARE(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
                 QStringLiteral("Otázka k knihe"));
        QCOMPARE(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
                 QStringLiteral("Dobrý deň,\nrád & rýchlo"));
        QCOMPARE(m_pane->url(), book);
        m_openedExternally.clear();
    }

    void userLinkToDeadWebPageShowsMessage()
    {
        QVERIFY(navigate(bookPage(QStringLiteral("17 ODKAZY.PGX"))));
        QSignalSpy finished(m_pane, &BrowserPane::loadFinished);
        userClick(QStringLiteral("mrtvy"));
        QTRY_VERIFY_WITH_TIMEOUT(PageAddress::isMessagePage(m_pane->url()), LoadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() && !finished.last().first().toBool(),
                                 LoadTimeoutMs);
        const QString body = bodyText();
        QVERIFY2(body.contains(QStringLiteral("Stránku „http://127.0.0.1:%1/mrtvy“ sa nepodarilo "
                                              "načítať.")
                                   .arg(m_closedPort)),
                 qPrintable(body));
    }

    void webPageReachesNothingOfTheLibrary()
    {
        m_pane->schemeHandler()->setRecording(true);
        QVERIFY(navigate(web(QStringLiteral("/zly"))));
        QString results;
        const bool settled = QTest::qWaitFor(
            [&] {
                results = js(QStringLiteral("document.getElementById('vysledky').textContent"))
                              .toString();
                return results.count(QLatin1Char('\n')) >= 3;
            },
            LoadTimeoutMs);
        QVERIFY2(settled, qPrintable(results));
        for (const QString &line : results.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            QVERIFY2(line.endsWith(QLatin1String("=zablokovany")), qPrintable(line));
        // The page's script tries the library and a file on its own, then the user clicks a
        // link into the library.
        QTest::qWait(700);
        userClick(QStringLiteral("doKnihy"));
        QTest::qWait(1000);
        QCOMPARE(m_pane->url(), QUrl(web(QStringLiteral("/zly"))));
        QCOMPARE(m_pane->schemeHandler()->requests(), QList<QUrl>());
        m_pane->schemeHandler()->setRecording(false);
    }

    void webRtcSendsNothing()
    {
        m_datagrams = 0;
        m_tcpConnections = 0;
        QVERIFY(navigate(bookPage(QStringLiteral("11 WEBRTC.PGX"))));
        QString results;
        const bool settled = QTest::qWaitFor(
            [&] {
                results = js(QStringLiteral("document.getElementById('vysledky').textContent"))
                              .toString();
                return results.count(QLatin1Char('\n')) >= 8;
            },
            LoadTimeoutMs);
        QVERIFY2(settled, qPrintable(results));
        QTest::qWait(3000); // ICE gathering would have sent its first packets by now
        QCOMPARE(results.count(QLatin1Char('\n')), 8);
        QVERIFY2(m_datagrams == 0, qPrintable(results));
        QVERIFY2(m_tcpConnections == 0, qPrintable(results));
        for (const QString &line : results.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            QVERIFY2(line.endsWith(QLatin1String("=zablokovane")), qPrintable(line));
    }

    // Routes the request interceptor never sees: a shared worker from a data: URL, QUIC,
    // and WebRTC in frames that the editor or a shadow tree made.
    void escapesPastTheInterceptorSendNothing_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("lines");
        QTest::newRow("shared worker from data:") << QStringLiteral("20 UNIK WORKER.PGX") << 2;
        QTest::newRow("WebTransport") << QStringLiteral("20 UNIK QUIC.PGX") << 1;
        QTest::newRow("WebRTC in frames of the editor and a shadow tree")
            << QStringLiteral("20 UNIK EDITOR.PGX") << 3;
    }

    void escapesPastTheInterceptorSendNothing()
    {
        QFETCH(QString, page);
        QFETCH(int, lines);
        m_datagrams = 0;
        m_tcpConnections = 0;
        m_server.paths.clear();
        m_server.connections = 0;
        QVERIFY(navigate(bookPage(page)));
        QString results;
        const bool settled = QTest::qWaitFor(
            [&] {
                results = js(QStringLiteral("document.getElementById('vysledky').textContent"))
                              .toString();
                return results.count(QLatin1Char('\n')) >= lines;
            },
            LoadTimeoutMs);
        QVERIFY2(settled, qPrintable(results));
        QTest::qWait(3000); // workers, QUIC and ICE would have sent something by now
        QVERIFY2(m_server.connections == 0, qPrintable(m_server.paths.join(QLatin1Char(' '))));
        QVERIFY2(m_datagrams == 0, qPrintable(results));
        QVERIFY2(m_tcpConnections == 0, qPrintable(results));
        const QStringList written = results.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(written.size(), lines);
        for (const QString &line : written) {
            // A dedicated worker may start; it still reaches nothing (checked above).
            if (!line.startsWith(QLatin1String("vyhradeny=")))
                QVERIFY2(line.endsWith(QLatin1String("=zablokovany")), qPrintable(line));
        }
        QVERIFY(bodyText().contains(QStringLiteral("Tajomstvo knihy 4711")));
    }

    void pageDialogsAreSlovakAndStoppable_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("answers"); // ok, cancel, silence (then OK), type:<text>
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("result");

        QTest::newRow("a row of alerts, stopped by the check box")
            << QStringLiteral("12 DIALOGY.PGX")
            << QStringList{QStringLiteral("ok"), QStringLiteral("silence")}
            << QStringList{QStringLiteral("Upozornenie č. 1"), QStringLiteral("Upozornenie č. 2")}
            << QStringLiteral("hotovo false null");
        QTest::newRow("confirm and prompt answered")
            << QStringLiteral("13 OTAZKY.PGX")
            << QStringList{QStringLiteral("ok"), QStringLiteral("type:Jožo")}
            << QStringList{QStringLiteral("Pokračovať?"), QStringLiteral("Vaše meno?")}
            << QStringLiteral("hotovo true Jožo");
        QTest::newRow("confirm and prompt cancelled")
            << QStringLiteral("13 OTAZKY.PGX")
            << QStringList{QStringLiteral("cancel"), QStringLiteral("cancel")}
            << QStringList{QStringLiteral("Pokračovať?"), QStringLiteral("Vaše meno?")}
            << QStringLiteral("hotovo false null");
    }

    void pageDialogsAreSlovakAndStoppable()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, messages);
        QFETCH(QString, result);

        // A page dialog runs its own loop: answer it from a timer, as a user would meanwhile.
        QStringList seen;
        QStringList problems;
        QPointer<PageDialog> last;
        QTimer answerer;
        answerer.setInterval(50);
        connect(&answerer, &QTimer::timeout, this, [&] {
            PageDialog *dialog = m_pane->bookPage()->openDialog();
            if (!dialog || dialog == last || !dialog->isVisible())
                return;
            last = dialog;
            seen << dialog->findChild<QLabel *>(QStringLiteral("message"))->text();
            if (dialog->windowTitle() != QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\") + page)
                problems << QStringLiteral("title ") + dialog->windowTitle();
            if (dialog->windowModality() != Qt::NonModal || QApplication::activeModalWidget())
                problems << QStringLiteral("modal");
            if (dialog->silenceBox()->text() != PageDialog::silenceText() ||
                PageDialog::silenceText() !=
                    QStringLiteral("Nezobrazovať ďalšie dialógy z tejto stránky"))
                problems << QStringLiteral("check box");
            auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("ok"));
            auto *cancel = dialog->findChild<QPushButton *>(QStringLiteral("cancel"));
            if (!ok || ok->text() != QStringLiteral("OK"))
                problems << QStringLiteral("OK button");
            if ((dialog->kind() == PageDialog::Kind::Alert) != !cancel ||
                (cancel && cancel->text() != QStringLiteral("Zrušiť")))
                problems << QStringLiteral("cancel button");
            if (dialog->kind() == PageDialog::Kind::Prompt &&
                dialog->input()->text() != QStringLiteral("Ana"))
                problems << QStringLiteral("prompt default ") + dialog->input()->text();
            const QString answer = answers.value(seen.size() - 1, QStringLiteral("ok"));
            if (answer == QLatin1String("silence"))
                dialog->silenceBox()->setChecked(true);
            if (answer.startsWith(QLatin1String("type:")))
                dialog->input()->setText(answer.mid(5));
            QTest::mouseClick(answer == QLatin1String("cancel") ? cancel : ok, Qt::LeftButton);
        });
        answerer.start();
        m_pane->Navigate(bookPage(page));
        const bool done = QTest::qWaitFor(
            [&] {
                return js(QStringLiteral("document.getElementById('vysledok') ? "
                                         "document.getElementById('vysledok').textContent : ''"))
                           .toString() == result;
            },
            LoadTimeoutMs * 2);
        answerer.stop();
        QVERIFY2(done, qPrintable(seen.join(QLatin1Char('|'))));
        QCOMPARE(seen, messages);
        QCOMPARE(problems, QStringList());
        QVERIFY(!m_pane->bookPage()->openDialog());
    }

    void silencedDialogsStayOffWhileThePageChangesItsAddress_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("new #hash before each alert") << QStringLiteral("23 DIALOGY HASH.PGX");
        QTest::newRow("new ?search before each alert") << QStringLiteral("24 DIALOGY HLADANIE.PGX");
    }

    void silencedDialogsStayOffWhileThePageChangesItsAddress()
    {
        QFETCH(QString, page);
        QStringList seen;
        QPointer<PageDialog> last;
        QTimer answerer;
        answerer.setInterval(50);
        connect(&answerer, &QTimer::timeout, this, [&] {
            PageDialog *dialog = m_pane->bookPage()->openDialog();
            if (!dialog || dialog == last || !dialog->isVisible())
                return;
            last = dialog;
            seen << dialog->findChild<QLabel *>(QStringLiteral("message"))->text();
            dialog->silenceBox()->setChecked(true);
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("ok")),
                              Qt::LeftButton);
        });
        answerer.start();
        m_pane->Navigate(bookPage(page));
        QTRY_VERIFY_WITH_TIMEOUT(!seen.isEmpty(), LoadTimeoutMs);
        QTest::qWait(3000); // the page asks again every 100 ms
        answerer.stop();
        QCOMPARE(seen, QStringList{QStringLiteral("Dialóg č. 1")});
        // The reader's own move gives the page its voice back.
        answerer.start();
        QVERIFY(navigate(bookPage(QStringLiteral("12 DIALOGY.PGX"))));
        QTRY_VERIFY_WITH_TIMEOUT(seen.size() >= 2, LoadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(js(QStringLiteral("document.getElementById('vysledok') ? "
                                                   "document.getElementById('vysledok')"
                                                   ".textContent : ''"))
                                     .toString()
                                     .startsWith(QLatin1String("hotovo")),
                                 LoadTimeoutMs);
        answerer.stop();
        QCOMPARE(seen.value(1), QStringLiteral("Upozornenie č. 1"));
    }

    void leavingPageNeverWaitsForItsDialogs()
    {
        // The alert() loop's box is open when the program asks for another page; then a
        // page with a beforeunload handler is left after a click in it.
        m_pane->setStallTimeout(2000);
        int dialogs = 0;
        bool navigated = false;
        QTimer leaver;
        leaver.setInterval(50);
        connect(&leaver, &QTimer::timeout, this, [&] {
            if (m_pane->bookPage()->openDialog() && !navigated) {
                ++dialogs;
                navigated = true;
                m_pane->Navigate(bookPage(QStringLiteral("2 UTF8.PGX")));
            }
        });
        leaver.start();
        QSignalSpy finished(m_pane, &BrowserPane::loadFinished);
        m_pane->Navigate(bookPage(QStringLiteral("18 SLUCKA.PGX")));
        QTRY_VERIFY_WITH_TIMEOUT(navigated && !finished.isEmpty() &&
                                     finished.last().first().toBool(),
                                 LoadTimeoutMs * 2);
        leaver.stop();
        QCOMPARE(dialogs, 1);
        QTRY_COMPARE_WITH_TIMEOUT(m_pane->url(),
                                  PageAddress::fromNavigate(bookPage(QStringLiteral("2 UTF8.PGX"))),
                                  LoadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(bodyText().contains(Pangram), LoadTimeoutMs);
        QVERIFY(!m_pane->bookPage()->openDialog());
    }

    void endingProgramIgnoresPageDialogs()
    {
        // In a process of its own: the program ends while an alert() loop keeps asking.
        QProcess child;
        QElapsedTimer clock;
        clock.start();
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--koniec-pri-dialogu")});
        QVERIFY(child.waitForFinished(LoadTimeoutMs * 3));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QVERIFY2(child.exitCode() == 0, child.readAllStandardError().right(2000).constData());
        QVERIFY(child.readAllStandardOutput().contains("dialog"));
    }

    void busyPageDoesNotDeafenThePane()
    {
        m_pane->setStallTimeout(2000);
        QVERIFY(navigate(bookPage(QStringLiteral("14 ZANEPRAZDNENA.PGX"))));
        QTest::qWait(700); // its endless loop has started
        QVERIFY(navigate(bookPage(QStringLiteral("2 UTF8.PGX"))));
        QVERIFY(bodyText().contains(Pangram));
    }

    void stuckPageShowsMessage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("endless loop while loading") << QStringLiteral("15 ZASEKNUTA.PGX");
    }

    void stuckPageShowsMessage()
    {
        QFETCH(QString, page);
        m_pane->setStallTimeout(2000);
        QSignalSpy finished(m_pane, &BrowserPane::loadFinished);
        m_pane->Navigate(bookPage(page));
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), LoadTimeoutMs * 3);
        QVERIFY(!finished.last().first().toBool());
        const QString body = bodyText();
        QVERIFY2(body.contains(QStringLiteral("Stránku „C:\\TARVOL\\PAGORA\\SKUSKA\\%1“ sa "
                                              "nepodarilo načítať.")
                                   .arg(page)),
                 qPrintable(body));
        QVERIFY(navigate(bookPage(QStringLiteral("2 UTF8.PGX"))));
    }

    // Its scripts keep the renderer from answering for 14 s, asking the library for the next
    // one every 3.5 s, while other programs take every core.
    void heavyPageOnALoadedMachineIsNeverStopped()
    {
        m_pane->setStallTimeout(BrowserPane::DefaultStallTimeoutMs);
        std::vector<std::unique_ptr<QProcess>> hogs;
        for (int i = 0; i < QThread::idealThreadCount(); ++i) {
            hogs.push_back(std::make_unique<QProcess>());
            hogs.back()->start(QStringLiteral("sh"),
                               {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
            QVERIFY(hogs.back()->waitForStarted());
        }
        QSignalSpy ended(m_pane->page(), &QWebEnginePage::renderProcessTerminated);
        const bool ok = navigate(bookPage(QStringLiteral("25 TAZKA.PGX")));
        for (auto &hog : hogs) {
            hog->kill();
            hog->waitForFinished();
        }
        QCOMPARE(ended.size(), 0);
        QVERIFY(ok);
        QCOMPARE(js(QStringLiteral("document.getElementById('pocet').textContent")).toString(),
                 QStringLiteral("4"));
        QVERIFY(bodyText().contains(QStringLiteral("Koniec ťažkej stránky.")));
    }

    void deepPageLeavesThePaneWorking()
    {
        m_pane->setStallTimeout(2000);
        QSignalSpy finished(m_pane, &BrowserPane::loadFinished);
        m_pane->Navigate(bookPage(QStringLiteral("16 HLBOKA.PGX")));
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), LoadTimeoutMs * 3);
        QVERIFY(navigate(bookPage(QStringLiteral("2 UTF8.PGX"))));
        QVERIFY(bodyText().contains(Pangram));
    }

    void crashedRendererIsCountedPerAddress()
    {
        m_pane->setStallTimeout(2000);
        const QString address = bookPage(QStringLiteral("1 UVOD.PGX"));
        QVERIFY(navigate(address));
        // The first crash reloads the page; one that crashes again after loading fine
        // gets our message instead of endless reloads.
        QSignalSpy finished(m_pane, &BrowserPane::loadFinished);
        QVERIFY(killRenderer());
        QVERIFY(finished.wait(LoadTimeoutMs));
        QVERIFY(finished.last().first().toBool());
        QCOMPARE(m_pane->url(), PageAddress::fromNavigate(address));
        QVERIFY(killRenderer());
        QTRY_VERIFY_WITH_TIMEOUT(finished.size() >= 2, LoadTimeoutMs);
        QVERIFY(!finished.last().first().toBool());
        QVERIFY(bodyText().contains(
            QStringLiteral("Stránku „C:\\TARVOL\\PAGORA\\SKUSKA\\1 UVOD.PGX“ sa nepodarilo "
                           "načítať.")));
        // Asked for again, it gets its chance again.
        QVERIFY(navigate(address));
    }

    void newAddressWinsOverReload()
    {
        m_pane->setStallTimeout(2000);
        QVERIFY(navigate(bookPage(QStringLiteral("14 ZANEPRAZDNENA.PGX"))));
        QTest::qWait(700);
        QSignalSpy finished(m_pane, &BrowserPane::loadFinished);
        m_pane->Navigate(bookPage(QStringLiteral("2 UTF8.PGX")));
        QVERIFY(killRenderer());
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() && finished.last().first().toBool(),
                                 LoadTimeoutMs * 2);
        QCOMPARE(m_pane->url(), PageAddress::fromNavigate(bookPage(QStringLiteral("2 UTF8.PGX"))));
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

    // A home page kept outside the library, books, and what each may read of the others.
    void foldersAndBooksAreOriginsApart()
    {
        const auto write = [](const QString &path, const QByteArray &bytes) {
            QDir().mkpath(QFileInfo(path).path());
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        };
        QVERIFY(write(m_drive + QStringLiteral("/DOMOV/domov.html"),
                      "<p>Domov</p><script>localStorage.setItem('tajne', 'DOMOV-4711');"
                      "</script>"));
        QVERIFY(write(m_drive + QStringLiteral("/DOMOV/tajne.txt"), "TAJNE-DOMOV"));
        QVERIFY(write(m_drive + QStringLiteral("/TARVOL/PAGORA/DRUHA/1 UVOD.PGX"),
                      "<p>Druhá kniha</p><img src=\"../SKUSKA/obr/Logo.png\">"
                      "<p><a id=\"skuska\" href=\"../SKUSKA/2 UTF8.PGX\">Prvá kniha</a></p>"
                      "<script>localStorage.setItem('kniha', 'DRUHA');</script>"));

        QVERIFY(navigate(QStringLiteral("C:\\DOMOV\\domov.html")));
        QCOMPARE(js(QStringLiteral("localStorage.getItem('tajne')")).toString(),
                 QStringLiteral("DOMOV-4711"));
        const QString folderUrl =
            PageAddress::fromNavigate(QStringLiteral("C:\\DOMOV\\tajne.txt")).toString();

        QVERIFY(navigate(bookPage(QStringLiteral("1 UVOD.PGX"))));
        QVERIFY(js(QStringLiteral("localStorage.getItem('tajne')")).isNull());
        for (const QString &url : {QStringLiteral("/DOMOV/tajne.txt"),
                                   QStringLiteral("../../../DOMOV/tajne.txt"), folderUrl}) {
            const QString read = answerOf(attempt(QStringLiteral("xhr"), url));
            QVERIFY2(!read.contains(QLatin1String("TAJNE")),
                     qPrintable(url + QLatin1Char(' ') + read));
            const QString framed = answerOf(
                QStringLiteral("{ const f = document.createElement('iframe'); f.onload = () => { "
                               "let t = ''; try { t = f.contentDocument.body.innerText; } catch "
                               "(e) { t = 'cudzi'; } window.__r = 'ramec ' + t; }; f.src = '%1'; "
                               "document.body.appendChild(f); }")
                    .arg(url));
            QVERIFY2(!framed.contains(QLatin1String("TAJNE")),
                     qPrintable(url + QLatin1Char(' ') + framed));
        }

        // Books keep their storage apart, yet share the library's pictures and links.
        QVERIFY(navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\DRUHA\\1 UVOD.PGX")));
        QTRY_COMPARE_WITH_TIMEOUT(js(QStringLiteral("document.images[0].naturalWidth")).toInt(), 3,
                                  LoadTimeoutMs);
        QCOMPARE(js(QStringLiteral("localStorage.getItem('kniha')")).toString(),
                 QStringLiteral("DRUHA"));
        userClick(QStringLiteral("skuska"));
        const QUrl first = PageAddress::fromNavigate(bookPage(QStringLiteral("2 UTF8.PGX")));
        QTRY_COMPARE_WITH_TIMEOUT(m_pane->url(), first, LoadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(bodyText().contains(Pangram), LoadTimeoutMs);
        QVERIFY(js(QStringLiteral("localStorage.getItem('kniha')")).isNull());
        QVERIFY(js(QStringLiteral("localStorage.getItem('tajne')")).isNull());
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

// The child of endingProgramIgnoresPageDialogs: "Odchod" while a page's alert() loop asks.
static int endWhileDialogOpen()
{
    QTemporaryDir temp;
    const QString drive = temp.path() + QStringLiteral("/drive_c");
    if (!testsupport::copyTree(QStringLiteral(PAGORA_TEST_DATA "/web"), drive))
        return 2;
    qputenv("PAGORA_DRIVE_C", drive.toUtf8());
    auto *pane = new BrowserPane;
    pane->resize(400, 300);
    pane->show();
    QTimer ender;
    ender.setInterval(50);
    QObject::connect(&ender, &QTimer::timeout, [&] {
        if (pane->bookPage()->openDialog()) {
            ender.stop();
            fputs("dialog\n", stdout);
            fflush(stdout);
            frmHlavne::quitApplication(); // what "Odchod" and the close box end with
        }
    });
    ender.start();
    pane->Navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\SKUSKA\\18 SLUCKA.PGX"));
    const int result = QApplication::exec();
    delete pane;
    return result;
}

int main(int argc, char **argv)
{
    // The scheme must be known before the engine starts, and the engine's sandbox
    // refuses to run as root.
    registerPageScheme();
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--koniec-pri-dialogu") == 0)
        return endWhileDialogOpen();
    TestWebPane test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_webpane.moc"
