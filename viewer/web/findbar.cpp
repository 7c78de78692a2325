// SPDX-License-Identifier: MIT
#include "findbar.h"

#include "findcontroller.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

FindBar::FindBar(FindController *controller, QWidget *parent)
    : QFrame(parent), m_controller(controller), m_edit(new QLineEdit(this)),
      m_next(new QPushButton(QStringLiteral("Ďalej"), this)),
      m_previous(new QPushButton(QStringLiteral("Späť"), this)),
      m_close(new QPushButton(QStringLiteral("✕"), this)), m_count(new QLabel(this)),
      m_escape(new QShortcut(QKeySequence(Qt::Key_Escape), this))
{
    setObjectName(QStringLiteral("FindBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    m_edit->setObjectName(QStringLiteral("FindText"));
    m_edit->setPlaceholderText(QStringLiteral("Hľadať na stránke"));
    m_edit->setAccessibleName(QStringLiteral("Hľadať na stránke"));
    m_next->setObjectName(QStringLiteral("FindNext"));
    m_next->setToolTip(QStringLiteral("Ďalší výskyt (F3)"));
    m_previous->setObjectName(QStringLiteral("FindPrevious"));
    m_previous->setToolTip(QStringLiteral("Predchádzajúci výskyt (Shift+F3)"));
    m_close->setObjectName(QStringLiteral("FindClose"));
    m_close->setToolTip(QStringLiteral("Zavrieť (Esc)"));
    m_close->setAccessibleName(QStringLiteral("Zavrieť"));
    m_count->setObjectName(QStringLiteral("FindCount"));
    for (QPushButton *b : {m_next, m_previous, m_close})
        b->setAutoDefault(false);
    m_close->setFlat(true);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(m_edit, 1);
    row->addWidget(m_next);
    row->addWidget(m_previous);
    row->addWidget(m_count);
    row->addWidget(m_close);
    m_count->setMinimumWidth(m_count->fontMetrics().horizontalAdvance(QStringLiteral("Nenájdené")));

    connect(m_edit, &QLineEdit::textEdited, m_controller, &FindController::find);
    connect(m_edit, &QLineEdit::returnPressed, this, &FindBar::next);
    connect(m_next, &QPushButton::clicked, this, &FindBar::next);
    connect(m_previous, &QPushButton::clicked, this, &FindBar::previous);
    connect(m_close, &QPushButton::clicked, this, &FindBar::close);
    // While the bar shows, Esc closes it wherever the focus is in the window.
    connect(m_escape, &QShortcut::activated, this, &FindBar::close);
    connect(m_controller, &FindController::resultChanged, this, &FindBar::showResult);
    m_edit->installEventFilter(this);
    parent->installEventFilter(this);
    hide();
}

QString FindBar::countText(const QString &text, int current, int total)
{
    if (text.trimmed().isEmpty())
        return {};
    if (total == 0)
        return QStringLiteral("Nenájdené");
    return QStringLiteral("%1 z %2").arg(current).arg(total);
}

void FindBar::open(const QString &text)
{
    if (!text.isEmpty())
        m_edit->setText(text);
    place();
    show();
    raise();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
    m_controller->find(m_edit->text());
}

void FindBar::close()
{
    if (isHidden())
        return;
    hide();
    m_count->clear();
    m_controller->clear();
    emit closed();
}

void FindBar::next()
{
    if (isHidden() || m_controller->text() != m_edit->text())
        open();
    else
        m_controller->next();
}

void FindBar::previous()
{
    if (isHidden() || m_controller->text() != m_edit->text())
        open();
    else
        m_controller->previous();
}

void FindBar::pageLoaded()
{
    if (isVisible())
        m_controller->find(m_edit->text());
}

void FindBar::showResult(int current, int total)
{
    if (isHidden())
        return;
    m_count->setText(countText(m_edit->text(), current, total));
}

void FindBar::place()
{
    const QWidget *pane = parentWidget();
    const int h = sizeHint().height();
    setGeometry(0, pane->height() - h, pane->width(), h);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        place();
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers() & Qt::ShiftModifier) {
            previous();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}
