// SPDX-License-Identifier: MIT
// Gets the browser pane ready while the intro window is up: the engine, its profile, the
// page scheme and the start page, loaded and rendered in a pane that is never put on screen.
// The main window adopts that pane, so its first frame already shows the page.
#pragma once

#include <QString>
#include <memory>

class BrowserPane;
class QSize;
class SettingsStore;

class PanePreparer
{
public:
    explicit PanePreparer(const SettingsStore &settings);
    ~PanePreparer();

    // Reads the start page as stored now and starts loading it in a new pane of that size.
    void prepare(const QSize &size);

    // The prepared pane, or nullptr when none was prepared; the caller owns it. It is still
    // off screen: the new parent shows it. Its lastAddress() names what it was sent to.
    BrowserPane *take();

private:
    const SettingsStore &m_settings;
    std::unique_ptr<BrowserPane> m_pane;
};
