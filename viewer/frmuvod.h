// SPDX-License-Identifier: MIT
// The intro window: a notebook picture with the product's name, shown while the program
// starts; after two timer ticks it hands over to the main window and goes.
#pragma once

#include "storedpicture.h"

#include <QTimer>
#include <QWidget>
#include <functional>

class QLabel;

class frmUvod : public QWidget
{
    Q_OBJECT
public:
    // showMain shows the main window, loading it first; it must return with it visible.
    explicit frmUvod(std::function<void()> showMain);

    QLabel *Label1;
    QLabel *Image1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QTimer Timer1;
    QTimer Timer2;

signals:
    // Once, when the window has been painted for the first time. What the intro itself does
    // not need waits for this, so the window is on screen as early as possible.
    void firstPainted();

protected:
    void paintEvent(QPaintEvent *event) override;
    // The window takes no input: a close box or Alt+F4 of a window manager does nothing, so
    // the program is never left without a window before the main one is shown.
    void closeEvent(QCloseEvent *event) override;

private:
    void Timer1_Timer();
    void Timer2_Timer();

    std::function<void()> m_showMain;
    StoredPicture m_picture;
    bool m_painted = false;
    bool m_handedOver = false;
};
