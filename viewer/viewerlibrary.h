// SPDX-License-Identifier: MIT
// The viewer proper (its main window, the engine and the library) lives in a library of its
// own, which pagora loads only once the intro is on screen: the engine's libraries take far
// longer to load than the intro takes to appear.
#pragma once

#include <QLibrary>
#include <QString>
#include <QStringList>

class ViewerLibrary
{
public:
    static const char *const FileName;

    // The folders searched in order: the program's own (a build tree), then its private one.
    static QStringList foldersFor(const QString &ownDir);

    explicit ViewerLibrary(const QStringList &folders);

    // Loads the library once; false, with errorText() saying why, when it cannot be used.
    bool load();
    bool isLoaded() const { return m_prepare && m_show && m_end; }
    // In Slovak, for the user.
    QString errorText() const { return m_error; }

    // Behind the intro: the built-in book, the engine and the start page off screen.
    void prepare();
    // The intro's second tick: the main window, shown.
    void show();
    // Before the application goes: the main window and what it holds.
    void end();

private:
    QStringList m_folders;
    QLibrary m_library;
    QString m_error;
    bool m_tried = false;
    void (*m_prepare)() = nullptr;
    void (*m_show)() = nullptr;
    void (*m_end)() = nullptr;
};
