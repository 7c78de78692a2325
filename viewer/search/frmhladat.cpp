// SPDX-License-Identifier: MIT
#include "frmhladat.h"

#include "browserpane.h"
#include "busybracket.h"
#include "clicklabel.h"
#include "drivemap.h"
#include "filelistbox.h"
#include "frmhlavne.h"
#include "library.h"
#include "librarysearch.h"
#include "picturebutton.h"
#include "searchresultmodel.h"
#include "searchtexts.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

// Draws a hit's rich text: the book and page in one line, the snippet below.
class HitDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        opt.widget->style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

        QTextDocument doc;
        layout(doc, option, index);
        QAbstractTextDocumentLayout::PaintContext context;
        const bool selected = option.state & QStyle::State_Selected;
        context.palette.setColor(
            QPalette::Text,
            option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->save();
        painter->translate(option.rect.topLeft() + QPoint(4, 2));
        painter->setClipRect(QRect(QPoint(0, 0), option.rect.size()));
        doc.documentLayout()->draw(painter, context);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QTextDocument doc;
        layout(doc, option, index);
        return QSize(int(doc.idealWidth()) + 8, int(doc.size().height()) + 4);
    }

private:
    static void layout(QTextDocument &doc, const QStyleOptionViewItem &option,
                       const QModelIndex &index)
    {
        doc.setDefaultFont(option.font);
        doc.setDocumentMargin(0);
        doc.setHtml(index.data(SearchResultModel::HtmlRole).toString());
        doc.setTextWidth(qMax(100, option.rect.width() - 8));
    }
};

// The hits follow the typing while the focus stays in the text box. Qt's list announces
// every new current hit as focused, and a screen reader would read it instead of the typed
// letter: only a list that holds the focus announces it.
class HitList : public QListView
{
public:
    using QListView::QListView;

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override
    {
        if (hasFocus())
            QListView::currentChanged(current, previous);
        else
            QAbstractItemView::currentChanged(current, previous);
    }
};

} // namespace

frmHladat::frmHladat(frmHlavne &main, const QString &cacheFolder)
    : QWidget(&main, Qt::Window), m_main(main), m_cacheFolder(cacheFolder)
{
    setObjectName(QStringLiteral("frmHladat"));
    setWindowTitle(QStringLiteral("Hľadať v knihách"));

    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setPlaceholderText(
        QStringLiteral("Hľadané slová, napríklad kon alebo \"ladova cesta\""));
    Text1->setAccessibleName(QStringLiteral("Hľadané slová"));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setTextFormat(Qt::PlainText);

    m_model = new SearchResultModel(this);
    List1 = new HitList(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setAccessibleName(QStringLiteral("Výsledky"));
    List1->setModel(m_model);
    List1->setItemDelegate(new HitDelegate(List1));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    List1->setWordWrap(true);
    List1->installEventFilter(this);
    Text1->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Text1);
    layout->addWidget(Label1);
    layout->addWidget(List1, 1);
    layout->addWidget(Label2);

    connect(Text1, &QLineEdit::textChanged, this, &frmHladat::Text1_Change);
    connect(List1, &QListView::doubleClicked, this,
            [this](const QModelIndex &index) { openResult(index.row()); });

    resize(620, 460);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

frmHladat::~frmHladat() = default;

void frmHladat::Show()
{
    // The library may have appeared (or gone) since the last opening.
    const QString folder = DriveMap::folderFor(library::rootFolder);
    if (folder.isEmpty()) {
        m_model->setHits({}); // its snippets come from the search about to go
        delete m_search;
        m_search = nullptr;
        m_libraryFolder.clear();
        m_model->setHits({});
        Label2->clear();
        const auto root = DriveMap::parse(library::rootFolder);
        Label1->setText(
            QStringLiteral("Knižnica %1 sa nenašla: priečinok „%2“ neexistuje. Nie je v čom "
                           "hľadať.")
                .arg(library::rootFolder,
                     root ? DriveMap::driveRoot(root->drive) + QStringLiteral("/TARVOL/PAGORA")
                          : library::rootFolder));
    } else {
        if (folder != m_libraryFolder || !m_search) {
            m_model->setHits({});
            delete m_search;
            m_libraryFolder = folder;
            m_search = m_cacheFolder.isEmpty()
                           ? new LibrarySearch(folder, SearchIndex::cacheFolder(), this)
                           : new LibrarySearch(folder, m_cacheFolder, this);
            connect(m_search, &LibrarySearch::progress, this, &frmHladat::showProgress);
            connect(m_search, &LibrarySearch::refreshed, this, &frmHladat::refreshed);
        }
        m_search->refresh();
        Text1_Change();
    }
    show();
    raise();
    activateWindow();
    Text1->setFocus();
    Text1->selectAll();
}

void frmHladat::Text1_Change()
{
    runSearch(false);
}

void frmHladat::runSearch(bool keepChoice)
{
    if (!m_search)
        return;
    m_query = SearchQuery::parse(Text1->text());
    m_pending = false;
    if (m_query.isEmpty()) {
        m_model->setHits({});
        Label1->clear();
        return;
    }
    const SearchIndex::Results results = m_search->search(m_query);
    if (results.status == SearchIndex::Status::Busy) {
        // Another pagora holds the index for a moment; the next step of ours tries again.
        m_pending = true;
        return;
    }
    // New pages indexed meanwhile must not move the reader off the hit they chose.
    QString book, page;
    if (const QModelIndex current = List1->currentIndex(); keepChoice && current.isValid()) {
        book = m_model->data(current, SearchResultModel::BookRole).toString();
        page = m_model->data(current, SearchResultModel::PageRole).toString();
    }
    const SearchQuery query = m_query;
    LibrarySearch *search = m_search;
    m_model->setHits(results.hits, [search, query](const QVector<SearchHit> &hits) {
        return search->snippets(query, hits);
    });
    if (results.status != SearchIndex::Status::Ok)
        Label1->setText(QStringLiteral("Hľadanie sa nepodarilo. Index sa obnoví, skúste to "
                                       "znova o chvíľu."));
    else
        Label1->setText(searchtexts::count(results.total, int(results.hits.size())));
    if (m_model->rowCount() > 0)
        List1->setCurrentIndex(m_model->index(qMax(0, m_model->rowOf(book, page))));
}

void frmHladat::showProgress(int done, int total)
{
    Label2->setText(searchtexts::progress(done, total));
    // Pages indexed so far may hold what the reader looks for.
    if (m_pending || m_model->rowCount() < SearchIndex::maxResults)
        runSearch(true);
}

void frmHladat::refreshed()
{
    Label2->clear();
    runSearch(true);
}

bool frmHladat::openResult(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return false;
    const SearchHit hit = m_model->hit(row);
    {
        // As choosing the book and then clicking the page in the SpeedPanel.
        BusyBracket busy(m_main.Praca);
        m_main.Kniha->setText(hit.book);
        FileListBox *listy = m_main.Listy;
        const QString folder = library::bookFolder(hit.book);
        listy->setPath(folder);
        const QList<QListWidgetItem *> items = listy->findItems(hit.page, Qt::MatchExactly);
        bool present = !items.isEmpty();
        if (listy->isListing()) {
            // A huge book is still being listed: the file itself tells, and its entry is
            // selected once the names are in.
            present = QFileInfo(DriveMap::folderFor(folder) + QLatin1Char('/') + hit.page).isFile();
            connect(
                listy, &FileListBox::listed, listy,
                [listy, folder, page = hit.page] {
                    const auto found = listy->findItems(page, Qt::MatchExactly);
                    if (listy->path() != folder || found.isEmpty() || !listy->fileName().isEmpty())
                        return;
                    const QSignalBlocker blocker(listy);
                    listy->setCurrentItem(found.first());
                    listy->scrollToItem(found.first());
                },
                Qt::SingleShotConnection);
        }
        if (!present) {
            m_main.Hlavne->Navigate(library::openingPagePath(hit.book));
            m_main.List->setText(QStringLiteral("1 Uvod.PGX"));
        } else {
            if (!items.isEmpty()) {
                // Selecting by hand would count as a click and navigate a second time.
                const QSignalBlocker blocker(listy);
                listy->setCurrentItem(items.first());
                listy->scrollToItem(items.first());
            }
            m_main.Hlavne->Navigate(library::pagePath(hit.book, hit.page));
            m_main.List->setText(hit.page);
        }
        if (!present) {
            QMessageBox::warning(this, QStringLiteral("Hľadať v knihách"),
                                 QStringLiteral("List „%1“ už v knihe „%2“ nie je. Zobrazuje sa "
                                                "úvod knihy a hľadanie sa obnoví.")
                                     .arg(hit.page, hit.book));
            if (m_search)
                m_search->refresh();
            return false;
        }
    }
    if (m_main.highlightTerms)
        m_main.highlightTerms(m_query.highlight());
    return true;
}

bool frmHladat::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter) {
            const int row = List1->currentIndex().isValid() ? List1->currentIndex().row() : 0;
            openResult(row);
            return true;
        }
        if (watched == Text1 && (key->key() == Qt::Key_Down || key->key() == Qt::Key_PageDown) &&
            m_model->rowCount() > 0) {
            List1->setFocus();
            if (!List1->currentIndex().isValid())
                List1->setCurrentIndex(m_model->index(0));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmHladat::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
