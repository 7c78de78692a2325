// SPDX-License-Identifier: MIT
#include "pageschemehandler.h"

#include "engineswitches.h"
#include "pageaddress.h"
#include "pageresolver.h"

#include <QBuffer>
#include <QLoggingCategory>
#include <QMap>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

Q_LOGGING_CATEGORY(lcScheme, "pagora.web.scheme", QtWarningMsg)

void registerPageScheme()
{
    // Every program and test that shows pages comes here before the engine starts.
    engineswitches::apply();
    if (QWebEngineUrlScheme::schemeByName(PageAddress::scheme().toLatin1()).name() ==
        PageAddress::scheme().toLatin1())
        return;
    QWebEngineUrlScheme scheme(PageAddress::scheme().toLatin1());
    // Host syntax gives the standard URL rules: "\" in links becomes "/", ".." stops at the
    // root, and each drive is an origin of its own.
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Neither LocalScheme nor LocalAccessAllowed: either would let book pages reach file: URLs.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

PageSchemeHandler::PageSchemeHandler(QObject *parent) : QWebEngineUrlSchemeHandler(parent) {}

void PageSchemeHandler::setRecording(bool on)
{
    m_recording = on;
    m_requests.clear();
    m_servedFiles.clear();
}

bool PageSchemeHandler::mayRequest(const QUrl &url, const QUrl &initiator)
{
    // The program's own loads have no initiator, or an opaque one.
    if (initiator.isEmpty() || initiator.host().isEmpty())
        return true;
    if (!PageAddress::isPageScheme(initiator))
        return false; // a web page reaches nothing of ours
    return initiator.host() == url.host();
}

void PageSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    if (m_shutDown) {
        job->fail(QWebEngineUrlRequestJob::RequestAborted);
        return;
    }
    if (m_recording)
        m_requests << url;
    emit requested();
    if (job->requestMethod() != QByteArrayLiteral("GET") || !mayRequest(url, job->initiator())) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }

    // Documents ask for HTML first; pictures and stylesheets never do.
    const bool asPage =
        PageResolver::looksLikePage(url) || job->requestHeaders()
                                                .value(QByteArrayLiteral("Accept"))
                                                .startsWith(QByteArrayLiteral("text/html"));
    const PageResolver::Reply reply = PageResolver::answer(url, asPage);
    qCDebug(lcScheme) << url << "page:" << asPage << "answer:" << int(reply.kind)
                      << reply.contentType
                      << "Accept:" << job->requestHeaders().value(QByteArrayLiteral("Accept"));
    if (reply.kind == PageResolver::Reply::Kind::NotFound) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    if (m_recording && !reply.file.isEmpty())
        m_servedFiles << reply.file;

    // The engine reads the device on another thread until the job goes away.
    auto *buffer = new QBuffer(job);
    buffer->setData(reply.body);
    buffer->open(QIODevice::ReadOnly);
    job->reply(reply.contentType, buffer);
    if (reply.kind == PageResolver::Reply::Kind::Message)
        emit messageServed(url);
}
