// SPDX-License-Identifier: MIT
// What the main window shows when the program starts, chosen from the stored settings.
#pragma once

#include <QString>
#include <optional>

class SettingsStore;

struct StartPage
{
    QString address;
    // Set when the home page was chosen; the page label then shows it.
    std::optional<QString> pageCaption;
};

// "Load" equal to "Homepage" (exactly) means the home page; any other stored value is itself
// the address to show. Each setting is read at the moment it is needed, as stored then.
StartPage chooseStartPage(const SettingsStore &settings);
