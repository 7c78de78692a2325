// SPDX-License-Identifier: MIT
// Where in its page the pane is scrolled, and taking it back there.
#pragma once

#include <QObject>
#include <QPointF>
#include <QString>

class BrowserPane;

// Positions are CSS pixels of the page (window.scrollX, scrollY), the same at any zoom.
class PaneScroll : public QObject
{
    Q_OBJECT

public:
    explicit PaneScroll(BrowserPane *pane);

    QPointF position() const;
    // Scrolls the page shown now.
    void scrollTo(const QPointF &position);
    // Scrolls the page of the next load that settles on address (the text given to
    // Navigate); a later Navigate elsewhere cancels it.
    void scrollAfterLoad(const QString &address, const QPointF &position);

signals:
    void moved(const QPointF &position);

private:
    BrowserPane *m_pane;
    QString m_address;
    QPointF m_position;
    bool m_waiting = false;
};
