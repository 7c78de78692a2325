// SPDX-License-Identifier: MIT
#include "filelistbox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <algorithm>
#include <cstdio>

class TestFileListBox : public QObject
{
    Q_OBJECT

    QTemporaryDir m_drive;
    QTemporaryDir m_big; // far too many names to list within the budget on any machine
    static constexpr int bigCount = 20000;

    QString kniha() const { return m_drive.path() + QStringLiteral("/TARVOL/PAGORA/KNIHA"); }

    // Every listing started so far has ended and whatever it posted has been handled.
    static void settle()
    {
        QThreadPool::globalInstance()->waitForDone();
        QTest::qWait(20);
    }

    void touch(const QString &relative)
    {
        const QString full = m_drive.path() + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(full).path());
        QFile f(full);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

    static QStringList items(const FileListBox &box)
    {
        QStringList names;
        for (int i = 0; i < box.count(); ++i)
            names << box.item(i)->text();
        return names;
    }

private slots:
    void initTestCase()
    {
        qputenv("PAGORA_DRIVE_C", m_drive.path().toUtf8());
        for (const char *name :
             {"TARVOL/PAGORA/KNIHA/1 UVOD.PGX", "TARVOL/PAGORA/KNIHA/10 KONIEC.PGX",
              "TARVOL/PAGORA/KNIHA/2 DALEJ.pgx", "TARVOL/PAGORA/KNIHA/a.Pgx",
              "TARVOL/PAGORA/KNIHA/B.PGX", "TARVOL/PAGORA/KNIHA/obrazok.gif",
              "TARVOL/PAGORA/KNIHA.BKX", "TARVOL/PAGORA/Iná.bkx"})
            touch(QString::fromUtf8(name));
        QDir().mkpath(m_drive.path() + QStringLiteral("/TARVOL/PAGORA/KNIHA/PRIECINOK.PGX"));
        for (int i = 0; i < bigCount; ++i) {
            QFile f(m_big.filePath(QStringLiteral("%1 VELKY.PGX").arg(i)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
    }

    void ordinaryFolderIsListedWhenSetPathReturns()
    {
        FileListBox box;
        QCOMPARE(box.listingBudget(), FileListBox::defaultListingBudget);
        box.setPattern(QStringLiteral("*.PGX"));
        QSignalSpy listed(&box, &FileListBox::listed);
        QVERIFY(box.setPath(kniha()));
        QCOMPARE(listed.count(), 1);
        QVERIFY(!box.isListing());
        QCOMPARE(box.count(), 5);
        settle();
        QCOMPARE(listed.count(), 1);
        QCOMPARE(box.count(), 5);
    }

    void namesArriveLaterWhenTheBudgetRunsOut_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QStringList>("names");

        const QStringList pages{"1 UVOD.PGX", "10 KONIEC.PGX", "2 DALEJ.pgx", "a.Pgx", "B.PGX"};
        QTest::newRow("drive path") << "setPath"
                                    << "C:\\TARVOL\\PAGORA\\kniha" << true << pages;
        QTest::newRow("native folder") << "setPath" << kniha() << true << pages;
        QTest::newRow("refresh") << "refresh" << kniha() << true << pages;
        QTest::newRow("new pattern") << "setPattern" << kniha() << true << pages;
        QTest::newRow("missing folder") << "setPath"
                                        << "C:\\TARVOL\\PAGORA\\NIE JE" << false << QStringList();
    }

    // The list is empty and nothing is selected until the names come; they come in order,
    // with listed(), and their arrival is no click.
    void namesArriveLaterWhenTheBudgetRunsOut()
    {
        QFETCH(QString, how);
        QFETCH(QString, path);
        QFETCH(bool, exists);
        QFETCH(QStringList, names);

        FileListBox box;
        box.setPattern(how == QLatin1String("setPattern") ? QStringLiteral("*.*")
                                                          : QStringLiteral("*.PGX"));
        QVERIFY(box.setPath(kniha()));
        box.resize(200, 300);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.setCurrentRow(1);
        QVERIFY(!box.fileName().isEmpty());
        box.setListingBudget(0);
        QSignalSpy listed(&box, &FileListBox::listed);
        QSignalSpy clicks(&box, &FileListBox::clicked);

        if (how == QLatin1String("refresh"))
            box.refresh();
        else if (how == QLatin1String("setPattern"))
            box.setPattern(QStringLiteral("*.PGX"));
        else
            QCOMPARE(box.setPath(path), exists);
        QVERIFY(box.fileName().isEmpty());
        if (exists) {
            QVERIFY(box.isListing());
            QCOMPARE(box.count(), 0);
            QCOMPARE(listed.count(), 0);
            QVERIFY(listed.wait(10000));
        }
        QVERIFY(!box.isListing());
        QCOMPARE(listed.count(), 1);
        QCOMPARE(items(box), names);
        QVERIFY(box.fileName().isEmpty());
        QVERIFY(box.selectedItems().isEmpty());
        QCOMPARE(clicks.count(), 0);
        settle();
        QCOMPARE(listed.count(), 1);
    }

    void unshownNoteFollowsTheNamesThatArrived()
    {
        QTemporaryDir dir;
        for (const QByteArray &file : {QByteArray("1 UVOD.PGX"), QByteArray("2 \xff ZLE.PGX")}) {
            FILE *raw = ::fopen((QFile::encodeName(dir.path()) + '/' + file).constData(), "w");
            QVERIFY(raw);
            ::fclose(raw);
        }
        FileListBox box;
        box.setPattern(QStringLiteral("*.PGX"));
        QVERIFY(box.setPath(dir.path()));
        QCOMPARE(box.unshownCount(), 1);
        box.setListingBudget(0);
        QSignalSpy listed(&box, &FileListBox::listed);
        // The same folder again: until its names are back there is nothing to note.
        QVERIFY(box.setPath(dir.path()));
        QCOMPARE(box.unshownCount(), 0);
        QCOMPARE(box.toolTip(), QString());
        QVERIFY(listed.wait(10000));
        QCOMPARE(box.unshownCount(), 1);
        QCOMPARE(box.toolTip(), FileListBox::unshownNote(1));
        QCOMPARE(items(box), QStringList{"1 UVOD.PGX"});
        // QTemporaryDir cannot name it either.
        QCOMPARE(::remove((QFile::encodeName(dir.path()) + "/2 \xff ZLE.PGX").constData()), 0);
    }

    void laterListingWins_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("firstName");

        QTest::newRow("big folder, then a small one")
            << m_big.path() << kniha() << 5 << QStringLiteral("1 UVOD.PGX");
        QTest::newRow("small folder, then a big one")
            << kniha() << m_big.path() << bigCount << QStringLiteral("0 VELKY.PGX");
        QTest::newRow("same folder twice")
            << kniha() << kniha() << 5 << QStringLiteral("1 UVOD.PGX");
        QTest::newRow("big folder, then a missing one")
            << m_big.path() << m_big.path() + QStringLiteral("/NIE") << 0 << QString();
    }

    void laterListingWins()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(int, count);
        QFETCH(QString, firstName);

        FileListBox box;
        box.setPattern(QStringLiteral("*.PGX"));
        box.setListingBudget(0);
        QSignalSpy listed(&box, &FileListBox::listed);
        box.setPath(first);
        box.setPath(second);
        QVERIFY(QTest::qWaitFor([&] { return !listed.isEmpty(); }, 20000));
        // Whatever the first listing finds later must not replace the second one's names.
        settle();
        QCOMPARE(listed.count(), 1);
        QCOMPARE(box.count(), count);
        QCOMPARE(box.path(), second);
        if (count > 0)
            QCOMPARE(box.item(0)->text(), firstName);
    }

    void destroyingTheListWhileItListsIsSafe_data()
    {
        QTest::addColumn<int>("listings");
        QTest::newRow("one listing under way") << 1;
        QTest::newRow("two listings under way") << 2;
    }

    void destroyingTheListWhileItListsIsSafe()
    {
        QFETCH(int, listings);
        QWidget window;
        auto *box = new FileListBox(&window);
        box->setPattern(QStringLiteral("*.PGX"));
        box->setListingBudget(0);
        int listed = 0;
        connect(box, &FileListBox::listed, &window, [&] { ++listed; });
        for (int i = 0; i < listings; ++i)
            box->setPath(m_big.path());
        QVERIFY(box->isListing());
        delete box;
        settle();
        QCoreApplication::processEvents();
        QCOMPARE(listed, 0);
    }

    void listsMatchingFilesSortedAsTextIgnoringCase()
    {
        FileListBox box;
        box.setPattern(QStringLiteral("*.PGX"));
        QVERIFY(box.setPath(QStringLiteral("C:\\TARVOL\\PAGORA\\kniha")));
        QCOMPARE(items(box),
                 (QStringList{"1 UVOD.PGX", "10 KONIEC.PGX", "2 DALEJ.pgx", "a.Pgx", "B.PGX"}));
        QVERIFY(box.fileName().isEmpty());

        box.setPattern(QStringLiteral("*.BKX"));
        QVERIFY(box.setPath(QStringLiteral("C:\\TARVOL\\PAGORA")));
        QCOMPARE(items(box), (QStringList{"Iná.bkx", "KNIHA.BKX"}));
    }

    // Names whose letter case, diacritics or special letters make the order and the match
    // easy to get wrong: the list must be ordered exactly as comparing them ignoring case
    // orders them, and "*.PGX" must match exactly what the wildcard rule matches.
    void orderAndMatchHoldForUnusualNames()
    {
        QTemporaryDir dir;
        const QStringList names{"b.pgx",     "B.PGX",
                                "a.PGX",     "A.pgx",
                                "Šípka.PGX", "sova.PGX",
                                "Žaba.pgx",  "zima.PGX",
                                "ß.PGX",     "ss.PGX",
                                "SS.PGX",    QString::fromUtf8("\u212a.PGX") /* Kelvin sign */,
                                "k.PGX",     "K.PGX",
                                "ﬁ.PGX",     "fi.PGX",
                                "İ.PGX",     "i.PGX",
                                "ı.PGX",     "Ω.PGX",
                                "ω.PGX",     QString::fromUtf8("\U0001D400.PGX"),
                                "10.PGX",    "9.PGX",
                                "x.pgx.bak", "xpgx",
                                "y.PGXX",    "z.PG",
                                "w.P GX",    "Ünik.pGx"};
        for (const QString &name : names) {
            QFile f(dir.filePath(name));
            QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(name));
        }
        const auto byRule = [&](const QString &pattern) {
            const QRegularExpression rule(QRegularExpression::wildcardToRegularExpression(pattern),
                                          QRegularExpression::CaseInsensitiveOption);
            QStringList matching;
            for (const QString &name : names) {
                if (rule.match(name).hasMatch())
                    matching << name;
            }
            std::sort(matching.begin(), matching.end(), [](const QString &x, const QString &y) {
                const int c = x.compare(y, Qt::CaseInsensitive);
                return c != 0 ? c < 0 : x < y;
            });
            return matching;
        };
        const QStringList expected = byRule(QStringLiteral("*.PGX"));
        QCOMPARE(FileListBox::listFiles(dir.path(), QStringLiteral("*.PGX")), expected);
        QVERIFY(!expected.contains(QStringLiteral("x.pgx.bak")));
        QVERIFY(expected.contains(QStringLiteral("Ünik.pGx")));
        // A pattern that is more than a suffix still follows the wildcard rule.
        QCOMPARE(FileListBox::listFiles(dir.path(), QStringLiteral("?.P*X")),
                 byRule(QStringLiteral("?.P*X")));
    }

    void namesNoAddressCanCarryAreLeftOutAndCounted_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("not utf-8") << QByteArray("3 \xff\xfe ZLE.PGX");
        QTest::newRow("backslash") << QByteArray("4 A\\B.PGX");
        QTest::newRow("tab") << QByteArray("5 A\tB.PGX");
        QTest::newRow("newline") << QByteArray("6 A\nB.PGX");
    }

    void namesNoAddressCanCarryAreLeftOutAndCounted()
    {
        QFETCH(QByteArray, name);
        QTemporaryDir dir;
        for (const QByteArray &file : {QByteArray("1 UVOD.PGX"), name, QByteArray("2 X.GIF")}) {
            const QByteArray path = QFile::encodeName(dir.path()) + '/' + file;
            FILE *raw = ::fopen(path.constData(), "w"); // Qt cannot name every file
            QVERIFY(raw);
            ::fclose(raw);
        }
        int unshown = -1;
        QCOMPARE(FileListBox::listFiles(dir.path(), QStringLiteral("*.PGX"), &unshown),
                 QStringList{"1 UVOD.PGX"});
        QCOMPARE(unshown, 1);
        FileListBox box;
        box.setPattern(QStringLiteral("*.PGX"));
        QVERIFY(box.setPath(dir.path()));
        QCOMPARE(items(box), QStringList{"1 UVOD.PGX"});
        QCOMPARE(box.unshownCount(), 1);
        QCOMPARE(box.toolTip(), FileListBox::unshownNote(1));
        QVERIFY(box.toolTip().contains(QStringLiteral("nie je v UTF-8")));
        // Another folder without such names drops the note.
        QVERIFY(box.setPath(m_drive.path() + QStringLiteral("/TARVOL/PAGORA/KNIHA")));
        QCOMPARE(box.toolTip(), QString());
    }

    void missingFolderGivesAnEmptyList()
    {
        FileListBox box;
        box.setPattern(QStringLiteral("*.PGX"));
        QVERIFY(!box.setPath(QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA.BKX")));
        QCOMPARE(box.count(), 0);
        QCOMPARE(box.path(), QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA.BKX"));
        QVERIFY(box.fileName().isEmpty());
    }

    // A keyboard user tabbing into an empty list still sees where the focus went; a list
    // with names shows it on its entry as before.
    void emptyListShowsItsFocus_data()
    {
        QTest::addColumn<bool>("empty");
        QTest::newRow("empty") << true;
        QTest::newRow("with names") << false;
    }

    void emptyListShowsItsFocus()
    {
        QFETCH(bool, empty);
        QTemporaryDir folder;
        QWidget window;
        auto *before = new QPushButton(QStringLiteral("x"), &window);
        auto *list = new FileListBox(&window);
        list->setGeometry(0, 40, 200, 120);
        list->setPattern(QStringLiteral("*.PGX"));
        QVERIFY(list->setPath(empty ? folder.path() : kniha()));
        QCOMPARE(list->count() == 0, empty);
        window.resize(200, 160);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        before->setFocus();
        QTRY_VERIFY(before->hasFocus());
        const QImage unfocused = list->grab().toImage();
        QTest::keyClick(before, Qt::Key_Tab);
        QTRY_VERIFY(list->hasFocus());
        QTRY_VERIFY(list->grab().toImage() != unfocused);
        // Leaving it takes the mark away again.
        before->setFocus();
        QTRY_VERIFY(!list->hasFocus());
        if (empty)
            QTRY_COMPARE(list->grab().toImage(), unfocused);
    }

    void startsInTheWorkingFolder()
    {
        const QString saved = QDir::currentPath();
        QDir::setCurrent(m_drive.path() + QStringLiteral("/TARVOL/PAGORA/KNIHA"));
        FileListBox box;
        box.setPattern(QStringLiteral("*.PGX"));
        QCOMPARE(box.count(), 5);
        QDir::setCurrent(saved);
    }

    void clickIsReportedForMouseAndKeys()
    {
        FileListBox box;
        box.setPattern(QStringLiteral("*.PGX"));
        box.setPath(QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA"));
        box.resize(200, 300);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QSignalSpy clicks(&box, &FileListBox::clicked);

        const QRect second = box.visualItemRect(box.item(1));
        QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(box.fileName(), QStringLiteral("10 KONIEC.PGX"));

        // The same entry again is a click too, and only one.
        QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(clicks.count(), 2);

        QTest::keyClick(&box, Qt::Key_Down);
        QCOMPARE(clicks.count(), 3);
        QCOMPARE(box.fileName(), QStringLiteral("2 DALEJ.pgx"));

        // A new folder is no click and leaves nothing selected.
        box.setPath(QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA"));
        QCOMPARE(clicks.count(), 3);
        QVERIFY(box.fileName().isEmpty());
    }

    void cutOffNameShowsWholeInToolTip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("cutOff");

        QTest::newRow("short name fits") << QStringLiteral("1 UVOD.PGX") << false;
        QTest::newRow("long name is cut off")
            << QStringLiteral("3 VEĽMI DLHÝ NÁZOV LISTU O ĽADOVÝCH KRÁĽOCH.PGX") << true;
        QTest::newRow("long name without spaces")
            << QStringLiteral("4_NAZOV_BEZ_MEDZIER_KTORY_SA_NEZMESTI.PGX") << true;
    }

    void cutOffNameShowsWholeInToolTip()
    {
        QFETCH(QString, name);
        QFETCH(bool, cutOff);

        QTemporaryDir folder;
        for (const QString &n :
             {name, QStringLiteral("0 PRVY.PGX"), QStringLiteral("9 POSLEDNY.PGX")}) {
            QFile f(folder.path() + QLatin1Char('/') + n);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        FileListBox box;
        box.setGeometry(8, 64, 105, 461); // the page list's place in the main window
        box.setPattern(QStringLiteral("*.PGX"));
        QVERIFY(box.setPath(folder.path()));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));

        const QStringList names = items(box);
        QCOMPARE(names.first(), QStringLiteral("0 PRVY.PGX"));
        QCOMPARE(names.last(), QStringLiteral("9 POSLEDNY.PGX"));
        const auto found = box.findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        // The order and the shown texts stay as they are; only the tooltip tells more.
        QCOMPARE(found.first()->text(), name);
        const QPoint at = box.visualItemRect(found.first()).center();
        QCOMPARE(box.toolTipAt(at), cutOff ? name : QString());
        // Below the last entry there is nothing to explain.
        QCOMPARE(box.toolTipAt(QPoint(5, box.viewport()->height() - 2)), QString());
    }
};

QTEST_MAIN(TestFileListBox)
#include "tst_filelistbox.moc"
