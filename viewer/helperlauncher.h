// SPDX-License-Identifier: MIT
// Starts the helper program from a command line, as an independent process.
#pragma once

#include <QString>

class HelperLauncher
{
public:
    // ownDir: where the viewer's executable lives; searched first.
    explicit HelperLauncher(const QString &ownDir);

    // The program named by the command line's first word: beside the viewer first (letter
    // case ignored, so "Help" finds "help"), then on PATH. Empty when not found.
    QString resolve(const QString &program) const;

    // Starts the command line without waiting for it. False, with a Slovak reason, when the
    // program cannot be found or started.
    bool start(const QString &commandLine, QString *error) const;

private:
    QString m_ownDir;
};
