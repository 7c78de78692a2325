// SPDX-License-Identifier: MIT
// Pages reach screen readers: on Linux the web engine builds its accessibility tree only
// when QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY is set before it starts.
#pragma once

namespace pageaccessibility {

// Sets QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY=1 unless the user set it (to anything).
// Call before the application object exists.
void enable();

} // namespace pageaccessibility
