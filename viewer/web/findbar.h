// SPDX-License-Identifier: MIT
// The slim bar over the pane's bottom edge that shows only while the user finds in a page.
#pragma once

#include <QFrame>

class FindController;
class QLabel;
class QLineEdit;
class QPushButton;
class QShortcut;

class FindBar : public QFrame
{
    Q_OBJECT

public:
    // Lies over the bottom edge of parent and follows its size.
    FindBar(FindController *controller, QWidget *parent);

    // Shows the bar with text (the last text when empty) selected and finds it.
    void open(const QString &text = QString());
    // Hides the bar and removes the highlight; focus goes back to the page.
    void close();
    void next();
    void previous();
    // A new page has loaded: its matches are found again while the bar shows.
    void pageLoaded();

    QLineEdit *edit() const { return m_edit; }
    QLabel *countLabel() const { return m_count; }
    QPushButton *nextButton() const { return m_next; }
    QPushButton *previousButton() const { return m_previous; }

    // "3 z 12", "Nenájdené", or nothing for the empty text.
    static QString countText(const QString &text, int current, int total);

signals:
    // The bar closed; the pane gives focus back to the page.
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();
    void showResult(int current, int total);

    FindController *m_controller;
    QLineEdit *m_edit;
    QPushButton *m_next;
    QPushButton *m_previous;
    QPushButton *m_close;
    QLabel *m_count;
    QShortcut *m_escape;
};
