// SPDX-License-Identifier: MIT
// A page's text reaches screen readers: read back through the accessibility tree of the
// browser pane on the real engine.
#include "browserpane.h"
#include "pageaccessibility.h"
#include "pageschemehandler.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

constexpr int LoadTimeoutMs = 20000;

const QString Pangram = QStringLiteral("Kŕdeľ šťastných ďatľov učí pri ústí Váhu mĺkveho koňa "
                                       "obhrýzať kôru a žrať čerstvé mäso.");

// Every text the tree offers below iface: names, values and text contents.
void collectTexts(QAccessibleInterface *iface, QStringList &texts, int depth = 0)
{
    if (!iface || !iface->isValid() || depth > 60)
        return;
    texts << iface->text(QAccessible::Name) << iface->text(QAccessible::Value);
    if (QAccessibleTextInterface *text = iface->textInterface())
        texts << text->text(0, text->characterCount());
    for (int i = 0; i < iface->childCount(); ++i)
        collectTexts(iface->child(i), texts, depth + 1);
}

} // namespace

class TestWebAccessibility : public QObject
{
    Q_OBJECT

    QTemporaryDir m_temp;

private slots:
    void switchIsSetUnlessTheUserSetIt_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("set");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("unset") << QByteArray() << false << QByteArray("1");
        QTest::newRow("user turned it off") << QByteArray("0") << true << QByteArray("0");
        QTest::newRow("user set it empty") << QByteArray() << true << QByteArray();
        QTest::newRow("user turned it on") << QByteArray("1") << true << QByteArray("1");
    }

    void switchIsSetUnlessTheUserSetIt()
    {
        QFETCH(QByteArray, before);
        QFETCH(bool, set);
        QFETCH(QByteArray, after);
        const char *name = "QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY";
        const QByteArray saved = qgetenv(name);
        if (set)
            qputenv(name, before);
        else
            qunsetenv(name);
        pageaccessibility::enable();
        QCOMPARE(qEnvironmentVariableIsSet(name), true);
        QCOMPARE(qgetenv(name), after);
        qputenv(name, saved);
    }

    void pageTextReachesTheTree()
    {
        const QString book = m_temp.path() + QStringLiteral("/drive_c/TARVOL/PAGORA/CITANKA");
        QVERIFY(QDir().mkpath(book));
        QFile page(book + QStringLiteral("/1 UVOD.PGX"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write(QStringLiteral("<html><head><meta charset=\"utf-8\"><title>Čítanka</title>"
                                  "</head><body><h1>Úvod</h1><p>%1</p></body></html>")
                       .arg(Pangram)
                       .toUtf8());
        page.close();
        qputenv("PAGORA_DRIVE_C", (m_temp.path() + QStringLiteral("/drive_c")).toUtf8());

        BrowserPane pane;
        pane.resize(800, 600);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QSignalSpy finished(&pane, &BrowserPane::loadFinished);
        pane.Navigate(QStringLiteral("C:\\TARVOL\\PAGORA\\CITANKA\\1 UVOD.PGX"));
        QVERIFY(finished.wait(LoadTimeoutMs));
        QVERIFY(finished.last().first().toBool());
        // What a screen reader's bridge does when it starts listening; the engine, now
        // running, then builds the page's tree if it was allowed to at its start.
        QAccessible::setActive(true);

        QStringList texts;
        const bool found = QTest::qWaitFor(
            [&] {
                texts.clear();
                collectTexts(QAccessible::queryAccessibleInterface(&pane), texts);
                return texts.join(QLatin1Char('\n')).contains(Pangram);
            },
            LoadTimeoutMs);
        texts.removeAll(QString());
        QVERIFY2(found, qPrintable(texts.join(QStringLiteral(" | ")).left(2000)));
        QVERIFY(texts.join(QLatin1Char('\n')).contains(QStringLiteral("Úvod")));
    }
};

int main(int argc, char **argv)
{
    registerPageScheme();
    pageaccessibility::enable();
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    TestWebAccessibility test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_webaccessibility.moc"
