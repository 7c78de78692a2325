// SPDX-License-Identifier: MIT
// The page behind the browser pane: decides where it may go and opens no windows.
#pragma once

#include <QElapsedTimer>
#include <QWebEnginePage>
#include <functional>

class QWebEngineNewWindowRequest;

// Book pages move freely between pgx addresses. The program itself may also send the pane
// to http, https, file and data addresses. A web or mail link clicked by the user opens in
// the desktop's own program; anything a page tries by itself is refused.
class BookPage : public QWebEnginePage
{
    Q_OBJECT

public:
    using ExternalOpener = std::function<void(const QUrl &)>;

    explicit BookPage(QWebEngineProfile *profile, QObject *parent = nullptr);

    // Settings every page of ours needs, set on the profile so frames inherit them.
    static void configure(QWebEngineProfile *profile);

    // The pane calls this on each mouse press or key press inside the view.
    void noteUserInput();

    // A link the user chose outside the page (the pane's menu): library pages load here,
    // web and mail links go to the desktop's own program, anything else is refused.
    void followLink(const QUrl &url);

    // Replaces QDesktopServices::openUrl; tests record instead of starting a browser.
    void setExternalOpener(ExternalOpener opener);

    // For tests: new windows asked for (none is ever made) and links handed out.
    int windowRequests() const { return m_windowRequests; }
    QList<QUrl> openedExternally() const { return m_openedExternally; }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;

private:
    void onNewWindowRequested(QWebEngineNewWindowRequest &request);
    bool userActedRecently() const;
    void openExternally(const QUrl &url);

    QElapsedTimer m_lastUserInput;
    bool m_openingWeb = false; // the main frame is on its way to a web page the program chose
    ExternalOpener m_opener;
    int m_windowRequests = 0;
    QList<QUrl> m_openedExternally;
};
