// SPDX-License-Identifier: MIT
// The full-text index of the library's pages: one SQLite FTS5 database per library folder,
// kept in the cache folder and brought up to date page by page.
#pragma once

#include "searchquery.h"

#include <QHash>
#include <QString>
#include <QVector>
#include <atomic>
#include <functional>

struct sqlite3;
struct sqlite3_stmt;

struct SearchHit
{
    QString book;    // the book folder's name on disk
    QString page;    // the page file's name on disk
    QString snippet; // matched words stand between SearchIndex::markStart and markEnd
    qint64 id = 0;   // the page's row in the index
    bool hasSnippet = false;
};

// One connection; use one object per thread. Several objects (and several processes) may
// work on one database at once: it runs in WAL mode and waits for the others' locks.
class SearchIndex
{
public:
    enum class Status { Ok, Busy, Damaged, Failed };

    struct Results
    {
        Status status = Status::Ok;
        QVector<SearchHit> hits; // best first
        int total = 0;           // every matching page, not only the hits returned
    };

    struct RefreshStats
    {
        bool ok = true;
        bool cancelled = false;
        bool rebuilt = false; // the database was damaged and made anew
        int pages = 0;        // pages in the library
        int read = 0;         // pages read because they were new or changed
        int removed = 0;
    };

    // done of total pages are in the index; called from the refreshing thread.
    using Progress = std::function<void(int done, int total)>;

    static constexpr int maxResults = 200;
    static constexpr QChar markStart = QChar(0x02);
    static constexpr QChar markEnd = QChar(0x03);

    // $XDG_CACHE_HOME/pagora, or ~/.cache/pagora.
    static QString cacheFolder();
    // The database file for a library folder inside a cache folder.
    static QString fileFor(const QString &cacheFolder, const QString &libraryFolder);

    // location is a database file, or a location() another SearchIndex reported.
    explicit SearchIndex(const QString &location);
    ~SearchIndex();
    SearchIndex(const SearchIndex &) = delete;
    SearchIndex &operator=(const SearchIndex &) = delete;

    // Opens the database, making it when missing and anew when damaged or of another
    // version. When the file cannot be used at all (read-only folder, locked), the index
    // lives in memory instead, shared with every SearchIndex opened on location().
    bool open();
    // Gives up the file (held by another program for too long) for a database in memory.
    bool openInMemory();
    // Drops what the index holds (found damaged while reading it) for an empty one.
    bool discard();
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString location() const { return m_location; }
    bool inMemory() const;

    // Reads the pages that are new or whose size or time changed, and drops the pages that
    // are gone. Commits in batches, so a search sees the pages indexed so far.
    RefreshStats refresh(const QString &libraryFolder, const Progress &progress = {},
                         const std::atomic_bool *cancel = nullptr);

    // The hits, best first, without their snippets: a list shows a few of 200 at a time.
    Results search(const SearchQuery &query, int limit = maxResults);
    // The passage of the hit's page around the matched words; status tells an empty passage
    // from a failure.
    QString snippet(const SearchQuery &query, qint64 id, Status *status = nullptr);
    // The passages of several hits' pages, by row, in one pass over the matches: a word's
    // beginning is looked up once, not once a hit.
    QHash<qint64, QString> snippets(const SearchQuery &query, const QVector<qint64> &ids,
                                    Status *status = nullptr);
    int pageCount();
    // Whether the words' index holds exactly the words of the text kept (slow: reads it all).
    bool isConsistent();

private:
    enum class Opened { Ok, Damaged, Unusable };
    Opened openAt(const QString &location, bool uri);
    Opened ensureSchema();
    bool exec(const char *sql);
    void removeFiles();
    RefreshStats refreshOnce(const QString &libraryFolder, const Progress &progress,
                             const std::atomic_bool *cancel, bool &damaged);

    QString m_location;
    QString m_file; // the database file, also when the index fell back to memory
    sqlite3 *m_db = nullptr;
    int m_lastError = 0;
};
