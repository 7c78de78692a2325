// SPDX-License-Identifier: MIT
// The reader's own state: zoom (overall and per book), the place in each book, bookmarks,
// history and the reading mode, kept in one JSON file of its own apart from the settings.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>
#include <functional>
#include <optional>

class QTimer;
class SettingsStore;

struct ReadingPlace
{
    QString page;
    QPointF scroll;
    QDateTime read;
};

struct Bookmark
{
    QString id;
    QString book;
    QString page;
    QString title;
    QPointF scroll;
    QString note;
    QDateTime added;
};

struct HistoryEntry
{
    QString book;
    QString page;
    QString title;
    QDateTime read;
};

struct ReadingState
{
    std::optional<double> zoom; // for every book without a zoom of its own
    QHash<QString, double> bookZoom;
    QHash<QString, ReadingPlace> places; // by book
    QList<Bookmark> bookmarks;           // in the order they were added
    QList<HistoryEntry> history;         // newest first
    bool nightReading = false;

    // The book read last, or the empty text.
    QString lastBook() const;
};

class ReadingStore : public QObject
{
    Q_OBJECT

public:
    static constexpr int maxHistory = 3000;
    // Longer notes are cut: enough for any note, and the file stays a reasonable size.
    static constexpr int maxNote = 100000;

    explicit ReadingStore(const QString &file = defaultFile(), QObject *parent = nullptr);
    ~ReadingStore() override; // writes what is still pending

    // $XDG_STATE_HOME/pagora/reading.json (normally ~/.local/state/pagora/reading.json).
    static QString defaultFile();
    QString file() const { return m_file; }

    // As last read from the file or written to it, with the pending changes applied.
    const ReadingState &state() const { return m_state; }

    // Reads the file again: what another pagora wrote meanwhile shows. A file that is not
    // ours to read (damaged, not JSON) is kept aside (see SettingsStore::keptCopyPrefix)
    // and counts as empty.
    void reload();

    using Edit = std::function<void(ReadingState &)>;
    // Applies the edit to the file's current content under a lock and writes it at once
    // (atomically: a crash or a full disk leaves the old file whole), so that two programs
    // never lose each other's changes. False when it could not be written; the change then
    // stays pending and is tried again with the next write.
    bool change(const Edit &edit);
    // The same, but written within a second, together with other such changes: for what
    // changes at every page switch.
    void changeLater(const Edit &edit);
    bool flush();

    // Moves a [View] group that an earlier version wrote into the settings file here and
    // removes it from that file, byte for byte keeping everything else. False when it
    // stays (nothing is lost either way).
    bool takeOverViewGroup(const SettingsStore &settings);

    // For tests and the bench: the state as this text, and back.
    static QByteArray toJson(const ReadingState &state);
    static std::optional<ReadingState> fromJson(const QByteArray &json);

signals:
    void changed();

private:
    struct Stamp
    {
        quint64 inode = 0;
        qint64 size = -1;
        qint64 seconds = 0;
        qint64 nanoseconds = 0;
        bool valid = false;
        bool operator==(const Stamp &o) const
        {
            return valid == o.valid && inode == o.inode && size == o.size && seconds == o.seconds &&
                   nanoseconds == o.nanoseconds;
        }
    };
    static Stamp stampOf(const QString &file);
    bool readFile(ReadingState *state);
    void keepDamaged();

    QString m_file;
    ReadingState m_state;
    ReadingState m_disk; // the file's content as last read or written here
    Stamp m_diskStamp;
    QList<Edit> m_pending;
    QTimer *m_timer;
};
