// SPDX-License-Identifier: MIT
// The pane's reading commands: history, reload, find, print, zoom, copy. The keyed ones are
// window actions the main window adds to itself, so their keys work wherever its focus is.
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>
#include <functional>

class BrowserPane;
class QAction;

enum class PaneCommand {
    Back,
    Forward,
    Reload,
    Copy,
    SelectAll,
    Find,
    FindNext,
    FindPrevious,
    SearchLibrary,
    Print,
    ZoomIn,
    ZoomOut,
    ZoomReset,
    OpenLink,
    CopyLinkAddress,
    CopyImage,
};

class PaneActions : public QObject
{
    Q_OBJECT

public:
    // Runs a command; the main window wraps each in its busy indicator.
    using Bracket = std::function<void(const std::function<void()> &)>;

    explicit PaneActions(BrowserPane *pane);
    ~PaneActions() override;

    // Actions with keys, for the window: Alt+Left, F5, Ctrl+F, F3, Ctrl+P, Ctrl+plus, ...
    QList<QAction *> windowActions() const { return m_actions; }
    QAction *action(PaneCommand command) const;

    void setBracket(Bracket bracket) { m_bracket = std::move(bracket); }

    // The Slovak menu text of a command.
    static QString text(PaneCommand command);

    // url is the link a link command acts on.
    void perform(PaneCommand command, const QUrl &url = QUrl());

protected:
    // The mouse's back and forward buttons and Ctrl+wheel anywhere in the pane's window.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void run(PaneCommand command, const QUrl &url);
    void add(PaneCommand command, const QList<QKeySequence> &keys);

    BrowserPane *m_pane;
    QList<QAction *> m_actions;
    Bracket m_bracket;
    int m_wheel = 0; // angle not yet turned into a zoom step
};
