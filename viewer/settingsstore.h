// SPDX-License-Identifier: MIT
// The viewer's persisted settings in an INI file: "Homepage" and "Load" in group "List",
// and the reading aids' values in groups of their own. Every call opens the file afresh,
// so a read sees what is on disk right now and a write is on disk when it returns.
#pragma once

#include <QString>

class SettingsStore
{
public:
    inline static const QString listGroup = QStringLiteral("List");
    inline static const QString homepageKey = QStringLiteral("Homepage");
    inline static const QString loadKey = QStringLiteral("Load");

    explicit SettingsStore(const QString &file = defaultFile());

    // $XDG_CONFIG_HOME/Tarvol/Pagora.conf: organisation "Tarvol", application "Pagora".
    static QString defaultFile();

    QString file() const { return m_file; }

    // The stored string, or defaultValue when the key is absent or the file unreadable.
    // An empty stored string is a value like any other.
    QString read(const QString &key, const QString &defaultValue) const;
    QString read(const QString &group, const QString &key, const QString &defaultValue) const;

    // False when the value could not be stored (read back to be sure). A value that is
    // already stored is not written again, so a file nobody changed stays as it is. A file
    // that does not parse is first kept beside itself (see keptCopyPrefix).
    bool write(const QString &key, const QString &value);
    bool write(const QString &group, const QString &key, const QString &value);

    // A damaged file is kept as file() + this + "-yyyyMMdd-HHmm" (then "-2", "-3", ...).
    inline static const QString keptCopyPrefix = QStringLiteral(".poskodeny");

    // True when QSettings reads every line of this INI text as it stands: no syntax error,
    // no line it would silently drop, no bytes that are not UTF-8.
    static bool parsesCleanly(const QByteArray &content);

private:
    bool keepDamagedFile() const;

    QString m_file;
};
