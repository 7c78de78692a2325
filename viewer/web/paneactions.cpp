// SPDX-License-Identifier: MIT
#include "paneactions.h"

#include "bookpage.h"

#include "browserpane.h"
#include "findbar.h"
#include "pageaddress.h"
#include "pageprinter.h"
#include "panezoom.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWheelEvent>

PaneActions::PaneActions(BrowserPane *pane) : QObject(pane), m_pane(pane)
{
    add(PaneCommand::Back, {QKeySequence(Qt::ALT | Qt::Key_Left)});
    add(PaneCommand::Forward, {QKeySequence(Qt::ALT | Qt::Key_Right)});
    add(PaneCommand::Reload, {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)});
    add(PaneCommand::Find, {QKeySequence(Qt::CTRL | Qt::Key_F)});
    add(PaneCommand::FindNext, {QKeySequence(Qt::Key_F3)});
    add(PaneCommand::FindPrevious, {QKeySequence(Qt::SHIFT | Qt::Key_F3)});
    add(PaneCommand::Print, {QKeySequence(Qt::CTRL | Qt::Key_P)});
    // Ctrl+= is the plus key without Shift on English keyboards.
    add(PaneCommand::ZoomIn,
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    add(PaneCommand::ZoomOut, {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    add(PaneCommand::ZoomReset, {QKeySequence(Qt::CTRL | Qt::Key_0)});
    qApp->installEventFilter(this);
}

PaneActions::~PaneActions()
{
    qApp->removeEventFilter(this);
}

void PaneActions::add(PaneCommand command, const QList<QKeySequence> &keys)
{
    auto *action = new QAction(text(command), this);
    action->setObjectName(QStringLiteral("pane.%1").arg(int(command)));
    action->setData(int(command));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [this, command] { perform(command); });
    m_actions << action;
}

QAction *PaneActions::action(PaneCommand command) const
{
    for (QAction *a : m_actions) {
        if (a->data().toInt() == int(command))
            return a;
    }
    return nullptr;
}

QString PaneActions::text(PaneCommand command)
{
    switch (command) {
    case PaneCommand::Back:
        return QStringLiteral("Späť");
    case PaneCommand::Forward:
        return QStringLiteral("Dopredu");
    case PaneCommand::Reload:
        return QStringLiteral("Obnoviť");
    case PaneCommand::Copy:
        return QStringLiteral("Kopírovať");
    case PaneCommand::SelectAll:
        return QStringLiteral("Označiť všetko");
    case PaneCommand::Find:
        return QStringLiteral("Hľadať na stránke…");
    case PaneCommand::FindNext:
        return QStringLiteral("Hľadať ďalej");
    case PaneCommand::FindPrevious:
        return QStringLiteral("Hľadať späť");
    case PaneCommand::SearchLibrary:
        return QStringLiteral("Hľadať v knihách…");
    case PaneCommand::Print:
        return QStringLiteral("Tlačiť…");
    case PaneCommand::ZoomIn:
        return QStringLiteral("Zväčšiť");
    case PaneCommand::ZoomOut:
        return QStringLiteral("Zmenšiť");
    case PaneCommand::ZoomReset:
        return QStringLiteral("Pôvodná veľkosť");
    case PaneCommand::OpenLink:
        return QStringLiteral("Otvoriť odkaz");
    case PaneCommand::CopyLinkAddress:
        return QStringLiteral("Kopírovať adresu odkazu");
    case PaneCommand::CopyImage:
        return QStringLiteral("Kopírovať obrázok");
    }
    return {};
}

void PaneActions::perform(PaneCommand command, const QUrl &url)
{
    if (m_bracket)
        m_bracket([&] { run(command, url); });
    else
        run(command, url);
}

void PaneActions::run(PaneCommand command, const QUrl &url)
{
    QWebEnginePage *page = m_pane->page();
    switch (command) {
    case PaneCommand::Back:
        m_pane->bookPage()->readerMoves();
        page->triggerAction(QWebEnginePage::Back);
        break;
    case PaneCommand::Forward:
        m_pane->bookPage()->readerMoves();
        page->triggerAction(QWebEnginePage::Forward);
        break;
    case PaneCommand::Reload:
        m_pane->bookPage()->readerMoves();
        // The page may have been edited on disk: no cached copy.
        page->triggerAction(QWebEnginePage::ReloadAndBypassCache);
        break;
    case PaneCommand::Copy:
        page->triggerAction(QWebEnginePage::Copy);
        break;
    case PaneCommand::SelectAll:
        page->triggerAction(QWebEnginePage::SelectAll);
        break;
    case PaneCommand::Find:
        m_pane->findBar()->open(page->selectedText().simplified().left(200));
        break;
    case PaneCommand::FindNext:
        m_pane->findBar()->next();
        break;
    case PaneCommand::FindPrevious:
        m_pane->findBar()->previous();
        break;
    case PaneCommand::SearchLibrary:
        emit m_pane->searchLibraryRequested();
        break;
    case PaneCommand::Print:
        m_pane->printer()->printWithDialog(m_pane->window());
        break;
    case PaneCommand::ZoomIn:
        m_pane->zoom()->zoomIn();
        break;
    case PaneCommand::ZoomOut:
        m_pane->zoom()->zoomOut();
        break;
    case PaneCommand::ZoomReset:
        m_pane->zoom()->reset();
        break;
    case PaneCommand::OpenLink:
        m_pane->openLink(url);
        break;
    case PaneCommand::CopyLinkAddress:
        QGuiApplication::clipboard()->setText(PageAddress::displayAddress(url));
        break;
    case PaneCommand::CopyImage:
        // Acts on the picture of the last context menu request.
        page->triggerAction(QWebEnginePage::CopyImageToClipboard);
        break;
    }
}

bool PaneActions::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick && type != QEvent::Wheel)
        return false;
    if (!watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);

    if (type == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier) || !m_pane->isAncestorOf(widget))
            return false;
        // The engine would zoom in its own steps and forget it; ours are kept.
        m_wheel += wheel->angleDelta().y();
        while (m_wheel >= 120) {
            m_wheel -= 120;
            perform(PaneCommand::ZoomIn);
        }
        while (m_wheel <= -120) {
            m_wheel += 120;
            perform(PaneCommand::ZoomOut);
        }
        return true;
    }

    auto *mouse = static_cast<QMouseEvent *>(event);
    if ((mouse->button() != Qt::BackButton && mouse->button() != Qt::ForwardButton) ||
        widget->window() != m_pane->window())
        return false;
    // The press acts; its release and double click are eaten so nothing acts twice.
    if (type == QEvent::MouseButtonPress)
        perform(mouse->button() == Qt::BackButton ? PaneCommand::Back : PaneCommand::Forward);
    return true;
}
