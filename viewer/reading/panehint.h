// SPDX-License-Identifier: MIT
// A short note over the pane's bottom left corner that goes by itself: the pane's status.
#pragma once

#include <QLabel>

class QTimer;

class PaneHint : public QLabel
{
    Q_OBJECT

public:
    explicit PaneHint(QWidget *pane);

    void showHint(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();

    QTimer *m_timer;
};
