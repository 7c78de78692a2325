// SPDX-License-Identifier: MIT
// The pane's context menu: what a reader needs, in Slovak, never the engine's developer
// entries.
#pragma once

#include <QUrl>

class PaneActions;
class QMenu;
class QWebEngineContextMenuRequest;
class QWebEnginePage;

// What the menu depends on, taken from the engine's request.
struct MenuContext
{
    bool canGoBack = false;
    bool canGoForward = false;
    bool hasSelection = false;
    QUrl link;            // the link under the pointer, if any
    bool picture = false; // a picture under the pointer
    double zoom = 1.0;

    static MenuContext from(const QWebEngineContextMenuRequest &request, const QWebEnginePage &page,
                            double zoom);
};

namespace panemenu {

// Fills an empty menu; every entry carries its PaneCommand as data and runs through
// commands. Entries that cannot act are disabled.
void fill(QMenu *menu, const MenuContext &context, PaneActions *commands);

} // namespace panemenu
