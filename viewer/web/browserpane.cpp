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
#include <QDateTime>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <csignal>
#include <memory>
#include <sys/types.h>
#include <utility>

Q_LOGGING_CATEGORY(lcPane, "pagora.web.pane", QtWarningMsg)

namespace {

// A renderer is stuck when it neither answers a trivial script nor makes any progress (asks
// the library for something, moves its load on) for StallMs + ProbeMs. Progress starts the
// count anew, but a page that keeps busy without ever answering is stopped after
// MaxSilentMs all the same.
constexpr int ProbeMs = 5000;
constexpr qint64 MaxSilentMs = 60000;
// One reload usually brings a crashed renderer back; the next crash shows our message.
constexpr int CrashReloads = 1;
// The engine reports a load superseded by another as aborted (net::ERR_ABORTED).
constexpr int AbortedError = -3;
// A page's own navigation can drop the one the program asked for; asking again a few times
// outlasts even a page that tries ten times a second.
// The page names its focused link within a moment; a stuck one gets Enter without.
constexpr int FocusAnswerMs = 1000;
constexpr int MaxRetries = 5;
// A page may cancel navigations with the activation a reader's click gave it, which the
// engine keeps for five seconds; asking again outlasts that.
constexpr qint64 RetryWindowMs = 6500;
constexpr int MaxRetriesInWindow = 200;
// The engine takes up a navigation at once; one not heard of after this is checked on.
constexpr int StartOverdueMs = 3000;
// Document start times are rounded and go through two clocks.
constexpr double TimeOriginSlackMs = 20;

bool isWeb(const QUrl &url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

} // namespace

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
    connect(m_handler, &PageSchemeHandler::requested, this, &BrowserPane::onProgress,
            Qt::QueuedConnection);
    connect(m_page, &QWebEnginePage::loadProgress, this, &BrowserPane::onProgress);
    connect(m_page, &QWebEnginePage::loadingChanged, this, &BrowserPane::onLoadingChanged);
    connect(m_page, &BookPage::userLinkOpened, this, [this](const QUrl &url) {
        // The user's choice wins over an address of ours still on its way.
        m_awaiting = false;
        m_startTimer->stop();
        ++m_checkGeneration;
        m_target = url;
        m_crashes.remove(url);
        if (PageAddress::isPageScheme(url)) {
            // Awaited like the program's own address: a page that keeps setting its location
            // may still cancel it while the click's activation lasts.
            m_requested = url;
            m_requestedText = PageAddress::displayAddress(url);
            m_awaiting = true;
            m_requestedAt = QDateTime::currentMSecsSinceEpoch();
            m_firstRequestedAt = m_requestedAt;
            m_retries = 0;
            m_lastStarted.clear();
            m_settled = false;
            m_startTimer->start();
        }
        watch();
    });
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                onRenderProcessTerminated(status);
            });

    m_stallTimer = new QTimer(this);
    m_stallTimer->setSingleShot(true);
    m_stallTimer->setInterval(DefaultStallTimeoutMs);
    connect(m_stallTimer, &QTimer::timeout, this, &BrowserPane::probeRenderer);
    m_probeTimer = new QTimer(this);
    m_probeTimer->setSingleShot(true);
    m_probeTimer->setInterval(ProbeMs);
    connect(m_probeTimer, &QTimer::timeout, this, &BrowserPane::onProbeTimeout);
    m_startTimer = new QTimer(this);
    m_startTimer->setSingleShot(true);
    m_startTimer->setInterval(StartOverdueMs);
    connect(m_startTimer, &QTimer::timeout, this, &BrowserPane::onStartOverdue);

    // The view's inner widgets come and go with the renderer, so watch input application-wide.
    qApp->installEventFilter(this);
}

BrowserPane::~BrowserPane()
{
    // Pictures still asked for must not hold up the exit.
    m_handler->shutdown();
    m_page->triggerAction(QWebEnginePage::Stop);
    qApp->removeEventFilter(this);
    ++m_probeGeneration; // a probe answered while the page goes finds nobody
    m_stallTimer->stop();
    m_probeTimer->stop();
    m_startTimer->stop();
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
    m_requestedText = address;
    m_requested = PageAddress::fromNavigate(address);
    // Leaving a page never waits for one of its dialogs.
    m_page->closeDialogs(m_requested);
    m_page->readerMoves();
    m_target = m_requested;
    m_crashes.remove(m_requested);
    m_recovering = false;
    m_lastStarted.clear();
    m_settled = false;
    m_retries = 0;
    m_firstRequestedAt = QDateTime::currentMSecsSinceEpoch();
    request(m_requested);
    watch();
}

void BrowserPane::request(const QUrl &url)
{
    m_requested = url;
    m_awaiting = true;
    ++m_checkGeneration;
    m_requestedAt = QDateTime::currentMSecsSinceEpoch();
    m_startTimer->start();
    m_page->load(url);
}

void BrowserPane::setStallTimeout(int ms)
{
    m_stallTimer->setInterval(ms);
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
    if (!m_menuExtras.isEmpty()) {
        menu->addSeparator();
        menu->addActions(m_menuExtras);
    }
    menu->popup(m_view->mapToGlobal(pos));
}

bool BrowserPane::eventFilter(QObject *watched, QEvent *event)
{
    const auto inside = [&] {
        return watched->isWidgetType() && isAncestorOf(static_cast<QWidget *>(watched));
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::TouchBegin:
        if (inside())
            m_page->notePointerPress();
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        if (m_replayingKeys || !inside())
            break;
        auto *key = static_cast<QKeyEvent *>(event);
        // Only what goes to the page waits; the find bar's keys are its own.
        if (!m_view->isAncestorOf(static_cast<QWidget *>(watched))) {
            if (event->type() == QEvent::KeyPress)
                m_page->noteKeyPress(key->key());
            break;
        }
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!m_heldKeys.isEmpty() || (enter && event->type() == QEvent::KeyPress)) {
            // Enter waits until the page says which link has the focus; keys after it wait
            // with it, so that their order holds.
            m_heldKeys.append({QPointer<QObject>(watched), std::shared_ptr<QEvent>(key->clone())});
            if (m_heldKeys.size() == 1)
                askFocusedLink();
            return true;
        }
        if (event->type() == QEvent::KeyPress)
            m_page->noteKeyPress(key->key());
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void BrowserPane::askFocusedLink()
{
    const int generation = ++m_focusGeneration;
    QPointer<BrowserPane> self(this);
    m_page->runJavaScript(BookPage::focusedLinkScript(), QWebEngineScript::ApplicationWorld,
                          [self, generation](const QVariant &link) {
                              if (self && self->m_focusGeneration == generation)
                                  self->releaseKeys(QUrl(link.toString()));
                          });
    // A renderer too busy to answer gets the keys anyway, with no link armed.
    QTimer::singleShot(FocusAnswerMs, this, [this, generation] {
        if (m_focusGeneration == generation)
            releaseKeys(QUrl());
    });
}

void BrowserPane::releaseKeys(const QUrl &focusedLink)
{
    ++m_focusGeneration;
    m_page->armFocusedLink(focusedLink);
    const auto held = std::exchange(m_heldKeys, {});
    m_replayingKeys = true;
    for (const auto &[target, event] : held) {
        QObject *to = target ? target.data() : m_view->focusProxy();
        if (to)
            QCoreApplication::sendEvent(to, event.get());
    }
    m_replayingKeys = false;
}

void BrowserPane::onLoadingChanged(const QWebEngineLoadingInfo &info)
{
    const QUrl url = info.url();
    const QWebEngineLoadingInfo::LoadStatus status = info.status();
    qCDebug(lcPane) << "loading" << status << url << info.errorDomain() << info.errorCode();
    if (status == QWebEngineLoadingInfo::LoadStartedStatus) {
        // Not a load at all: taking it for one would hand the page's address to the crash
        // path and leave the pane unsettled.
        if (m_page->takeRefusedStart(url))
            return;
        ++m_checkGeneration; // a check under way asks about the load before this one
        m_startTimer->stop();
        m_lastStarted = url;
        m_settled = false;
        if (url != QUrl(QStringLiteral("about:blank")))
            m_target = url;
        watch();
        return;
    }
    m_stallTimer->stop();
    m_probeTimer->stop();
    m_startTimer->stop();
    // The load a dead renderer took with it reports its failure late; the reload we started
    // reports for itself.
    if (m_recovering && status != QWebEngineLoadingInfo::LoadSucceededStatus &&
        PageAddress::isPageScheme(url) && !PageAddress::isMessagePage(url)) {
        watch();
        return;
    }
    if (status == QWebEngineLoadingInfo::LoadSucceededStatus)
        m_recovering = false;

    // A page may still open about:blank itself. Qt 6.4 reports such loads as failed or
    // stopped, and at times once more, late, as succeeded; only one that started counts.
    if (url == QUrl(QStringLiteral("about:blank"))) {
        if (url == m_lastStarted)
            settle(url, true);
        return;
    }

    // A web page the user's link led to that does not load, or one the program asked for.
    const bool linkFailed = isWeb(url) && url == m_target && info.errorCode() != AbortedError;
    if (status == QWebEngineLoadingInfo::LoadFailedStatus && (url == m_requested || linkFailed) &&
        !PageAddress::isPageScheme(url) &&
        info.errorDomain() != QWebEngineLoadingInfo::HttpStatusCodeDomain) {
        // Nothing was shown: the engine's own error page is off. Say so in Slovak instead.
        showNotLoaded(url);
        return;
    }
    // The engine reports loads by the run, start to stop, and names the last navigation in
    // it: a run that ends without success while the program's address is on its way may be
    // one where a page's own navigation (refused or not) dropped ours. Only the document
    // shown tells.
    if (status != QWebEngineLoadingInfo::LoadSucceededStatus && m_awaiting) {
        // A run that ends with no word from its last navigation reports "failed" with no
        // error at all.
        checkShown(url, status == QWebEngineLoadingInfo::LoadFailedStatus && info.errorCode() != 0);
        return;
    }
    if (status == QWebEngineLoadingInfo::LoadStoppedStatus)
        return; // a newer navigation reports for itself

    settleShown(url, status == QWebEngineLoadingInfo::LoadSucceededStatus);
}

void BrowserPane::settleShown(const QUrl &url, bool loaded)
{
    const bool message = m_messagesServed.contains(url) ||
                         (PageAddress::isMessagePage(url) &&
                          PageAddress::messageKind(url) != PageAddress::Message::Blank);
    m_messagesServed.clear();
    settle(url, loaded && !message);
}

void BrowserPane::checkShown(const QUrl &url, bool failed)
{
    const int generation = ++m_checkGeneration;
    watch(); // a renderer too stuck to answer is stopped, and the crash path takes over
    QPointer<BrowserPane> self(this);
    // The page's own scripts cannot reach this world's objects.
    m_page->runJavaScript(QStringLiteral("[performance.timeOrigin, location.href]"),
                          QWebEngineScript::ApplicationWorld,
                          [self, generation, url, failed](const QVariant &answer) {
                              if (!self || self->m_checkGeneration != generation)
                                  return;
                              const QVariantList shown = answer.toList();
                              self->onShownChecked(url, failed, shown.value(0).toDouble(),
                                                   QUrl(shown.value(1).toString()));
                          });
}

void BrowserPane::onShownChecked(const QUrl &url, bool failed, double timeOrigin, const QUrl &shown)
{
    m_stallTimer->stop();
    m_probeTimer->stop();
    const bool newDocument = timeOrigin >= double(m_requestedAt) - TimeOriginSlackMs;
    qCDebug(lcPane) << "after" << url << (failed ? "failed" : "ended") << "showing"
                    << (newDocument ? "a new document" : "the old document") << shown << "retries"
                    << m_retries;
    if (newDocument) {
        // Something was shown after the request. When the run names another address, its
        // last navigation (a page's refused one, say) failed after the document came.
        const QUrl document = shown.isValid() ? shown : url;
        settleShown(document, !failed || document != url);
        return;
    }
    if (failed) {
        settleShown(url, false); // a failure of its own: asking again would not help
        return;
    }
    const bool retryWindow =
        QDateTime::currentMSecsSinceEpoch() - m_firstRequestedAt < RetryWindowMs;
    if (m_retries < MaxRetries || (retryWindow && m_retries < MaxRetriesInWindow)) {
        ++m_retries;
        m_lastStarted.clear();
        request(m_requested);
        watch();
    } else if (!PageAddress::isMessagePage(m_requested)) {
        showNotLoaded(m_requested);
    } else {
        settle(m_requested, false); // nobody waits for ever
    }
}

void BrowserPane::onStartOverdue()
{
    // A run already under way takes the request in and reports when it ends.
    if (m_awaiting && !m_page->isLoading())
        checkShown(m_requested, false);
}

void BrowserPane::settle(const QUrl &url, bool ok)
{
    m_awaiting = false;
    m_startTimer->stop();
    if (m_settled && url == m_lastSettled)
        return; // the same load reported twice
    m_settled = true;
    m_lastSettled = url;
    emit loadFinished(ok);
}

void BrowserPane::showNotLoaded(const QUrl &url)
{
    const QString address = url == m_requested && !PageAddress::isMessagePage(url)
                                ? m_requestedText
                                : PageAddress::displayAddress(url);
    m_target = PageAddress::messageUrl(PageAddress::Message::NotLoaded, address);
    request(m_target);
}

void BrowserPane::onRenderProcessTerminated(int status)
{
    m_page->closeDialogs(); // its page is gone
    m_stallTimer->stop();
    m_probeTimer->stop();
    if (status == QWebEnginePage::NormalTerminationStatus)
        return;
    // Counted per address and never forgiven by a load that succeeded in between: a page
    // that crashes its renderer after loading would otherwise reload forever.
    const QUrl target = m_target.isEmpty() ? m_page->url() : m_target;
    qCDebug(lcPane) << "renderer ended" << status << "showing" << target;
    if (PageAddress::isMessagePage(target) || ++m_crashes[target] > CrashReloads) {
        showNotLoaded(PageAddress::isMessagePage(target) ? m_page->url() : target);
        return;
    }
    m_settled = false;
    m_recovering = true;
    m_page->load(target);
    watch();
}

void BrowserPane::watch()
{
    ++m_probeGeneration;
    m_probeTimer->stop();
    m_stallTimer->start();
    m_silentSince.start();
}

void BrowserPane::onProgress()
{
    // Only while watching; a page that keeps busy is still stopped after MaxSilentMs.
    if ((!m_stallTimer->isActive() && !m_probeTimer->isActive()) ||
        m_silentSince.elapsed() > MaxSilentMs)
        return;
    ++m_probeGeneration;
    m_probeTimer->stop();
    m_stallTimer->start();
}

void BrowserPane::probeRenderer()
{
    m_probeAnswered = false;
    const int generation = ++m_probeGeneration;
    QPointer<BrowserPane> self(this);
    m_page->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                          [self, generation](const QVariant &) {
                              if (self && self->m_probeGeneration == generation)
                                  self->m_probeAnswered = true;
                          });
    m_probeTimer->start();
}

void BrowserPane::onProbeTimeout()
{
    if (m_probeAnswered) {
        m_stallTimer->start(); // slow, not stuck: keep watching until the load ends
        m_silentSince.start();
        return;
    }
    // A stuck renderer takes every page of its site with it; stopping the load does not
    // reach it, ending the process does. The crash path then shows what was asked for.
    const qint64 pid = m_page->renderProcessPid();
    qCDebug(lcPane) << "renderer" << pid << "does not answer; stopping it";
    if (pid > 0 && pid != QCoreApplication::applicationPid())
        ::kill(pid_t(pid), SIGKILL);
}
