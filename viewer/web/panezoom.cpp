// SPDX-License-Identifier: MIT
#include "panezoom.h"

#include "zoomsteps.h"

#include <QWebEnginePage>
#include <cmath>

PaneZoom::PaneZoom(QWebEnginePage *page, QObject *parent) : QObject(parent), m_page(page)
{
    connect(m_page, &QWebEnginePage::loadStarted, this, &PaneZoom::apply);
    connect(m_page, &QWebEnginePage::urlChanged, this, &PaneZoom::apply);
    connect(m_page, &QWebEnginePage::loadFinished, this, &PaneZoom::apply);
}

void PaneZoom::setFactor(double factor)
{
    factor = zoomsteps::bounded(factor);
    const bool changed = std::abs(factor - m_factor) > 0.0001;
    m_factor = factor;
    apply();
    if (changed)
        emit zoomChanged(m_factor);
}

void PaneZoom::zoomIn()
{
    setFactor(zoomsteps::larger(m_factor));
}

void PaneZoom::zoomOut()
{
    setFactor(zoomsteps::smaller(m_factor));
}

void PaneZoom::reset()
{
    setFactor(zoomsteps::normal);
}

void PaneZoom::apply()
{
    if (std::abs(m_page->zoomFactor() - m_factor) > 0.0001)
        m_page->setZoomFactor(m_factor);
}
