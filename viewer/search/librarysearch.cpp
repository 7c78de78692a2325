// SPDX-License-Identifier: MIT
#include "librarysearch.h"

#include <QElapsedTimer>
#include <sys/resource.h>

LibrarySearch::LibrarySearch(const QString &libraryFolder, const QString &cacheFolder,
                             QObject *parent)
    : QObject(parent), m_libraryFolder(libraryFolder),
      m_reader(SearchIndex::fileFor(cacheFolder, libraryFolder))
{
    // Opening decides between the file and memory once, for the reader and the refresher.
    m_reader.open();
}

LibrarySearch::~LibrarySearch()
{
    m_cancel = true;
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void LibrarySearch::refresh()
{
    if (m_thread) {
        m_again = true;
        return;
    }
    if (!m_reader.isOpen() && !m_reader.open())
        return;
    const QString location = m_reader.location();
    const QString folder = m_libraryFolder;
    m_thread = QThread::create([this, location, folder] {
        // The user interface comes first (Linux lowers just this thread).
        setpriority(PRIO_PROCESS, 0, 10);
        SearchIndex writer(location);
        QElapsedTimer sinceReport;
        sinceReport.start();
        const auto report = [this, &sinceReport](int done, int total) {
            // A few reports a second are enough for a progress line.
            if (done < total && sinceReport.elapsed() < 250)
                return;
            sinceReport.restart();
            QMetaObject::invokeMethod(
                this, [this, done, total] { emit progress(done, total); }, Qt::QueuedConnection);
        };
        m_stats = writer.refresh(folder, report, &m_cancel);
    });
    m_thread->setObjectName(QStringLiteral("pagora-index"));
    connect(m_thread, &QThread::finished, this, &LibrarySearch::finished);
    m_thread->start();
}

void LibrarySearch::finished()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_lastStats = m_stats;
    // A damaged file was replaced: this connection still reads the old one.
    if (m_lastStats.rebuilt) {
        m_reader.close();
        m_reader.open();
    }
    if (!m_lastStats.ok && !m_lastStats.cancelled && !m_reader.inMemory() && !m_cancel) {
        // Another program keeps the index file locked: index in memory for this session.
        if (m_reader.openInMemory()) {
            refresh();
            return;
        }
    }
    emit refreshed();
    if (m_again && !m_cancel) {
        m_again = false;
        refresh();
    }
}

SearchIndex::Results LibrarySearch::search(const SearchQuery &query)
{
    SearchIndex::Results results = m_reader.search(query);
    if (results.status == SearchIndex::Status::Damaged) {
        // Made anew from the pages; until then there is nothing to find.
        rebuild();
        results = m_reader.search(query);
    }
    return results;
}

QString LibrarySearch::snippet(const SearchQuery &query, const SearchHit &hit)
{
    return snippets(query, {hit}).value(0);
}

QStringList LibrarySearch::snippets(const SearchQuery &query, const QVector<SearchHit> &hits)
{
    QVector<qint64> ids;
    for (const SearchHit &hit : hits)
        ids.append(hit.id);
    SearchIndex::Status status = SearchIndex::Status::Ok;
    const QHash<qint64, QString> passages = m_reader.snippets(query, ids, &status);
    // Asked while the list paints: the index is made anew once that is over.
    if (status == SearchIndex::Status::Damaged && !m_rebuildPending) {
        m_rebuildPending = true;
        // A search that met the damage meanwhile has made it anew already.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_rebuildPending)
                    rebuild();
            },
            Qt::QueuedConnection);
    }
    QStringList out;
    for (const qint64 id : ids)
        out += passages.value(id);
    return out;
}

void LibrarySearch::rebuild()
{
    m_rebuildPending = false;
    // Damage a refresh would not pass by (a page that never changes) stays unless the
    // whole index goes.
    m_reader.discard();
    refresh();
}
