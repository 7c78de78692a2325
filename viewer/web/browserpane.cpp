// SPDX-License-Identifier: MIT
#include "browserpane.h"

#include "bookpage.h"
#include "findbar.h"
#include "findcontroller.h"
#include "pageaddress.h"
#include "pageprinter.h"
#include "pagerequestinterceptor.h"
#include "pageschemehandler.h"
#include "paneactions.h"
#include "panemenu.h"
#include "panezoom.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QMenu>
#include <QVBoxLayout>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineView>

Q_LOGGING_CATEGORY(lcPane, "pagora.web.pane", QtWarningMsg)

BrowserPane::BrowserPane(QWidget *parent)
    : QWidget(parent), m_handler(new PageSchemeHandler), m_interceptor(new PageRequestInterceptor)
{
    // No storage name: cookies, cache and local storage live in memory only.
    m_profile = new QWebEngineProfile;
    m_profile->installUrlSchemeHandler(PageAddress::scheme().toLatin1(), m_handler);
    m_profile->setUrlRequestInterceptor(m_interceptor);
    BookPage::configure(m_profile);

    m_page = new BookPage(m_profile);
    m_view = new QWebEngineView(this);
    m_view->setPage(m_page);
    // Our own menu: the engine's would offer its developer entries.
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, &BrowserPane::showContextMenu);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    m_findBar = new FindBar(new FindController(m_page, this), this);
    connect(m_findBar, &FindBar::closed, m_view, [this] { m_view->setFocus(); });
    connect(this, &BrowserPane::loadFinished, m_findBar, &FindBar::pageLoaded);
    m_zoom = new PaneZoom(m_page, this);
    m_printer = new PagePrinter(m_view, this);
    m_actions = new PaneActions(this);

    connect(m_handler, &PageSchemeHandler::messageServed, this,
            [this](const QUrl &url) { m_messagesServed.insert(url); });
    connect(m_page, &QWebEnginePage::loadingChanged, this, &BrowserPane::onLoadingChanged);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                onRenderProcessTerminated(status);
            });

    // The view's inner widgets come and go with the renderer, so watch input application-wide.
    qApp->installEventFilter(this);
}

BrowserPane::~BrowserPane()
{
    // Pictures still asked for must not hold up the exit.
    m_handler->shutdown();
    m_page->triggerAction(QWebEnginePage::Stop);
    qApp->removeEventFilter(this);
    // The engine insists that pages go before their profile.
    delete m_view;
    delete m_page;
    delete m_profile;
    delete m_interceptor;
    delete m_handler;
}

void BrowserPane::Navigate(const QString &address)
{
    m_lastAddress = address;
    m_requested = PageAddress::fromNavigate(address);
    m_lastStarted.clear();
    m_settled = false;
    m_retried = false;
    m_page->load(m_requested);
}

QUrl BrowserPane::url() const
{
    return m_page->url();
}

QWebEnginePage *BrowserPane::page() const
{
    return m_page;
}

void BrowserPane::findInPage(const QString &text)
{
    m_findBar->open(text);
}

void BrowserPane::openLink(const QUrl &url)
{
    m_page->followLink(url);
}

void BrowserPane::showContextMenu(const QPoint &pos)
{
    const QWebEngineContextMenuRequest *request = m_view->lastContextMenuRequest();
    if (!request)
        return;
    auto *menu = new QMenu(m_view);
    menu->setObjectName(QStringLiteral("PaneMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    panemenu::fill(menu, MenuContext::from(*request, *m_page, m_zoom->factor()), m_actions);
    menu->popup(m_view->mapToGlobal(pos));
}

bool BrowserPane::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::TouchBegin:
        if (watched->isWidgetType() && isAncestorOf(static_cast<QWidget *>(watched)))
            m_page->noteUserInput();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void BrowserPane::onLoadingChanged(const QWebEngineLoadingInfo &info)
{
    const QUrl url = info.url();
    const QWebEngineLoadingInfo::LoadStatus status = info.status();
    qCDebug(lcPane) << "loading" << status << url << info.errorDomain() << info.errorCode();
    if (status == QWebEngineLoadingInfo::LoadStartedStatus) {
        m_lastStarted = url;
        m_settled = false;
        return;
    }

    // A page may still open about:blank itself. Qt 6.4 reports such loads as failed or
    // stopped, and at times once more, late, as succeeded; only one that started counts.
    if (url == QUrl(QStringLiteral("about:blank"))) {
        if (url == m_lastStarted)
            settle(url, true);
        return;
    }

    if (status == QWebEngineLoadingInfo::LoadFailedStatus && url == m_requested &&
        !PageAddress::isPageScheme(url) &&
        info.errorDomain() != QWebEngineLoadingInfo::HttpStatusCodeDomain) {
        // Nothing was shown: the engine's own error page is off. Say so in Slovak instead.
        m_requested = PageAddress::messageUrl(PageAddress::Message::NotLoaded, m_lastAddress);
        m_page->load(m_requested);
        return;
    }
    if (status == QWebEngineLoadingInfo::LoadStoppedStatus) {
        // A newer navigation reports for itself. But when a page starts a navigation that
        // we refuse just as the program navigates, Qt 6.4 may drop the program's one too.
        if (url == m_requested && m_page->url() != url)
            retryRequested();
        return;
    }

    const bool message = m_messagesServed.contains(url) ||
                         (PageAddress::isMessagePage(url) &&
                          PageAddress::messageKind(url) != PageAddress::Message::Blank);
    m_messagesServed.clear();
    if (status == QWebEngineLoadingInfo::LoadSucceededStatus)
        m_crashReloads = 0;
    settle(url, status == QWebEngineLoadingInfo::LoadSucceededStatus && !message);
}

bool BrowserPane::retryRequested()
{
    if (m_retried)
        return false;
    m_retried = true;
    m_page->load(m_requested);
    return true;
}

void BrowserPane::settle(const QUrl &url, bool ok)
{
    if (m_settled && url == m_lastSettled)
        return; // the same load reported twice
    m_settled = true;
    m_lastSettled = url;
    emit loadFinished(ok);
}

void BrowserPane::onRenderProcessTerminated(int status)
{
    if (status == QWebEnginePage::NormalTerminationStatus)
        return;
    // One reload usually brings a crashed renderer back; a page that crashes it every time
    // gets our message instead of an endless loop.
    if (m_crashReloads++ == 0) {
        m_page->triggerAction(QWebEnginePage::Reload);
        return;
    }
    m_requested = PageAddress::messageUrl(PageAddress::Message::NotLoaded, m_lastAddress);
    m_page->load(m_requested);
}
