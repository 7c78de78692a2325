// SPDX-License-Identifier: MIT
// Engine features no book needs, switched off for the whole engine before it starts.
#pragma once

#include <QByteArray>

namespace engineswitches {

// Adds our switches to QTWEBENGINE_CHROMIUM_FLAGS, keeping whatever it already holds (the
// engine reads that variable instead of the program's arguments). Call before the engine
// starts; calling again adds nothing.
void apply();

// The variable's value with our switches merged in; what apply() sets.
QByteArray merged(const QByteArray &existing);

} // namespace engineswitches
