// SPDX-License-Identifier: MIT
// Drive paths against a small scratch drive: parsing round-trips, and nothing resolves to a
// file outside the drive, whatever the letter case, dots, links or odd characters.
#include "drivemap.h"
#include "fuzzcheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

QString scratch;
QString canonicalRoot;

void removeScratch()
{
    QDir(scratch).removeRecursively();
}

void makeFile(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write("<p>x</p>");
}

bool inside(const QString &path)
{
    return path == canonicalRoot || path.startsWith(canonicalRoot + QLatin1Char('/'));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QByteArray templ = QDir::tempPath().toUtf8() + "/pagora-fuzz-XXXXXX";
    if (!mkdtemp(templ.data()))
        std::abort();
    scratch = QString::fromUtf8(templ);
    std::atexit(removeScratch);
    const QString c = scratch + QStringLiteral("/c");
    const QString lib = c + QStringLiteral("/TARVOL/PAGORA/");
    makeFile(lib + QStringLiteral("KNIHA/1 UVOD.PGX"));
    makeFile(lib + QStringLiteral("KNIHA/obr/Logo.png"));
    makeFile(lib + QStringLiteral("Kniha/1 uvod.pgx")); // two names differing in case only
    makeFile(lib + QStringLiteral("Žltá kniha/1 Úvod.PGX"));
    makeFile(lib + QStringLiteral("KNIHA.BKX"));
    makeFile(scratch + QStringLiteral("/von/TAJNE.TXT"));
    QFile::link(scratch + QStringLiteral("/von"), lib + QStringLiteral("VON"));
    QFile::link(QStringLiteral("../../.."), lib + QStringLiteral("HORE"));
    QFile::link(QStringLiteral("."), lib + QStringLiteral("SLUCKA"));
    QFile::link(scratch + QStringLiteral("/nikde"), lib + QStringLiteral("MRTVY"));
    qputenv("PAGORA_DRIVE_C", c.toUtf8());
    qputenv("PAGORA_DRIVE_D", (scratch + QStringLiteral("/chyba")).toUtf8());
    canonicalRoot = QFileInfo(c).canonicalFilePath();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    QString address = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    // Most inputs are meant below the library; the first character picks the form.
    if (!address.isEmpty() && address.at(0) == QLatin1Char('*'))
        address = QStringLiteral("C:\\TARVOL\\PAGORA\\") + address.mid(1);

    const auto parsed = DriveMap::parse(address);
    if (!parsed)
        return 0;
    FUZZ_CHECK(parsed->drive >= QLatin1Char('a') && parsed->drive <= QLatin1Char('z'), address);
    for (const QString &component : parsed->components) {
        FUZZ_CHECK(!component.isEmpty(), address);
        FUZZ_CHECK(!component.contains(QLatin1Char('/')) && !component.contains(QLatin1Char('\\')),
                   address);
    }

    const QString spelled = DriveMap::windowsSpelling(*parsed);
    const auto again = DriveMap::parse(spelled);
    FUZZ_CHECK(again && again->drive == parsed->drive && again->components == parsed->components,
               address);

    const DriveMap::Result result = DriveMap::resolve(*parsed);
    const DriveMap::Result byText = DriveMap::resolve(address);
    FUZZ_CHECK(result.status == byText.status && result.path == byText.path, address);
    if (result.status == DriveMap::Status::Found) {
        FUZZ_CHECK(parsed->drive == QLatin1Char('c'), address);
        FUZZ_CHECK(inside(result.path), address);
        FUZZ_CHECK(QFileInfo::exists(result.path), address);
    } else {
        FUZZ_CHECK(result.path.isEmpty(), address);
    }

    // The program's own lists follow the user's links wherever they lead (a library kept
    // elsewhere); they are never served to pages, so only an existing folder is asked for.
    const QString folder = DriveMap::folderFor(address);
    FUZZ_CHECK(folder.isEmpty() || QFileInfo(folder).isDir(), address);
    return 0;
}
