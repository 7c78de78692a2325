// SPDX-License-Identifier: MIT
// Starts the helper program from a command line, as an independent process.
#pragma once

#include <QString>

class HelperLauncher
{
public:
    // ownDir: where the viewer's executable lives; searched first. The private program folder
    // of the installed layout is found relative to it.
    explicit HelperLauncher(const QString &ownDir);
    HelperLauncher(const QString &ownDir, const QString &privateDir);

    // The installed layout's private program folder for a viewer living in ownDir.
    static QString privateDirFor(const QString &ownDir);

    // The program named by the command line's first word, looked up in this order:
    // beside the viewer (the exact name, else the one entry that differs only in letter
    // case), then the private program folder (the same way), then PATH by the exact
    // lower-case name only, so that a stray "HELP" on PATH is never run. Empty when not found.
    QString resolve(const QString &program) const;

    // Starts the command line without waiting for it. False, with a Slovak reason, when the
    // program cannot be found or started.
    bool start(const QString &commandLine, QString *error) const;

private:
    QString m_ownDir;
    QString m_privateDir;
};
