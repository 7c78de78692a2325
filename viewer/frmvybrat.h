// SPDX-License-Identifier: MIT
// The choose window: a book from the library's marker files, or a page of the open book.
// It hands the choice back by writing the main window's controls, then closes.
#pragma once

#include <QTimer>
#include <QWidget>

class FileListBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class frmHlavne;

class frmVybrat : public QWidget
{
    Q_OBJECT
public:
    explicit frmVybrat(frmHlavne &main);

    FileListBox *File1;
    QPushButton *Command1;
    QPushButton *Command2;
    QPushButton *Command3;
    // The mode flag, never shown: ticked is book mode, anything else page mode.
    QCheckBox *Kniha;
    QGroupBox *Frame1;
    QLabel *Label1;
    QLineEdit *Text1;
    QPushButton *Command4;
    QTimer Timer1;

private:
    void Timer1_Timer();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

    // Points a file list at a folder; tells the user when the folder is not there.
    bool listFolder(FileListBox *list, const QString &path, const QString &what);

    frmHlavne &m_main;
};
