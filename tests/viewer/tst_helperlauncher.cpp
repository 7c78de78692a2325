// SPDX-License-Identifier: MIT
#include "helperlauncher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class TestHelperLauncher : public QObject
{
    Q_OBJECT

    // A stand-in helper that leaves a mark of each start.
    static void makeStandIn(const QString &path, const QString &mark)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("#!/bin/sh\necho \"$#\" >> '%1'\n").arg(mark).toUtf8());
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    static int lines(const QString &file)
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return 0;
        return f.readAll().count('\n');
    }

private slots:
    void resolvesBesideTheViewerFirstIgnoringCase()
    {
        QTemporaryDir own, onPath;
        makeStandIn(own.filePath(QStringLiteral("help")), own.filePath(QStringLiteral("m")));
        makeStandIn(onPath.filePath(QStringLiteral("help")), own.filePath(QStringLiteral("m")));
        qputenv("PATH", onPath.path().toUtf8());

        QCOMPARE(HelperLauncher(own.path()).resolve(QStringLiteral("Help")),
                 own.filePath(QStringLiteral("help")));
        // Nothing beside the viewer: PATH is searched.
        QTemporaryDir empty;
        QCOMPARE(HelperLauncher(empty.path()).resolve(QStringLiteral("Help")),
                 onPath.filePath(QStringLiteral("help")));
    }

    // Where "Help" is found: beside the viewer, then the private program folder (both by
    // the exact name, else the one entry differing only in letter case), then PATH by the
    // exact name "help" only. Files are stand-in executables; expected is "folder/name".
    void lookupOrder_data()
    {
        QTest::addColumn<QStringList>("beside");
        QTest::addColumn<QStringList>("privateDir");
        QTest::addColumn<QStringList>("path1");
        QTest::addColumn<QStringList>("path2");
        QTest::addColumn<QString>("expected");
        const QStringList none;
        QTest::newRow("beside, exact name") << QStringList{"help", "Help"} << QStringList{"help"}
                                            << QStringList{"help"} << none << "beside/Help";
        QTest::newRow("beside, other letter case")
            << QStringList{"help"} << QStringList{"help"} << none << none << "beside/help";
        QTest::newRow("beside, two case variants: no guess")
            << QStringList{"help", "HELP"} << QStringList{"help"} << none << none << "private/help";
        QTest::newRow("private folder")
            << none << QStringList{"help"} << QStringList{"help"} << none << "private/help";
        QTest::newRow("private folder, exact name")
            << none << QStringList{"Help", "HELP"} << none << none << "private/Help";
        QTest::newRow("PATH, exact name help")
            << none << none << QStringList{"HELP"} << QStringList{"help"} << "path2/help";
        QTest::newRow("PATH, stray HELP is never run")
            << none << none << QStringList{"HELP"} << QStringList{"Help"} << "";
        QTest::newRow("PATH, first match wins")
            << none << none << QStringList{"help"} << QStringList{"help"} << "path1/help";
        QTest::newRow("nowhere") << none << none << none << none << "";
    }

    void lookupOrder()
    {
        QFETCH(QStringList, beside);
        QFETCH(QStringList, privateDir);
        QFETCH(QStringList, path1);
        QFETCH(QStringList, path2);
        QFETCH(QString, expected);
        QTemporaryDir root;
        const QString mark = root.filePath(QStringLiteral("mark"));
        const std::pair<QString, QStringList> folders[] = {
            {"beside", beside}, {"private", privateDir}, {"path1", path1}, {"path2", path2}};
        for (const auto &[folder, files] : folders) {
            QVERIFY(QDir(root.path()).mkdir(folder));
            for (const QString &file : files)
                makeStandIn(root.filePath(folder + QLatin1Char('/') + file), mark);
        }
        qputenv("PATH", (root.filePath(QStringLiteral("path1")) + QLatin1Char(':') +
                         root.filePath(QStringLiteral("path2")))
                            .toUtf8());
        const HelperLauncher launcher(root.filePath(QStringLiteral("beside")),
                                      root.filePath(QStringLiteral("private")));
        const QString found = launcher.resolve(QStringLiteral("Help"));
        QCOMPARE(found, expected.isEmpty() ? QString() : root.filePath(expected));
    }

    // The installed layout: pagora in bin/, help in a private folder outside it.
    void defaultPrivateFolderIsOutsideBin()
    {
        QTemporaryDir root;
        const QString bin = root.filePath(QStringLiteral("usr/bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString privateDir = HelperLauncher::privateDirFor(bin);
        QVERIFY2(privateDir.startsWith(root.path() + QStringLiteral("/usr/")),
                 qPrintable(privateDir));
        QVERIFY2(privateDir.endsWith(QStringLiteral("/pagora")), qPrintable(privateDir));
        QVERIFY(QDir().mkpath(privateDir));
        makeStandIn(privateDir + QStringLiteral("/help"), root.filePath(QStringLiteral("m")));
        qputenv("PATH", bin.toUtf8());
        QCOMPARE(HelperLauncher(bin).resolve(QStringLiteral("Help")),
                 privateDir + QStringLiteral("/help"));
    }

    void notExecutableOrFolderIsNotAProgram()
    {
        QTemporaryDir own;
        QFile plain(own.filePath(QStringLiteral("HELP")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QVERIFY(QDir(own.path()).mkdir(QStringLiteral("help")));
        qputenv("PATH", own.path().toUtf8());
        QVERIFY(HelperLauncher(own.path()).resolve(QStringLiteral("Help")).isEmpty());
        QVERIFY(HelperLauncher(own.path()).resolve(QStringLiteral("../help")).isEmpty());
    }

    void eachStartIsAnIndependentProcessWithoutArguments()
    {
        QTemporaryDir own;
        const QString mark = own.filePath(QStringLiteral("mark"));
        makeStandIn(own.filePath(QStringLiteral("help")), mark);
        const HelperLauncher launcher(own.path());
        QString error;
        QVERIFY(launcher.start(QStringLiteral("Help"), &error));
        QVERIFY(launcher.start(QStringLiteral("Help"), &error));
        QTRY_COMPARE_WITH_TIMEOUT(lines(mark), 2, 10000);
        QFile f(mark);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("0\n0\n"));
    }

    // The helper outlives nothing of ours: a session of its own, the default handling of
    // the signals the viewer ignores, and no zombie left behind once it has ended.
    void theHelperStandsOnItsOwnAndIsCollected()
    {
        QTemporaryDir own;
        const QString mark = own.filePath(QStringLiteral("mark"));
        QFile f(own.filePath(QStringLiteral("help")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        // Field 6 of /proc/<pid>/stat is the session. Other cases point PATH elsewhere.
        f.write(QStringLiteral("#!/bin/sh\nPATH=/usr/bin:/bin\n"
                               "set -- $(sed 's/.*) //' /proc/$$/stat)\n"
                               "echo \"$$ $4 $(grep SigIgn /proc/$$/status)\" > '%1.tmp'\n"
                               "mv '%1.tmp' '%1'\n")
                    .arg(mark)
                    .toUtf8());
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        const auto oldPipe = std::signal(SIGPIPE, SIG_IGN);
        QString error;
        const bool started = HelperLauncher(own.path()).start(QStringLiteral("Help"), &error);
        std::signal(SIGPIPE, oldPipe);
        QVERIFY2(started, qPrintable(error));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(mark), 10000);
        QFile m(mark);
        QVERIFY(m.open(QIODevice::ReadOnly));
        const QList<QByteArray> fields = m.readAll().simplified().split(' ');
        QCOMPARE(fields.size(), 4);
        const qint64 pid = fields.at(0).toLongLong();
        QCOMPARE(fields.at(1).toLongLong(), pid); // the session leader is the helper
        bool hex = false;
        const qulonglong ignored = fields.at(3).toULongLong(&hex, 16);
        QVERIFY(hex);
        QCOMPARE(ignored & (1ULL << (SIGPIPE - 1)), 0ULL);
        // Gone entirely, not a zombie waiting for us.
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(QStringLiteral("/proc/%1").arg(pid)), 10000);
    }

    void missingHelperIsExplainedInSlovak()
    {
        QTemporaryDir own;
        qputenv("PATH", own.path().toUtf8());
        QString error;
        QVERIFY(!HelperLauncher(own.path()).start(QStringLiteral("Help"), &error));
        QVERIFY2(error.contains(QStringLiteral("sa nenašiel")), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestHelperLauncher)
#include "tst_helperlauncher.moc"
