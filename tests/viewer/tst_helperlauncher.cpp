// SPDX-License-Identifier: MIT
#include "helperlauncher.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
        makeStandIn(onPath.filePath(QStringLiteral("Help")), own.filePath(QStringLiteral("m")));
        qputenv("PATH", onPath.path().toUtf8());

        QCOMPARE(HelperLauncher(own.path()).resolve(QStringLiteral("Help")),
                 own.filePath(QStringLiteral("help")));
        // Nothing beside the viewer: PATH is searched.
        QTemporaryDir empty;
        QCOMPARE(HelperLauncher(empty.path()).resolve(QStringLiteral("Help")),
                 onPath.filePath(QStringLiteral("Help")));
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
