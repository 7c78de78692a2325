// SPDX-License-Identifier: MIT
// What both programs settle before their application object exists: a quiet start, and a
// clear word instead of an abort when there is no screen to show a window on.
#pragma once

#include <QPalette>
#include <QString>
#include <QStringList>

namespace startupchecks {

// Call first in main(). Returns false, having printed one Slovak line on stderr, when the
// program has no display to open its windows on; main() then returns 1.
bool beforeApplication(int argc, char **argv);

// The platform Qt will load, as the environment and the arguments choose it ("" when Qt
// picks its default).
QString chosenPlatform(const QStringList &arguments);

// The Slovak line for a program (its file name) that cannot show its windows; empty when
// the platform needs no display or a display can be reached. connect opens a display by
// name (empty: the default one) and says whether it answered.
QString displayProblem(const QString &program, const QString &platform,
                       bool (*connect)(const QByteArray &display));

// Unless the user set QT_LOGGING_RULES, Qt's and the engine's informational lines stay off
// stderr: a normal start prints nothing.
void quietLogging();

// True when the palette's windows are dark: their background darker than their text.
bool isDark(const QPalette &palette);

// Before the engine starts: under a dark palette the engine tells pages that the reader
// prefers dark colours, so pages with their own dark styles (the built-in book, the
// messages) use them. Pages are never restyled.
void engineFollowsPalette(const QPalette &palette);

} // namespace startupchecks
