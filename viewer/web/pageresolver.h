// SPDX-License-Identifier: MIT
// Decides what the pgx scheme answers for a URL: a file of a mapped drive, one of our
// message pages, or a refusal. No engine types, so tests drive it directly.
#pragma once

#include "drivemap.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

class PageResolver
{
public:
    // Bigger files are refused rather than read into memory.
    static constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

    struct Reply
    {
        enum class Kind {
            Content,  // contentType + body
            NotFound, // nothing to show
            Message,  // one of our message pages in contentType + body; the request failed
        };
        Kind kind = Kind::NotFound;
        QByteArray contentType;
        QByteArray body;
        QString file; // the file that was read, if any
    };

    // asPage: the URL is wanted as a document, so a failure is answered with a readable page
    // instead of a bare error.
    static Reply answer(const QUrl &url, bool asPage, qint64 maxFileSize = MaxFileSize);

    // The one rule for everything that reads a book's files (the pane, the search index, the
    // page list, find, print): the file a drive path ("C:\TARVOL\PAGORA\X\1 UVOD.PGX")
    // stands for, Found only inside the library (or a folder the program opened) and only
    // when no link on the way leads out of its book's folder; Outside when it lies elsewhere
    // or leads out, NotFound when missing. Safe from any thread. Callers still apply
    // MaxFileSize to what they read.
    static DriveMap::Result resolveBookFile(const DrivePath &path);
    static DriveMap::Result resolveBookFile(const QString &address);

    // Whether a request for this URL is for a document, judged from the name alone.
    static bool looksLikePage(const QUrl &url);

    // The Content-Type for a file, charset included for HTML and plain text.
    static QByteArray contentTypeFor(const QString &fileName, const QByteArray &bytes);
};
