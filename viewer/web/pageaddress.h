// SPDX-License-Identifier: MIT
// Turns what the program asks the browser pane to show into an address the engine can load.
#pragma once

#include "drivemap.h"

#include <QString>
#include <QUrl>
#include <optional>

// Book pages live at pgx://<host>/<path on the drive>, so "C:\TARVOL\PAGORA\X\1 UVOD.PGX"
// becomes pgx://c-<16 hex digits>/TARVOL/PAGORA/X/1%20UVOD.PGX. The host is the page's origin:
// each book has one of its own, and so has each folder outside the library the program
// opened (storage included); "c" alone stands for the rest of the drive. Our own message
// pages live on the host "pagora".
// A page the program opens by a local path ("/home/ana/knihy/domov.html") gets a host of its
// own whose root is the page's folder: pgx://l<16 hex digits>/domov.html. Its links cannot
// climb above that root, and it is an origin apart from the library.
//
// Pages may read only the library (C:\TARVOL\PAGORA) and the folders the program itself
// navigated to; fromNavigate records those grants for the life of the process.
class PageAddress
{
public:
    // A folder a page opened by a local path may read, and how the user wrote it.
    struct LocalFolder
    {
        QString written;        // the address up to its last "/", or the whole folder address
        QString folder;         // the native folder
        QStringList components; // the URL's path below the folder, decoded
    };

    // Blank stands in for about:blank, which Qt 6.4 loads unreliably (see fromNavigate).
    enum class Message { None, Blank, InvalidAddress, NotLoaded, Canceled };

    static QString scheme();
    static QString messageHost();

    // Whatever string the program navigates to; never fails: an address that cannot be shown
    // becomes one of our message pages naming it.
    static QUrl fromNavigate(const QString &address);

    // A drive path as a pgx URL; a folder keeps its trailing slash.
    static QUrl driveUrl(const DrivePath &path, bool folder = false);

    // The drive path a pgx URL stands for; nullopt for other URLs and for names that would
    // smuggle a separator or NUL in through percent-encoding.
    static std::optional<DrivePath> drivePath(const QUrl &url);

    // How a user would write the address: "C:\TARVOL\PAGORA\X\1 UVOD.PGX" for drive URLs,
    // the original text for our message pages, the URL itself otherwise.
    static QString displayAddress(const QUrl &url);

    static QUrl messageUrl(Message kind, const QString &address = QString());
    static Message messageKind(const QUrl &url);
    static QString messageAddress(const QUrl &url);

    // The library: what every book page may read.
    static DrivePath libraryArea();
    // The area a drive URL may be served from: the library's book folder it lies in, or a
    // folder the program navigated to; nullopt when pages may not read there.
    static std::optional<DrivePath> servedArea(const DrivePath &path);
    // The area a drive URL's origin may read at its path: a book's origin the library, a
    // folder's origin that folder; nullopt otherwise.
    static std::optional<DrivePath> servedArea(const QUrl &url);
    // The host of the origin a drive path belongs to: its book's, its folder's, or the drive's.
    static QString originHost(const DrivePath &path);
    // The URL moved to the host its path belongs to; other URLs unchanged.
    static QUrl withOriginHost(const QUrl &url);
    // The granted folder of a local-path URL; nullopt for other URLs and unknown hosts.
    static std::optional<LocalFolder> localFolder(const QUrl &url);
    static bool isLocalHost(const QString &host);
    // For tests: forget every folder the program navigated to.
    static void forgetGrants();

    static bool isPageScheme(const QUrl &url);
    static bool isMessagePage(const QUrl &url);
};
