// SPDX-License-Identifier: MIT
#include "bookpage.h"

#include "pageaddress.h"
#include "pagedialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

Q_LOGGING_CATEGORY(lcPage, "pagora.web.page", QtWarningMsg)

namespace {

// The user's link reaches the engine as a navigation a moment after the press; an armed
// link nobody followed goes stale.
constexpr qint64 ActivatedLinkMs = 10000;
// A refused navigation's report follows within the same turn or two of the event loop; a
// page that keeps trying is remembered for its latest few tries only.
constexpr qint64 RefusedReportMs = 2000;
constexpr qsizetype MaxRefusedKept = 16;

const char *const UnloadQuestion =
    "Are you sure you want to leave this page? Changes that you made may not be saved.";

bool isWeb(const QUrl &url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

bool isMail(const QUrl &url)
{
    return url.scheme() == QLatin1String("mailto");
}

bool isAboutBlank(const QUrl &url)
{
    return url.scheme() == QLatin1String("about") &&
           (url.path() == QLatin1String("blank") || url.path() == QLatin1String("srcdoc"));
}

bool sameLink(const QUrl &a, const QUrl &b)
{
    return a.isValid() && b.isValid() &&
           a.adjusted(QUrl::NormalizePathSegments).toString(QUrl::FullyEncoded) ==
               b.adjusted(QUrl::NormalizePathSegments).toString(QUrl::FullyEncoded);
}

// A link to a place in the page shown scrolls; it loads nothing.
bool sameDocument(const QUrl &link, const QUrl &shown)
{
    return link.hasFragment() &&
           link.adjusted(QUrl::RemoveFragment) == shown.adjusted(QUrl::RemoveFragment);
}

// ICE traffic (STUN, TURN) goes straight to the network and no request interceptor sees
// it, so the constructors go before any page script runs, in every frame.
QWebEngineScript webRtcGuard()
{
    QWebEngineScript script;
    script.setName(QStringLiteral("pagora-webrtc-guard"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    script.setSourceCode(QStringLiteral(R"JS((function () {
    const done = Symbol();
    const scrub = (w) => {
        for (const name of Object.getOwnPropertyNames(w)) {
            if (!/^(webkit|moz)?RTC/.test(name))
                continue;
            try {
                delete w[name];
                Object.defineProperty(w, name, { value: undefined, writable: false,
                                                 configurable: false, enumerable: false });
            } catch (e) {
            }
        }
    };
    const lengthOf = new WeakMap(); // the engine's own getter, past the one defined below
    const guardChildren = (w) => {
        try {
            const length = lengthOf.get(w);
            const count = length ? length.call(w) : w.length;
            for (let i = 0; i < count; ++i)
                guard(w[i]);
        } catch (e) {
        }
    };
    // A fresh frame's first, empty document is reachable (iframe.contentWindow, frames[0])
    // before any script of ours runs in it, so every window is guarded from its parent too:
    // when a page reaches for a frame, right after every insertion into a document, and
    // before the parser runs the next script.
    const guard = (w) => {
        try {
            if (!w || w[done])
                return w;
            Object.defineProperty(w, done, { value: true });
        } catch (e) {
            return w; // another origin: its own copy of this script guards it
        }
        try {
            scrub(w);
            for (const type of [w.HTMLIFrameElement, w.HTMLFrameElement, w.HTMLObjectElement]) {
                for (const property of ['contentWindow', 'contentDocument']) {
                    const original = Object.getOwnPropertyDescriptor(type.prototype, property);
                    if (!original || !original.get)
                        continue;
                    Object.defineProperty(type.prototype, property, {
                        configurable: false, enumerable: original.enumerable,
                        get() {
                            const value = original.get.call(this);
                            guard(property === 'contentWindow' ? value : value && value.defaultView);
                            return value;
                        }
                    });
                }
            }
            const after = (node) => {
                const doc = node && (node.ownerDocument || node);
                if (doc && doc.defaultView)
                    guardChildren(doc.defaultView);
                guardChildren(w);
            };
            const wrap = (proto, name) => {
                const original = proto && Object.getOwnPropertyDescriptor(proto, name);
                if (!original || typeof original.value !== 'function')
                    return;
                Object.defineProperty(proto, name, {
                    configurable: original.configurable, enumerable: original.enumerable,
                    writable: original.writable,
                    value: function (...args) {
                        const result = original.value.apply(this, args);
                        after(this);
                        return result;
                    }
                });
            };
            const wrapSetter = (proto, name) => {
                const original = proto && Object.getOwnPropertyDescriptor(proto, name);
                if (!original || !original.set)
                    return;
                Object.defineProperty(proto, name, {
                    configurable: original.configurable, enumerable: original.enumerable,
                    get: original.get,
                    set(value) {
                        original.set.call(this, value);
                        after(this);
                    }
                });
            };
            for (const name of ['appendChild', 'insertBefore', 'replaceChild'])
                wrap(w.Node.prototype, name);
            for (const proto of [w.Element.prototype, w.Document.prototype,
                                 w.DocumentFragment.prototype, w.CharacterData.prototype]) {
                for (const name of ['append', 'prepend', 'after', 'before', 'replaceWith',
                                    'replaceChildren', 'insertAdjacentElement',
                                    'insertAdjacentHTML'])
                    wrap(proto, name);
            }
            // The editor inserts markup of its own (insertHTML, paste) past every method above.
            for (const name of ['write', 'writeln', 'execCommand'])
                wrap(w.Document.prototype, name);
            for (const name of ['insertNode', 'surroundContents'])
                wrap(w.Range.prototype, name);
            for (const name of ['innerHTML', 'outerHTML'])
                wrapSetter(w.Element.prototype, name);
            wrapSetter(w.ShadowRoot && w.ShadowRoot.prototype, 'innerHTML');
            // Whoever counts or lists the frames gets them guarded first, however they came.
            // Both stay replaceable, as the engine has them: old pages declare such globals.
            for (const name of ['frames', 'length']) {
                const original = Object.getOwnPropertyDescriptor(w, name);
                if (!original || !original.get)
                    continue;
                if (name === 'length')
                    lengthOf.set(w, original.get);
                let replaced = false;
                let value;
                Object.defineProperty(w, name, {
                    configurable: false, enumerable: original.enumerable,
                    get() {
                        guardChildren(w);
                        return replaced ? value : original.get.call(w);
                    },
                    set(v) {
                        replaced = true;
                        value = v;
                    }
                });
            }
            new w.MutationObserver(() => guardChildren(w))
                .observe(w.document, { childList: true, subtree: true });
        } catch (e) {
        }
        guardChildren(w);
        return w;
    };
    guard(window);
})();)JS"));
    return script;
}

} // namespace

BookPage::BookPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent),
      m_opener([](const QUrl &url) { QDesktopServices::openUrl(url); })
{
    connect(this, &QWebEnginePage::newWindowRequested, this, &BookPage::onNewWindowRequested);
    connect(this, &QWebEnginePage::loadFinished, this, [this] {
        if (url() != m_leaving)
            m_leaving.clear();
    });
    connect(this, &QWebEnginePage::linkHovered, this,
            [this](const QString &link) { m_hoveredLink = link.isEmpty() ? QUrl() : QUrl(link); });
}

BookPage::~BookPage()
{
    closeDialogs();
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
    s->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    // Our own pages replace the engine's English ones.
    s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    // Every unknown scheme (mailto: among them) comes to acceptNavigationRequest, which
    // refuses it; only a mail link the user activated is handed to the desktop, by us.
    s->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowAllUnknownUrlSchemes);
    // Only for what the scheme handler did not label itself (the engine's default is Latin-1).
    s->setDefaultTextEncoding(QStringLiteral("windows-1250"));

    if (profile->scripts()->find(webRtcGuard().name()).isEmpty())
        profile->scripts()->insert(webRtcGuard());
}

void BookPage::notePointerPress()
{
    m_activatedLink = m_hoveredLink;
    m_activatedAt.start();
}

void BookPage::noteKeyPress(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        m_activatedLink.clear();
}

void BookPage::armFocusedLink(const QUrl &link)
{
    m_activatedLink = link;
    m_activatedAt.start();
}

QString BookPage::focusedLinkScript()
{
    // Runs in a world of its own: the page's scripts cannot change what it sees.
    return QStringLiteral(R"JS((() => {
    let e = document.activeElement;
    for (;;) {
        while (e && e.shadowRoot && e.shadowRoot.activeElement)
            e = e.shadowRoot.activeElement;
        if (!e || (e.tagName !== 'IFRAME' && e.tagName !== 'FRAME'))
            break;
        try {
            e = e.contentDocument && e.contentDocument.activeElement;
        } catch (x) {
            return '';
        }
    }
    const link = e && e.closest && e.closest('a[href], area[href]');
    return link ? String(link.href) : '';
})())JS");
}

bool BookPage::takeActivatedLink(const QUrl &url)
{
    if (!m_activatedAt.isValid() || m_activatedAt.elapsed() > ActivatedLinkMs ||
        !sameLink(url, m_activatedLink))
        return false;
    // One press, one navigation.
    m_activatedLink.clear();
    return true;
}

void BookPage::setExternalOpener(ExternalOpener opener)
{
    m_opener = std::move(opener);
}

void BookPage::openExternally(const QUrl &url)
{
    m_openedExternally << url;
    if (m_opener)
        m_opener(url);
}

void BookPage::followLink(const QUrl &url)
{
    // Chosen in our own menu: that is the reader's activation of this very link.
    if (isMail(url))
        openExternally(url);
    else if ((PageAddress::isPageScheme(url) && inLibrary()) || isWeb(url))
        openInPane(url);
}

bool BookPage::inLibrary() const
{
    const QUrl shown = url();
    return shown.isEmpty() || PageAddress::isPageScheme(shown) || isAboutBlank(shown);
}

bool BookPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    const bool accepted = decideNavigation(url, type, isMainFrame);
    if (!accepted && isMainFrame) {
        // The engine still reports such a navigation as a load that started and stopped.
        while (!m_refused.isEmpty() && m_refused.first().second.elapsed() > RefusedReportMs)
            m_refused.removeFirst();
        if (m_refused.size() >= MaxRefusedKept)
            m_refused.removeFirst();
        QElapsedTimer at;
        at.start();
        m_refused.append({url, at});
    }
    return accepted;
}

bool BookPage::takeRefusedStart(const QUrl &url)
{
    for (qsizetype i = 0; i < m_refused.size(); ++i) {
        if (m_refused.at(i).first == url && m_refused.at(i).second.elapsed() <= RefusedReportMs) {
            m_refused.removeAt(i);
            return true;
        }
    }
    return false;
}

bool BookPage::decideNavigation(const QUrl &url, NavigationType type, bool isMainFrame)
{
    qCDebug(lcPage) << "navigation" << url << type << (isMainFrame ? "main frame" : "frame")
                    << "armed" << m_activatedLink;
    const bool byProgram = type == NavigationTypeTyped;
    const bool history = type == NavigationTypeBackForward || type == NavigationTypeReload;

    if (isAboutBlank(url))
        return true;
    if (PageAddress::isPageScheme(url)) {
        // A web page reaches nothing of the library, not even by a link.
        if (!inLibrary() && !byProgram && !history)
            return false;
        if (isMainFrame && !byProgram) {
            // A relative link from one book into another keeps the first book's host; the
            // page goes to the origin its path belongs to.
            const QUrl target = PageAddress::withOriginHost(url);
            if (type == NavigationTypeLinkClicked && !sameDocument(url, this->url()) &&
                takeActivatedLink(url)) {
                // The reader's own link, loaded by us: a page that keeps setting its location
                // would cancel the engine's navigation, but cannot cancel ours.
                openInPane(url);
                return false;
            }
            if (target != url) {
                QTimer::singleShot(0, this, [this, target] { load(target); });
                return false;
            }
        }
        if (isMainFrame)
            m_openingWeb = false;
        return true;
    }

    if (isMail(url)) {
        if (type == NavigationTypeLinkClicked && takeActivatedLink(url))
            openExternally(url);
        return false;
    }

    if (isMainFrame) {
        if (byProgram && (isWeb(url) || url.scheme() == QLatin1String("file") ||
                          url.scheme() == QLatin1String("data"))) {
            m_openingWeb = isWeb(url);
            return true;
        }
        if (!isWeb(url))
            return false;
        if (!inLibrary())
            return true; // a web page's own business
        if (type == NavigationTypeLinkClicked && takeActivatedLink(url)) {
            // Loaded by us, not by the page: a navigation the page's script starts next
            // cannot cancel the user's own, and the request carries no book origin.
            openInPane(url);
            return false;
        }
        // The page the user or the program chose may be redirected, say from http to https;
        // until it commits, url() still names the book page before it.
        if (type == NavigationTypeRedirect && m_openingWeb)
            return true;
        return false;
    }

    // data: and blob: frames get an opaque origin of their own and reach nothing.
    if (url.scheme() == QLatin1String("data") || url.scheme() == QLatin1String("blob"))
        return true;
    if (!isWeb(url))
        return false;
    if (!inLibrary())
        return true; // frames of a web page are that page's business
    // A web link the user clicked inside a book's frame leaves the library in the whole pane.
    if (type == NavigationTypeLinkClicked && takeActivatedLink(url))
        openInPane(url);
    return false;
}

QWebEnginePage *BookPage::createWindow(WebWindowType)
{
    // Returning no page makes the engine ask through newWindowRequested, which carries the
    // address.
    return nullptr;
}

void BookPage::onNewWindowRequested(QWebEngineNewWindowRequest &request)
{
    ++m_windowRequests;
    const QUrl url = request.requestedUrl();
    qCDebug(lcPage) << "new window" << url << "by user:" << request.isUserInitiated();
    // The engine calls window.open in a mousedown handler user-initiated too; only the link
    // the user activated counts.
    if (!takeActivatedLink(url))
        return;
    if (isMail(url)) {
        openExternally(url);
        return;
    }
    // target="_blank" and the like: stay in the one pane.
    if ((PageAddress::isPageScheme(url) && inLibrary()) || isWeb(url))
        openInPane(url);
}

void BookPage::openInPane(const QUrl &link)
{
    const QUrl url = PageAddress::withOriginHost(link);
    QTimer::singleShot(0, this, [this, url] {
        readerMoves();
        m_openingWeb = isWeb(url);
        takeRefusedStart(url); // this load of it is the user's, and reports as one
        load(url);
        emit userLinkOpened(url);
    });
}

void BookPage::closeDialogs(const QUrl &next)
{
    // The page being left asks nothing more: an alert() loop would otherwise open the next
    // box at once and keep the next page from coming. The same page asked for again is new.
    m_leaving = next.isEmpty() || next == url() ? QUrl() : url();
    if (m_dialog)
        m_dialog->reject();
}

void BookPage::readerMoves()
{
    m_silenced = false;
}

bool BookPage::runDialog(int kind, const QString &msg, const QString &defaultValue, QString *result)
{
    const QUrl page = url();
    // One at a time; and when the program is ending, no new one.
    if (m_silenced || page == m_leaving || m_dialog || QCoreApplication::closingDown())
        return false;

    QWidget *parent = QWebEngineView::forPage(this);
    auto *dialog =
        new PageDialog(static_cast<PageDialog::Kind>(kind), PageAddress::displayAddress(page), msg,
                       defaultValue, parent ? parent->window() : nullptr);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    m_dialog = dialog;
    QPointer<BookPage> self(this);
    QPointer<PageDialog> guard(dialog);

    // A local loop, never exec(): QCoreApplication::exit() ends it like every other loop, and
    // a loop started after that returns at once, so an alert() loop cannot keep us alive.
    QEventLoop loop;
    connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    loop.exec();

    bool accepted = false;
    if (guard) {
        accepted = guard->result() == QDialog::Accepted;
        if (result)
            *result = guard->text();
        if (self && guard->silenced())
            m_silenced = true;
        guard->hide();
        guard->deleteLater();
    }
    return accepted;
}

void BookPage::javaScriptAlert(const QUrl &, const QString &msg)
{
    runDialog(int(PageDialog::Kind::Alert), msg, QString(), nullptr);
}

bool BookPage::javaScriptConfirm(const QUrl &, const QString &msg)
{
    // The engine asks "leave this page?" for beforeunload through here: leaving never waits.
    if (msg == QLatin1String(UnloadQuestion) ||
        msg == QCoreApplication::translate("QWebEnginePage", UnloadQuestion))
        return true;
    return runDialog(int(PageDialog::Kind::Confirm), msg, QString(), nullptr);
}

bool BookPage::javaScriptPrompt(const QUrl &, const QString &msg, const QString &defaultValue,
                                QString *result)
{
    return runDialog(int(PageDialog::Kind::Prompt), msg, defaultValue, result);
}
