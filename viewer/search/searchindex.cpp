// SPDX-License-Identifier: MIT
#include "searchindex.h"

#include "drivemap.h"
#include "filelistbox.h"
#include "pageresolver.h"
#include "pagetext.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <QtEndian>
#include <algorithm>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *schemaVersion = "3";
constexpr int batchSize = 200;
const QString memoryPrefix = QStringLiteral("file:pagora-search-");

bool isDamage(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool isBusy(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// A prepared statement that finalizes itself.
class Statement
{
public:
    Statement(sqlite3 *db, const char *sql)
    {
        m_rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool ok() const { return m_rc == SQLITE_OK || m_rc == SQLITE_ROW || m_rc == SQLITE_DONE; }
    int rc() const { return m_rc; }
    void bind(int i, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, qint64 value) { sqlite3_bind_int64(m_stmt, i, value); }
    void bindText(int i, const QByteArray &utf8)
    {
        sqlite3_bind_text(m_stmt, i, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
    }
    void bindBlob(int i, const QByteArray &bytes)
    {
        sqlite3_bind_blob(m_stmt, i, bytes.constData(), int(bytes.size()), SQLITE_STATIC);
    }
    // SQLITE_ROW, SQLITE_DONE or an error
    int step()
    {
        if (!m_stmt)
            return m_rc;
        m_rc = sqlite3_step(m_stmt);
        return m_rc;
    }
    void reset()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    qint64 integer(int i) const { return sqlite3_column_int64(m_stmt, i); }
    QString text(int i) const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i)),
                                 sqlite3_column_bytes(m_stmt, i));
    }

private:
    sqlite3_stmt *m_stmt = nullptr;
    int m_rc = SQLITE_OK;
};

// A page as listed. Kept small: a library of 100,000 pages is listed whole.
struct PageFile
{
    QString key;     // book/page, as stored
    qint32 book = 0; // its folder in Listing::folders
    qint32 name = 0; // where the page's name begins in key
    qint64 size = 0;
    qint64 mtime = 0;
    dev_t device = 0; // the file that was checked, so another put in its place is not read
    ino_t inode = 0;

    QStringView page() const { return QStringView(key).mid(name); }
};

struct Listing
{
    QStringList folders; // each book's folder, with its trailing slash
    QVector<PageFile> files;
};

// Every page of every book whose marker lies in the library folder, as the pane may show
// it: names an address can carry (the lists' rule), no page over the pane's size limit, and
// no page that is a link leading out of its book (the pane's rule).
Listing listLibrary(const QString &libraryFolder)
{
    Listing listing;
    QDir root(libraryFolder);
    // Without regard to letter case, as Windows matches them.
    const QStringList markers = FileListBox::listFiles(libraryFolder, QStringLiteral("*.BKX"));
    QSet<QString> seen;
    for (const QString &marker : markers) {
        const QString name = marker.left(marker.size() - 4);
        const QString book = DriveMap::matchEntry(libraryFolder, name);
        if (book.isEmpty() || seen.contains(book))
            continue;
        const QFileInfo folder(root.filePath(book));
        if (!folder.isDir())
            continue;
        seen.insert(book);
        const QString folderPath = folder.filePath() + QLatin1Char('/');
        const QStringList pages =
            FileListBox::listFiles(folder.filePath(), QStringLiteral("*.PGX"));
        // Each page looked up in its open folder: walking its path from the root, for each
        // of 100,000 pages, stood out in a refresh with nothing changed.
        const int dir =
            ::open(QFile::encodeName(folderPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir < 0)
            continue;
        const qint32 bookIndex = qint32(listing.folders.size());
        listing.folders.append(folderPath);
        for (const QString &page : pages) {
            const QByteArray native = QFile::encodeName(page);
            // stat() itself: QFileInfo's times go through the local time zone, which costs
            // more than the whole comparison for 10,000 pages.
            struct stat st;
            if (::fstatat(dir, native.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (S_ISLNK(st.st_mode)) {
                if (DriveMap::resolveBelow(folder.filePath(), {page}).status !=
                        DriveMap::Status::Found ||
                    ::fstatat(dir, native.constData(), &st, 0) != 0)
                    continue;
            }
            if (!S_ISREG(st.st_mode) || st.st_size > PageResolver::MaxFileSize)
                continue;
            PageFile file;
            file.key = book + QLatin1Char('/') + page;
            file.book = bookIndex;
            file.name = qint32(book.size() + 1);
            file.size = st.st_size;
            file.mtime = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
            file.device = st.st_dev;
            file.inode = st.st_ino;
            listing.files.append(std::move(file));
        }
        ::close(dir);
    }
    return listing;
}

// A page's text as it is kept: compressed, since the words' index needs it only for the
// passages shown under a hit, and plain it would outweigh the index itself.
QByteArray pack(const QByteArray &utf8)
{
    return qCompress(utf8, 6);
}

// The longest text a page within the pane's limit can give: every byte three in UTF-8.
constexpr qint64 maxTextBytes = 3 * PageResolver::MaxFileSize;

// unpack(blob): the text pack() kept. A blob that does not unpack is damage, reported as
// such so that the index is made anew rather than read wrong.
void unpackFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) != SQLITE_BLOB) {
        sqlite3_result_value(context, argv[0]);
        return;
    }
    const int size = sqlite3_value_bytes(argv[0]);
    const auto *data = static_cast<const uchar *>(sqlite3_value_blob(argv[0]));
    const qint64 expected = size >= 4 ? qint64(qFromBigEndian<quint32>(data)) : -1;
    if (expected < 0 || expected > maxTextBytes) {
        sqlite3_result_error_code(context, SQLITE_CORRUPT);
        return;
    }
    const QByteArray text = expected == 0 ? QByteArray() : qUncompress(data, size);
    if (text.size() != expected) {
        sqlite3_result_error_code(context, SQLITE_CORRUPT);
        return;
    }
    sqlite3_result_text(context, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

struct Extracted
{
    bool ok = false;
    // UTF-8, for the words' index
    QByteArray title;
    QByteArray body;
    QByteArray aside;
    // pack()ed, as kept
    QByteArray keptBody;
    QByteArray keptAside;
};

Extracted extract(const QString &folder, const PageFile &file)
{
    // The user interface comes first: indexing threads yield to it (Linux: per thread).
    static thread_local bool lowered = false;
    if (!lowered) {
        lowered = true;
        setpriority(PRIO_PROCESS, 0, 10);
    }
    QFile f(folder + file.page().toString());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    // A link replaced since it was checked may lead anywhere: read only the file checked.
    struct stat st;
    if (::fstat(f.handle(), &st) != 0 || st.st_dev != file.device || st.st_ino != file.inode)
        return {};
    // Never past the pane's limit, though the page may have grown since it was listed; and
    // not the limit at once, which would set aside 64 MB for every page.
    QByteArray bytes = f.read(std::min(file.size, PageResolver::MaxFileSize) + 1);
    if (bytes.size() > file.size && bytes.size() <= PageResolver::MaxFileSize)
        bytes += f.read(PageResolver::MaxFileSize + 1 - bytes.size());
    if (bytes.size() > PageResolver::MaxFileSize)
        return {}; // left out at the next refresh
    PageText text = PageText::fromHtml(bytes);
    bytes = QByteArray();
    // The page's name is a title too: "3 KAPITOLA.PGX" is found by "kapitola".
    const QStringView page = file.page();
    const qsizetype dot = page.lastIndexOf(QLatin1Char('.'));
    text.title += QLatin1Char(' ');
    text.title += page.left(dot < 0 ? page.size() : dot);
    Extracted out;
    out.ok = true;
    out.title = text.title.toUtf8();
    text.title = QString();
    out.body = text.body.toUtf8();
    text.body = QString();
    out.aside = text.aside.toUtf8();
    text.aside = QString();
    out.keptBody = pack(out.body);
    out.keptAside = pack(out.aside);
    return out;
}

} // namespace

QString SearchIndex::cacheFolder()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/pagora");
}

QString SearchIndex::fileFor(const QString &cacheFolder, const QString &libraryFolder)
{
    // One index per library folder: two drive mappings never share (and fight over) one.
    const QString absolute = QDir(libraryFolder).absolutePath();
    const QByteArray hash =
        QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return cacheFolder + QStringLiteral("/index-") + QString::fromLatin1(hash) +
           QStringLiteral(".sqlite");
}

SearchIndex::SearchIndex(const QString &location) : m_location(location), m_file(location) {}

SearchIndex::~SearchIndex()
{
    close();
}

void SearchIndex::close()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

bool SearchIndex::inMemory() const
{
    return m_location.startsWith(memoryPrefix);
}

bool SearchIndex::exec(const char *sql)
{
    m_lastError = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    return m_lastError == SQLITE_OK;
}

SearchIndex::Opened SearchIndex::openAt(const QString &location, bool uri)
{
    close();
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (uri)
        flags |= SQLITE_OPEN_URI;
    const int rc = sqlite3_open_v2(QFile::encodeName(location).constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        close();
        return isDamage(rc) ? Opened::Damaged : Opened::Unusable;
    }
    sqlite3_extended_result_codes(m_db, 1);
    // The kept text is read through a view that unpacks it, on every connection.
    sqlite3_create_function_v2(m_db, "unpack", 1,
                               SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                               unpackFunction, nullptr, nullptr, nullptr);
    // Another pagora may be writing a batch; wait for it rather than fail.
    sqlite3_busy_timeout(m_db, 5000);
    if (uri) {
        // Connections to a shared memory database lock tables, not the file: a reader must
        // not wait for the writer's batch.
        exec("PRAGMA read_uncommitted=1");
    } else {
        exec("PRAGMA journal_mode=WAL");
        if (isDamage(m_lastError))
            return Opened::Damaged;
        exec("PRAGMA synchronous=NORMAL");
        exec("PRAGMA cache_size=-16000");
    }
    return ensureSchema();
}

SearchIndex::Opened SearchIndex::ensureSchema()
{
    {
        Statement version(m_db, "SELECT value FROM meta WHERE key='version'");
        if (version.ok() && version.step() == SQLITE_ROW) {
            if (version.text(0) == QLatin1String(schemaVersion))
                return Opened::Ok;
            // An index of an earlier make: a new file, rather than the old one's pages
            // left free inside it.
            if (!m_location.startsWith(memoryPrefix))
                return Opened::Damaged;
        }
        if (isDamage(version.rc()))
            return Opened::Damaged;
    }
    if (!exec("BEGIN IMMEDIATE"))
        return isDamage(m_lastError) ? Opened::Damaged : Opened::Unusable;
    // Another process may have made it while this one waited for the lock.
    bool current = false;
    if (exec("CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT)")) {
        Statement version(m_db, "SELECT value FROM meta WHERE key='version'");
        current = version.ok() && version.step() == SQLITE_ROW &&
                  version.text(0) == QLatin1String(schemaVersion);
    }
    const bool made =
        m_lastError == SQLITE_OK &&
        (current ||
         (exec("DROP TABLE IF EXISTS text") && exec("DROP VIEW IF EXISTS kept_text") &&
          exec("DROP TABLE IF EXISTS kept") && exec("DROP TABLE IF EXISTS pages") &&
          exec("CREATE TABLE pages(id INTEGER PRIMARY KEY, path TEXT UNIQUE NOT NULL, "
               "size INTEGER NOT NULL, mtime INTEGER NOT NULL)") &&
          // The text of each page, packed; the words' index reads it through the view.
          exec("CREATE TABLE kept(id INTEGER PRIMARY KEY, title TEXT NOT NULL, "
               "body BLOB NOT NULL, aside BLOB NOT NULL)") &&
          exec("CREATE VIEW kept_text(id, title, body, aside) AS "
               "SELECT id, title, unpack(body), unpack(aside) FROM kept") &&
          // Two letters typed match thousands of words: those beginnings are indexed; longer
          // ones are found fast enough without, and would add an eighth to the file.
          exec("CREATE VIRTUAL TABLE text USING fts5(title, body, aside, content='kept_text', "
               "content_rowid='id', tokenize='unicode61 remove_diacritics 2', prefix='2')") &&
          // The page title weighs ten times the body, navigation repeated on every page a
          // hundredth of it.
          exec("INSERT INTO text(text, rank) VALUES('rank', 'bm25(10.0, 1.0, 0.01)')") &&
          exec("INSERT OR REPLACE INTO meta(key, value) VALUES('version', '3')")));
    if (!made) {
        const int failure = m_lastError;
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        m_lastError = failure;
        return isDamage(failure) ? Opened::Damaged : Opened::Unusable;
    }
    if (!exec("COMMIT")) {
        const int failure = m_lastError;
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return isDamage(failure) ? Opened::Damaged : Opened::Unusable;
    }
    return Opened::Ok;
}

void SearchIndex::removeFiles()
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(m_file + QLatin1String(suffix));
}

bool SearchIndex::open()
{
    if (!inMemory()) {
        QDir().mkpath(QFileInfo(m_file).absolutePath());
        for (int attempt = 0; attempt < 2; ++attempt) {
            const Opened opened = openAt(m_file, false);
            if (opened == Opened::Ok)
                return true;
            close();
            if (opened != Opened::Damaged)
                break;
            // A damaged index holds nothing that cannot be read again from the pages.
            removeFiles();
        }
        return openInMemory();
    }
    if (openAt(m_location, true) == Opened::Ok)
        return true;
    close();
    return false;
}

bool SearchIndex::openInMemory()
{
    close();
    m_location =
        memoryPrefix +
        QString::fromLatin1(
            QCryptographicHash::hash(m_file.toUtf8(), QCryptographicHash::Sha1).toHex().left(16)) +
        QStringLiteral("?mode=memory&cache=shared");
    if (openAt(m_location, true) == Opened::Ok)
        return true;
    close();
    return false;
}

bool SearchIndex::discard()
{
    close();
    if (inMemory())
        return openAt(m_location, true) == Opened::Ok;
    removeFiles();
    return open();
}

int SearchIndex::pageCount()
{
    if (!m_db)
        return 0;
    Statement count(m_db, "SELECT count(*) FROM pages");
    return count.ok() && count.step() == SQLITE_ROW ? int(count.integer(0)) : 0;
}

bool SearchIndex::isConsistent()
{
    return m_db && exec("INSERT INTO text(text, rank) VALUES('integrity-check', 1)");
}

SearchIndex::RefreshStats SearchIndex::refresh(const QString &libraryFolder,
                                               const Progress &progress,
                                               const std::atomic_bool *cancel)
{
    if (!m_db && !open())
        return RefreshStats{false};
    bool damaged = false;
    RefreshStats stats = refreshOnce(libraryFolder, progress, cancel, damaged);
    if (damaged) {
        if (!discard())
            return RefreshStats{false};
        stats = refreshOnce(libraryFolder, progress, cancel, damaged);
        stats.rebuilt = true;
    }
    return stats;
}

SearchIndex::RefreshStats SearchIndex::refreshOnce(const QString &libraryFolder,
                                                   const Progress &progress,
                                                   const std::atomic_bool *cancel, bool &damaged)
{
    RefreshStats stats;
    auto failed = [&](int rc) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        damaged = isDamage(rc);
        stats.ok = false;
        return stats;
    };
    auto cancelled = [&] { return cancel && cancel->load(); };

    Listing listing = listLibrary(libraryFolder);
    stats.pages = int(listing.files.size());

    struct Known
    {
        qint64 id, size, mtime;
    };
    QHash<QString, Known> known;
    {
        Statement all(m_db, "SELECT id, path, size, mtime FROM pages");
        int rc = all.rc();
        while (all.ok() && (rc = all.step()) == SQLITE_ROW)
            known.insert(all.text(1), {all.integer(0), all.integer(2), all.integer(3)});
        if (rc != SQLITE_DONE)
            return failed(rc);
    }

    // What is left of the known pages once the library's are taken out is gone. The list
    // is sifted in place: a second list of a big library would double its memory.
    const auto unchanged = [&known](const PageFile &file) {
        const auto it = known.find(file.key);
        if (it == known.end())
            return false;
        const bool same = it->size == file.size && it->mtime == file.mtime;
        known.erase(it);
        return same;
    };
    QVector<PageFile> todo = std::move(listing.files);
    todo.erase(std::remove_if(todo.begin(), todo.end(), unchanged), todo.end());
    todo.squeeze();
    const QStringList folders = listing.folders;
    listing = {};

    // Drops the pages no longer in the library, by their rows.
    const auto drop = [&](const QVector<qint64> &gone) {
        if (gone.isEmpty())
            return true;
        if (!exec("BEGIN IMMEDIATE"))
            return false;
        // The words first: the index finds which to take out in the kept text.
        Statement dropText(m_db, "DELETE FROM text WHERE rowid=?1");
        Statement dropKept(m_db, "DELETE FROM kept WHERE id=?1");
        Statement dropPage(m_db, "DELETE FROM pages WHERE id=?1");
        for (const qint64 id : gone) {
            for (Statement *s : {&dropText, &dropKept, &dropPage}) {
                s->bind(1, id);
                if (s->step() != SQLITE_DONE) {
                    m_lastError = s->rc();
                    return false;
                }
                s->reset();
            }
        }
        if (!exec("COMMIT"))
            return false;
        stats.removed += int(gone.size());
        return true;
    };

    QVector<qint64> gone;
    for (auto it = known.cbegin(); it != known.cend(); ++it)
        gone.append(it->id);
    known = {};
    if (!drop(gone))
        return failed(m_lastError);

    // A pool of our own, so its threads' lowered priority stays with the indexing.
    QThreadPool pool;
    int done = stats.pages - int(todo.size());
    if (!todo.isEmpty() && progress)
        progress(done, stats.pages);
    for (qsizetype first = 0; first < todo.size(); first += batchSize) {
        if (cancelled()) {
            stats.cancelled = true;
            return stats;
        }
        const QVector<PageFile> batch = todo.mid(first, batchSize);
        // Parsing takes most of the time and needs no lock: do it on every core, outside
        // the transaction.
        const QVector<Extracted> texts =
            QtConcurrent::blockingMapped(&pool, batch, [&folders](const PageFile &file) {
                return extract(folders.at(file.book), file);
            });

        if (!exec("BEGIN IMMEDIATE"))
            return failed(m_lastError);
        Statement current(m_db, "SELECT size, mtime FROM pages WHERE path=?1");
        Statement upsert(m_db, "INSERT INTO pages(path, size, mtime) VALUES(?1, ?2, ?3) "
                               "ON CONFLICT(path) DO UPDATE SET size=excluded.size, "
                               "mtime=excluded.mtime RETURNING id");
        Statement dropText(m_db, "DELETE FROM text WHERE rowid=?1");
        Statement keep(m_db, "INSERT OR REPLACE INTO kept(id, title, body, aside) "
                             "VALUES(?1, ?2, ?3, ?4)");
        Statement addText(m_db,
                          "INSERT INTO text(rowid, title, body, aside) VALUES(?1, ?2, ?3, ?4)");
        for (qsizetype i = 0; i < batch.size(); ++i) {
            const PageFile &file = batch.at(i);
            if (!texts.at(i).ok)
                continue; // unreadable now; tried again at the next refresh
            // Another pagora may have indexed this very version meanwhile.
            current.bind(1, file.key);
            const int rc = current.step();
            if (rc == SQLITE_ROW && current.integer(0) == file.size &&
                current.integer(1) == file.mtime) {
                current.reset();
                continue;
            }
            if (rc != SQLITE_ROW && rc != SQLITE_DONE)
                return failed(rc);
            current.reset();

            upsert.bind(1, file.key);
            upsert.bind(2, file.size);
            upsert.bind(3, file.mtime);
            if (upsert.step() != SQLITE_ROW)
                return failed(upsert.rc());
            const qint64 id = upsert.integer(0);
            if (upsert.step() != SQLITE_DONE)
                return failed(upsert.rc());
            upsert.reset();

            // The old words go out while the old text is still kept.
            dropText.bind(1, id);
            if (dropText.step() != SQLITE_DONE)
                return failed(dropText.rc());
            dropText.reset();

            const Extracted &text = texts.at(i);
            keep.bind(1, id);
            keep.bindText(2, text.title);
            keep.bindBlob(3, text.keptBody);
            keep.bindBlob(4, text.keptAside);
            if (keep.step() != SQLITE_DONE)
                return failed(keep.rc());
            keep.reset();

            addText.bind(1, id);
            addText.bindText(2, text.title);
            addText.bindText(3, text.body);
            addText.bindText(4, text.aside);
            if (addText.step() != SQLITE_DONE)
                return failed(addText.rc());
            addText.reset();
            ++stats.read;
        }
        if (!exec("COMMIT"))
            return failed(m_lastError);
        done += int(batch.size());
        if (progress)
            progress(done, stats.pages);
    }
    if (!todo.isEmpty()) {
        todo = {};
        // A book deleted (or unmarked) while its pages were read must not leave the pages
        // indexed before: look once more at what is there now.
        QSet<QString> now;
        for (const PageFile &file : listLibrary(libraryFolder).files)
            now.insert(file.key);
        QVector<qint64> left;
        {
            Statement all(m_db, "SELECT id, path FROM pages");
            int rc = all.rc();
            while (all.ok() && (rc = all.step()) == SQLITE_ROW) {
                if (!now.contains(all.text(1)))
                    left.append(all.integer(0));
            }
            if (rc != SQLITE_DONE)
                return failed(rc);
        }
        if (!drop(left))
            return failed(m_lastError);
    }
    return stats;
}

SearchIndex::Results SearchIndex::search(const SearchQuery &query, int limit)
{
    Results results;
    if (query.isEmpty())
        return results;
    if (!m_db) {
        results.status = Status::Failed;
        return results;
    }
    auto status = [](int rc) {
        return isBusy(rc) ? Status::Busy : isDamage(rc) ? Status::Damaged : Status::Failed;
    };
    {
        // Pages that hold the words in their title or text come before pages that hold them
        // only in their navigation, however long they are (a long page's one mention weighs
        // little in the rank).
        // Only the rows: a name asked of the index would unpack each page's text.
        Statement find(m_db, "SELECT rowid FROM text WHERE text MATCH ?1 "
                             "ORDER BY bm25(text, 1.0, 1.0, 0.0) < 0 DESC, rank LIMIT ?2");
        find.bind(1, query.match);
        find.bind(2, qint64(limit));
        Statement name(m_db, "SELECT path FROM pages WHERE id=?1");
        int rc = find.rc();
        while (find.ok() && (rc = find.step()) == SQLITE_ROW) {
            const qint64 id = find.integer(0);
            name.bind(1, id);
            rc = name.step();
            if (rc == SQLITE_ROW) {
                // book/page: a book's name holds no slash
                const QString path = name.text(0);
                const int slash = path.indexOf(QLatin1Char('/'));
                results.hits.append({path.left(slash), path.mid(slash + 1), QString(), id});
            } else if (rc != SQLITE_DONE) {
                break;
            }
            name.reset();
        }
        if (rc != SQLITE_DONE) {
            results.hits.clear();
            results.status = status(rc);
            return results;
        }
    }
    results.total = int(results.hits.size());
    if (results.total >= limit) {
        Statement count(m_db, "SELECT count(*) FROM text WHERE text MATCH ?1");
        count.bind(1, query.match);
        if (count.ok() && count.step() == SQLITE_ROW)
            results.total = int(count.integer(0));
    }
    return results;
}

QString SearchIndex::snippet(const SearchQuery &query, qint64 id, Status *status)
{
    return snippets(query, {id}, status).value(id);
}

QHash<qint64, QString> SearchIndex::snippets(const SearchQuery &query, const QVector<qint64> &ids,
                                             Status *status)
{
    if (status)
        *status = m_db ? Status::Ok : Status::Failed;
    QHash<qint64, QString> passages;
    if (!m_db || query.isEmpty() || ids.isEmpty())
        return passages;
    // The rows bound the scan; the list (numbers only) picks from it without being used to
    // seek, which would run the match once a row.
    QStringList list;
    for (const qint64 id : ids)
        list += QString::number(id);
    const auto [low, high] = std::minmax_element(ids.cbegin(), ids.cend());
    const QByteArray sql = "SELECT rowid, snippet(text, -1, char(2), char(3), '…', 16) FROM text "
                           "WHERE text MATCH ?1 AND rowid BETWEEN ?2 AND ?3 AND +rowid IN (" +
                           list.join(QLatin1Char(',')).toLatin1() + ")";
    Statement find(m_db, sql.constData());
    find.bind(1, query.match);
    find.bind(2, *low);
    find.bind(3, *high);
    int rc = find.rc();
    while (find.ok() && (rc = find.step()) == SQLITE_ROW)
        passages.insert(find.integer(0), find.text(1));
    if (status && rc != SQLITE_DONE)
        *status = isBusy(rc) ? Status::Busy : isDamage(rc) ? Status::Damaged : Status::Failed;
    return passages;
}
