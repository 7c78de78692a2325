// SPDX-License-Identifier: MIT
#include "bookpage.h"

#include "pageaddress.h"

#include <QDesktopServices>
#include <QLoggingCategory>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

Q_LOGGING_CATEGORY(lcPage, "pagora.web.page", QtWarningMsg)

namespace {

// A click reaches the engine as a navigation a moment later; a page's own script has
// no user input behind it.
constexpr qint64 UserGestureWindowMs = 1500;

bool isWeb(const QUrl &url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

bool isAboutBlank(const QUrl &url)
{
    return url.scheme() == QLatin1String("about") &&
           (url.path() == QLatin1String("blank") || url.path() == QLatin1String("srcdoc"));
}

} // namespace

BookPage::BookPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent),
      m_opener([](const QUrl &url) { QDesktopServices::openUrl(url); })
{
    connect(this, &QWebEnginePage::newWindowRequested, this, &BookPage::onNewWindowRequested);
}

void BookPage::configure(QWebEngineProfile *profile)
{
    QWebEngineSettings *s = profile->settings();
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::WebGLEnabled, false);
    s->setAttribute(QWebEngineSettings::Accelerated2dCanvasEnabled, false);
    // Our own pages replace the engine's English ones.
    s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    s->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    // Only for what the scheme handler did not label itself (the engine's default is Latin-1).
    s->setDefaultTextEncoding(QStringLiteral("windows-1250"));
}

void BookPage::noteUserInput()
{
    m_lastUserInput.start();
}

void BookPage::setExternalOpener(ExternalOpener opener)
{
    m_opener = std::move(opener);
}

bool BookPage::userActedRecently() const
{
    return m_lastUserInput.isValid() && m_lastUserInput.elapsed() < UserGestureWindowMs;
}

void BookPage::openExternally(const QUrl &url)
{
    // One click, one browser window: a second navigation from the same click is ignored.
    m_lastUserInput.invalidate();
    m_openedExternally << url;
    if (m_opener)
        m_opener(url);
}

void BookPage::followLink(const QUrl &url)
{
    if (PageAddress::isPageScheme(url))
        load(url);
    else if (isWeb(url) || url.scheme() == QLatin1String("mailto"))
        openExternally(url);
}

bool BookPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    qCDebug(lcPage) << "navigation" << url << type << (isMainFrame ? "main frame" : "frame");
    if (PageAddress::isPageScheme(url) || isAboutBlank(url)) {
        if (isMainFrame)
            m_openingWeb = false;
        return true;
    }

    if (isMainFrame) {
        if (type == NavigationTypeTyped && (isWeb(url) || url.scheme() == QLatin1String("file") ||
                                            url.scheme() == QLatin1String("data"))) {
            m_openingWeb = isWeb(url);
            return true;
        }
        // A web page the program opened may be redirected, say from http to https; until it
        // commits, url() still names the page before it.
        if (type == NavigationTypeRedirect && isWeb(url) && (m_openingWeb || isWeb(this->url())))
            return true;
        if (type == NavigationTypeLinkClicked &&
            (isWeb(url) || url.scheme() == QLatin1String("mailto")) && userActedRecently())
            openExternally(url);
        return false;
    }

    // data: and blob: frames get an opaque origin of their own and reach nothing.
    if (url.scheme() == QLatin1String("data") || url.scheme() == QLatin1String("blob"))
        return true;
    // Frames of a web page the program opened are that page's business.
    return isWeb(url) && isWeb(this->url());
}

QWebEnginePage *BookPage::createWindow(WebWindowType)
{
    // Returning no page makes the engine ask through newWindowRequested, which carries the
    // address and whether the user asked for it.
    return nullptr;
}

void BookPage::onNewWindowRequested(QWebEngineNewWindowRequest &request)
{
    ++m_windowRequests;
    const QUrl url = request.requestedUrl();
    qCDebug(lcPage) << "new window" << url << "by user:" << request.isUserInitiated();
    if (!request.isUserInitiated())
        return;
    if (PageAddress::isPageScheme(url)) {
        load(url); // target="_blank" in a book: stay in the one pane
        return;
    }
    if (isWeb(url) || url.scheme() == QLatin1String("mailto"))
        openExternally(url);
}
