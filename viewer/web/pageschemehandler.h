// SPDX-License-Identifier: MIT
// Serves the pgx scheme: book pages and their pictures from the mapped drives.
#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

// Registers pgx with the engine and sets the engine's switches (engineswitches.h). Call
// once in main(), before the engine starts.
void registerPageScheme();

class PageSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    explicit PageSchemeHandler(QObject *parent = nullptr);

    void requestStarted(QWebEngineUrlRequestJob *job) override;

    // At exit: every request from now on is refused at once, so that pages still asking for
    // pictures cannot hold the program up.
    void shutdown() { m_shutDown = true; }
    bool isShutDown() const { return m_shutDown; }

    // Whether a page of one origin may have this resource: each drive, each local folder and
    // our message pages are origins apart, and none reads from another.
    static bool mayRequest(const QUrl &url, const QUrl &initiator);

    // For tests: what was asked for and which files were read, kept only while recording.
    void setRecording(bool on);
    QList<QUrl> requests() const { return m_requests; }
    QStringList servedFiles() const { return m_servedFiles; }

signals:
    // A document request was answered with one of our message pages.
    void messageServed(const QUrl &url);
    // A page asked for something: its renderer is at work.
    void requested();

private:
    bool m_recording = false;
    bool m_shutDown = false;
    QList<QUrl> m_requests;
    QStringList m_servedFiles;
};
