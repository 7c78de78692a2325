// SPDX-License-Identifier: MIT
// The private program folder: where help and the viewer's library are installed, found
// relative to the folder of the program that looks for them.
#pragma once

#include <QString>

namespace privatedir {

// An empty ownDir gives an empty answer.
QString forProgramIn(const QString &ownDir);

} // namespace privatedir
