// SPDX-License-Identifier: MIT
#include "drivemap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/time.h>
#include <unistd.h>

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

    void resolveWithin_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("area");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected"); // relative to the drive

        const int found = int(DriveMap::Status::Found);
        const int outside = int(DriveMap::Status::Outside);
        const QString library = QStringLiteral("C:\\TARVOL\\PAGORA");
        QTest::newRow("page of the library")
            << QStringLiteral("c:\\tarvol\\pagora\\kniha\\1 uvod.pgx") << library << found
            << "TARVOL/PAGORA/KNIHA/1 UVOD.PGX";
        QTest::newRow("the library root itself") << library << library << found << "TARVOL/PAGORA";
        QTest::newRow("file at the drive root")
            << QStringLiteral("C:\\mimo.txt") << library << outside << "";
        QTest::newRow("drive root") << QStringLiteral("C:\\") << library << outside << "";
        QTest::newRow("dots out of the library")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\..\\..\\mimo.txt") << library << outside << "";
        QTest::newRow("dots that come back in")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\..\\PAGORA\\KNIHA\\1 UVOD.PGX") << library
            << found << "TARVOL/PAGORA/KNIHA/1 UVOD.PGX";
        QTest::newRow("name that merely starts like the library")
            << QStringLiteral("C:\\TARVOL\\PAGORA2\\x") << library << outside << "";
        QTest::newRow("other drive")
            << QStringLiteral("D:\\TARVOL\\PAGORA\\KNIHA") << library << outside << "";
        QTest::newRow("one book may not reach another")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\ČESKÉ\\Žaba.pgx")
            << QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA") << outside << "";
    }

    void resolveWithin()
    {
        QFETCH(QString, address);
        QFETCH(QString, area);
        QFETCH(int, status);
        QFETCH(QString, expected);
        const DriveMap::Result r =
            DriveMap::resolveWithin(*DriveMap::parse(address), *DriveMap::parse(area));
        QCOMPARE(int(r.status), status);
        if (r.status == DriveMap::Status::Found)
            QCOMPARE(r.path, QDir(m_drive.path()).canonicalPath() + QLatin1Char('/') + expected);
    }

    void linksOfTheAreaItselfAreFollowed()
    {
        // A library kept elsewhere, reached through a link on the drive, with a book that
        // links out of it.
        QTemporaryDir elsewhere;
        QTemporaryDir drive;
        QTemporaryDir secrets;
        QVERIFY(QDir().mkpath(elsewhere.path() + QStringLiteral("/PAGORA/KNIHA")));
        QVERIFY(QDir().mkpath(drive.path() + QStringLiteral("/TARVOL")));
        QFile page(elsewhere.path() + QStringLiteral("/PAGORA/KNIHA/1 UVOD.PGX"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        QVERIFY(QFile::link(elsewhere.path() + QStringLiteral("/PAGORA"),
                            drive.path() + QStringLiteral("/TARVOL/PAGORA")));
        QVERIFY(
            QFile::link(secrets.path(), elsewhere.path() + QStringLiteral("/PAGORA/KNIHA/tajne")));
        const QByteArray before = qgetenv("PAGORA_DRIVE_C");
        qputenv("PAGORA_DRIVE_C", drive.path().toUtf8());
        const DrivePath library = *DriveMap::parse(QStringLiteral("C:\\TARVOL\\PAGORA"));
        const DriveMap::Result inside = DriveMap::resolveWithin(
            *DriveMap::parse(QStringLiteral("C:\\TARVOL\\PAGORA\\kniha\\1 uvod.pgx")), library);
        const DriveMap::Result out = DriveMap::resolveWithin(
            *DriveMap::parse(QStringLiteral("C:\\TARVOL\\PAGORA\\KNIHA\\tajne")), library);
        const QString listed = DriveMap::folderFor(QStringLiteral("C:\\TARVOL\\PAGORA"));
        qputenv("PAGORA_DRIVE_C", before);
        QCOMPARE(int(inside.status), int(DriveMap::Status::Found));
        QCOMPARE(inside.path, QDir(elsewhere.path()).canonicalPath() +
                                  QStringLiteral("/PAGORA/KNIHA/1 UVOD.PGX"));
        QCOMPARE(int(out.status), int(DriveMap::Status::Outside));
        // The program's own lists reach the library too.
        QCOMPARE(listed, QDir(elsewhere.path()).canonicalPath() + QStringLiteral("/PAGORA"));
    }

    void folderListingsAreCachedUntilTheFolderChanges()
    {
        QTemporaryDir dir;
        const QString folder = dir.path() + QStringLiteral("/VELKA");
        QVERIFY(QDir().mkpath(folder));
        for (int i = 0; i < 50; ++i) {
            QFile f(folder + QStringLiteral("/%1 STRANA.PGX").arg(i));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        // Old enough that a change within the same clock tick cannot go unseen.
        const auto age = [&] {
            const timeval old[2] = {{1000000000, 0}, {1000000000, 0}};
            QVERIFY(::utimes(QFile::encodeName(folder).constData(), old) == 0);
        };
        age();
        DriveMap::clearCache();
        const int start = DriveMap::folderReads();
        QCOMPARE(DriveMap::matchEntry(folder, QStringLiteral("7 strana.pgx")),
                 QStringLiteral("7 STRANA.PGX"));
        QCOMPARE(DriveMap::matchEntry(folder, QStringLiteral("chyba.gif")), QString());
        QCOMPARE(DriveMap::matchEntry(folder, QStringLiteral("chyba.gif")), QString());
        QCOMPARE(DriveMap::matchEntry(folder, QStringLiteral("8 strana.PGX")),
                 QStringLiteral("8 STRANA.PGX"));
        QCOMPARE(DriveMap::folderReads() - start, 1);

        // A new file changes the folder: it is read again and the file is found.
        QFile added(folder + QStringLiteral("/Nova.GIF"));
        QVERIFY(added.open(QIODevice::WriteOnly));
        added.close();
        QCOMPARE(DriveMap::matchEntry(folder, QStringLiteral("nova.gif")),
                 QStringLiteral("Nova.GIF"));
        QCOMPARE(DriveMap::folderReads() - start, 2);
        // A folder written this very moment is not trusted from the cache.
        QCOMPARE(DriveMap::matchEntry(folder, QStringLiteral("NOVA.gif")),
                 QStringLiteral("Nova.GIF"));
        QCOMPARE(DriveMap::folderReads() - start, 3);
        // A removed file is gone at once.
        QVERIFY(QFile::remove(folder + QStringLiteral("/Nova.GIF")));
        age();
        QCOMPARE(DriveMap::matchEntry(folder, QStringLiteral("nova.gif")), QString());
        QCOMPARE(DriveMap::matchEntry(folder, QStringLiteral("nova.gif")), QString());
        QCOMPARE(DriveMap::folderReads() - start, 4);
    }

    void unreadableFolderIsToldApart()
    {
        QTemporaryDir temp;
        QVERIFY(QFile::setPermissions(
            temp.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                             QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
        const QString book = temp.path() + QStringLiteral("/KNIHA");
        QVERIFY(QDir().mkpath(book));
        QFile page(book + QStringLiteral("/1 UVOD.PGX"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        QVERIFY(QFile::setPermissions(book, QFileDevice::Permissions()));
        const bool root = ::geteuid() == 0; // root reads every folder: look as nobody
        if (root)
            QVERIFY(::setresuid(65534, 65534, 0) == 0); // access() asks the real user
        const DriveMap::Result r = DriveMap::resolveBelow(
            temp.path(), {QStringLiteral("KNIHA"), QStringLiteral("1 uvod.pgx")});
        const DriveMap::Result missing = DriveMap::resolveBelow(
            temp.path(), {QStringLiteral("INA"), QStringLiteral("1 uvod.pgx")});
        if (root)
            QVERIFY(::setresuid(0, 0, 0) == 0);
        QFile::setPermissions(book, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(int(r.status), int(DriveMap::Status::Unreadable));
        QCOMPARE(int(missing.status), int(DriveMap::Status::NotFound));
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
