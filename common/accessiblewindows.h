// SPDX-License-Identifier: MIT
// What screen readers are given as the program's windows: each of its own windows as a frame
// named by its title, and no top-level object that is not a real window (the web engine's
// renderer keeps a hidden one of its own).
#pragma once

namespace accessiblewindows {

// Once, right after the application object is made and before any window is.
void install();

} // namespace accessiblewindows
