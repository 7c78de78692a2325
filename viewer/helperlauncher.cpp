// SPDX-License-Identifier: MIT
#include "helperlauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#ifndef PAGORA_PRIVATE_DIR_FROM_BIN
#define PAGORA_PRIVATE_DIR_FROM_BIN "../libexec/pagora"
#endif

namespace {

QString executable(const QFileInfo &file)
{
    return file.isFile() && file.isExecutable() ? file.absoluteFilePath() : QString();
}

// The exact name first, else the single entry that differs only in letter case; two such
// entries are a guess we refuse to make.
QString executableIn(const QString &dir, const QString &program)
{
    if (dir.isEmpty())
        return QString();
    const QFileInfo exact(dir + QLatin1Char('/') + program);
    if (exact.exists())
        return executable(exact);
    const QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    QString found;
    for (const QString &entry : entries) {
        if (entry.compare(program, Qt::CaseInsensitive) != 0)
            continue;
        if (!found.isEmpty())
            return QString();
        found = entry;
    }
    return found.isEmpty() ? QString() : executable(QFileInfo(dir + QLatin1Char('/') + found));
}

} // namespace

HelperLauncher::HelperLauncher(const QString &ownDir)
    : HelperLauncher(ownDir, privateDirFor(ownDir))
{}

HelperLauncher::HelperLauncher(const QString &ownDir, const QString &privateDir)
    : m_ownDir(ownDir), m_privateDir(privateDir)
{}

QString HelperLauncher::privateDirFor(const QString &ownDir)
{
    if (ownDir.isEmpty())
        return QString();
    return QDir::cleanPath(ownDir + QLatin1Char('/') + QLatin1String(PAGORA_PRIVATE_DIR_FROM_BIN));
}

QString HelperLauncher::resolve(const QString &program) const
{
    if (program.isEmpty() || program.contains(QLatin1Char('/')))
        return QString();
    QString found = executableIn(m_ownDir, program);
    if (found.isEmpty() && m_privateDir != m_ownDir)
        found = executableIn(m_privateDir, program);
    if (!found.isEmpty())
        return found;
    // Programs on PATH carry lower-case names; any other spelling there is someone else's.
    const QString name = program.toLower();
    const QStringList path =
        qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &dir : path) {
        found = executable(QFileInfo(dir + QLatin1Char('/') + name));
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

bool HelperLauncher::start(const QString &commandLine, QString *error) const
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty()) {
        *error = QStringLiteral("Nie je zadaný žiadny program.");
        return false;
    }
    const QString program = words.takeFirst();
    const QString executable = resolve(program);
    if (executable.isEmpty()) {
        *error = QStringLiteral("Program „%1“ sa nenašiel ani v priečinku %2, ani v priečinku "
                                "%3, ani v PATH.")
                     .arg(program, QDir::toNativeSeparators(m_ownDir),
                          QDir::toNativeSeparators(m_privateDir));
        return false;
    }
    if (!QProcess::startDetached(executable, words)) {
        *error = QStringLiteral("Program %1 sa nepodarilo spustiť.").arg(executable);
        return false;
    }
    return true;
}
