// SPDX-License-Identifier: MIT
#include "pageaddress.h"

#include <QStringList>

namespace {

// Long enough for any real address; keeps a pasted novel out of the URL bar.
constexpr qsizetype MaxCarriedAddress = 2048;

const char *const AddressKey = "adresa=";

bool hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

bool isDriveHost(const QString &host)
{
    return host.size() == 1 && host.at(0) >= QLatin1Char('a') && host.at(0) <= QLatin1Char('z');
}

QString messagePath(PageAddress::Message kind)
{
    switch (kind) {
    case PageAddress::Message::Blank:
        return QStringLiteral("/prazdna");
    case PageAddress::Message::InvalidAddress:
        return QStringLiteral("/chyba");
    case PageAddress::Message::NotLoaded:
        return QStringLiteral("/nenacitana");
    case PageAddress::Message::Canceled:
        return QStringLiteral("/zrusene");
    case PageAddress::Message::None:
        break;
    }
    return QString();
}

} // namespace

QString PageAddress::scheme()
{
    return QStringLiteral("pgx");
}

QString PageAddress::messageHost()
{
    return QStringLiteral("pagora");
}

bool PageAddress::isPageScheme(const QUrl &url)
{
    return url.scheme() == scheme();
}

bool PageAddress::isMessagePage(const QUrl &url)
{
    return isPageScheme(url) && url.host() == messageHost();
}

QUrl PageAddress::driveUrl(const DrivePath &path, bool folder)
{
    QByteArray encoded = "pgx://" + QString(path.drive.toLower()).toLatin1() + '/';
    for (qsizetype i = 0; i < path.components.size(); ++i) {
        if (i > 0)
            encoded += '/';
        encoded += QUrl::toPercentEncoding(path.components.at(i));
    }
    if (folder && !path.components.isEmpty())
        encoded += '/';
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

std::optional<DrivePath> PageAddress::drivePath(const QUrl &url)
{
    if (!isPageScheme(url) || !isDriveHost(url.host()))
        return std::nullopt;
    DrivePath result;
    result.drive = url.host().at(0);
    const QStringList segments =
        url.path(QUrl::FullyEncoded).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &segment : segments) {
        const QString name = QString::fromUtf8(QByteArray::fromPercentEncoding(segment.toLatin1()));
        if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
            name.contains(QChar(0)))
            return std::nullopt;
        result.components << name;
    }
    return result;
}

QString PageAddress::displayAddress(const QUrl &url)
{
    if (const auto path = drivePath(url)) {
        QString spelled = DriveMap::windowsSpelling(*path);
        if (!path->components.isEmpty() && url.path().endsWith(QLatin1Char('/')))
            spelled += QLatin1Char('\\');
        return spelled;
    }
    switch (messageKind(url)) {
    case Message::None:
        break;
    case Message::Blank:
        return QStringLiteral("about:blank");
    default:
        return messageAddress(url);
    }
    return url.toDisplayString();
}

QUrl PageAddress::messageUrl(Message kind, const QString &address)
{
    QByteArray encoded = "pgx://" + messageHost().toLatin1() + messagePath(kind).toLatin1();
    if (kind != Message::Canceled && kind != Message::Blank) {
        QString carried = address;
        if (carried.size() > MaxCarriedAddress)
            carried = carried.left(MaxCarriedAddress) + QChar(0x2026);
        encoded += '?' + QByteArray(AddressKey) + QUrl::toPercentEncoding(carried);
    }
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

PageAddress::Message PageAddress::messageKind(const QUrl &url)
{
    if (!isMessagePage(url))
        return Message::None;
    for (const Message kind :
         {Message::Blank, Message::InvalidAddress, Message::NotLoaded, Message::Canceled}) {
        if (url.path() == messagePath(kind))
            return kind;
    }
    return Message::None;
}

QString PageAddress::messageAddress(const QUrl &url)
{
    const QByteArray query = url.query(QUrl::FullyEncoded).toLatin1();
    if (!query.startsWith(AddressKey))
        return QString();
    return QString::fromUtf8(QByteArray::fromPercentEncoding(query.mid(qstrlen(AddressKey))));
}

QUrl PageAddress::fromNavigate(const QString &address)
{
    // Windows would refuse such a name, and the engine would silently strip the characters.
    if (hasControlCharacter(address))
        return messageUrl(Message::InvalidAddress, address);

    if (const auto path = DriveMap::parse(address)) {
        const bool folder =
            address.endsWith(QLatin1Char('\\')) || address.endsWith(QLatin1Char('/'));
        return driveUrl(*path, folder);
    }

    const QString lower = address.toLower();
    // Qt 6.4 loses or misreports a typed about:blank when a page has just tried a navigation
    // we refused: the pane could stay on the old page, or report the next load wrongly.
    if (lower == QLatin1String("about:blank"))
        return messageUrl(Message::Blank);
    // The engine shows every other about: address as an empty page, with no word of why.
    if (lower == QLatin1String("about:navigationcanceled"))
        return messageUrl(Message::Canceled);
    if (lower.startsWith(QLatin1String("about:")))
        return messageUrl(Message::InvalidAddress, address);

    const QUrl url(address, QUrl::TolerantMode);
    if (url.isValid()) {
        const QString s = url.scheme();
        if ((s == QLatin1String("http") || s == QLatin1String("https")) && !url.host().isEmpty())
            return url;
        if (s == QLatin1String("file") || s == QLatin1String("data"))
            return url;
        if (s == scheme() && (isDriveHost(url.host()) || isMessagePage(url)))
            return url;
    }
    return messageUrl(Message::InvalidAddress, address);
}
