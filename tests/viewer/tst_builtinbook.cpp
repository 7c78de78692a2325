// SPDX-License-Identifier: MIT
#include "builtinbook.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class TestBuiltinBook : public QObject
{
    Q_OBJECT

    QTemporaryDir m_drive;
    QString root() const { return m_drive.path() + QStringLiteral("/TARVOL/PAGORA"); }

    static QByteArray read(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        QDir(m_drive.path() + QStringLiteral("/TARVOL")).removeRecursively();
        QDir(m_drive.path() + QStringLiteral("/tarvol")).removeRecursively();
        qputenv("PAGORA_DRIVE_C", m_drive.path().toUtf8());
    }

    void freshInstallationGetsTheBook()
    {
        QString error;
        QVERIFY2(builtinbook::install(&error), qPrintable(error));
        const QString book = root() + QStringLiteral("/TARVOL PAGORA/");
        QVERIFY(read(book + QStringLiteral("1 UVOD.PGX")).contains("Pagora"));
        QVERIFY(read(book + QStringLiteral("2 O PROGRAME.PGX")).contains("Pagora"));
        QVERIFY(QFile::exists(root() + QStringLiteral("/TARVOL PAGORA.BKX")));
        // The copy is the user's to edit.
        QVERIFY(QFileInfo(book + QStringLiteral("1 UVOD.PGX")).isWritable());
        // Twice is harmless.
        QVERIFY(builtinbook::install(&error));
    }

    void usersOwnCopyWins()
    {
        // The user's book in other letter case, with only an edited home page.
        const QString book = m_drive.path() + QStringLiteral("/tarvol/pagora/Tarvol Pagora");
        QVERIFY(QDir().mkpath(book));
        QFile page(book + QStringLiteral("/1 uvod.pgx"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("moja stránka");
        page.close();

        QString error;
        QVERIFY2(builtinbook::install(&error), qPrintable(error));
        QCOMPARE(read(book + QStringLiteral("/1 uvod.pgx")), QByteArray("moja stránka"));
        QCOMPARE(QDir(book).entryList(QDir::Files), QStringList{"1 uvod.pgx"});
        QVERIFY(!QDir(m_drive.path() + QStringLiteral("/TARVOL")).exists());
        QVERIFY(QFile::exists(m_drive.path() + QStringLiteral("/tarvol/pagora/TARVOL PAGORA.BKX")));
    }

    void unwritableLibraryIsReported()
    {
        // A file where the library folder should be.
        QVERIFY(QDir().mkpath(m_drive.path() + QStringLiteral("/TARVOL")));
        QFile blocker(root());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QString error;
        QVERIFY(!builtinbook::install(&error));
        QVERIFY2(error.contains(QStringLiteral("nepodarilo")), qPrintable(error));
        QFile::remove(root());
    }

    void fileInPlaceOfTheLibraryIsExplainedInSlovak()
    {
        QVERIFY(QDir().mkpath(m_drive.path() + QStringLiteral("/TARVOL")));
        QFile blocker(root());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QString error;
        QVERIFY(!builtinbook::install(&error));
        QFile::remove(root());
        QVERIFY2(error.contains(QStringLiteral("C:\\TARVOL\\PAGORA")), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("Na mieste priečinka je súbor ") + root()),
                 qPrintable(error));

        // What the user sees, rather than a line on the terminal.
        std::unique_ptr<QMessageBox> box(builtinbook::failureBox(error));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->windowTitle(), QStringLiteral("Knižnica"));
        QVERIFY(box->text().startsWith(error));
        QVERIFY(box->text().endsWith(QStringLiteral("Program pracuje ďalej bez svojej vstavanej "
                                                    "knihy.")));
        QCOMPARE(box->standardButtons(), QMessageBox::Ok);
    }
};

QTEST_MAIN(TestBuiltinBook)
#include "tst_builtinbook.moc"
