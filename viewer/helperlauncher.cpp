// SPDX-License-Identifier: MIT
#include "helperlauncher.h"

#include "privatedir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char **environ;

namespace {

// QProcess::startDetached forks this process twice before the exec, and with the engine
// loaded each fork copies the page tables of hundreds of megabytes: 12-19 ms of every
// click. posix_spawn does not copy them. Like startDetached, the helper gets a session of
// its own and default signal handling (the engine ignores SIGPIPE, for one).
bool spawnDetached(const QString &program, const QStringList &arguments)
{
    const QByteArray path = QFile::encodeName(program);
    std::vector<QByteArray> words{path};
    for (const QString &argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0)
        return false;
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int result =
        posix_spawn(&pid, path.constData(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (result != 0)
        return false;
    // Still our child: collect it when it ends, so that it does not linger as a zombie.
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

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
    return privatedir::forProgramIn(ownDir);
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
    if (!spawnDetached(executable, words)) {
        *error = QStringLiteral("Program %1 sa nepodarilo spustiť.").arg(executable);
        return false;
    }
    return true;
}
