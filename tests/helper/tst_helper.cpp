// SPDX-License-Identifier: MIT
#include "filelistbox.h"
#include "frmhlavne.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString welcome = QString::fromUtf16(
    u"Kliknite na tlačidlo o ktorom sa chcete niečo dozvedieť. Všeobecný postup je takýto: "
    u"Kliknete na tlačidlo prvé zľava, vyberiete zložku textov, kliknete na OK. V ľavom "
    u"SpeedPaneli si nájdete text ktorý si chcete čítať, alebo kliknete na druhé tlačidlo "
    u"zľava a text si vyhľadáte.");
const QString speedPanel =
    QString::fromUtf16(u"Toto je SpeedPanel. Tu sú všetky listy vybranej knihy.");

template <typename T = QWidget> T *control(const frmHlavne &window, const char *name)
{
    auto *widget = window.findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

QString shown(const frmHlavne &window)
{
    return control<QLabel>(window, "Zobraz")->text();
}

QStringList items(const FileListBox &box)
{
    QStringList names;
    for (int i = 0; i < box.count(); ++i)
        names << box.item(i)->text();
    return names;
}

// A left click where a user would click: on the first entry of the list, elsewhere mid-control.
void click(QWidget *widget)
{
    if (auto *list = qobject_cast<FileListBox *>(widget)) {
        QVERIFY(list->count() > 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
    } else {
        QTest::mouseClick(widget, Qt::LeftButton);
    }
}

} // namespace

class TestHelper : public QObject
{
    Q_OBJECT

    QString m_savedFolder;
    QTemporaryDir m_book;

    static void touch(const QString &folder, const char *name)
    {
        QFile f(folder + QLatin1Char('/') + QLatin1String(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

    // Shown and active, as the viewer starts it.
    static void showActive(frmHlavne &window)
    {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    static void verifyFaceUntouched(const frmHlavne &window)
    {
        QCOMPARE(control<QLabel>(window, "Label1")->text(), QStringLiteral("Kniha:"));
        QCOMPARE(control<QLabel>(window, "Label2")->text(), QStringLiteral("List:"));
        QCOMPARE(control<QLabel>(window, "Kniha")->text(), QString::fromUtf16(u"<žiadna>"));
        QCOMPARE(control<QLabel>(window, "List")->text(), QString::fromUtf16(u"<žiadny>"));
        QVERIFY(control(window, "Praca")->isEnabled());
    }

private slots:
    void initTestCase()
    {
        m_savedFolder = QDir::currentPath();
        QVERIFY(m_book.isValid());
        for (const char *name : {"1 UVOD.PGX", "2 x.pgx", "pozn.txt"})
            touch(m_book.path(), name);
        QVERIFY(QDir::setCurrent(m_book.path()));
    }

    void cleanupTestCase() { QDir::setCurrent(m_savedFolder); }

    void startsWithTheGeneralAdvice()
    {
        frmHlavne window;
        QCOMPARE(shown(window), welcome);
        QCOMPARE(shown(window).size(), 277);
        QCOMPARE(window.windowTitle(), QString::fromUtf16(u"Tarvol Pagora NEW 1.0 Pomocník"));
        QVERIFY(!window.windowIcon().isNull());
        QCOMPARE(window.size(), face::clientSize());
        QCOMPARE(control(window, "Zobraz")->geometry(), face::paneRect());
    }

    void clickExplainsTheControl_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const auto row = [](const char *name, const char16_t *text) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf16(text);
        };
        row("Command1",
            u"Nastavíte úvodnú stránku. POZOR, môže to byť len PGX, alebo HTML dokument!");
        row("Command2", u"Kliknutím sem vyberiete list - v prípade ak ste si zvyknuli na starší "
                        u"spôsob, alebo je pre vás SpeedPanel veľmi malý.");
        row("Command3", u"Ak neviete, že toto je k nápovede, akým epileptickým záchvatom ste na to "
                        u"klikli?????");
        row("Command4", u"Tá ikonka pripomína odchod...");
        row("Command5", u"Kliknutím sem sa zobrazia informácie o programe Tarvol Pagora");
        row("Command6", u"Kliknutím sem vyberiete knihu - hneď prvý krok čo by ste mali urobiť");
        row("Command7", u"V hlavnom okne sa vám zobrazia informácie o otvorenej knihe.");
        row("Kniha", u"Otvorená kniha");
        row("Label1", u"Otvorená kniha");
        row("Label2", u"Otvorený list");
        row("List", u"Otvorený list");
        row("Listy", u"Toto je SpeedPanel. Tu sú všetky listy vybranej knihy.");
        row("Praca", u"No, no! Nie ste veľmi zvedavý? Kliknite v okne Tarvol Pagora!");
        row("Zobraz", u"Hlavné okno");
    }

    // Every click only explains: the same text the second time, no other window, no exit.
    void clickExplainsTheControl()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        frmHlavne window;
        showActive(window);
        QWidget *target = control(window, name.toLatin1().constData());

        // Another text in between, so that the second click has to explain anew.
        QWidget *other = control(window, name == QLatin1String("Zobraz") ? "Label2" : "Zobraz");
        for (int pass = 0; pass < 2; ++pass) {
            click(target);
            QCOMPARE(shown(window), text);
            verifyFaceUntouched(window);
            click(other);
            QVERIFY(shown(window) != text);
        }
        QCoreApplication::processEvents();
        QVERIFY(window.isVisible());
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top != &window && top->windowType() != Qt::ToolTip)
                QVERIFY2(!top->isVisible(), qPrintable(top->metaObject()->className()));
        }
    }

    void keyboardActivatesButtons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("space") << "Command5" << int(Qt::Key_Space)
                               << QString::fromUtf16(
                                      u"Kliknutím sem sa zobrazia informácie o programe Tarvol "
                                      u"Pagora");
        QTest::newRow("return") << "Command4" << int(Qt::Key_Return)
                                << QString::fromUtf16(u"Tá ikonka pripomína odchod...");
        QTest::newRow("keypad enter")
            << "Praca" << int(Qt::Key_Enter)
            << QString::fromUtf16(u"No, no! Nie ste veľmi zvedavý? Kliknite v okne Tarvol Pagora!");
    }

    void keyboardActivatesButtons()
    {
        QFETCH(QString, name);
        QFETCH(int, key);
        QFETCH(QString, text);
        frmHlavne window;
        showActive(window);
        QWidget *button = control(window, name.toLatin1().constData());
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, Qt::Key(key));
        QCOMPARE(shown(window), text);
        QVERIFY(window.isVisible());
    }

    void speedPanelListsThePagesOfTheWorkingFolder()
    {
        frmHlavne window;
        showActive(window);
        auto *listy = control<FileListBox>(window, "Listy");
        QCOMPARE(items(*listy), (QStringList{"1 UVOD.PGX", "2 x.pgx"}));
        QCOMPARE(shown(window), welcome);

        click(listy);
        QCOMPARE(shown(window), speedPanel);
        QCOMPARE(listy->currentRow(), 0);
        QVERIFY(listy->currentItem()->isSelected());

        // The arrow key must explain again even though the text is gone meanwhile.
        click(control(window, "Zobraz"));
        QVERIFY(shown(window) != speedPanel);
        QTest::keyClick(listy, Qt::Key_Down);
        QCOMPARE(shown(window), speedPanel);
        QCOMPARE(listy->currentRow(), 1);
        QVERIFY(listy->currentItem()->isSelected());
        QCOMPARE(listy->count(), 2);
        verifyFaceUntouched(window);
    }

    void speedPanelIsEmptyWithoutPages()
    {
        QTemporaryDir empty;
        touch(empty.path(), "pozn.txt");
        QVERIFY(QDir::setCurrent(empty.path()));
        frmHlavne window;
        QVERIFY(QDir::setCurrent(m_book.path()));
        showActive(window);
        auto *listy = control<FileListBox>(window, "Listy");
        QCOMPARE(listy->count(), 0);
        QTest::mouseClick(listy->viewport(), Qt::LeftButton);
        QTest::keyClick(listy, Qt::Key_Down);
        QCOMPARE(listy->count(), 0);
        QVERIFY(window.isVisible());
    }

    void tabVisitsButtonsAndListInOrder()
    {
        frmHlavne window;
        showActive(window);
        QCOMPARE(QApplication::focusWidget(), control(window, "Praca"));

        const QStringList chain{"Command1", "Listy",    "Command2", "Command3", "Command4",
                                "Command5", "Command6", "Command7", "Praca"};
        for (const QString &expected : chain) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(QApplication::focusWidget());
            QCOMPARE(QApplication::focusWidget()->objectName(), expected);
            // Passing through the list selects nothing, so it is no click.
            QCOMPARE(shown(window), welcome);
        }
        // The entry Qt made current on the way is still one click away from explaining.
        click(control(window, "Listy"));
        QCOMPARE(shown(window), speedPanel);
        for (const char *label : {"Label1", "Label2", "Kniha", "List", "Zobraz"})
            QCOMPARE(control(window, label)->focusPolicy(), Qt::NoFocus);
    }

    void resizingMovesNothing()
    {
        frmHlavne window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QList<QWidget *> controls =
            window.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(controls.size(), 14);
        QList<QRect> before;
        for (const QWidget *w : controls)
            before << w->geometry();

        window.resize(1200, 900);
        QTRY_COMPARE(window.size(), QSize(1200, 900));
        for (int i = 0; i < controls.size(); ++i)
            QCOMPARE(controls[i]->geometry(), before[i]);
    }
};

QTEST_MAIN(TestHelper)
#include "tst_helper.moc"
