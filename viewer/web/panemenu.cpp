// SPDX-License-Identifier: MIT
#include "panemenu.h"

#include "paneactions.h"
#include "zoomsteps.h"

#include <QMenu>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineHistory>
#include <QWebEnginePage>

MenuContext MenuContext::from(const QWebEngineContextMenuRequest &request,
                              const QWebEnginePage &page, double zoom)
{
    MenuContext c;
    c.canGoBack = page.history()->canGoBack();
    c.canGoForward = page.history()->canGoForward();
    c.hasSelection = !request.selectedText().isEmpty();
    if (request.linkUrl().isValid() && !request.linkUrl().isEmpty())
        c.link = request.linkUrl();
    c.picture = request.mediaType() == QWebEngineContextMenuRequest::MediaTypeImage &&
                request.mediaUrl().isValid();
    c.zoom = zoom;
    return c;
}

namespace panemenu {

void fill(QMenu *menu, const MenuContext &c, PaneActions *commands)
{
    auto add = [&](PaneCommand command, bool enabled, const QUrl &url = QUrl()) {
        QAction *a = menu->addAction(PaneActions::text(command));
        a->setData(int(command));
        a->setEnabled(enabled);
        // The window's keys, shown beside the entry.
        if (commands) {
            if (const QAction *keyed = commands->action(command))
                a->setShortcuts(keyed->shortcuts());
            a->setShortcutContext(Qt::WidgetShortcut); // shown only; the window's own act
            QObject::connect(a, &QAction::triggered, commands,
                             [commands, command, url] { commands->perform(command, url); });
        }
    };

    if (!c.link.isEmpty()) {
        add(PaneCommand::OpenLink, true, c.link);
        add(PaneCommand::CopyLinkAddress, true, c.link);
        menu->addSeparator();
    }
    if (c.picture) {
        add(PaneCommand::CopyImage, true);
        menu->addSeparator();
    }
    add(PaneCommand::Back, c.canGoBack);
    add(PaneCommand::Forward, c.canGoForward);
    add(PaneCommand::Reload, true);
    menu->addSeparator();
    add(PaneCommand::Copy, c.hasSelection);
    add(PaneCommand::SelectAll, true);
    menu->addSeparator();
    add(PaneCommand::Find, true);
    add(PaneCommand::SearchLibrary, true);
    add(PaneCommand::Print, true);
    menu->addSeparator();
    add(PaneCommand::ZoomIn, c.zoom < zoomsteps::maximum - 0.001);
    add(PaneCommand::ZoomOut, c.zoom > zoomsteps::minimum + 0.001);
    add(PaneCommand::ZoomReset, qAbs(c.zoom - zoomsteps::normal) > 0.001);
}

} // namespace panemenu
