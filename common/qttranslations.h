// SPDX-License-Identifier: MIT
// Qt's own texts (context menus, standard buttons, the file dialog) in Slovak, from the
// catalogues the system installs (Debian: qt6-translations-l10n).
#pragma once

#include <QLocale>
#include <QString>

namespace qttranslations {

// Installs Qt's catalogues for locale on the application; returns how many were found.
// A missing catalogue leaves those texts English: nothing else depends on them.
int install(const QLocale &locale = QLocale(QLocale::Slovak, QLocale::Slovakia),
            const QString &folder = QString());

} // namespace qttranslations
