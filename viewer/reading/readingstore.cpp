// SPDX-License-Identifier: MIT
#include "readingstore.h"

#include "settingsstore.h"
#include "zoomsteps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QTimer>
#include <cmath>
#include <sys/stat.h>

namespace {

const QString zoomKey = QStringLiteral("Zoom");
// Another pagora holds the lock only for one read and write.
constexpr int LockWaitMs = 3000;
constexpr int LaterMs = 1000;
constexpr int MaxPending = 100;

QString dateText(const QDateTime &time)
{
    return time.isValid() ? time.toUTC().toString(Qt::ISODateWithMs) : QString();
}

QDateTime dateOf(const QJsonValue &value)
{
    return QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
}

QJsonObject scrollObject(const QPointF &scroll)
{
    return {{QStringLiteral("x"), scroll.x()}, {QStringLiteral("y"), scroll.y()}};
}

QPointF scrollOf(const QJsonValue &value)
{
    const QJsonObject o = value.toObject();
    const double x = o.value(QStringLiteral("x")).toDouble();
    const double y = o.value(QStringLiteral("y")).toDouble();
    // A hand-edited file may hold anything; a place is never negative or endless.
    const auto sane = [](double v) { return std::isfinite(v) && v > 0 ? qMin(v, 1e9) : 0.0; };
    return {sane(x), sane(y)};
}

std::optional<double> zoomOf(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    return zoomsteps::bounded(value.toDouble());
}

} // namespace

QString ReadingState::lastBook() const
{
    QString book;
    QDateTime newest;
    for (auto it = places.cbegin(); it != places.cend(); ++it) {
        if (book.isEmpty() || it->read > newest) {
            book = it.key();
            newest = it->read;
        }
    }
    return book;
}

ReadingStore::ReadingStore(const QString &file, QObject *parent)
    : QObject(parent), m_file(file), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(LaterMs);
    connect(m_timer, &QTimer::timeout, this, [this] { flush(); });
    reload();
}

ReadingStore::~ReadingStore()
{
    flush();
}

QString ReadingStore::defaultFile()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/pagora/reading.json");
}

QByteArray ReadingStore::toJson(const ReadingState &state)
{
    QJsonObject root;
    root.insert(QStringLiteral("version"), 1);
    root.insert(QStringLiteral("nightReading"), state.nightReading);
    if (state.zoom)
        root.insert(QStringLiteral("zoom"), *state.zoom);

    QJsonObject books;
    const auto bookOf = [&](const QString &name) { return books.value(name).toObject(); };
    for (auto it = state.bookZoom.cbegin(); it != state.bookZoom.cend(); ++it) {
        QJsonObject book = bookOf(it.key());
        book.insert(QStringLiteral("zoom"), it.value());
        books.insert(it.key(), book);
    }
    for (auto it = state.places.cbegin(); it != state.places.cend(); ++it) {
        QJsonObject book = bookOf(it.key());
        book.insert(QStringLiteral("page"), it->page);
        book.insert(QStringLiteral("scroll"), scrollObject(it->scroll));
        book.insert(QStringLiteral("read"), dateText(it->read));
        books.insert(it.key(), book);
    }
    root.insert(QStringLiteral("books"), books);

    QJsonArray bookmarks;
    for (const Bookmark &b : state.bookmarks) {
        bookmarks.append(QJsonObject{{QStringLiteral("id"), b.id},
                                     {QStringLiteral("book"), b.book},
                                     {QStringLiteral("page"), b.page},
                                     {QStringLiteral("title"), b.title},
                                     {QStringLiteral("scroll"), scrollObject(b.scroll)},
                                     {QStringLiteral("note"), b.note},
                                     {QStringLiteral("added"), dateText(b.added)}});
    }
    root.insert(QStringLiteral("bookmarks"), bookmarks);

    QJsonArray history;
    for (const HistoryEntry &h : state.history) {
        history.append(QJsonObject{{QStringLiteral("book"), h.book},
                                   {QStringLiteral("page"), h.page},
                                   {QStringLiteral("title"), h.title},
                                   {QStringLiteral("read"), dateText(h.read)}});
    }
    root.insert(QStringLiteral("history"), history);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<ReadingState> ReadingStore::fromJson(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject root = doc.object();
    ReadingState state;
    state.nightReading = root.value(QStringLiteral("nightReading")).toBool();
    state.zoom = zoomOf(root.value(QStringLiteral("zoom")));

    const QJsonObject books = root.value(QStringLiteral("books")).toObject();
    for (auto it = books.begin(); it != books.end(); ++it) {
        const QJsonObject book = it.value().toObject();
        if (const auto zoom = zoomOf(book.value(QStringLiteral("zoom"))))
            state.bookZoom.insert(it.key(), *zoom);
        const QString page = book.value(QStringLiteral("page")).toString();
        if (!page.isEmpty()) {
            state.places.insert(it.key(), {page, scrollOf(book.value(QStringLiteral("scroll"))),
                                           dateOf(book.value(QStringLiteral("read")))});
        }
    }

    // Entries a person broke by hand are left out; the rest stays.
    for (const QJsonValue &value : root.value(QStringLiteral("bookmarks")).toArray()) {
        const QJsonObject o = value.toObject();
        Bookmark b{o.value(QStringLiteral("id")).toString(),
                   o.value(QStringLiteral("book")).toString(),
                   o.value(QStringLiteral("page")).toString(),
                   o.value(QStringLiteral("title")).toString(),
                   scrollOf(o.value(QStringLiteral("scroll"))),
                   o.value(QStringLiteral("note")).toString().left(maxNote),
                   dateOf(o.value(QStringLiteral("added")))};
        if (b.id.isEmpty() || b.page.isEmpty())
            continue;
        state.bookmarks.append(b);
    }

    const QJsonArray history = root.value(QStringLiteral("history")).toArray();
    state.history.reserve(qMin(int(history.size()), maxHistory));
    for (const QJsonValue &value : history) {
        if (state.history.size() >= maxHistory)
            break;
        const QJsonObject o = value.toObject();
        HistoryEntry h{
            o.value(QStringLiteral("book")).toString(), o.value(QStringLiteral("page")).toString(),
            o.value(QStringLiteral("title")).toString(), dateOf(o.value(QStringLiteral("read")))};
        if (h.page.isEmpty())
            continue;
        state.history.append(h);
    }
    return state;
}

ReadingStore::Stamp ReadingStore::stampOf(const QString &file)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(file).constData(), &info) != 0)
        return {};
    return {quint64(info.st_ino), qint64(info.st_size), qint64(info.st_mtim.tv_sec),
            qint64(info.st_mtim.tv_nsec), true};
}

bool ReadingStore::readFile(ReadingState *state)
{
    // Unchanged since this program last read or wrote it: a new file is a new inode (it is
    // only ever replaced whole), so the content is what was kept.
    const Stamp stamp = stampOf(m_file);
    if (stamp.valid && stamp == m_diskStamp) {
        *state = m_disk;
        return true;
    }
    QFile file(m_file);
    if (!file.exists()) {
        *state = ReadingState();
        return true;
    }
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const auto read = fromJson(file.readAll());
    file.close();
    if (!read) {
        keepDamaged();
        *state = ReadingState();
        return true;
    }
    *state = *read;
    m_disk = *read;
    m_diskStamp = stamp;
    return true;
}

void ReadingStore::keepDamaged()
{
    // Moved, not copied: the program goes on without it and nobody keeps it twice.
    const QString base = m_file + SettingsStore::keptCopyPrefix +
                         QDateTime::currentDateTime().toString(QStringLiteral("-yyyyMMdd-HHmm"));
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? base : base + QLatin1Char('-') + QString::number(n);
        if (QFile::exists(name))
            continue;
        QFile::rename(m_file, name);
        return;
    }
}

void ReadingStore::reload()
{
    ReadingState state;
    {
        QLockFile lock(m_file + QStringLiteral(".lock"));
        const bool locked = QDir().mkpath(QFileInfo(m_file).path()) && lock.tryLock(LockWaitMs);
        // Without the lock the file is still whole (it is only ever replaced), but a damaged
        // one is left where it is.
        if (locked) {
            if (!readFile(&state))
                return;
        } else {
            QFile file(m_file);
            if (!file.open(QIODevice::ReadOnly))
                return;
            state = fromJson(file.readAll()).value_or(ReadingState());
        }
    }
    for (const Edit &edit : std::as_const(m_pending))
        edit(state);
    m_state = state;
    emit changed();
}

bool ReadingStore::change(const Edit &edit)
{
    m_pending.append(edit);
    edit(m_state);
    return flush();
}

void ReadingStore::changeLater(const Edit &edit)
{
    m_pending.append(edit);
    edit(m_state);
    if (!m_timer->isActive())
        m_timer->start();
}

bool ReadingStore::flush()
{
    m_timer->stop();
    if (m_pending.isEmpty())
        return true;
    ReadingState state;
    bool written = false;
    {
        QLockFile lock(m_file + QStringLiteral(".lock"));
        if (QDir().mkpath(QFileInfo(m_file).path()) && lock.tryLock(LockWaitMs) &&
            readFile(&state)) {
            for (const Edit &edit : std::as_const(m_pending))
                edit(state);
            while (state.history.size() > maxHistory)
                state.history.removeLast();
            // A short write (a full disk) must not count: commit() alone would keep it.
            const QByteArray json = toJson(state);
            QSaveFile out(m_file);
            written = out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                      out.write(json) == json.size() && out.commit();
            if (written) {
                m_disk = state;
                m_diskStamp = stampOf(m_file);
            }
        }
    }
    if (!written) {
        // Kept for the next try; what the reader sees stays as they changed it. A file that
        // stays unwritable must not make the list grow with every page read: past a point
        // the state as shown stands for all of it.
        if (m_pending.size() > MaxPending) {
            m_pending.clear();
            m_pending.append([snapshot = m_state](ReadingState &s) { s = snapshot; });
        }
        emit changed();
        return false;
    }
    m_pending.clear();
    m_state = state;
    emit changed();
    return true;
}

bool ReadingStore::takeOverViewGroup(const SettingsStore &settings)
{
    QFile file(settings.file());
    if (!file.open(QIODevice::ReadOnly))
        return true; // no settings file, nothing to move
    const QByteArray content = file.readAll();
    file.close();

    // Whole lines, line ends included, so that what stays is written back byte for byte.
    QList<QByteArray> lines;
    for (qsizetype start = 0; start < content.size();) {
        qsizetype end = content.indexOf('\n', start);
        end = end < 0 ? content.size() : end + 1;
        lines.append(content.mid(start, end - start));
        start = end;
    }
    QByteArray kept;
    QByteArray zoom;
    bool inView = false;
    bool found = false;
    bool continued = false;
    for (const QByteArray &line : std::as_const(lines)) {
        const QByteArray text = line.trimmed();
        const bool wasContinued = continued;
        continued = text.endsWith('\\');
        if (!wasContinued && text.startsWith('[')) {
            inView = text == "[View]";
            found = found || inView;
            if (inView)
                continue;
        }
        // The group's values go; a comment or an empty line in it may be the reader's own.
        if (inView && (wasContinued || (!text.isEmpty() && !text.startsWith(';')))) {
            // Read here rather than through QSettings, which gives up on a whole file with
            // one line it does not like.
            const qsizetype equals = text.indexOf('=');
            if (!wasContinued && equals > 0 && text.left(equals).trimmed() == zoomKey.toLatin1())
                zoom = text.mid(equals + 1).trimmed();
            continue;
        }
        kept += line;
    }
    if (!found)
        return true;

    // QSettings reads what it wrote itself (quoted, escaped); the line as it stands is for a
    // file it refuses.
    QString zoomText = settings.read(QStringLiteral("View"), QStringLiteral("Zoom"), {});
    if (zoomText.isNull() && !zoom.isEmpty()) {
        zoomText = QString::fromLatin1(zoom);
        if (zoomText.size() >= 2 && zoomText.startsWith(QLatin1Char('"')) &&
            zoomText.endsWith(QLatin1Char('"')))
            zoomText = zoomText.mid(1, zoomText.size() - 2);
    }
    if (!zoomText.isEmpty()) {
        const double factor = zoomsteps::parse(zoomText);
        if (!change([factor](ReadingState &s) {
                if (!s.zoom)
                    s.zoom = factor;
            }))
            return false;
    }
    QSaveFile out(settings.file());
    return out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
           out.write(kept) == kept.size() && out.commit();
}
