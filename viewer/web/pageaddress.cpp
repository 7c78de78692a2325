// SPDX-License-Identifier: MIT
#include "pageaddress.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStringList>
#include <utility>

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

constexpr qsizetype AreaDigits = 16;

// "c" for the drive itself, "c-<16 hex digits>" for a book or a folder outside the library.
bool isDriveHost(const QString &host)
{
    if (host.isEmpty() || host.at(0) < QLatin1Char('a') || host.at(0) > QLatin1Char('z'))
        return false;
    if (host.size() == 1)
        return true;
    if (host.size() != AreaDigits + 2 || host.at(1) != QLatin1Char('-'))
        return false;
    for (qsizetype i = 2; i < host.size(); ++i) {
        const QChar c = host.at(i);
        if (!c.isDigit() && (c < QLatin1Char('a') || c > QLatin1Char('f')))
            return false;
    }
    return true;
}

// Windows compares names without letter case, so the host does too.
QString areaHost(const DrivePath &area, const char *kind)
{
    const QString key =
        QLatin1String(kind) + QLatin1Char(':') + DriveMap::windowsSpelling(area).toLower();
    return QString(area.drive.toLower()) + QLatin1Char('-') +
           QString::fromLatin1(QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1)
                                   .toHex()
                                   .left(AreaDigits));
}

// Grants live as long as the process: back, forward and reload must keep working.
struct Grants
{
    QMutex mutex;
    QHash<QString, PageAddress::LocalFolder> local; // by host
    QHash<QString, DrivePath> drive;                // drive folders outside the library, by host
};

Grants &grants()
{
    static Grants g;
    return g;
}

constexpr qsizetype LocalHostDigits = 16;

QString localHostFor(const QString &written)
{
    return QLatin1Char('l') +
           QString::fromLatin1(QCryptographicHash::hash(written.toUtf8(), QCryptographicHash::Sha1)
                                   .toHex()
                                   .left(LocalHostDigits));
}

// "/home/ana/knihy/domov.html": the folder "/home/ana/knihy/" is granted and the page is
// "domov.html" below it. A folder address grants the folder itself.
QUrl localUrl(const QString &address)
{
    QString written;
    QString rest;
    if (address.endsWith(QLatin1Char('/')) || QFileInfo(address).isDir()) {
        written = address;
    } else {
        const qsizetype slash = address.lastIndexOf(QLatin1Char('/'));
        written = address.left(slash + 1);
        rest = address.mid(slash + 1);
    }
    const QString host = localHostFor(written);
    {
        Grants &g = grants();
        QMutexLocker lock(&g.mutex);
        PageAddress::LocalFolder folder;
        folder.written = written;
        folder.folder = QDir::cleanPath(written);
        g.local.insert(host, folder);
    }
    return QUrl::fromEncoded("pgx://" + host.toLatin1() + '/' + QUrl::toPercentEncoding(rest),
                             QUrl::StrictMode);
}

void grantDriveFolder(const DrivePath &folder)
{
    Grants &g = grants();
    QMutexLocker lock(&g.mutex);
    g.drive.insert(areaHost(folder, "priecinok"), folder);
}

// The granted folder a host stands for.
std::optional<DrivePath> grantedFolder(const QString &host)
{
    Grants &g = grants();
    QMutexLocker lock(&g.mutex);
    const auto it = g.drive.constFind(host);
    if (it == g.drive.constEnd())
        return std::nullopt;
    return *it;
}

// The granted folder that holds path most closely, and its host.
std::optional<std::pair<QString, DrivePath>> grantHolding(const DrivePath &path)
{
    Grants &g = grants();
    QMutexLocker lock(&g.mutex);
    std::optional<std::pair<QString, DrivePath>> best;
    for (auto it = g.drive.constBegin(); it != g.drive.constEnd(); ++it) {
        if (DriveMap::isWithin(path, *it) &&
            (!best || it->components.size() > best->second.components.size()))
            best = std::make_pair(it.key(), *it);
    }
    return best;
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

DrivePath PageAddress::libraryArea()
{
    // The library root as the program spells it everywhere (library::rootFolder).
    return DrivePath{QLatin1Char('c'), {QStringLiteral("TARVOL"), QStringLiteral("PAGORA")}};
}

std::optional<DrivePath> PageAddress::servedArea(const DrivePath &path)
{
    const DrivePath library = libraryArea();
    if (DriveMap::isWithin(path, library)) {
        // Each book is its own area, so a link inside one cannot lead into another; a book
        // folder that is itself a link (a book kept elsewhere) still works.
        DrivePath area = library;
        const QStringList components = DriveMap::normalized(path.components);
        if (components.size() > library.components.size())
            area.components << components.at(library.components.size());
        return area;
    }
    if (const auto grant = grantHolding(path))
        return grant->second;
    return std::nullopt;
}

std::optional<DrivePath> PageAddress::servedArea(const QUrl &url)
{
    const auto path = drivePath(url);
    if (!path)
        return std::nullopt;
    // A folder outside the library serves itself and below, nothing else.
    if (const auto folder = grantedFolder(url.host())) {
        if (!DriveMap::isWithin(*path, *folder))
            return std::nullopt;
        return *folder;
    }
    // A book's origin reads the whole library (pictures and stylesheets kept for all books),
    // never a folder outside it, even one granted to another origin.
    if (!DriveMap::isWithin(*path, libraryArea()))
        return std::nullopt;
    return servedArea(*path);
}

QString PageAddress::originHost(const DrivePath &path)
{
    const DrivePath library = libraryArea();
    const QString drive(path.drive.toLower());
    if (DriveMap::isWithin(path, library)) {
        const QStringList components = DriveMap::normalized(path.components);
        if (components.size() <= library.components.size())
            return drive;
        DrivePath book = library;
        book.components << components.at(library.components.size());
        return areaHost(book, "kniha");
    }
    if (const auto grant = grantHolding(path))
        return grant->first;
    return drive;
}

QUrl PageAddress::withOriginHost(const QUrl &url)
{
    const auto path = drivePath(url);
    if (!path)
        return url;
    const QString host = originHost(*path);
    if (host == url.host())
        return url;
    QUrl moved = url;
    moved.setHost(host);
    return moved;
}

bool PageAddress::isLocalHost(const QString &host)
{
    if (host.size() != LocalHostDigits + 1 || host.at(0) != QLatin1Char('l'))
        return false;
    Grants &g = grants();
    QMutexLocker lock(&g.mutex);
    return g.local.contains(host);
}

std::optional<PageAddress::LocalFolder> PageAddress::localFolder(const QUrl &url)
{
    if (!isPageScheme(url))
        return std::nullopt;
    LocalFolder result;
    {
        Grants &g = grants();
        QMutexLocker lock(&g.mutex);
        const auto it = g.local.constFind(url.host());
        if (it == g.local.constEnd())
            return std::nullopt;
        result = *it;
    }
    const QStringList segments =
        url.path(QUrl::FullyEncoded).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &segment : segments) {
        const QString name = QString::fromUtf8(QByteArray::fromPercentEncoding(segment.toLatin1()));
        if (name.contains(QLatin1Char('/')) || name.contains(QChar(0)))
            return std::nullopt;
        result.components << name;
    }
    return result;
}

void PageAddress::forgetGrants()
{
    Grants &g = grants();
    QMutexLocker lock(&g.mutex);
    g.local.clear();
    g.drive.clear();
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
    QByteArray encoded = "pgx://" + originHost(path).toLatin1() + '/';
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
    if (const auto local = localFolder(url)) {
        const QString rest = local->components.join(QLatin1Char('/'));
        if (rest.isEmpty())
            return local->written;
        return local->written.endsWith(QLatin1Char('/')) ? local->written + rest
                                                         : local->written + QLatin1Char('/') + rest;
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
        // The program may show a page outside the library (a home page kept elsewhere);
        // that page may read its own folder and below.
        // Such a folder is an origin of its own, apart from the library and from others.
        if (!DriveMap::isWithin(*path, libraryArea())) {
            DrivePath granted{path->drive, DriveMap::normalized(path->components)};
            if (!folder && !granted.components.isEmpty())
                granted.components.removeLast();
            grantDriveFolder(granted);
        }
        return driveUrl(*path, folder);
    }

    // An absolute path of this system, as a home page may be stored.
    if (address.startsWith(QLatin1Char('/')))
        return localUrl(address);

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
        if (s == scheme() && isDriveHost(url.host()))
            return withOriginHost(url);
        if (s == scheme() && (isMessagePage(url) || isLocalHost(url.host())))
            return url;
    }
    return messageUrl(Message::InvalidAddress, address);
}
