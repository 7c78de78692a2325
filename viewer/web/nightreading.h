// SPDX-License-Identifier: MIT
// Night reading: every page the pane shows in dark colours, pictures in their own.
#pragma once

#include <QObject>

class QWebEnginePage;

// A stylesheet put into each document as it is created, by a script in a world of its own
// that the page's scripts cannot reach; it overrides colours set by attributes (bgcolor,
// <font color>) and by stylesheets. A page that declares itself dark only is left as it is.
class NightReading : public QObject
{
    Q_OBJECT

public:
    explicit NightReading(QWebEnginePage *page, QObject *parent = nullptr);

    bool isOn() const { return m_on; }
    // Takes effect on the page shown at once and on every page after it.
    void setOn(bool on);

    // The id of the style element in a page, for tests.
    static QString styleId();

private:
    QWebEnginePage *m_page;
    bool m_on = false;
};
