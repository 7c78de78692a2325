// SPDX-License-Identifier: MIT
#include "settingsstore.h"

#include <QDateTime>
#include <QFile>
#include <QSettings>
#include <QStringDecoder>
#include <QStringList>

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

bool SettingsStore::write(const QString &key, const QString &value)
{
    return write(listGroup, key, value);
}

bool SettingsStore::parsesCleanly(const QByteArray &content)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(content);
    if (utf8.hasError())
        return false;
    QByteArray text = content;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    bool continued = false;
    for (const QByteArray &rawLine : text.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        const bool wasContinued = continued;
        continued = line.endsWith('\\');
        if (wasContinued || line.isEmpty() || line.startsWith(';'))
            continue;
        if (line.startsWith('[')) {
            if (!line.contains(']'))
                return false;
            continue;
        }
        // QSettings drops a line without "=" (a "#" one too), sometimes without a word.
        if (!line.contains('=') || line.contains('\0'))
            return false;
    }
    return true;
}

bool SettingsStore::keepDamagedFile() const
{
    QFile file(m_file);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = file.readAll();
    file.close();
    {
        const QSettings settings(m_file, QSettings::IniFormat);
        if (settings.status() != QSettings::FormatError && parsesCleanly(content))
            return true;
    }
    const QString base = m_file + keptCopyPrefix +
                         QDateTime::currentDateTime().toString(QStringLiteral("-yyyyMMdd-HHmm"));
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? base : base + QLatin1Char('-') + QString::number(n);
        // QFile::copy never replaces an existing file, so an earlier copy is safe.
        if (QFile::exists(name))
            continue;
        if (QFile::copy(m_file, name))
            return true;
        return false;
    }
    return false;
}

bool SettingsStore::write(const QString &group, const QString &key, const QString &value)
{
    {
        // Rewriting what is already there would gain nothing and lose comments, unreadable
        // lines and bytes that are not UTF-8.
        QSettings current(m_file, QSettings::IniFormat);
        current.beginGroup(group);
        const QVariant stored = current.value(key);
        if (current.status() == QSettings::NoError && stored.typeId() == QMetaType::QString &&
            stored.toString() == value)
            return true;
    }
    // What cannot be kept must not be overwritten.
    if (!keepDamagedFile())
        return false;
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
