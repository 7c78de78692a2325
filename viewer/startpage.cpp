// SPDX-License-Identifier: MIT
#include "startpage.h"

#include "library.h"
#include "settingsstore.h"

StartPage chooseStartPage(const SettingsStore &settings)
{
    const QString homepageWord = SettingsStore::homepageKey;
    StartPage start;
    if (settings.read(SettingsStore::loadKey, homepageWord) == homepageWord) {
        start.address = settings.read(SettingsStore::homepageKey, library::defaultHomePage);
        start.pageCaption = settings.read(SettingsStore::homepageKey, library::defaultHomePage);
    } else {
        start.address =
            settings.read(SettingsStore::loadKey, QStringLiteral("about:NavigationCanceled"));
    }
    return start;
}
