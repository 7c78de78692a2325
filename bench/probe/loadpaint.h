// SPDX-License-Identifier: MIT
// "Loaded and painted": the load has finished and the view inside a container has painted
// the next frame after it. The same measure serves our pane and the bare engine view.
#pragma once

#include "probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace probe {

class LoadPaintWaiter : public QObject
{
public:
    explicit LoadPaintWaiter(QObject *parent = nullptr) : QObject(parent)
    {
        qApp->installEventFilter(this);
    }

    // Waits on container's widgets; done gets the time of the painted frame.
    void arm(QWidget *container, std::function<void(qint64)> done, bool alreadyLoaded = false)
    {
        m_container = container;
        m_done = std::move(done);
        m_loaded = alreadyLoaded;
        m_armed = true;
        if (m_loaded)
            startFallback();
    }
    // Call on loadFinished.
    void loaded()
    {
        if (!m_armed || m_loaded)
            return;
        m_loaded = true;
        startFallback();
    }
    int framesMissed() const { return m_missed; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_armed && m_loaded && event->type() == QEvent::Paint && watched->isWidgetType() &&
            m_container && m_container->isVisible() &&
            (watched == m_container ||
             m_container->isAncestorOf(static_cast<QWidget *>(watched)))) {
            m_armed = false;
            QTimer::singleShot(0, this, [this] { finish(probe::now()); });
        }
        return false;
    }

private:
    // A load that changes nothing on screen paints no new frame; then the load is the end.
    void startFallback()
    {
        const qint64 at = probe::now();
        const int generation = ++m_generation;
        QTimer::singleShot(1000, this, [this, at, generation] {
            if (m_armed && generation == m_generation) {
                m_armed = false;
                ++m_missed;
                probe::report("nopaint", 1);
                finish(at);
            }
        });
    }
    void finish(qint64 at)
    {
        ++m_generation;
        auto done = std::move(m_done);
        if (done)
            done(at);
    }

    QPointer<QWidget> m_container;
    std::function<void(qint64)> m_done;
    bool m_armed = false;
    bool m_loaded = false;
    int m_generation = 0;
    int m_missed = 0;
};

} // namespace probe
