// SPDX-License-Identifier: MIT
#include "helperlauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

QString executableIn(const QString &dir, const QString &program)
{
    if (dir.isEmpty())
        return QString();
    const QFileInfo exact(dir + QLatin1Char('/') + program);
    if (exact.isFile() && exact.isExecutable())
        return exact.absoluteFilePath();
    const QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Executable);
    for (const QString &entry : entries) {
        if (entry.compare(program, Qt::CaseInsensitive) == 0)
            return QFileInfo(dir + QLatin1Char('/') + entry).absoluteFilePath();
    }
    return QString();
}

} // namespace

HelperLauncher::HelperLauncher(const QString &ownDir) : m_ownDir(ownDir) {}

QString HelperLauncher::resolve(const QString &program) const
{
    if (program.isEmpty() || program.contains(QLatin1Char('/')))
        return QString();
    QString found = executableIn(m_ownDir, program);
    if (!found.isEmpty())
        return found;
    const QStringList path =
        qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &dir : path) {
        found = executableIn(dir, program);
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
        *error = QStringLiteral("Program „%1“ sa nenašiel ani v priečinku %2, ani v PATH.")
                     .arg(program, QDir::toNativeSeparators(m_ownDir));
        return false;
    }
    if (!QProcess::startDetached(executable, words)) {
        *error = QStringLiteral("Program %1 sa nepodarilo spustiť.").arg(executable);
        return false;
    }
    return true;
}
