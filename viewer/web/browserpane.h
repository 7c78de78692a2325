// SPDX-License-Identifier: MIT
// The browser pane of the main window: the one widget that knows about the web engine.
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <memory>

class BookPage;
class QAction;
class FindBar;
class PagePrinter;
class PaneActions;
class PaneZoom;
class PageRequestInterceptor;
class PageSchemeHandler;
class QWebEngineLoadingInfo;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;
class QTimer;

// Shows book pages and whatever else the program sends it to. It has its own private,
// memory-only profile; registerPageScheme() must have run before the first pane is made.
class BrowserPane : public QWidget
{
    Q_OBJECT

public:
    explicit BrowserPane(QWidget *parent = nullptr);
    ~BrowserPane() override;

    // Any text at all: a drive path, a URL, or garbage. Returns at once; the page loads later
    // and loadFinished reports it. What cannot be shown becomes a Slovak message page.
    void Navigate(const QString &address);

    // The last text given to Navigate.
    QString lastAddress() const { return m_lastAddress; }

    // The address shown now.
    QUrl url() const;

    // Opens find in the page with text and highlights its matches, also in a page that is
    // still loading.
    void findInPage(const QString &text);

    // Follows a link as the user's own choice: library pages load here.
    void openLink(const QUrl &url);

    // Reading aids: the keyed commands, find, zoom (50 %–300 %, for every page) and print.
    PaneActions *actions() const { return m_actions; }
    FindBar *findBar() const { return m_findBar; }
    PaneZoom *zoom() const { return m_zoom; }
    PagePrinter *printer() const { return m_printer; }

    // More entries for the pane's menu, after its own (the main window's reading commands).
    void setMenuExtras(const QList<QAction *> &actions) { m_menuExtras = actions; }

    // How long a navigation may go without the page answering or making progress before its
    // renderer is asked once more and then stopped; tests shorten it.
    static constexpr int DefaultStallTimeoutMs = 5000;
    void setStallTimeout(int ms);

    BookPage *bookPage() const { return m_page; }

    // For tests only.
    QWebEnginePage *page() const;
    QWebEngineView *view() const { return m_view; }
    PageSchemeHandler *schemeHandler() const { return m_handler; }
    PageRequestInterceptor *requestInterceptor() const { return m_interceptor; }

signals:
    // ok is false when the pane ends up showing one of our message pages.
    void loadFinished(bool ok);
    // "Hľadať v knihách…" was chosen in the pane's menu.
    void searchLibraryRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onLoadingChanged(const QWebEngineLoadingInfo &info);
    void onRenderProcessTerminated(int status);
    void showContextMenu(const QPoint &pos);
    void settle(const QUrl &url, bool ok);
    void request(const QUrl &url);
    void checkShown(const QUrl &url, bool failed);
    void onShownChecked(const QUrl &url, bool failed, double timeOrigin, const QUrl &shown);
    void settleShown(const QUrl &url, bool loaded);
    void onStartOverdue();
    void showNotLoaded(const QUrl &url);
    void askFocusedLink();
    void releaseKeys(const QUrl &focusedLink);
    void watch();
    void probeRenderer();
    void onProgress();
    void onProbeTimeout();

    PageSchemeHandler *m_handler = nullptr;
    PageRequestInterceptor *m_interceptor = nullptr;
    QWebEngineProfile *m_profile = nullptr;
    BookPage *m_page = nullptr;
    QWebEngineView *m_view = nullptr;
    FindBar *m_findBar = nullptr;
    PaneZoom *m_zoom = nullptr;
    PagePrinter *m_printer = nullptr;
    PaneActions *m_actions = nullptr;
    QList<QAction *> m_menuExtras;

    // Key events held back while the page is asked which link Enter activates.
    QList<QPair<QPointer<QObject>, std::shared_ptr<QEvent>>> m_heldKeys;
    int m_focusGeneration = 0;
    bool m_replayingKeys = false;

    QString m_lastAddress;
    QUrl m_requested;              // what Navigate or the reader's link asked the engine for
    QString m_requestedText;       // how it was written, for our message should it not load
    qint64 m_firstRequestedAt = 0; // ms since the epoch, before any retry
    QSet<QUrl> m_messagesServed;   // pgx documents answered with a message page
    QUrl m_lastStarted;
    QUrl m_lastSettled;
    bool m_settled = false;

    // The program's address stays awaited until a load settles; until then a page's own
    // navigation that drops it is found out and the address asked for again.
    bool m_awaiting = false;
    qint64 m_requestedAt = 0; // ms since the epoch
    int m_retries = 0;
    int m_checkGeneration = 0;
    QTimer *m_startTimer = nullptr;

    // What the pane should be showing now: the address last asked for, or the page a link
    // led to. A crashed renderer brings back this one, never an older page.
    QUrl m_target;
    QHash<QUrl, int> m_crashes; // per address; a new Navigate to it gives it a fresh start
    bool m_recovering = false;  // reloading after a renderer ended

    // A navigation that does not finish is checked on: a renderer that does not answer a
    // trivial script is stuck (an endless loop, a page too deep to lay out) and is stopped.
    QTimer *m_stallTimer = nullptr;
    QTimer *m_probeTimer = nullptr;
    int m_probeGeneration = 0;
    bool m_probeAnswered = false;
    QElapsedTimer m_silentSince; // since the renderer last answered a probe
};
