// SPDX-License-Identifier: MIT
// The search of one library folder as the window uses it: searches on the caller's thread,
// keeps the index up to date on a thread of its own.
#pragma once

#include "searchindex.h"

#include <QObject>
#include <QThread>
#include <atomic>
#include <memory>

class LibrarySearch : public QObject
{
    Q_OBJECT
public:
    explicit LibrarySearch(const QString &libraryFolder,
                           const QString &cacheFolder = SearchIndex::cacheFolder(),
                           QObject *parent = nullptr);
    // Stops the refresh between two batches and waits for it.
    ~LibrarySearch() override;

    // Starts bringing the index up to date; a call while one runs runs it once more after.
    void refresh();
    bool isRefreshing() const { return m_thread != nullptr; }
    SearchIndex::Results search(const SearchQuery &query);
    QString snippet(const SearchQuery &query, const SearchHit &hit);
    // The passages of the hits, in their order (empty where none).
    QStringList snippets(const SearchQuery &query, const QVector<SearchHit> &hits);
    // Where the index is: a file, or memory when the cache folder cannot be written.
    QString location() const { return m_reader.location(); }
    bool inMemory() const { return m_reader.inMemory(); }
    SearchIndex::RefreshStats lastStats() const { return m_lastStats; }

signals:
    void progress(int done, int total);
    // A refresh ended: the index holds every page now.
    void refreshed();

private:
    void finished();
    void rebuild();

    QString m_libraryFolder;
    SearchIndex m_reader;
    QThread *m_thread = nullptr;
    std::atomic_bool m_cancel{false};
    bool m_again = false;
    bool m_rebuildPending = false;
    SearchIndex::RefreshStats m_stats; // written by the thread, read once it has ended
    SearchIndex::RefreshStats m_lastStats;
};
