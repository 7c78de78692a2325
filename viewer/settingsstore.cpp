// SPDX-License-Identifier: MIT
#include "settingsstore.h"

#include <QSettings>
#include <QStringList>

namespace {
const QString listGroup = QStringLiteral("List");
}

SettingsStore::SettingsStore(const QString &file) : m_file(file) {}

QString SettingsStore::defaultFile()
{
    const QSettings native(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tarvol"),
                           QStringLiteral("Pagora"));
    return native.fileName();
}

QString SettingsStore::read(const QString &key, const QString &defaultValue) const
{
    return read(listGroup, key, defaultValue);
}

bool SettingsStore::write(const QString &key, const QString &value)
{
    return write(listGroup, key, value);
}

QString SettingsStore::read(const QString &group, const QString &key,
                            const QString &defaultValue) const
{
    QSettings settings(m_file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return defaultValue;
    settings.beginGroup(group);
    if (!settings.contains(key))
        return defaultValue;
    const QVariant value = settings.value(key);
    // A hand-edited value with unquoted commas comes back as a list; the user meant the text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    if (!value.canConvert<QString>())
        return defaultValue;
    return value.toString();
}

bool SettingsStore::write(const QString &group, const QString &key, const QString &value)
{
    {
        QSettings settings(m_file, QSettings::IniFormat);
        settings.beginGroup(group);
        settings.setValue(key, value);
        settings.sync();
        if (settings.status() == QSettings::AccessError)
            return false;
    }
    // The status after sync() still carries a parse error of the old file, so only a
    // fresh read tells whether the value really reached the disk.
    QSettings check(m_file, QSettings::IniFormat);
    check.beginGroup(group);
    return check.status() == QSettings::NoError && check.contains(key) &&
           check.value(key).toString() == value;
}
