// SPDX-License-Identifier: MIT
// Linked into every program the driver starts. It notes when the first window has been
// painted ("<application name>.painted"), and with PAGORA_PROBE_EXIT set it also notes the
// memory ("<application name>.pss") a moment later and ends the program.
#include "probe.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QTimer>
#include <QWidget>
#include <time.h>
#include <unistd.h>

namespace probe {

qint64 now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void report(const QByteArray &name, qint64 value)
{
    static const QByteArray path = qgetenv("PAGORA_PROBE_OUT");
    if (path.isEmpty())
        return;
    QFile out(QString::fromLocal8Bit(path));
    if (out.open(QIODevice::Append))
        out.write(name + ' ' + QByteArray::number(value) + '\n');
}

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    // The figures carry their own time stamps; this only has to notice that they are taken.
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return done();
}

namespace {

qint64 pssKb(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

qint64 parentOf(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = f.readAll();
    // The command name may hold spaces; the fields after its closing parenthesis do not.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : -1;
}

} // namespace

qint64 treePssKb(qint64 root)
{
    QHash<qint64, qint64> parents;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number)
            parents.insert(pid, parentOf(pid));
    }
    qint64 total = 0;
    for (auto it = parents.cbegin(); it != parents.cend(); ++it) {
        for (qint64 p = it.key(); p > 1; p = parents.value(p, -1)) {
            if (p == root) {
                total += pssKb(it.key());
                break;
            }
        }
    }
    return total;
}

qint64 ownTreePssKb()
{
    return treePssKb(::getpid());
}

} // namespace probe

namespace {

class PaintWatcher : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_done && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->isWindow() &&
            !static_cast<QWidget *>(watched)->testAttribute(Qt::WA_DontShowOnScreen)) {
            m_done = true;
            // Queued behind this paint: runs once the frame has gone to the screen.
            QTimer::singleShot(0, this, [] {
                const QByteArray app = QCoreApplication::applicationName().toUtf8() + '.';
                probe::report(app + "painted", probe::now());
                if (qEnvironmentVariableIsSet("PAGORA_PROBE_EXIT")) {
                    QTimer::singleShot(500, qApp, [app] {
                        probe::report(app + "pss", probe::ownTreePssKb());
                        probe::report(app + "done", 1);
                        QCoreApplication::exit(0);
                    });
                }
            });
        }
        return false;
    }

private:
    bool m_done = false;
};

void installProbe()
{
    // pagora's viewer library carries the probe too; one watcher per process.
    const char *const installed = "pagoraProbeInstalled";
    if (qApp->property(installed).toBool())
        return;
    qApp->setProperty(installed, true);
    qApp->installEventFilter(new PaintWatcher(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
