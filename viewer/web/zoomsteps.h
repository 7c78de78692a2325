// SPDX-License-Identifier: MIT
// The pane's zoom levels: fixed steps from 50 % to 300 %, and the stored form of a factor.
#pragma once

#include <QString>

namespace zoomsteps {

constexpr double minimum = 0.5;
constexpr double maximum = 3.0;
constexpr double normal = 1.0;

// The next step above or below a factor; a factor between steps goes to the neighbouring
// step, and the limits hold.
double larger(double factor);
double smaller(double factor);

// Any factor brought within the limits.
double bounded(double factor);

// The stored text ("1.25") and back. Unreadable text gives 100 %, a factor out of range
// its nearest limit, so a hand-edited file never leaves the pages unreadable.
QString format(double factor);
double parse(const QString &text);

} // namespace zoomsteps
