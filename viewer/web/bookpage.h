// SPDX-License-Identifier: MIT
// The page behind the browser pane: decides where it may go and opens no windows.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>
#include <functional>

#include "pagedialog.h"

class QWebEngineNewWindowRequest;

// Book pages move freely between pgx addresses. The program itself may send the pane to
// http, https, file and data addresses. Only the link the user really activated (the one
// under the pointer at the press, or the focused one on Enter) leaves the library: a web
// link is followed in the pane, a mail link goes to the desktop's mail program. Anything
// a page's script tries by itself is refused, and a web page reaches nothing of the library.
class BookPage : public QWebEnginePage
{
    Q_OBJECT

public:
    using ExternalOpener = std::function<void(const QUrl &)>;

    explicit BookPage(QWebEngineProfile *profile, QObject *parent = nullptr);
    ~BookPage() override;

    // Settings and scripts every page of ours needs, set on the profile so frames inherit them.
    static void configure(QWebEngineProfile *profile);

    // The pane reports input inside the view: a press arms the link under the pointer; a
    // key disarms, except Enter, for which the pane finds the focused link and arms that
    // (the pointer's position is no choice of the reader's then).
    void notePointerPress();
    void noteKeyPress(int key);
    void armFocusedLink(const QUrl &link);

    // The focused link of the page, through its frames, as a script for the pane to run.
    static QString focusedLinkScript();

    // A link the user chose outside the page (the pane's menu): library pages load here,
    // web and mail links go to the desktop's own program, anything else is refused.
    void followLink(const QUrl &url);

    // Replaces QDesktopServices::openUrl; tests record instead of starting a mail program.
    void setExternalOpener(ExternalOpener opener);

    // Closes an open page dialog as if cancelled: leaving a page for next never waits for one.
    void closeDialogs(const QUrl &next = QUrl());

    // The reader goes elsewhere (the program's address, a link, back, forward, reload): the
    // page's dialogs may ask again. Whatever the page does to its own address does not count.
    void readerMoves();

    // True once for the start the engine reports of a main-frame navigation refused here a
    // moment ago: it is no load of the pane's.
    bool takeRefusedStart(const QUrl &url);

    // For tests: new windows asked for (none is ever made), links handed out, the dialog
    // open now.
    int windowRequests() const { return m_windowRequests; }
    QList<QUrl> openedExternally() const { return m_openedExternally; }
    PageDialog *openDialog() const { return m_dialog; }

signals:
    // The pane loads a link the user followed out of the page's hands.
    void userLinkOpened(const QUrl &url);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg,
                          const QString &defaultValue, QString *result) override;

private:
    bool decideNavigation(const QUrl &url, NavigationType type, bool isMainFrame);
    void onNewWindowRequested(QWebEngineNewWindowRequest &request);
    bool takeActivatedLink(const QUrl &url);
    void openInPane(const QUrl &url);
    void openExternally(const QUrl &url);
    bool inLibrary() const;
    // Shows one dialog and waits for it; false when cancelled or not shown at all.
    bool runDialog(int kind, const QString &msg, const QString &defaultValue, QString *result);

    QUrl m_hoveredLink;   // the link under the pointer or focused, as the engine reports it
    QUrl m_activatedLink; // armed by the last press or Enter
    QElapsedTimer m_activatedAt;
    bool m_openingWeb =
        false; // the main frame is on its way to a web page the user or program chose
    ExternalOpener m_opener;
    int m_windowRequests = 0;
    QList<QUrl> m_openedExternally;
    bool m_silenced = false; // the reader stopped this page's dialogs and has not moved since
    QUrl m_leaving;          // the page the program is taking the pane away from
    QPointer<PageDialog> m_dialog;
    QList<QPair<QUrl, QElapsedTimer>> m_refused; // main-frame navigations refused lately
};
