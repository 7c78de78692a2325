// SPDX-License-Identifier: MIT
#include "panehint.h"

#include <QAccessible>
#include <QEvent>
#include <QTimer>

namespace {
constexpr int ShownMs = 3500;
}

PaneHint::PaneHint(QWidget *pane) : QLabel(pane), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("PaneHint"));
    setAccessibleName(QStringLiteral("Stav"));
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // Its own colours: it stands over any page, light or dark.
    setStyleSheet(QStringLiteral("QLabel { background: #ffffe1; color: #000000; "
                                 "border: 1px solid #767676; padding: 2px 6px; }"));
    hide();
    m_timer->setSingleShot(true);
    m_timer->setInterval(ShownMs);
    connect(m_timer, &QTimer::timeout, this, &QWidget::hide);
    pane->installEventFilter(this);
}

void PaneHint::showHint(const QString &text)
{
    setText(text);
    place();
    show();
    raise();
    m_timer->start();
    // Screen readers announce it although the focus stays where it is.
    QAccessibleEvent event(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}

void PaneHint::place()
{
    adjustSize();
    const QWidget *pane = parentWidget();
    move(2, pane->height() - height() - 2);
}

bool PaneHint::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        place();
    return QLabel::eventFilter(watched, event);
}
