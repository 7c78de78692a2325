// SPDX-License-Identifier: MIT
#include "pagerequestinterceptor.h"

#include "pageaddress.h"

#include <QLoggingCategory>
#include <QWebEngineUrlRequestInfo>

Q_LOGGING_CATEGORY(lcIntercept, "pagora.web.intercept", QtWarningMsg)

PageRequestInterceptor::PageRequestInterceptor(QObject *parent)
    : QWebEngineUrlRequestInterceptor(parent)
{}

bool PageRequestInterceptor::allowedFromBook(const QUrl &url)
{
    const QString scheme = url.scheme();
    if (scheme == PageAddress::scheme() || scheme == QLatin1String("data") ||
        scheme == QLatin1String("blob"))
        return true;
    return scheme == QLatin1String("about") && url.path() == QLatin1String("blank");
}

bool PageRequestInterceptor::allowedFromWeb(const QUrl &url)
{
    return !PageAddress::isPageScheme(url) && url.scheme() != QLatin1String("file");
}

void PageRequestInterceptor::setRecording(bool on)
{
    m_recording = on;
    m_seen.clear();
    m_blocked.clear();
}

void PageRequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const QUrl url = info.requestUrl();
    if (m_recording)
        m_seen << url;
    qCDebug(lcIntercept) << url << "resource" << info.resourceType() << "navigation"
                         << info.navigationType() << "initiator" << info.initiator()
                         << "first party" << info.firstPartyUrl();

    // Our own load() calls were already judged by the page; everything else a book page
    // starts, directly or from one of its frames, carries its origin as initiator or first party.
    if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame &&
        info.navigationType() == QWebEngineUrlRequestInfo::NavigationTypeTyped)
        return;
    const bool fromBook = PageAddress::isPageScheme(info.initiator()) ||
                          PageAddress::isPageScheme(info.firstPartyUrl());
    const QString initiator = info.initiator().scheme();
    const bool fromWeb = initiator == QLatin1String("http") || initiator == QLatin1String("https");
    if (fromBook ? allowedFromBook(url) : (!fromWeb || allowedFromWeb(url)))
        return;
    info.block(true);
    qCDebug(lcIntercept) << "blocked" << url;
    if (m_recording)
        m_blocked << url;
}
