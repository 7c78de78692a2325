// SPDX-License-Identifier: MIT
// The helper's window: the viewer's main window face, where a click on a control only
// explains that control in the large label instead of doing anything.
#pragma once

#include "face.h"

#include <QWidget>

class ClickLabel;

class frmHlavne : public QWidget
{
    Q_OBJECT
public:
    explicit frmHlavne(QWidget *parent = nullptr);

private slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Kniha_Click();
    void Label1_Click();
    void Label2_Click();
    void List_Click();
    void Listy_Click();
    void Praca_Click();
    void Zobraz_Click();

private:
    void explain(const QWidget *control);

    face::Controls m_face;
    ClickLabel *Zobraz = nullptr;
};
