// SPDX-License-Identifier: MIT
// Whatever the program navigates to becomes a valid address of the page scheme or of the web,
// and the addresses of the page scheme read back as what was asked for.
#include "drivemap.h"
#include "fuzzcheck.h"
#include "pageaddress.h"

#include <QUrl>
#include <cstdint>

namespace {

bool hasControl(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

void checkNavigate(const QString &address)
{
    const QUrl url = PageAddress::fromNavigate(address);
    FUZZ_CHECK(url.isValid(), address);
    const QString scheme = url.scheme();
    FUZZ_CHECK(scheme == PageAddress::scheme() || scheme == QLatin1String("http") ||
                   scheme == QLatin1String("https") || scheme == QLatin1String("file") ||
                   scheme == QLatin1String("data"),
               address);

    if (const auto parsed = DriveMap::parse(address); parsed && !hasControl(address)) {
        // A drive path keeps every component through the URL and back.
        const auto back = PageAddress::drivePath(url);
        FUZZ_CHECK(back && back->drive == parsed->drive && back->components == parsed->components,
                   address);
        const bool folder =
            address.endsWith(QLatin1Char('\\')) || address.endsWith(QLatin1Char('/'));
        QString expected = DriveMap::windowsSpelling(*parsed);
        if (folder && !parsed->components.isEmpty())
            expected += QLatin1Char('\\');
        FUZZ_CHECK(PageAddress::displayAddress(url) == expected, address);
        FUZZ_CHECK(PageAddress::fromNavigate(PageAddress::displayAddress(url)) == url, address);
    }

    if (PageAddress::messageKind(url) == PageAddress::Message::InvalidAddress &&
        address.size() <= 2048 && url != QUrl(address, QUrl::TolerantMode)) {
        // The message names the address exactly as it was given.
        FUZZ_CHECK(PageAddress::displayAddress(url) == address, address);
    }
}

void checkMessages(const QString &address)
{
    using Message = PageAddress::Message;
    for (const Message kind :
         {Message::Blank, Message::InvalidAddress, Message::NotLoaded, Message::Canceled}) {
        const QUrl url = PageAddress::messageUrl(kind, address);
        FUZZ_CHECK(url.isValid(), address);
        FUZZ_CHECK(PageAddress::isMessagePage(url), address);
        FUZZ_CHECK(PageAddress::messageKind(url) == kind, address);
        FUZZ_CHECK(!PageAddress::drivePath(url), address);
        const bool carries = kind == Message::InvalidAddress || kind == Message::NotLoaded;
        if (carries && address.size() <= 2048)
            FUZZ_CHECK(PageAddress::messageAddress(url) == address, address);
        if (carries && address.size() > 2048)
            FUZZ_CHECK(PageAddress::messageAddress(url).size() <= 2049, address);
    }
}

// Any URL the engine might hand back: a page-scheme URL maps to a drive path that maps back.
void checkUrl(const QString &text)
{
    const QUrl url(text, QUrl::TolerantMode);
    const auto path = PageAddress::drivePath(url);
    if (!path)
        return;
    for (const QString &component : path->components) {
        FUZZ_CHECK(!component.contains(QLatin1Char('/')) &&
                       !component.contains(QLatin1Char('\\')) && !component.contains(QChar(0)),
                   text);
    }
    const QUrl rebuilt = PageAddress::driveUrl(*path);
    FUZZ_CHECK(rebuilt.isValid(), text);
    const auto again = PageAddress::drivePath(rebuilt);
    FUZZ_CHECK(again && again->drive == path->drive && again->components == path->components, text);
    PageAddress::displayAddress(url);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 8192)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    checkNavigate(text);
    checkMessages(text);
    checkUrl(text);
    return 0;
}
