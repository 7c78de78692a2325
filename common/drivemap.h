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
    enum class Status { Found, NotFound, Outside, NotDrivePath };

    struct Result
    {
        Status status = Status::NotDrivePath;
        QString path; // the existing file or folder, when Found
    };

    // "X:\" or "X:/" followed by components separated by either slash; nullopt otherwise.
    static std::optional<DrivePath> parse(const QString &address);

    // The folder that stands for the drive; it need not exist.
    static QString driveRoot(QChar drive);

    // Walks the components below the drive root. ".." stops at the root, as on Windows;
    // anything that leaves the root through a link is refused.
    static Result resolve(const DrivePath &path);
    static Result resolve(const QString &address);

    // The native folder for a list box path: drive paths are mapped, other text is taken
    // as a native path. Empty when a drive path names no existing folder.
    static QString folderFor(const QString &path);

    // Back to the Windows spelling, for messages: "C:\TARVOL\PAGORA\X".
    static QString windowsSpelling(const DrivePath &path);

    // Finds the entry of dir named like name: exact first, else the single case-insensitive match.
    static QString matchEntry(const QString &dir, const QString &name);
};
