// SPDX-License-Identifier: MIT
// One zoom factor for every page the pane shows.
#pragma once

#include <QObject>

class QWebEnginePage;

// The engine keeps zoom per site and forgets it on some navigations, so the factor is
// held here and given to the page again whenever a load starts or ends.
class PaneZoom : public QObject
{
    Q_OBJECT

public:
    explicit PaneZoom(QWebEnginePage *page, QObject *parent = nullptr);

    double factor() const { return m_factor; }
    // Kept within 50 %–300 %; zoomChanged only when the factor really changed.
    void setFactor(double factor);
    void zoomIn();
    void zoomOut();
    void reset();

signals:
    void zoomChanged(double factor);

private:
    void apply();

    QWebEnginePage *m_page;
    double m_factor = 1.0;
};
