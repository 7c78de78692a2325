// SPDX-License-Identifier: MIT
// The Slovak box a page's alert(), confirm() or prompt() shows.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

// Never modal: "Odchod", the close box and the rest of the main window keep working while it
// is open, and the program can end at once whatever the page does. The title names the page
// the way the user knows it; the check box stops further dialogs from that page.
class PageDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Kind { Alert, Confirm, Prompt };

    PageDialog(Kind kind, const QString &pageAddress, const QString &message,
               const QString &defaultValue = QString(), QWidget *parent = nullptr);

    static QString silenceText(); // "Nezobrazovať ďalšie dialógy z tejto stránky"

    Kind kind() const { return m_kind; }
    QString text() const;  // what was typed for a prompt
    bool silenced() const; // the user asked for no more dialogs from this page

    QCheckBox *silenceBox() const { return m_silence; }
    QLineEdit *input() const { return m_input; }

private:
    Kind m_kind;
    QCheckBox *m_silence = nullptr;
    QLineEdit *m_input = nullptr;
};
