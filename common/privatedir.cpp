// SPDX-License-Identifier: MIT
#include "privatedir.h"

#include <QDir>

#ifndef PAGORA_PRIVATE_DIR_FROM_BIN
#define PAGORA_PRIVATE_DIR_FROM_BIN "../libexec/pagora"
#endif

namespace privatedir {

QString forProgramIn(const QString &ownDir)
{
    if (ownDir.isEmpty())
        return QString();
    return QDir::cleanPath(ownDir + QLatin1Char('/') + QLatin1String(PAGORA_PRIVATE_DIR_FROM_BIN));
}

} // namespace privatedir
