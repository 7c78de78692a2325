// SPDX-License-Identifier: MIT
#include "startupchecks.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QtGlobal>

#include <cstdio>
#include <dlfcn.h>

namespace {

// The X connection of the check, held until Qt has its own: an X server whose last client
// leaves starts over, and Qt's connection, coming just then, would be refused.
struct HeldX
{
    void *library = nullptr;
    void *connection = nullptr;
    void (*disconnect)(void *) = nullptr;
};
HeldX held;

void releaseX()
{
    if (held.connection)
        held.disconnect(held.connection);
    if (held.library)
        dlclose(held.library);
    held = HeldX();
}

// Asks the X server itself, through the library Qt's own X plugin loads: a set DISPLAY whose
// server is gone would otherwise end in Qt's abort.
bool connectX(const QByteArray &display)
{
    releaseX();
    void *xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (!xcb)
        return true; // no X library: Qt's plugin cannot load either and says so itself
    using Connect = void *(*)(const char *, int *);
    using HasError = int (*)(void *);
    using Disconnect = void (*)(void *);
    const auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    if (!connect || !hasError || !disconnect) {
        dlclose(xcb);
        return true;
    }
    void *connection = connect(display.isEmpty() ? nullptr : display.constData(), nullptr);
    const bool answered = connection && hasError(connection) == 0;
    held = {xcb, connection, disconnect}; // a failed connection is freed the same way
    if (!answered)
        releaseX();
    else if (QCoreApplication::instance())
        releaseX();
    else
        qAddPreRoutine(releaseX); // runs once the application has connected
    return answered;
}

bool waylandReachable()
{
    QByteArray name = qgetenv("WAYLAND_DISPLAY");
    if (name.isEmpty())
        name = QByteArrayLiteral("wayland-0");
    if (QDir::isAbsolutePath(QString::fromLocal8Bit(name)))
        return QFileInfo::exists(QString::fromLocal8Bit(name));
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() &&
           QFileInfo::exists(runtime + QLatin1Char('/') + QString::fromLocal8Bit(name));
}

} // namespace

namespace startupchecks {

QString chosenPlatform(const QStringList &arguments)
{
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("-platform") ||
            arguments.at(i) == QLatin1String("--platform"))
            return arguments.at(i + 1);
    }
    return qEnvironmentVariable("QT_QPA_PLATFORM");
}

QString displayProblem(const QString &program, const QString &platform,
                       bool (*connect)(const QByteArray &display))
{
    // Qt tries the names of a list in turn; without one it takes X, or Wayland in its session.
    QStringList names;
    for (const QString &entry : platform.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        names << entry.section(QLatin1Char(':'), 0, 0).trimmed();
    if (names.isEmpty())
        names << QStringLiteral("wayland") << QStringLiteral("xcb");

    const QByteArray display = qgetenv("DISPLAY");
    bool xTried = false;
    for (const QString &name : std::as_const(names)) {
        if (name == QLatin1String("xcb")) {
            if (display.isEmpty())
                continue;
            xTried = true;
            if (connect(display))
                return QString();
        } else if (name.startsWith(QLatin1String("wayland"))) {
            if (platform.isEmpty() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
                continue; // Qt's default takes Wayland only in a Wayland session
            if (waylandReachable())
                return QString();
        } else {
            return QString(); // offscreen, minimal, vnc, a frame buffer: nothing to reach
        }
    }
    if (xTried) {
        return QStringLiteral("%1: program sa nedá spustiť, lebo sa nepripojil k obrazovke "
                              "„%2“.")
            .arg(program, QString::fromLocal8Bit(display));
    }
    const bool x = names.contains(QLatin1String("xcb"));
    const bool wayland = !names.filter(QRegularExpression(QStringLiteral("^wayland"))).isEmpty();
    if (x && !wayland) {
        return QStringLiteral("%1: program sa nedá spustiť, lebo nemá obrazovku (nie je "
                              "nastavená premenná DISPLAY).")
            .arg(program);
    }
    if (wayland && !x) {
        return QStringLiteral("%1: program sa nedá spustiť, lebo nenašiel obrazovku Wayland "
                              "(WAYLAND_DISPLAY).")
            .arg(program);
    }
    return QStringLiteral("%1: program sa nedá spustiť, lebo nemá obrazovku (nie je nastavená "
                          "premenná DISPLAY ani WAYLAND_DISPLAY).")
        .arg(program);
}

void quietLogging()
{
    if (qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
        return;
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n"
                                                    "*.info=false\n"));
    // The engine's own log, written by Chromium, follows its own switch.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--log-level") && !flags.contains("--enable-logging")) {
        flags += flags.isEmpty() ? "--log-level=3" : " --log-level=3";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    }
}

bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() <
           palette.color(QPalette::WindowText).lightness();
}

void engineFollowsPalette(const QPalette &palette)
{
    if (!isDark(palette))
        return;
    // The engine takes its switches from this variable when it is set, else from none of
    // ours; whatever the user put there stays.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.split(' ').contains("--force-dark-mode"))
        return;
    flags += flags.isEmpty() ? "--force-dark-mode" : " --force-dark-mode";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

bool beforeApplication(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QString program =
        arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).fileName();
    const QString problem = displayProblem(program, chosenPlatform(arguments), connectX);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", problem.toLocal8Bit().constData());
        return false;
    }
    quietLogging();
    return true;
}

} // namespace startupchecks
