// SPDX-License-Identifier: MIT
// The configuration window: edits the home page shown from the next start on.
#pragma once

#include <QWidget>

class QGroupBox;
class QLineEdit;
class QPushButton;
class SettingsStore;

class frmKonfig : public QWidget
{
    Q_OBJECT
public:
    frmKonfig(SettingsStore &settings, QWidget *main);

    QGroupBox *Frame1;
    QLineEdit *Text1;
    QPushButton *Command1;
    QPushButton *Command2;

private:
    void Command1_Click();
    void Command2_Click();

    SettingsStore &m_settings;
};
