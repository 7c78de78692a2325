// SPDX-License-Identifier: MIT
#include "drivemap.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

namespace {

// A folder's names, kept while the folder's inode, modification and change times stay the same.
struct Listing
{
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified{};
    timespec changed{};
    // Written in the same clock tick as it was read: a later change could keep the same
    // time stamp, so such a listing is read again next time (as git treats racy entries).
    bool racy = true;
    QHash<QString, QStringList> byFoldedName;
};

constexpr int MaxCachedFolders = 256;
// Coarser than any time stamp a Linux file system keeps, network ones included.
constexpr qint64 RacySeconds = 2;

QMutex cacheMutex;
QHash<QString, Listing> cache;
QAtomicInt reads;

bool sameTime(const timespec &a, const timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Reads the folder's names; false when it may not be read. Names that are not valid in
// the file name encoding are left out: Qt could not open them anyway.
bool readFolder(const QString &dir, const struct stat &info, Listing &listing)
{
    reads.fetchAndAddRelaxed(1);
    const QByteArray native = QFile::encodeName(dir);
    DIR *d = ::opendir(native.constData());
    if (!d)
        return false;
    listing = Listing{};
    listing.device = info.st_dev;
    listing.inode = info.st_ino;
    listing.modified = info.st_mtim;
    listing.changed = info.st_ctim;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    listing.racy = now.tv_sec - info.st_mtim.tv_sec <= RacySeconds;
    while (const dirent *entry = ::readdir(d)) {
        const QByteArray raw(entry->d_name);
        if (raw == "." || raw == "..")
            continue;
        const QString name = QFile::decodeName(raw);
        if (QFile::encodeName(name) != raw)
            continue;
        listing.byFoldedName[name.toCaseFolded()].append(name);
    }
    ::closedir(d);
    return true;
}

struct Lookup
{
    QString name;
    bool unreadable = false;
};

Lookup lookup(const QString &dir, const QString &name)
{
    Lookup result;
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return result;
    if (QFileInfo::exists(dir + QLatin1Char('/') + name)) {
        result.name = name;
        return result;
    }

    struct stat info;
    if (::stat(QFile::encodeName(dir).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return result;
    QStringList candidates;
    {
        QMutexLocker lock(&cacheMutex);
        auto it = cache.find(dir);
        const bool fresh = it != cache.end() && !it->racy && it->device == info.st_dev &&
                           it->inode == info.st_ino && sameTime(it->modified, info.st_mtim) &&
                           sameTime(it->changed, info.st_ctim);
        if (fresh) {
            candidates = it->byFoldedName.value(name.toCaseFolded());
        } else {
            // Reading under the lock keeps two threads from reading one big folder twice.
            Listing listing;
            if (!readFolder(dir, info, listing)) {
                cache.remove(dir);
                result.unreadable = true;
                return result;
            }
            candidates = listing.byFoldedName.value(name.toCaseFolded());
            if (cache.size() >= MaxCachedFolders)
                cache.clear();
            cache.insert(dir, std::move(listing));
        }
    }

    QString found;
    for (const QString &entry : std::as_const(candidates)) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (!found.isEmpty())
            return result; // two candidates: Windows could never have made this, refuse to guess
        found = entry;
    }
    result.name = found;
    return result;
}

// Walks the components from root, following links wherever they go.
DriveMap::Result walk(const QString &root, const QStringList &components)
{
    DriveMap::Result result;
    result.status = DriveMap::Status::NotFound;
    QString dir = QFileInfo(root).canonicalFilePath();
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return result;
    for (const QString &component : components) {
        if (!QFileInfo(dir).isDir())
            return result;
        const Lookup entry = lookup(dir, component);
        if (entry.unreadable) {
            result.status = DriveMap::Status::Unreadable;
            return result;
        }
        if (entry.name.isEmpty())
            return result;
        dir += QLatin1Char('/') + entry.name;
    }
    const QString canonical = QFileInfo(dir).canonicalFilePath();
    if (canonical.isEmpty())
        return result; // a dangling link
    result.status = DriveMap::Status::Found;
    result.path = canonical;
    return result;
}

bool isBelow(const QString &canonical, const QString &canonicalRoot)
{
    return canonical == canonicalRoot || canonicalRoot == QLatin1String("/") ||
           canonical.startsWith(canonicalRoot + QLatin1Char('/'));
}

} // namespace

std::optional<DrivePath> DriveMap::parse(const QString &address)
{
    if (address.size() < 3 || address.at(1) != QLatin1Char(':'))
        return std::nullopt;
    const QChar letter = address.at(0);
    const bool asciiLetter = (letter >= QLatin1Char('a') && letter <= QLatin1Char('z')) ||
                             (letter >= QLatin1Char('A') && letter <= QLatin1Char('Z'));
    const QChar sep = address.at(2);
    if (!asciiLetter || (sep != QLatin1Char('\\') && sep != QLatin1Char('/')))
        return std::nullopt;

    DrivePath result;
    result.drive = letter.toLower();
    QString rest = address.mid(3);
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    result.components = rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return result;
}

QString DriveMap::driveRoot(QChar drive)
{
    const QString upper = QString(drive.toUpper());
    const QString configured =
        qEnvironmentVariable(qPrintable(QStringLiteral("PAGORA_DRIVE_") + upper));
    if (!configured.isEmpty())
        return QDir::cleanPath(QDir(configured).absolutePath());

    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    // The XDG rules say a relative value is to be ignored.
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(dataHome + QStringLiteral("/pagora/drive_") + QString(drive.toLower()));
}

QStringList DriveMap::normalized(const QStringList &components)
{
    QStringList result;
    for (const QString &component : components) {
        if (component.isEmpty() || component == QLatin1String("."))
            continue;
        if (component == QLatin1String("..")) {
            if (!result.isEmpty())
                result.removeLast();
            continue;
        }
        result << component;
    }
    return result;
}

QString DriveMap::matchEntry(const QString &dir, const QString &name)
{
    return lookup(dir, name).name;
}

int DriveMap::folderReads()
{
    return reads.loadRelaxed();
}

void DriveMap::clearCache()
{
    QMutexLocker lock(&cacheMutex);
    cache.clear();
}

DriveMap::Result DriveMap::resolveBelow(const QString &root, const QStringList &components)
{
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    Result result = walk(root, normalized(components));
    if (result.status == Status::Found && !isBelow(result.path, canonicalRoot)) {
        result.status = Status::Outside;
        result.path.clear();
    }
    return result;
}

DriveMap::Result DriveMap::resolve(const DrivePath &path)
{
    return resolveBelow(driveRoot(path.drive), path.components);
}

DriveMap::Result DriveMap::resolve(const QString &address)
{
    const auto parsed = parse(address);
    if (!parsed)
        return Result{};
    return resolve(*parsed);
}

bool DriveMap::isWithin(const DrivePath &path, const DrivePath &area)
{
    if (path.drive.toLower() != area.drive.toLower())
        return false;
    const QStringList p = normalized(path.components);
    const QStringList a = normalized(area.components);
    if (p.size() < a.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (p.at(i).compare(a.at(i), Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

DriveMap::Result DriveMap::resolveWithin(const DrivePath &path, const DrivePath &area)
{
    if (!isWithin(path, area)) {
        Result outside;
        outside.status = Status::Outside;
        return outside;
    }
    const QStringList areaComponents = normalized(area.components);
    const Result areaFolder = walk(driveRoot(area.drive), areaComponents);
    if (areaFolder.status != Status::Found)
        return areaFolder;
    if (!QFileInfo(areaFolder.path).isDir()) {
        Result missing;
        missing.status = Status::NotFound;
        return missing;
    }
    return resolveBelow(areaFolder.path, normalized(path.components).mid(areaComponents.size()));
}

QString DriveMap::folderFor(const QString &path)
{
    if (const auto parsed = parse(path)) {
        const Result r = walk(driveRoot(parsed->drive), normalized(parsed->components));
        return (r.status == Status::Found && QFileInfo(r.path).isDir()) ? r.path : QString();
    }
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    return info.isDir() ? info.absoluteFilePath() : QString();
}

QString DriveMap::windowsSpelling(const DrivePath &path)
{
    return QString(path.drive.toUpper()) + QStringLiteral(":\\") +
           path.components.join(QLatin1Char('\\'));
}
