// SPDX-License-Identifier: MIT
// Opens a page of the library in the main window as choosing its book and clicking it in the
// SpeedPanel would: Kniha, the SpeedPanel's folder and selection, List and the pane follow.
#pragma once

#include <QString>

class frmHlavne;

namespace pageopener {

// True when the page file is there (the name matched as Windows matches names).
bool exists(const QString &book, const QString &page);

// False, and nothing changes, when the page is not there.
bool open(frmHlavne &main, const QString &book, const QString &page);

} // namespace pageopener
