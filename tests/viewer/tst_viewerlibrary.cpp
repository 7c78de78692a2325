// SPDX-License-Identifier: MIT
#include "viewerlibrary.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QTest>

class TestViewerLibrary : public QObject
{
    Q_OBJECT

private slots:
    void looksBesideItselfThenInItsPrivateFolder()
    {
        const QStringList folders = ViewerLibrary::foldersFor(QStringLiteral("/opt/x/bin"));
        QCOMPARE(folders.size(), 2);
        QCOMPARE(folders.first(), QStringLiteral("/opt/x/bin"));
        QVERIFY2(folders.last().startsWith(QStringLiteral("/opt/x/")), qPrintable(folders.last()));
        QVERIFY2(folders.last().endsWith(QStringLiteral("/pagora")), qPrintable(folders.last()));
        QVERIFY(ViewerLibrary::foldersFor(QString()).isEmpty());
    }

    void saysInSlovakWhyItCannotStart_data()
    {
        QTest::addColumn<QString>("content"); // what lies where the library should be
        QTest::addColumn<QString>("says");
        QTest::newRow("nothing") << QString() << QStringLiteral("chýba jeho súčasť");
        QTest::newRow("not a library")
            << QStringLiteral("text") << QStringLiteral("sa nedá načítať");
        // A real library, but not this program's: Qt's own core library.
        QTest::newRow("someone else's library")
            << QLibraryInfo::path(QLibraryInfo::LibrariesPath) + QStringLiteral("/libQt6Core.so.6")
            << QStringLiteral("nepatrí k tejto verzii");
    }

    void saysInSlovakWhyItCannotStart()
    {
        QFETCH(QString, content);
        QFETCH(QString, says);
        QTemporaryDir own;
        QTemporaryDir privateDir;
        const QString target = privateDir.filePath(QLatin1String(ViewerLibrary::FileName));
        if (content == QLatin1String("text")) {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("nie je to knižnica");
        } else if (!content.isEmpty()) {
            QVERIFY2(QFile::copy(content, target), qPrintable(content));
        }
        ViewerLibrary library({own.path(), privateDir.path()});
        QVERIFY(!library.load());
        QVERIFY(!library.isLoaded());
        QVERIFY2(library.errorText().startsWith(QStringLiteral("Program sa nedá spustiť")),
                 qPrintable(library.errorText()));
        QVERIFY2(library.errorText().contains(says), qPrintable(library.errorText()));
        QVERIFY(library.errorText().contains(QLatin1String(ViewerLibrary::FileName)));
        if (content.isEmpty()) {
            // Where it looked, so that the user can tell what is missing where.
            QVERIFY(library.errorText().contains(own.path()));
            QVERIFY(library.errorText().contains(privateDir.path()));
        }
        // A second try says the same, and nothing is called.
        QVERIFY(!library.load());
        library.prepare();
        library.show();
        library.end();
    }

    void theBuiltViewerLibraryHasWhatTheProgramCalls()
    {
        ViewerLibrary library({QStringLiteral(PAGORA_VIEWER_LIBRARY_DIR)});
        QVERIFY2(library.load(), qPrintable(library.errorText()));
        QVERIFY(library.isLoaded());
        library.end(); // nothing made yet: nothing to end
    }
};

QTEST_MAIN(TestViewerLibrary)
#include "tst_viewerlibrary.moc"
