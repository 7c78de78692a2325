// SPDX-License-Identifier: MIT
// Turns what the program asks the browser pane to show into an address the engine can load.
#pragma once

#include "drivemap.h"

#include <QString>
#include <QUrl>
#include <optional>

// Book pages live at pgx://<drive letter>/<path>, so "C:\TARVOL\PAGORA\X\1 UVOD.PGX" becomes
// pgx://c/TARVOL/PAGORA/X/1%20UVOD.PGX. Our own message pages live on the host "pagora".
class PageAddress
{
public:
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

    static bool isPageScheme(const QUrl &url);
    static bool isMessagePage(const QUrl &url);
};
