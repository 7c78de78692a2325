// SPDX-License-Identifier: MIT
// Windows that carry no icon of their own, although the program has one: Qt gives every
// window the application's icon unless its native window is told otherwise.
#pragma once

class QWidget;

namespace noicon {

// Once its native window is made (QWidget::create(), which unlike winId() leaves the children
// alien), before it is first shown.
void clear(QWidget *window);

} // namespace noicon
