// SPDX-License-Identifier: MIT
#include "panepreparer.h"

#include "browserpane.h"
#include "startpage.h"

PanePreparer::PanePreparer(const SettingsStore &settings) : m_settings(settings) {}

PanePreparer::~PanePreparer() = default;

void PanePreparer::prepare(const QSize &size)
{
    if (m_pane)
        return;
    m_pane = std::make_unique<BrowserPane>();
    // Shown as far as Qt and the engine know, so the page is really rendered, yet no window
    // reaches the screen and nothing takes the focus from the intro.
    m_pane->setAttribute(Qt::WA_DontShowOnScreen);
    m_pane->setAttribute(Qt::WA_ShowWithoutActivating);
    m_pane->resize(size);
    m_pane->show();
    m_pane->Navigate(chooseStartPage(m_settings).address);
}

BrowserPane *PanePreparer::take()
{
    return m_pane.release();
}
