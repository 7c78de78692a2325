// SPDX-License-Identifier: MIT
#include "pageaccessibility.h"

#include <QByteArray>
#include <QtGlobal>

namespace pageaccessibility {

void enable()
{
    const char *const name = "QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY";
    if (!qEnvironmentVariableIsSet(name))
        qputenv(name, QByteArrayLiteral("1"));
}

} // namespace pageaccessibility
