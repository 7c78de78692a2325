// SPDX-License-Identifier: MIT
// The main window's reading commands around the pane: turning pages, carrying on where the
// reader stopped, bookmarks, history, zoom per book and night reading. Keeps what it learns
// in the ReadingStore.
#pragma once

#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>

class NightReading;
class PaneHint;
class PaneScroll;
class QAction;
class QTimer;
class ReadingStore;
class frmHlavne;
class frmZalozky;

class ReadingAids : public QObject
{
    Q_OBJECT

public:
    // In the order of the menu.
    enum Command { PreviousPage, NextPage, Continue, AddBookmark, Bookmarks, Night };

    ReadingAids(frmHlavne &main, ReadingStore &store);
    ~ReadingAids() override;

    QAction *action(Command command) const { return m_actions.at(command); }
    QList<QAction *> actions() const { return m_actions; }

    void turn(int step);
    // Back to the last page read, of the open book or else of the book read last.
    void continueReading();
    void addBookmark();
    void openBookmarks();
    void setNightReading(bool on);

    // Opens a page as the SpeedPanel would and scrolls it to where the reader was; false
    // when the page is not there.
    bool openPlace(const QString &book, const QString &page, const QPointF &scroll);

    frmZalozky *bookmarksWindow() const;
    PaneHint *hint() const { return m_hint; }
    PaneScroll *scroll() const { return m_scroll; }
    NightReading *night() const { return m_night; }

    // The SpeedPanel entry's tooltip for the last page read.
    static QString lastReadNote();

private:
    void addAction(Command command, const QString &text, const QKeySequence &key);
    void pageLoaded(bool ok);
    void pageMoved(const QPointF &position);
    void urlChanged();
    void zoomChanged(double factor);
    void markLastRead();
    void noteScroll();
    // The library page the pane shows now, if it is one.
    bool shownPage(QString *book, QString *page) const;

    frmHlavne &m_main;
    ReadingStore &m_store;
    QList<QAction *> m_actions;
    PaneHint *m_hint;
    PaneScroll *m_scroll;
    NightReading *m_night;
    QPointer<frmZalozky> m_window;
    QString m_book; // the library page shown, once its load settled
    QString m_page;
    QString m_zoomBook; // whose zoom the pane has now
    bool m_settingZoom = false;
    QTimer *m_scrollTimer;
    QPointF m_lastScroll;
    int m_markedRow = -1; // the SpeedPanel entry marked as the last page read
};
