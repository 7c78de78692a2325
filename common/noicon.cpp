// SPDX-License-Identifier: MIT
#include "noicon.h"

#include <QIcon>
#include <QWidget>
#include <QWindow>

namespace noicon {

void clear(QWidget *window)
{
    // A null icon reaches the native window as it is (on X the icon property is removed);
    // QWindow itself would fall back to the application's.
    if (QWindow *handle = window->windowHandle())
        handle->setIcon(QIcon());
}

} // namespace noicon
