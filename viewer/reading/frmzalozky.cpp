// SPDX-License-Identifier: MIT
#include "frmzalozky.h"

#include "drivemap.h"
#include "frmhlavne.h"
#include "library.h"
#include "readingaids.h"
#include "readingstore.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSet>
#include <QTabWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

constexpr int IdRole = Qt::UserRole;
constexpr int IndexRole = Qt::UserRole + 1;
constexpr int NoteColumn = 2;
// A note this long is shown cut in the list; the whole of it is kept.
constexpr int ShownNote = 500;

QTreeWidget *makeList(QWidget *parent, const QString &name, const QString &accessible,
                      const QStringList &headers)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessible);
    list->setHeaderLabels(headers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setStretchLastSection(true);
    return list;
}

QString timeText(const QDateTime &time)
{
    return time.isValid() ? QLocale(QLocale::Slovak)
                                .toString(time.toLocalTime(), QStringLiteral("d. M. yyyy H:mm"))
                          : QString();
}

} // namespace

frmZalozky::frmZalozky(frmHlavne &main, ReadingAids &aids, ReadingStore &store)
    : QWidget(&main, Qt::Window), m_main(main), m_aids(aids), m_store(store)
{
    setObjectName(QStringLiteral("frmZalozky"));
    setWindowTitle(QStringLiteral("Záložky"));

    Karty = new QTabWidget(this);
    Karty->setObjectName(QStringLiteral("Karty"));
    Zalozky = makeList(
        this, QStringLiteral("Zalozky"), QStringLiteral("Záložky podľa kníh"),
        {QStringLiteral("Kniha a list"), QStringLiteral("Nadpis"), QStringLiteral("Poznámka")});
    Historia = makeList(this, QStringLiteral("Historia"), QStringLiteral("História"),
                        {QStringLiteral("Čítané"), QStringLiteral("Kniha"), QStringLiteral("List"),
                         QStringLiteral("Nadpis")});
    Historia->setRootIsDecorated(false);
    // Room for a whole page name; the note takes the rest.
    Zalozky->header()->resizeSection(0, 250);
    Zalozky->header()->resizeSection(1, 180);
    Historia->header()->resizeSection(0, 130);
    Historia->header()->resizeSection(1, 150);
    Historia->header()->resizeSection(2, 180);
    Karty->addTab(Zalozky, QStringLiteral("Záložky"));
    Karty->addTab(Historia, QStringLiteral("História"));

    Otvorit = new QPushButton(QStringLiteral("Otvoriť"), this);
    Otvorit->setObjectName(QStringLiteral("Otvorit"));
    Poznamka = new QPushButton(QStringLiteral("Upraviť poznámku"), this);
    Poznamka->setObjectName(QStringLiteral("Poznamka"));
    Zmazat = new QPushButton(QStringLiteral("Zmazať"), this);
    Zmazat->setObjectName(QStringLiteral("Zmazat"));
    VymazatHistoriu = new QPushButton(QStringLiteral("Vymazať históriu"), this);
    VymazatHistoriu->setObjectName(QStringLiteral("VymazatHistoriu"));
    Stav = new QLabel(this);
    Stav->setObjectName(QStringLiteral("Stav"));
    Stav->setTextFormat(Qt::PlainText);
    Stav->setWordWrap(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Otvorit);
    buttons->addWidget(Poznamka);
    buttons->addWidget(Zmazat);
    buttons->addStretch(1);
    buttons->addWidget(VymazatHistoriu);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Karty, 1);
    layout->addWidget(Stav);
    layout->addLayout(buttons);

    for (QTreeWidget *list : {Zalozky, Historia}) {
        list->installEventFilter(this);
        connect(list, &QTreeWidget::itemActivated, this, [this] { openCurrent(); });
    }
    connect(Zalozky, &QTreeWidget::itemChanged, this, &frmZalozky::noteEdited);
    connect(Otvorit, &QPushButton::clicked, this, &frmZalozky::openCurrent);
    connect(Poznamka, &QPushButton::clicked, this, &frmZalozky::editNote);
    connect(Zmazat, &QPushButton::clicked, this, &frmZalozky::deleteCurrent);
    connect(VymazatHistoriu, &QPushButton::clicked, this, &frmZalozky::clearHistory);
    connect(Karty, &QTabWidget::currentChanged, this, [this] {
        Poznamka->setEnabled(Karty->currentWidget() == Zalozky);
        Stav->clear();
    });
    // Pages read while the window is open join the history.
    connect(&store, &ReadingStore::changed, this, [this] {
        if (isVisible())
            fillHistory();
    });

    resize(680, 460);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

const QSet<QString> &frmZalozky::pagesOf(const QString &book)
{
    // One listing per book tells which pages are still there, as Windows matches names; it
    // is kept while the folder stays unchanged.
    const QString folder = DriveMap::folderFor(library::bookFolder(book));
    const QDateTime changed = folder.isEmpty() ? QDateTime() : QFileInfo(folder).lastModified();
    Listing &listing = m_listings[book];
    if (listing.folder != folder || listing.changed != changed || !changed.isValid()) {
        listing.folder = folder;
        listing.changed = changed;
        listing.pages.clear();
        ++m_listingChanges;
        if (!folder.isEmpty()) {
            const QStringList names = QDir(folder).entryList(QDir::Files, QDir::NoSort);
            listing.pages.reserve(names.size());
            for (const QString &name : names)
                listing.pages.insert(name.toLower());
        }
    }
    return listing.pages;
}

QString frmZalozky::missingNote()
{
    return QStringLiteral("(list už v knihe nie je)");
}

void frmZalozky::Show()
{
    m_store.reload();
    refresh();
    show();
    raise();
    activateWindow();
    QTreeWidget *list = Karty->currentWidget() == Historia ? Historia : Zalozky;
    list->setFocus();
}

void frmZalozky::refresh()
{
    fillBookmarks();
    fillHistory();
}

void frmZalozky::fillBookmarks()
{
    const QList<Bookmark> &marks = m_store.state().bookmarks;
    // By book, the books in order of their names and each book's marks as they were added.
    QMap<QString, QList<int>> byBook;
    for (int i = 0; i < marks.size(); ++i)
        byBook[marks.at(i).book].append(i);
    // Nothing changed, in the list or on disk: the list shown stays (10,000 entries take a
    // while to make anew).
    const int listingsBefore = m_listingChanges;
    for (auto it = byBook.cbegin(); it != byBook.cend(); ++it)
        pagesOf(it.key());
    if (m_listingChanges == listingsBefore && sameBookmarks(m_shownMarks, marks) &&
        Zalozky->topLevelItemCount() == byBook.size())
        return;
    m_shownMarks = marks;

    m_filling = true;
    const QString chosen =
        Zalozky->currentItem() ? Zalozky->currentItem()->data(0, IdRole).toString() : QString();
    Zalozky->setUpdatesEnabled(false);
    Zalozky->clear();
    QList<QTreeWidgetItem *> books;
    QTreeWidgetItem *current = nullptr;
    for (auto it = byBook.cbegin(); it != byBook.cend(); ++it) {
        const QSet<QString> &present = pagesOf(it.key());
        auto *book = new QTreeWidgetItem(QStringList{it.key()});
        QList<QTreeWidgetItem *> children;
        children.reserve(it->size());
        for (int index : *it) {
            const Bookmark &b = marks.at(index);
            const bool missing = !present.contains(b.page.toLower());
            QString note = b.note;
            if (note.size() > ShownNote)
                note = note.left(ShownNote) + QStringLiteral("…");
            auto *item = new QTreeWidgetItem(
                QStringList{missing ? b.page + QLatin1Char(' ') + missingNote() : b.page, b.title,
                            note.simplified()});
            item->setData(0, IdRole, b.id);
            item->setData(0, IndexRole, index);
            item->setFlags(item->flags() | Qt::ItemIsEditable);
            if (missing)
                item->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
            if (!chosen.isEmpty() && b.id == chosen)
                current = item;
            children.append(item);
        }
        book->addChildren(children);
        books.append(book);
    }
    Zalozky->addTopLevelItems(books);
    Zalozky->expandAll();
    if (current)
        Zalozky->setCurrentItem(current);
    else if (!books.isEmpty())
        Zalozky->setCurrentItem(books.first()->child(0));
    if (books.isEmpty())
        Stav->setText(QStringLiteral("Zatiaľ nemáte žiadne záložky. Pridáte ich klávesom Ctrl+D."));
    Zalozky->setUpdatesEnabled(true);
    m_filling = false;
}

bool frmZalozky::sameBookmarks(const QList<Bookmark> &a, const QList<Bookmark> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const Bookmark &x = a.at(i);
        const Bookmark &y = b.at(i);
        if (x.id != y.id || x.note != y.note || x.page != y.page || x.book != y.book ||
            x.title != y.title)
            return false;
    }
    return true;
}

void frmZalozky::fillHistory()
{
    const QList<HistoryEntry> &now = m_store.state().history;
    // History grows at its front and is cut at its end: these tell whether it changed.
    const auto same = [](const HistoryEntry &x, const HistoryEntry &y) {
        return x.book == y.book && x.page == y.page && x.read == y.read;
    };
    if (m_shownHistory.size() == now.size() &&
        (now.isEmpty() ||
         (same(now.first(), m_shownHistory.first()) && same(now.last(), m_shownHistory.last()))) &&
        Historia->topLevelItemCount() == now.size())
        return;
    m_shownHistory = now;
    Historia->setUpdatesEnabled(false);
    const auto enable = qScopeGuard([this] { Historia->setUpdatesEnabled(true); });
    const int row =
        Historia->currentItem() ? Historia->indexOfTopLevelItem(Historia->currentItem()) : 0;
    Historia->clear();
    const QList<HistoryEntry> &history = m_store.state().history;
    QList<QTreeWidgetItem *> items;
    items.reserve(history.size());
    for (int i = 0; i < history.size(); ++i) {
        const HistoryEntry &h = history.at(i);
        auto *item = new QTreeWidgetItem(QStringList{timeText(h.read), h.book, h.page, h.title});
        item->setData(0, IndexRole, i);
        items.append(item);
    }
    Historia->addTopLevelItems(items);
    if (!items.isEmpty())
        Historia->setCurrentItem(items.at(qBound(0, row, int(items.size()) - 1)));
    VymazatHistoriu->setEnabled(!items.isEmpty());
}

bool frmZalozky::openCurrent()
{
    Stav->clear();
    if (Karty->currentWidget() == Historia) {
        const QTreeWidgetItem *item = Historia->currentItem();
        if (!item)
            return false;
        const HistoryEntry h = m_store.state().history.value(item->data(0, IndexRole).toInt());
        // The place kept for the book is where the reader was last on that page.
        const ReadingPlace place = m_store.state().places.value(h.book);
        const QPointF scroll = place.page == h.page ? place.scroll : QPointF();
        if (m_aids.openPlace(h.book, h.page, scroll))
            return true;
        Stav->setText(QStringLiteral("List „%1“ už v knihe „%2“ nie je.").arg(h.page, h.book));
        return false;
    }
    const QTreeWidgetItem *item = Zalozky->currentItem();
    if (!item || item->data(0, IdRole).toString().isEmpty())
        return false;
    const QString id = item->data(0, IdRole).toString();
    for (const Bookmark &b : m_store.state().bookmarks) {
        if (b.id != id)
            continue;
        if (m_aids.openPlace(b.book, b.page, b.scroll))
            return true;
        Stav->setText(QStringLiteral("List „%1“ už v knihe „%2“ nie je. Záložku môžete zmazať "
                                     "(Delete).")
                          .arg(b.page, b.book));
        return false;
    }
    return false;
}

void frmZalozky::deleteCurrent()
{
    Stav->clear();
    bool written = true;
    if (Karty->currentWidget() == Historia) {
        const QTreeWidgetItem *item = Historia->currentItem();
        if (!item)
            return;
        const HistoryEntry h = m_store.state().history.value(item->data(0, IndexRole).toInt());
        written = m_store.change([h](ReadingState &s) {
            for (auto it = s.history.begin(); it != s.history.end(); ++it) {
                if (it->book == h.book && it->page == h.page && it->read == h.read) {
                    s.history.erase(it);
                    return;
                }
            }
        });
        fillHistory();
    } else {
        const QTreeWidgetItem *item = Zalozky->currentItem();
        const QString id = item ? item->data(0, IdRole).toString() : QString();
        if (id.isEmpty())
            return;
        // The next entry becomes the chosen one.
        const QTreeWidgetItem *next = Zalozky->itemBelow(item);
        if (!next || next->data(0, IdRole).toString().isEmpty())
            next = Zalozky->itemAbove(item);
        if (next && next->data(0, IdRole).toString().isEmpty())
            next = Zalozky->itemBelow(next);
        const QString nextId = next ? next->data(0, IdRole).toString() : QString();
        written = m_store.change([id](ReadingState &s) {
            s.bookmarks.removeIf([&](const Bookmark &b) { return b.id == id; });
        });
        fillBookmarks();
        for (QTreeWidgetItemIterator it(Zalozky); *it && !nextId.isEmpty(); ++it) {
            if ((*it)->data(0, IdRole).toString() == nextId)
                Zalozky->setCurrentItem(*it);
        }
    }
    if (!written)
        Stav->setText(
            QStringLiteral("Zmenu sa nepodarilo uložiť do súboru %1.").arg(m_store.file()));
}

void frmZalozky::editNote()
{
    if (Karty->currentWidget() != Zalozky)
        return;
    QTreeWidgetItem *item = Zalozky->currentItem();
    if (!item || item->data(0, IdRole).toString().isEmpty())
        return;
    // The whole note, not the shortened one the list shows.
    const QString id = item->data(0, IdRole).toString();
    for (const Bookmark &b : m_store.state().bookmarks) {
        if (b.id == id) {
            m_filling = true;
            item->setText(NoteColumn, b.note);
            m_filling = false;
        }
    }
    Zalozky->editItem(item, NoteColumn);
}

void frmZalozky::noteEdited(QTreeWidgetItem *item, int column)
{
    if (m_filling || column != NoteColumn)
        return;
    const QString id = item->data(0, IdRole).toString();
    if (id.isEmpty())
        return;
    const QString note = item->text(NoteColumn).left(ReadingStore::maxNote);
    if (!m_store.change([id, note](ReadingState &s) {
            for (Bookmark &b : s.bookmarks) {
                if (b.id == id)
                    b.note = note;
            }
        }))
        Stav->setText(
            QStringLiteral("Poznámku sa nepodarilo uložiť do súboru %1.").arg(m_store.file()));
}

void frmZalozky::clearHistory()
{
    if (m_store.state().history.isEmpty())
        return;
    const auto answer = QMessageBox::question(this, QStringLiteral("Záložky"),
                                              QStringLiteral("Vymazať celú históriu čítania?"));
    if (answer != QMessageBox::Yes)
        return;
    if (!m_store.change([](ReadingState &s) { s.history.clear(); }))
        Stav->setText(
            QStringLiteral("Zmenu sa nepodarilo uložiť do súboru %1.").arg(m_store.file()));
    fillHistory();
}

bool frmZalozky::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == Zalozky || watched == Historia)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // A note being written has its own editor, which gets its own keys.
        switch (key->key()) {
        case Qt::Key_Delete:
            deleteCurrent();
            return true;
        case Qt::Key_F2:
            editNote();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            openCurrent();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmZalozky::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
