// SPDX-License-Identifier: MIT
// Which display a start needs and what is said when it is missing, decided before the
// application object exists; the X server is asked through a stand-in.
#include "startupchecks.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

bool serverAnswers = true;
QByteArray askedFor;

bool fakeConnect(const QByteArray &display)
{
    askedFor = display;
    return serverAnswers;
}

void setOrUnset(const char *name, const QByteArray &value)
{
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}

} // namespace

class TestStartupChecks : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime; // holds a Wayland socket's name when a row wants one

private slots:
    void chosenPlatform_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("environment");
        QTest::addColumn<QString>("platform");
        QTest::newRow("nothing") << QStringList{"pagora"} << QByteArray() << QString();
        QTest::newRow("environment")
            << QStringList{"pagora"} << QByteArray("offscreen") << "offscreen";
        QTest::newRow("argument wins")
            << QStringList{"pagora", "-platform", "xcb"} << QByteArray("offscreen") << "xcb";
        QTest::newRow("argument without a value")
            << QStringList{"pagora", "-platform"} << QByteArray("vnc") << "vnc";
    }

    void chosenPlatform()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, environment);
        QFETCH(QString, platform);
        setOrUnset("QT_QPA_PLATFORM", environment);
        QCOMPARE(startupchecks::chosenPlatform(arguments), platform);
    }

    void displayProblem_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<bool>("answers");
        QTest::addColumn<QString>("said"); // empty: the program starts
        const QString none = QStringLiteral("nie je nastavená premenná DISPLAY ani "
                                            "WAYLAND_DISPLAY");
        QTest::newRow("X answers") << "" << QByteArray(":0") << QByteArray() << true << "";
        QTest::newRow("X gone") << "" << QByteArray(":5") << QByteArray() << false
                                << "sa nepripojil k obrazovke „:5“";
        QTest::newRow("nothing set") << "" << QByteArray() << QByteArray() << true << none;
        QTest::newRow("empty DISPLAY") << "" << QByteArray("") << QByteArray() << true << none;
        QTest::newRow("offscreen needs nothing")
            << "offscreen" << QByteArray() << QByteArray() << false << "";
        QTest::newRow("minimal needs nothing")
            << "minimal" << QByteArray() << QByteArray() << false << "";
        QTest::newRow("X asked for, none set") << "xcb" << QByteArray() << QByteArray("w-1") << true
                                               << "nie je nastavená premenná DISPLAY)";
        QTest::newRow("X with options")
            << "xcb:nograb" << QByteArray(":0") << QByteArray() << true << "";
        QTest::newRow("Wayland session") << "" << QByteArray() << QByteArray("w-1") << false << "";
        QTest::newRow("Wayland asked for, no socket")
            << "wayland" << QByteArray() << QByteArray("w-none") << true
            << "nenašiel obrazovku Wayland";
        QTest::newRow("Wayland, then X that answers")
            << "wayland;xcb" << QByteArray(":0") << QByteArray("w-none") << true << "";
        QTest::newRow("Wayland gone, X gone")
            << "wayland;xcb" << QByteArray(":0") << QByteArray("w-none") << false
            << "sa nepripojil k obrazovke „:0“";
    }

    void displayProblem()
    {
        QFETCH(QString, platform);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, wayland);
        QFETCH(bool, answers);
        QFETCH(QString, said);
        // The only Wayland socket there is: w-1.
        QFile socket(m_runtime.filePath(QStringLiteral("w-1")));
        QVERIFY(socket.open(QIODevice::WriteOnly));
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
        setOrUnset("DISPLAY", display);
        setOrUnset("WAYLAND_DISPLAY", wayland);
        serverAnswers = answers;
        askedFor.clear();
        const QString problem =
            startupchecks::displayProblem(QStringLiteral("pagora"), platform, fakeConnect);
        if (said.isEmpty()) {
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        } else {
            QVERIFY2(problem.startsWith(QStringLiteral("pagora: program sa nedá spustiť, ")),
                     qPrintable(problem));
            QVERIFY2(problem.contains(said), qPrintable(problem));
            QVERIFY(!problem.contains(QLatin1Char('\n')));
        }
        if (!askedFor.isEmpty())
            QCOMPARE(askedFor, display);
    }

    // The user's own rules win; without them the engine's log is turned down once.
    void quietLogging_data()
    {
        QTest::addColumn<QByteArray>("rules");
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("nothing set") << QByteArray() << QByteArray() << QByteArray("--log-level=3");
        QTest::newRow("other switches kept") << QByteArray() << QByteArray("--disable-gpu")
                                             << QByteArray("--disable-gpu --log-level=3");
        QTest::newRow("user's log level")
            << QByteArray() << QByteArray("--log-level=0") << QByteArray("--log-level=0");
        QTest::newRow("user's rules") << QByteArray("*.debug=true") << QByteArray("--disable-gpu")
                                      << QByteArray("--disable-gpu");
        QTest::newRow("user's empty rules") << QByteArray("") << QByteArray() << QByteArray();
    }

    void quietLogging()
    {
        QFETCH(QByteArray, rules);
        QFETCH(QByteArray, flags);
        QFETCH(QByteArray, after);
        setOrUnset("QT_LOGGING_RULES", rules);
        setOrUnset("QTWEBENGINE_CHROMIUM_FLAGS", flags);
        startupchecks::quietLogging();
        QCOMPARE(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), after);
    }
};

QTEST_GUILESS_MAIN(TestStartupChecks)
#include "tst_startupchecks.moc"
