// SPDX-License-Identifier: MIT
// Keeps book pages inside the library: whatever a pgx page asks for beyond pgx, data:,
// blob: and about:blank is blocked before it leaves the engine (the link the user follows is
// loaded by the program itself). A web page gets nothing of the library or the file system.
#pragma once

#include <QList>
#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

class PageRequestInterceptor : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    explicit PageRequestInterceptor(QObject *parent = nullptr);

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    // Whether a request to url may go ahead when a book page caused it.
    static bool allowedFromBook(const QUrl &url);

    // Whether a request to url may go ahead when a web page caused it.
    static bool allowedFromWeb(const QUrl &url);

    // For tests: every request seen and those blocked, kept only while recording.
    void setRecording(bool on);
    QList<QUrl> seen() const { return m_seen; }
    QList<QUrl> blocked() const { return m_blocked; }

private:
    bool m_recording = false;
    QList<QUrl> m_seen;
    QList<QUrl> m_blocked;
};
