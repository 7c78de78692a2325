// SPDX-License-Identifier: MIT
#include "drivemap.h"

#include <QDir>
#include <QFileInfo>

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

QString DriveMap::matchEntry(const QString &dir, const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QString();
    if (QFileInfo::exists(dir + QLatin1Char('/') + name))
        return name;

    const QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    QString found;
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (!found.isEmpty())
            return QString(); // two candidates: Windows could never have made this, refuse to guess
        found = entry;
    }
    return found;
}

DriveMap::Result DriveMap::resolve(const DrivePath &path)
{
    Result result;
    const QString root = driveRoot(path.drive);
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    if (canonicalRoot.isEmpty() || !QFileInfo(canonicalRoot).isDir()) {
        result.status = Status::NotFound;
        return result;
    }

    QStringList walked;
    for (const QString &component : path.components) {
        if (component == QLatin1String("."))
            continue;
        if (component == QLatin1String("..")) {
            if (!walked.isEmpty())
                walked.removeLast();
            continue;
        }
        QString dir = root;
        for (const QString &part : walked)
            dir += QLatin1Char('/') + part;
        if (!QFileInfo(dir).isDir()) {
            result.status = Status::NotFound;
            return result;
        }
        const QString entry = matchEntry(dir, component);
        if (entry.isEmpty()) {
            result.status = Status::NotFound;
            return result;
        }
        walked << entry;
    }

    QString full = root;
    for (const QString &part : walked)
        full += QLatin1Char('/') + part;
    const QString canonical = QFileInfo(full).canonicalFilePath();
    if (canonical.isEmpty()) {
        result.status = Status::NotFound; // a dangling link
        return result;
    }
    if (canonical != canonicalRoot && !canonical.startsWith(canonicalRoot + QLatin1Char('/'))) {
        result.status = Status::Outside;
        return result;
    }
    result.status = Status::Found;
    result.path = canonical;
    return result;
}

DriveMap::Result DriveMap::resolve(const QString &address)
{
    const auto parsed = parse(address);
    if (!parsed)
        return Result{};
    return resolve(*parsed);
}

QString DriveMap::folderFor(const QString &path)
{
    if (const auto parsed = parse(path)) {
        const Result r = resolve(*parsed);
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
