// SPDX-License-Identifier: MIT
// Maps Windows-style drive paths ("C:\TARVOL\PAGORA\...") onto folders of this file system.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// A drive path split into its drive letter (lower case) and its components.
struct DrivePath
{
    QChar drive;
    QStringList components;
};

// The one place that knows where a drive letter lives on disk: PAGORA_DRIVE_X, else
// $XDG_DATA_HOME/pagora/drive_x. Names are matched as Windows matches them: the exact
// name if present, else the single entry that differs only in letter case.
class DriveMap
{
public:
    // Unreadable: a folder on the way exists but may not be searched.
    enum class Status { Found, NotFound, Outside, NotDrivePath, Unreadable };

    struct Result
    {
        Status status = Status::NotDrivePath;
        QString path; // the existing file or folder, when Found
    };

    // "X:\" or "X:/" followed by components separated by either slash; nullopt otherwise.
    static std::optional<DrivePath> parse(const QString &address);

    // The folder that stands for the drive; it need not exist.
    static QString driveRoot(QChar drive);

    // "." dropped and ".." applied; ".." stops at the root, as on Windows.
    static QStringList normalized(const QStringList &components);

    // Walks the components below the drive root; anything that leaves the root through a
    // link is refused.
    static Result resolve(const DrivePath &path);
    static Result resolve(const QString &address);

    // Like resolve, but only inside area, a folder of the same drive: a path that is not
    // below it, or leaves it through a link, is Outside. The area's own folders may be links
    // (a library kept elsewhere is set up that way).
    static Result resolveWithin(const DrivePath &path, const DrivePath &area);

    // Walks components below the native folder root, which may itself be reached through
    // links; nothing below it may lead out of it.
    static Result resolveBelow(const QString &root, const QStringList &components);

    // True when path names area or something below it (names compared as Windows does).
    static bool isWithin(const DrivePath &path, const DrivePath &area);

    // The native folder for a list box path: drive paths are mapped, other text is taken
    // as a native path. Empty when it names no existing folder. The program's own lists may
    // follow links anywhere; pages never get this reach.
    static QString folderFor(const QString &path);

    // Back to the Windows spelling, for messages: "C:\TARVOL\PAGORA\X".
    static QString windowsSpelling(const DrivePath &path);

    // Finds the entry of dir named like name: exact first, else the single case-insensitive
    // match. Folder listings are cached while the folder stays unchanged; safe from any thread.
    static QString matchEntry(const QString &dir, const QString &name);

    // For tests and benchmarks: how many times a folder was really read, and a way to forget.
    static int folderReads();
    static void clearCache();
};
