// SPDX-License-Identifier: MIT
// The viewer's two persisted settings, "Homepage" and "Load", in group "List" of an INI
// file. Every call opens the file afresh, so a read sees what is on disk right now and a
// write is on disk when it returns.
#pragma once

#include <QString>

class SettingsStore
{
public:
    inline static const QString homepageKey = QStringLiteral("Homepage");
    inline static const QString loadKey = QStringLiteral("Load");

    explicit SettingsStore(const QString &file = defaultFile());

    // $XDG_CONFIG_HOME/Tarvol/Pagora.conf: organisation "Tarvol", application "Pagora".
    static QString defaultFile();

    QString file() const { return m_file; }

    // The stored string, or defaultValue when the key is absent or the file unreadable.
    // An empty stored string is a value like any other.
    QString read(const QString &key, const QString &defaultValue) const;

    // False when the value could not be stored (read back to be sure).
    bool write(const QString &key, const QString &value);

    // The same in another group of the file, such as "View".
    QString read(const QString &group, const QString &key, const QString &defaultValue) const;
    bool write(const QString &group, const QString &key, const QString &value);

private:
    QString m_file;
};
