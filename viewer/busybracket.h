// SPDX-License-Identifier: MIT
// Shows the busy indicator's hourglass for as long as a handler of the main window runs.
#pragma once

#include <QPointer>
#include <QPushButton>

class BusyBracket
{
public:
    explicit BusyBracket(QPushButton *indicator) : m_indicator(indicator)
    {
        m_indicator->setEnabled(false);
        // Handlers run without returning to the event loop; paint the hourglass now.
        m_indicator->repaint();
    }
    ~BusyBracket()
    {
        if (m_indicator)
            m_indicator->setEnabled(true);
    }
    // The program is ending: the indicator is not switched back on.
    void keepBusy() { m_indicator = nullptr; }

    BusyBracket(const BusyBracket &) = delete;
    BusyBracket &operator=(const BusyBracket &) = delete;

private:
    QPointer<QPushButton> m_indicator;
};
