// SPDX-License-Identifier: MIT
#include "readingaids.h"

#include "browserpane.h"
#include "busybracket.h"
#include "clicklabel.h"
#include "filelistbox.h"
#include "frmhlavne.h"
#include "frmzalozky.h"
#include "library.h"
#include "nightreading.h"
#include "pageaddress.h"
#include "pageopener.h"
#include "panehint.h"
#include "panescroll.h"
#include "panezoom.h"
#include "picturebutton.h"
#include "readingpages.h"
#include "readingstore.h"

#include <QAction>
#include <QCoreApplication>
#include <QTimer>
#include <QUuid>
#include <QWebEnginePage>

namespace {
// A scrolled page is noted once the reader stops scrolling.
constexpr int ScrollQuietMs = 400;
constexpr int MarkedRole = Qt::UserRole + 40;

std::optional<readingpages::LibraryPage> pageOf(const QUrl &url)
{
    if (!PageAddress::isPageScheme(url) || PageAddress::isMessagePage(url))
        return std::nullopt;
    return readingpages::fromAddress(PageAddress::displayAddress(url));
}
} // namespace

ReadingAids::ReadingAids(frmHlavne &main, ReadingStore &store)
    : QObject(&main), m_main(main), m_store(store), m_scrollTimer(new QTimer(this))
{
    BrowserPane *pane = main.Hlavne;
    m_hint = new PaneHint(pane);
    m_scroll = new PaneScroll(pane);
    m_night = new NightReading(pane->page(), this);

    addAction(PreviousPage, QStringLiteral("Predchádzajúci list"),
              QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    addAction(NextPage, QStringLiteral("Ďalší list"), QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    addAction(Continue, QStringLiteral("Pokračovať v čítaní"), QKeySequence(Qt::CTRL | Qt::Key_L));
    addAction(AddBookmark, QStringLiteral("Pridať záložku"), QKeySequence(Qt::CTRL | Qt::Key_D));
    addAction(Bookmarks, QStringLiteral("Záložky…"), QKeySequence(Qt::CTRL | Qt::Key_B));
    addAction(Night, QStringLiteral("Nočné čítanie"),
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    action(Night)->setCheckable(true);
    main.addActions(m_actions);
    pane->setMenuExtras(m_actions);

    const ReadingState &state = store.state();
    if (state.nightReading) {
        m_night->setOn(true);
        action(Night)->setChecked(true);
    }

    // A pane may have shown its page already (the window is made before it is shown).
    if (!pane->page()->isLoading()) {
        if (const auto shown = pageOf(pane->url())) {
            m_book = shown->book;
            m_page = shown->page;
        }
    }
    m_zoomBook = m_book;
    const double overall = state.zoom.value_or(1.0);
    pane->zoom()->setFactor(m_book.isEmpty() ? overall : state.bookZoom.value(m_book, overall));
    connect(pane->zoom(), &PaneZoom::zoomChanged, this, &ReadingAids::zoomChanged);
    connect(pane->page(), &QWebEnginePage::urlChanged, this, &ReadingAids::urlChanged);
    connect(pane, &BrowserPane::loadFinished, this, &ReadingAids::pageLoaded);
    connect(m_scroll, &PaneScroll::moved, this, &ReadingAids::pageMoved);
    connect(main.Listy, &FileListBox::listed, this, &ReadingAids::markLastRead);
    m_scrollTimer->setSingleShot(true);
    m_scrollTimer->setInterval(ScrollQuietMs);
    connect(m_scrollTimer, &QTimer::timeout, this, &ReadingAids::noteScroll);
    // The program may end by leaving the event loop without this window going.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (m_scrollTimer->isActive()) {
            m_scrollTimer->stop();
            noteScroll();
        }
        m_store.flush();
    });
}

ReadingAids::~ReadingAids()
{
    delete m_window;
}

QString ReadingAids::lastReadNote()
{
    return QStringLiteral("Tu ste naposledy čítali");
}

void ReadingAids::addAction(Command command, const QString &text, const QKeySequence &key)
{
    auto *a = new QAction(text, this);
    a->setObjectName(QStringLiteral("reading.%1").arg(int(command)));
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    connect(a, &QAction::triggered, this, [this, command](bool checked) {
        switch (command) {
        case NextPage:
            turn(1);
            break;
        case PreviousPage:
            turn(-1);
            break;
        case Continue:
            continueReading();
            break;
        case AddBookmark:
            addBookmark();
            break;
        case Bookmarks:
            openBookmarks();
            break;
        case Night:
            setNightReading(checked);
            break;
        }
    });
    m_actions.append(a);
}

frmZalozky *ReadingAids::bookmarksWindow() const
{
    return m_window && m_window->isVisible() ? m_window.data() : nullptr;
}

bool ReadingAids::shownPage(QString *book, QString *page) const
{
    if (m_book.isEmpty())
        return false;
    *book = m_book;
    *page = m_page;
    return true;
}

void ReadingAids::turn(int step)
{
    FileListBox *listy = m_main.Listy;
    if (listy->isListing()) {
        m_hint->showHint(QStringLiteral("Zoznam listov sa ešte načítava."));
        return;
    }
    QStringList names;
    names.reserve(listy->count());
    for (int i = 0; i < listy->count(); ++i)
        names.append(listy->item(i)->text());
    // The page shown counts when it is of the listed book; else the List label tells.
    QString shown = m_main.List->text();
    if (const auto current = pageOf(m_main.Hlavne->url());
        current &&
        current->book.compare(readingpages::bookOfFolder(listy->path()), Qt::CaseInsensitive) == 0)
        shown = current->page;
    const int selected = listy->fileName().isEmpty() ? -1 : listy->currentRow();
    const readingpages::TurnResult result = readingpages::neighbour(names, selected, shown, step);
    switch (result.turn) {
    case readingpages::Turn::NoPages:
        m_hint->showHint(QStringLiteral("V zozname listov nie je žiadny list."));
        return;
    case readingpages::Turn::AtEnd:
        m_hint->showHint(QStringLiteral("Toto je posledný list knihy."));
        return;
    case readingpages::Turn::AtStart:
        m_hint->showHint(QStringLiteral("Toto je prvý list knihy."));
        return;
    case readingpages::Turn::Moved:
        break;
    }
    {
        const QSignalBlocker blocker(listy);
        listy->setCurrentRow(result.row);
        listy->scrollToItem(listy->item(result.row));
    }
    // Exactly what a click on that entry does.
    emit listy->clicked();
}

void ReadingAids::continueReading()
{
    const ReadingState &state = m_store.state();
    QString book = m_main.Kniha->text();
    if (!state.places.contains(book))
        book = state.lastBook();
    if (book.isEmpty()) {
        m_hint->showHint(QStringLiteral("Zatiaľ ste nečítali žiadnu knihu."));
        return;
    }
    const ReadingPlace place = state.places.value(book);
    if (!openPlace(book, place.page, place.scroll)) {
        m_hint->showHint(QStringLiteral("List „%1“ už v knihe „%2“ nie je.").arg(place.page, book));
    }
}

bool ReadingAids::openPlace(const QString &book, const QString &page, const QPointF &scroll)
{
    if (!pageopener::exists(book, page))
        return false;
    m_scroll->scrollAfterLoad(library::pagePath(book, page), scroll);
    return pageopener::open(m_main, book, page);
}

void ReadingAids::addBookmark()
{
    BusyBracket busy(m_main.Praca);
    QString book, page;
    if (!shownPage(&book, &page)) {
        m_hint->showHint(QStringLiteral("Záložku možno pridať len k listu knihy."));
        return;
    }
    Bookmark mark;
    mark.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    mark.book = book;
    mark.page = page;
    mark.title = m_main.Hlavne->page()->title();
    mark.scroll = m_scroll->position();
    mark.added = QDateTime::currentDateTimeUtc();
    if (!m_store.change([mark](ReadingState &s) { s.bookmarks.append(mark); })) {
        m_hint->showHint(
            QStringLiteral("Záložku sa nepodarilo uložiť do súboru %1.").arg(m_store.file()));
        return;
    }
    m_hint->showHint(QStringLiteral("Záložka pridaná: %1. Poznámku pripíšete v okne Záložky "
                                    "(Ctrl+B, F2).")
                         .arg(page));
    if (m_window && m_window->isVisible())
        m_window->refresh();
}

void ReadingAids::openBookmarks()
{
    if (!m_window)
        m_window = new frmZalozky(m_main, *this, m_store);
    m_window->Show();
}

void ReadingAids::setNightReading(bool on)
{
    BusyBracket busy(m_main.Praca);
    m_night->setOn(on);
    action(Night)->setChecked(on);
    m_store.change([on](ReadingState &s) { s.nightReading = on; });
    m_hint->showHint(on ? QStringLiteral("Nočné čítanie je zapnuté.")
                        : QStringLiteral("Nočné čítanie je vypnuté."));
}

void ReadingAids::urlChanged()
{
    const auto shown = pageOf(m_main.Hlavne->url());
    // Scrolling from here on belongs to the new page, once it settles.
    if (!shown || shown->book != m_book || shown->page != m_page) {
        m_book.clear();
        m_page.clear();
    }
    const QString book = shown ? shown->book : QString();
    if (book == m_zoomBook)
        return;
    m_zoomBook = book;
    const ReadingState &state = m_store.state();
    const double overall = state.zoom.value_or(1.0);
    m_settingZoom = true;
    m_main.Hlavne->zoom()->setFactor(book.isEmpty() ? overall
                                                    : state.bookZoom.value(book, overall));
    m_settingZoom = false;
}

void ReadingAids::zoomChanged(double factor)
{
    if (m_settingZoom)
        return;
    m_store.changeLater([factor, book = m_zoomBook](ReadingState &s) {
        s.zoom = factor;
        if (!book.isEmpty())
            s.bookZoom.insert(book, factor);
    });
}

void ReadingAids::pageLoaded(bool ok)
{
    const auto shown = ok ? pageOf(m_main.Hlavne->url()) : std::nullopt;
    if (!shown) {
        m_book.clear();
        m_page.clear();
        return;
    }
    m_book = shown->book;
    m_page = shown->page;
    QString title = m_main.Hlavne->page()->title();
    if (title == m_main.Hlavne->url().toString())
        title.clear(); // the engine's stand-in for a page without a title
    const QPointF at = m_scroll->position();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // Choosing a book shows its opening page: that alone is no reading of it, and must not
    // move the place kept for the book. Scrolling in it is.
    const bool opening = m_page.compare(library::openingPage, Qt::CaseInsensitive) == 0;
    m_store.changeLater([book = m_book, page = m_page, title, at, now, opening](ReadingState &s) {
        if (!opening)
            s.places.insert(book, ReadingPlace{page, at, now});
        for (auto it = s.history.begin(); it != s.history.end(); ++it) {
            if (it->book == book && it->page == page) {
                s.history.erase(it);
                break;
            }
        }
        s.history.prepend(HistoryEntry{book, page, title, now});
        while (s.history.size() > ReadingStore::maxHistory)
            s.history.removeLast();
    });
    if (readingpages::bookOfFolder(m_main.Listy->path()) == m_book)
        markLastRead();
}

void ReadingAids::pageMoved(const QPointF &position)
{
    if (m_book.isEmpty())
        return;
    m_lastScroll = position;
    m_scrollTimer->start();
}

void ReadingAids::noteScroll()
{
    if (m_book.isEmpty())
        return;
    m_store.changeLater([book = m_book, page = m_page, at = m_lastScroll,
                         now = QDateTime::currentDateTimeUtc()](ReadingState &s) {
        auto it = s.places.find(book);
        if (it != s.places.end() && it->page == page)
            it->scroll = at;
        else if (at.y() > 0 || at.x() > 0)
            s.places.insert(book, ReadingPlace{page, at, now});
    });
}

void ReadingAids::markLastRead()
{
    FileListBox *listy = m_main.Listy;
    if (QListWidgetItem *old = listy->item(m_markedRow); old && old->data(MarkedRole).toBool()) {
        old->setData(MarkedRole, {});
        old->setData(Qt::ToolTipRole, {});
        old->setData(Qt::AccessibleDescriptionRole, {});
        old->setFont(listy->font());
    }
    m_markedRow = -1;
    const QString book = readingpages::bookOfFolder(listy->path());
    const auto place = m_store.state().places.find(book);
    if (book.isEmpty() || place == m_store.state().places.cend())
        return;
    QListWidgetItem *item = listy->currentItem();
    if (!item || item->text() != place->page) {
        item = nullptr;
        const auto found = listy->findItems(place->page, Qt::MatchFixedString);
        if (!found.isEmpty())
            item = found.first();
    }
    if (!item)
        return;
    m_markedRow = listy->row(item);
    item->setData(MarkedRole, true);
    item->setData(Qt::ToolTipRole, lastReadNote());
    item->setData(Qt::AccessibleDescriptionRole, lastReadNote());
    QFont bold = listy->font();
    bold.setBold(true);
    item->setFont(bold);
}
