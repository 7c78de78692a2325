// SPDX-License-Identifier: MIT
// The reading aids' rules without the engine: zoom steps and their stored form, the
// context menu's entries, the find bar's count text.
#include "findbar.h"
#include "paneactions.h"
#include "panemenu.h"
#include "zoomsteps.h"

#include <QMenu>
#include <QTest>
#include <limits>

class TestAidsLogic : public QObject
{
    Q_OBJECT

private slots:
    void zoomSteps_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("larger");
        QTest::addColumn<double>("smaller");

        QTest::newRow("normal") << 1.0 << 1.1 << 0.9;
        QTest::newRow("engine's rounding of a step") << 1.0999999 << 1.25 << 1.0;
        QTest::newRow("between steps") << 1.3 << 1.5 << 1.25;
        QTest::newRow("at the top") << 3.0 << 3.0 << 2.5;
        QTest::newRow("at the bottom") << 0.5 << 0.67 << 0.5;
        QTest::newRow("above the top") << 4.0 << 3.0 << 3.0;
        QTest::newRow("below the bottom") << 0.2 << 0.5 << 0.5;
    }

    void zoomSteps()
    {
        QFETCH(double, from);
        QFETCH(double, larger);
        QFETCH(double, smaller);
        QCOMPARE(zoomsteps::larger(from), larger);
        QCOMPARE(zoomsteps::smaller(from), smaller);
    }

    void zoomFromEachStepReachesBothLimits()
    {
        double f = zoomsteps::normal;
        int steps = 0;
        while (f < zoomsteps::maximum && steps < 100) {
            const double next = zoomsteps::larger(f);
            QVERIFY(next > f);
            f = next;
            ++steps;
        }
        QCOMPARE(f, zoomsteps::maximum);
        while (f > zoomsteps::minimum && steps < 200) {
            const double next = zoomsteps::smaller(f);
            QVERIFY(next < f);
            f = next;
            ++steps;
        }
        QCOMPARE(f, zoomsteps::minimum);
        QVERIFY(steps < 40);
    }

    void storedZoom_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<double>("factor");

        QTest::newRow("step") << QStringLiteral("1.25") << 1.25;
        QTest::newRow("spaces") << QStringLiteral(" 2 ") << 2.0;
        QTest::newRow("decimal comma") << QStringLiteral("0,75") << 0.75;
        QTest::newRow("percent") << QStringLiteral("150 %") << 1.5;
        QTest::newRow("empty") << QString() << 1.0;
        QTest::newRow("words") << QStringLiteral("dvojnásobne") << 1.0;
        QTest::newRow("zero") << QStringLiteral("0") << 1.0;
        QTest::newRow("negative") << QStringLiteral("-2") << 1.0;
        QTest::newRow("not a number") << QStringLiteral("nan") << 1.0;
        QTest::newRow("infinite") << QStringLiteral("inf") << 1.0;
        QTest::newRow("huge") << QStringLiteral("1e308") << 3.0;
        QTest::newRow("tiny") << QStringLiteral("0.0001") << 0.5;
    }

    void storedZoom()
    {
        QFETCH(QString, stored);
        QFETCH(double, factor);
        QCOMPARE(zoomsteps::parse(stored), factor);
        // What is written reads back as the same factor.
        QCOMPARE(zoomsteps::parse(zoomsteps::format(factor)), factor);
    }

    void formattedZoom_data()
    {
        QTest::addColumn<double>("factor");
        QTest::addColumn<QString>("text");

        QTest::newRow("normal") << 1.0 << QStringLiteral("1");
        QTest::newRow("step") << 1.25 << QStringLiteral("1.25");
        QTest::newRow("engine's rounding") << 0.6700000001 << QStringLiteral("0.67");
        QTest::newRow("out of range") << 7.0 << QStringLiteral("3");
        QTest::newRow("not a number")
            << std::numeric_limits<double>::quiet_NaN() << QStringLiteral("1");
    }

    void formattedZoom()
    {
        QFETCH(double, factor);
        QFETCH(QString, text);
        QCOMPARE(zoomsteps::format(factor), text);
    }

    void menuEntries_data()
    {
        QTest::addColumn<bool>("back");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<bool>("selection");
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("picture");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<QString>("expected");

        const QString rest = QStringLiteral(
            "|Obnoviť|-|%1|Označiť všetko|-|Hľadať na stránke…|Hľadať v knihách…|Tlačiť…|-|");
        QTest::newRow("fresh page")
            << false << false << false << QString() << false << 1.0
            << QStringLiteral("[Späť]|[Dopredu]") + rest.arg("[Kopírovať]") +
                   QStringLiteral("Zväčšiť|Zmenšiť|[Pôvodná veľkosť]");
        QTest::newRow("history both ways, selection")
            << true << true << true << QString() << false << 1.0
            << QStringLiteral("Späť|Dopredu") + rest.arg("Kopírovať") +
                   QStringLiteral("Zväčšiť|Zmenšiť|[Pôvodná veľkosť]");
        QTest::newRow("largest zoom")
            << false << false << false << QString() << false << 3.0
            << QStringLiteral("[Späť]|[Dopredu]") + rest.arg("[Kopírovať]") +
                   QStringLiteral("[Zväčšiť]|Zmenšiť|Pôvodná veľkosť");
        QTest::newRow("smallest zoom")
            << false << false << false << QString() << false << 0.5
            << QStringLiteral("[Späť]|[Dopredu]") + rest.arg("[Kopírovať]") +
                   QStringLiteral("Zväčšiť|[Zmenšiť]|Pôvodná veľkosť");
        QTest::newRow("linked picture")
            << false << false << false << QStringLiteral("pgx://c/TARVOL/PAGORA/A/2%20B.PGX")
            << true << 1.0
            << QStringLiteral("Otvoriť odkaz|Kopírovať adresu odkazu|-|Kopírovať obrázok|-|"
                              "[Späť]|[Dopredu]") +
                   rest.arg("[Kopírovať]") + QStringLiteral("Zväčšiť|Zmenšiť|[Pôvodná veľkosť]");
    }

    void menuEntries()
    {
        QFETCH(bool, back);
        QFETCH(bool, forward);
        QFETCH(bool, selection);
        QFETCH(QString, link);
        QFETCH(bool, picture);
        QFETCH(double, zoom);
        QFETCH(QString, expected);

        MenuContext c;
        c.canGoBack = back;
        c.canGoForward = forward;
        c.hasSelection = selection;
        c.link = QUrl(link);
        c.picture = picture;
        c.zoom = zoom;
        QMenu menu;
        panemenu::fill(&menu, c, nullptr);
        QStringList seen;
        for (const QAction *a : menu.actions()) {
            if (a->isSeparator())
                seen << QStringLiteral("-");
            else
                seen << (a->isEnabled() ? a->text() : '[' + a->text() + ']');
        }
        QCOMPARE(seen.join('|'), expected);
    }

    void findCount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("shown");

        QTest::newRow("matches") << QStringLiteral("kon") << 3 << 12 << QStringLiteral("3 z 12");
        QTest::newRow("none") << QStringLiteral("xyz") << 0 << 0 << QStringLiteral("Nenájdené");
        QTest::newRow("empty text") << QString() << 0 << 0 << QString();
        QTest::newRow("only spaces") << QStringLiteral("  ") << 0 << 0 << QString();
    }

    void findCount()
    {
        QFETCH(QString, text);
        QFETCH(int, current);
        QFETCH(int, total);
        QFETCH(QString, shown);
        QCOMPARE(FindBar::countText(text, current, total), shown);
    }
};

QTEST_MAIN(TestAidsLogic)
#include "tst_aidslogic.moc"
