// SPDX-License-Identifier: MIT
// The "Záložky" window: the bookmarks by book and the history of pages read. An entry opens
// its page in the main window as the SpeedPanel would, at the place it was read.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QWidget>

#include "readingstore.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class ReadingAids;
class ReadingStore;
class frmHlavne;

class frmZalozky : public QWidget
{
    Q_OBJECT
public:
    frmZalozky(frmHlavne &main, ReadingAids &aids, ReadingStore &store);

    // Reads the store again (another pagora may have written) and shows the window.
    void Show();
    // Fills both lists from the store as it stands.
    void refresh();

    // The chosen entry of the list shown: open it, delete it, edit its note.
    bool openCurrent();
    void deleteCurrent();
    void editNote();
    void clearHistory();

    // The text a bookmark's page shows when its page is gone.
    static QString missingNote();

    QTabWidget *Karty;
    QTreeWidget *Zalozky;
    QTreeWidget *Historia;
    QLabel *Stav;
    QPushButton *Otvorit;
    QPushButton *Poznamka;
    QPushButton *Zmazat;
    QPushButton *VymazatHistoriu;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fillBookmarks();
    void fillHistory();
    void noteEdited(QTreeWidgetItem *item, int column);
    const QSet<QString> &pagesOf(const QString &book);
    static bool sameBookmarks(const QList<Bookmark> &a, const QList<Bookmark> &b);

    struct Listing
    {
        QString folder;
        QDateTime changed;
        QSet<QString> pages; // in lower case
    };
    QHash<QString, Listing> m_listings;
    int m_listingChanges = 0;
    QList<Bookmark> m_shownMarks; // what the lists show now
    QList<HistoryEntry> m_shownHistory;

    frmHlavne &m_main;
    ReadingAids &m_aids;
    ReadingStore &m_store;
    bool m_filling = false;
};
