// SPDX-License-Identifier: MIT
#include "panescroll.h"

#include "browserpane.h"

#include <QWebEnginePage>
#include <QWebEngineScript>

PaneScroll::PaneScroll(BrowserPane *pane) : QObject(pane), m_pane(pane)
{
    QWebEnginePage *page = pane->page();
    connect(page, &QWebEnginePage::scrollPositionChanged, this, [this] { emit moved(position()); });
    connect(pane, &BrowserPane::loadFinished, this, [this] {
        if (!m_waiting)
            return;
        if (m_pane->lastAddress() != m_address) {
            m_waiting = false;
            return;
        }
        m_waiting = false;
        scrollTo(m_position);
    });
}

QPointF PaneScroll::position() const
{
    // The engine reports device-independent pixels, which grow with the zoom.
    const double zoom = m_pane->page()->zoomFactor();
    const QPointF shown = m_pane->page()->scrollPosition();
    return zoom > 0 ? shown / zoom : shown;
}

void PaneScroll::scrollTo(const QPointF &position)
{
    m_pane->page()->runJavaScript(
        QStringLiteral("window.scrollTo(%1, %2)").arg(position.x()).arg(position.y()),
        QWebEngineScript::ApplicationWorld);
}

void PaneScroll::scrollAfterLoad(const QString &address, const QPointF &position)
{
    m_address = address;
    m_position = position;
    m_waiting = true;
}
