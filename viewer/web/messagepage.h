// SPDX-License-Identifier: MIT
// The short Slovak pages the browser pane shows instead of a page it cannot show.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

// UTF-8 HTML without scripts; every piece of outside text is escaped before it goes in.
class MessagePage
{
public:
    struct Link
    {
        QString text;
        QUrl url;
    };

    static QByteArray contentType(); // "text/html; charset=utf-8"

    static QByteArray notFound(const QString &address);
    static QByteArray folder(const QString &address, const QList<Link> &pages);
    static QByteArray tooLarge(const QString &address);
    static QByteArray unreadable(const QString &address);
    // A link (on disk) that leads out of the folder the page may read.
    static QByteArray outside(const QString &address);
    static QByteArray invalidAddress(const QString &address);
    static QByteArray notLoaded(const QString &address);
    static QByteArray canceled();

    // The address as the message shows it: control characters made visible, very long text cut.
    static QString shownAddress(const QString &address);
};
