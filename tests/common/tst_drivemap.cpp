// SPDX-License-Identifier: MIT
#include "drivemap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestDriveMap : public QObject
{
    Q_OBJECT

    QTemporaryDir m_drive;

    void touch(const QString &relative)
    {
        const QString full = m_drive.path() + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(full).path());
        QFile f(full);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_drive.isValid());
        qputenv("PAGORA_DRIVE_C", m_drive.path().toUtf8());
        touch(QStringLiteral("TARVOL/PAGORA/KNIHA/1 UVOD.PGX"));
        touch(QStringLiteral("TARVOL/PAGORA/KNIHA/obr/Mapa.GIF"));
        touch(QStringLiteral("TARVOL/PAGORA/Dvojitá/a.pgx"));
        touch(QStringLiteral("TARVOL/PAGORA/Dvojitá/A.PGX"));
        touch(QStringLiteral("TARVOL/PAGORA/ČESKÉ/Žaba.pgx"));
        touch(QStringLiteral("mimo.txt"));
    }

    void parse_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("isDrive");
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QStringList>("components");

        QTest::newRow("backslashes") << QStringLiteral("C:\\TARVOL\\PAGORA\\X\\1 UVOD.PGX") << true
                                     << "c" << QStringList{"TARVOL", "PAGORA", "X", "1 UVOD.PGX"};
        QTest::newRow("lower drive, slashes")
            << QStringLiteral("d:/a/b") << true << "d" << QStringList{"a", "b"};
        QTest::newRow("mixed and doubled separators")
            << QStringLiteral("C:\\a//b\\\\c\\") << true << "c" << QStringList{"a", "b", "c"};
        QTest::newRow("root only") << QStringLiteral("C:\\") << true << "c" << QStringList{};
        QTest::newRow("trailing blanks kept")
            << QStringLiteral("C:\\KNIHA  \\x") << true << "c" << QStringList{"KNIHA  ", "x"};
        QTest::newRow("no separator") << QStringLiteral("C:TARVOL") << false << "" << QStringList{};
        QTest::newRow("url") << QStringLiteral("http://x/y") << false << "" << QStringList{};
        QTest::newRow("file url") << QStringLiteral("file:///tmp") << false << "" << QStringList{};
        QTest::newRow("about") << QStringLiteral("about:NavigationCanceled") << false << ""
                               << QStringList{};
        QTest::newRow("empty") << QString() << false << "" << QStringList{};
        QTest::newRow("digit drive") << QStringLiteral("1:\\x") << false << "" << QStringList{};
        QTest::newRow("non-ascii drive") << QStringLiteral("Č:\\x") << false << "" << QStringList{};
    }

    void parse()
    {
        QFETCH(QString, address);
        QFETCH(bool, isDrive);
        const auto parsed = DriveMap::parse(address);
        QCOMPARE(parsed.has_value(), isDrive);
        if (!parsed)
            return;
        QFETCH(QString, drive);
        QFETCH(QStringList, components);
        QCOMPARE(QString(parsed->drive), drive);
        QCOMPARE(parsed->components, components);
    }

    void driveRootFallsBackToXdgDataHome()
    {
        qputenv("XDG_DATA_HOME", "/srv/data");
        QCOMPARE(DriveMap::driveRoot(QLatin1Char('e')), QStringLiteral("/srv/data/pagora/drive_e"));
        qputenv("XDG_DATA_HOME", "relative/ignored");
        QCOMPARE(DriveMap::driveRoot(QLatin1Char('E')),
                 QDir::homePath() + QStringLiteral("/.local/share/pagora/drive_e"));
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(DriveMap::driveRoot(QLatin1Char('c')), QDir(m_drive.path()).canonicalPath());
    }

    void resolve_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected"); // relative to the drive

        const int found = int(DriveMap::Status::Found);
        const int missing = int(DriveMap::Status::NotFound);
        QTest::newRow("exact") << QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\1 UVOD.PGX") << found
                               << "TARVOL/PAGORA/KNIHA/1 UVOD.PGX";
        QTest::newRow("other case everywhere")
            << QStringLiteral("c:\\tarvol\\pagora\\kniha\\1 uvod.pgx") << found
            << "TARVOL/PAGORA/KNIHA/1 UVOD.PGX";
        QTest::newRow("slashes") << QStringLiteral("C:/TARVOL/PAGORA/KNIHA/OBR/mapa.gif") << found
                                 << "TARVOL/PAGORA/KNIHA/obr/Mapa.GIF";
        QTest::newRow("folder") << QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\") << found
                                << "TARVOL/PAGORA/KNIHA";
        QTest::newRow("slovak letters, other case")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\české\\ŽABA.PGX") << found
            << "TARVOL/PAGORA/ČESKÉ/Žaba.pgx";
        QTest::newRow("exact wins over a case twin")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\Dvojitá\\A.PGX") << found
            << "TARVOL/PAGORA/Dvojitá/A.PGX";
        QTest::newRow("two case twins and no exact match")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\Dvojitá\\a.PGX") << missing << "";
        QTest::newRow("missing page")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\9 NIC.PGX") << missing << "";
        QTest::newRow("no book chosen")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\<žiadna>\\2 O PROGRAME.PGX") << missing << "";
        QTest::newRow("trailing blanks are part of the name")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA \\1 UVOD.PGX") << missing << "";
        QTest::newRow("file used as folder")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\1 UVOD.PGX\\x") << missing << "";
        QTest::newRow("dot dot stops at the drive root")
            << QStringLiteral("C:\\..\\..\\..\\mimo.txt") << found << "mimo.txt";
        QTest::newRow("dot dot inside")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\obr\\..\\.\\1 UVOD.PGX") << found
            << "TARVOL/PAGORA/KNIHA/1 UVOD.PGX";
        QTest::newRow("other drive not mapped")
            << QStringLiteral("Q:\\TARVOL\\PAGORA") << missing << "";
        QTest::newRow("not a drive path")
            << QStringLiteral("http://x") << int(DriveMap::Status::NotDrivePath) << "";
    }

    void resolve()
    {
        QFETCH(QString, address);
        QFETCH(int, status);
        QFETCH(QString, expected);
        qputenv("PAGORA_DRIVE_Q", "/nonexistent/pagora-test-drive");
        const DriveMap::Result r = DriveMap::resolve(address);
        QCOMPARE(int(r.status), status);
        if (r.status == DriveMap::Status::Found)
            QCOMPARE(r.path, QDir(m_drive.path()).canonicalPath() + QLatin1Char('/') + expected);
    }

    void linksOutOfTheDriveAreRefused()
    {
        QTemporaryDir outside;
        QFile secret(outside.path() + QStringLiteral("/secret.PGX"));
        QVERIFY(secret.open(QIODevice::WriteOnly));
        secret.close();
        const QString link = m_drive.path() + QStringLiteral("/TARVOL/PAGORA/ven");
        QVERIFY(QFile::link(outside.path(), link));
        const auto r = DriveMap::resolve(QStringLiteral("C:\\TARVOL\\PAGORA\\ven\\secret.pgx"));
        QCOMPARE(int(r.status), int(DriveMap::Status::Outside));
        QFile::remove(link);
    }

    void folderForListBoxes()
    {
        const QString canonical = QDir(m_drive.path()).canonicalPath();
        QCOMPARE(DriveMap::folderFor(QStringLiteral("C:\\TARVOL\\PAGORA")),
                 canonical + QStringLiteral("/TARVOL/PAGORA"));
        QCOMPARE(DriveMap::folderFor(QStringLiteral("C:\\TARVOL\\PAGORA\\")),
                 canonical + QStringLiteral("/TARVOL/PAGORA"));
        QVERIFY(
            DriveMap::folderFor(QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\1 UVOD.PGX")).isEmpty());
        QVERIFY(DriveMap::folderFor(QStringLiteral("C:\\TARVOL\\PAGORA\\NIC.BKX")).isEmpty());
        QCOMPARE(DriveMap::folderFor(m_drive.path()), m_drive.path());
        QVERIFY(DriveMap::folderFor(QString()).isEmpty());
    }

    void windowsSpellingForMessages()
    {
        const auto parsed = DriveMap::parse(QStringLiteral("c:/TARVOL//PAGORA/<žiadna>/x.PGX"));
        QVERIFY(parsed);
        QCOMPARE(DriveMap::windowsSpelling(*parsed),
                 QStringLiteral("C:\\TARVOL\\PAGORA\\<žiadna>\\x.PGX"));
    }
};

QTEST_GUILESS_MAIN(TestDriveMap)
#include "tst_drivemap.moc"
