// SPDX-License-Identifier: MIT
#include "pageresolver.h"

#include "charsetsniffer.h"
#include "drivemap.h"
#include "messagepage.h"
#include "pageaddress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

namespace {

QString extensionOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

bool isPageExtension(const QString &extension)
{
    return extension == QLatin1String("pgx") || extension == QLatin1String("htm") ||
           extension == QLatin1String("html");
}

PageResolver::Reply message(const QByteArray &body)
{
    PageResolver::Reply reply;
    reply.kind = PageResolver::Reply::Kind::Message;
    reply.contentType = MessagePage::contentType();
    reply.body = body;
    return reply;
}

// Names a drive path cannot spell ("\\" is its separator) or that an address may not hold.
bool isAddressable(const QString &name)
{
    for (const QChar c : name) {
        if (c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

PageResolver::Reply folderPage(const QUrl &url, const QString &folder)
{
    QUrl base = url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment);
    QByteArray encodedBase = base.toEncoded();
    if (!encodedBase.endsWith('/'))
        encodedBase += '/';

    QDir dir(folder);
    dir.setNameFilters(
        {QStringLiteral("*.pgx"), QStringLiteral("*.htm"), QStringLiteral("*.html")});
    dir.setFilter(QDir::Files | QDir::Readable);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    QList<MessagePage::Link> pages;
    for (const QString &name : dir.entryList()) {
        if (!isAddressable(name))
            continue;
        pages.append({name, QUrl::fromEncoded(encodedBase + QUrl::toPercentEncoding(name),
                                              QUrl::StrictMode)});
    }
    QString address = PageAddress::displayAddress(url);
    const QChar separator =
        address.startsWith(QLatin1Char('/')) ? QLatin1Char('/') : QLatin1Char('\\');
    if (!address.endsWith(separator))
        address += separator;
    return message(MessagePage::folder(address, pages));
}

PageResolver::Reply messagePage(const QUrl &url)
{
    switch (PageAddress::messageKind(url)) {
    case PageAddress::Message::Blank: {
        PageResolver::Reply blank;
        blank.kind = PageResolver::Reply::Kind::Content;
        blank.contentType = MessagePage::contentType();
        blank.body = QByteArrayLiteral("<!DOCTYPE html>\n<html><head><title></title>"
                                       "<meta name=\"color-scheme\" content=\"light dark\">"
                                       "</head><body></body></html>\n");
        return blank;
    }
    case PageAddress::Message::InvalidAddress:
        return message(MessagePage::invalidAddress(PageAddress::messageAddress(url)));
    case PageAddress::Message::NotLoaded:
        return message(MessagePage::notLoaded(PageAddress::messageAddress(url)));
    case PageAddress::Message::Canceled:
        return message(MessagePage::canceled());
    case PageAddress::Message::None:
        break;
    }
    return message(MessagePage::notFound(url.toDisplayString()));
}

} // namespace

DriveMap::Result PageResolver::resolveBookFile(const DrivePath &path)
{
    const auto area = PageAddress::servedArea(path);
    if (!area) {
        DriveMap::Result outside;
        outside.status = DriveMap::Status::Outside;
        return outside;
    }
    return DriveMap::resolveWithin(path, *area);
}

DriveMap::Result PageResolver::resolveBookFile(const QString &address)
{
    const auto path = DriveMap::parse(address);
    if (!path)
        return {};
    return resolveBookFile(*path);
}

bool PageResolver::looksLikePage(const QUrl &url)
{
    const QString path = url.path();
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return true;
    return isPageExtension(extensionOf(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1)));
}

QByteArray PageResolver::contentTypeFor(const QString &fileName, const QByteArray &bytes)
{
    const QString extension = extensionOf(fileName);
    if (isPageExtension(extension)) {
        const QByteArray charset = CharsetSniffer::charsetFor(bytes);
        return charset.isEmpty() ? QByteArrayLiteral("text/html")
                                 : QByteArrayLiteral("text/html; charset=") + charset;
    }
    if (extension == QLatin1String("txt")) {
        const QByteArray charset = CharsetSniffer::charsetFor(bytes);
        return charset.isEmpty() ? QByteArrayLiteral("text/plain")
                                 : QByteArrayLiteral("text/plain; charset=") + charset;
    }
    // Stylesheets with any other type are ignored in standards mode, so these are never guessed.
    static const struct
    {
        const char *extension;
        const char *type;
    } known[] = {
        {"css", "text/css"},    {"js", "text/javascript"}, {"gif", "image/gif"},
        {"png", "image/png"},   {"jpg", "image/jpeg"},     {"jpeg", "image/jpeg"},
        {"bmp", "image/bmp"},   {"ico", "image/x-icon"},   {"svg", "image/svg+xml"},
        {"webp", "image/webp"},
    };
    for (const auto &entry : known) {
        if (extension == QLatin1String(entry.extension))
            return QByteArray(entry.type);
    }
    // No file name holds a NUL, and Qt's MIME database crashes on some that do.
    if (fileName.contains(QChar(0)))
        return QByteArrayLiteral("application/octet-stream");
    static const QMimeDatabase database;
    QMimeType type = database.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    if (type.isDefault())
        type = database.mimeTypeForData(bytes);
    return type.name().toLatin1();
}

PageResolver::Reply PageResolver::answer(const QUrl &url, bool asPage, qint64 maxFileSize)
{
    if (PageAddress::isMessagePage(url)) {
        if (!asPage)
            return {};
        return messagePage(url);
    }

    const QString address = PageAddress::displayAddress(url);
    const auto notFound = [&] {
        return asPage ? message(MessagePage::notFound(address)) : Reply{};
    };

    DriveMap::Result found;
    if (const auto local = PageAddress::localFolder(url)) {
        found = DriveMap::resolveBelow(local->folder, local->components);
    } else if (const auto path = PageAddress::drivePath(url)) {
        // Outside what the page's origin may read, nothing is even looked at: a page must
        // not learn what exists there.
        const auto area = PageAddress::servedArea(url);
        if (!area)
            return notFound();
        found = DriveMap::resolveWithin(*path, *area);
    } else {
        return notFound();
    }
    switch (found.status) {
    case DriveMap::Status::Found:
        break;
    case DriveMap::Status::Outside:
        return asPage ? message(MessagePage::outside(address)) : Reply{};
    case DriveMap::Status::Unreadable:
        return asPage ? message(MessagePage::unreadable(address)) : Reply{};
    default:
        return notFound();
    }

    const QFileInfo info(found.path);
    if (info.isDir())
        return asPage ? folderPage(url, found.path) : Reply{};
    if (!info.isFile())
        return notFound();
    if (info.size() > maxFileSize)
        return asPage ? message(MessagePage::tooLarge(address)) : Reply{};

    QFile file(found.path);
    if (!file.open(QIODevice::ReadOnly))
        return asPage ? message(MessagePage::unreadable(address)) : Reply{};
    // The size may have changed since it was checked; never read past the limit. Asking
    // for the limit at once would make Qt set aside 64 MB for every picture.
    QByteArray bytes = file.read(info.size() + 1);
    if (bytes.size() > info.size() && bytes.size() <= maxFileSize)
        bytes += file.read(maxFileSize + 1 - bytes.size());
    if (bytes.size() > maxFileSize)
        return asPage ? message(MessagePage::tooLarge(address)) : Reply{};
    if (file.error() != QFileDevice::NoError)
        return asPage ? message(MessagePage::unreadable(address)) : Reply{};

    Reply reply;
    reply.kind = Reply::Kind::Content;
    reply.contentType = contentTypeFor(found.path, bytes);
    reply.body = bytes;
    reply.file = found.path;
    return reply;
}
