// SPDX-License-Identifier: MIT
#include "frmvybrat.h"

#include "browserpane.h"
#include "clicklabel.h"
#include "filelistbox.h"
#include "frmhlavne.h"
#include "library.h"
#include "noicon.h"
#include "twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <limits>

frmVybrat::frmVybrat(frmHlavne &main)
    : QWidget(&main, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_main(main)
{
    setObjectName(QStringLiteral("frmVybrat"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString(44, QLatin1Char('_')));
    setFixedSize(twips::size(4680, 3195));
    create();
    noicon::clear(this);

    // Created bottom to top: the frame must lie above everything once it is shown.
    File1 = new FileListBox(this);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setGeometry(twips::rect(120, 120, 4455, 2430));

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twips::rect(120, 2760, 2175, 375));
    Command1->setVisible(false);

    Command2 = new QPushButton(QStringLiteral("Zrušiť"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(twips::rect(2400, 2760, 2175, 375));

    Command3 = new QPushButton(QStringLiteral("OK"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setGeometry(twips::rect(120, 2760, 2175, 375));
    Command3->setVisible(false);

    Kniha = new QCheckBox(QStringLiteral("Check1"), this);
    Kniha->setObjectName(QStringLiteral("Kniha"));
    Kniha->setGeometry(twips::rect(720, 2400, 615, 255));
    Kniha->setVisible(false);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips::rect(120, 0, 4455, 3135));
    // Opaque, so that once shown it really covers the list and the buttons beneath.
    Frame1->setAutoFillBackground(true);
    Frame1->setVisible(false);

    Label1 = new QLabel(QStringLiteral("Zmažte prosím .BKX v texte!"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twips::rect(120, 240, 4215, 255));

    Text1 = new QLineEdit(QStringLiteral("Text1"), Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twips::rect(120, 600, 4215, 285));
    Text1->setMaxLength(std::numeric_limits<int>::max());
    Text1->setAccessibleName(QStringLiteral("Názov knihy"));
    // The instruction above it is what a screen reader reads with the text box.
    Label1->setBuddy(Text1);

    Command4 = new QPushButton(QStringLiteral("OK"), Frame1);
    Command4->setObjectName(QStringLiteral("Command4"));
    Command4->setGeometry(twips::rect(120, 960, 4215, 375));

    // No default button: Enter and Esc start nothing here.
    for (QPushButton *button : {Command1, Command2, Command3, Command4}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    setTabOrder(File1, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Text1);
    setTabOrder(Text1, Command4);

    connect(Command1, &QPushButton::clicked, this, &frmVybrat::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmVybrat::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmVybrat::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmVybrat::Command4_Click);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &frmVybrat::Timer1_Timer);
    Timer1.start();
}

bool frmVybrat::listFolder(FileListBox *list, const QString &path, const QString &what)
{
    if (list->setPath(path))
        return true;
    QMessageBox::warning(
        this, QStringLiteral("Priečinok sa nenašiel"),
        QStringLiteral("%1 „%2“ sa nenašiel, zoznam je preto prázdny.").arg(what, path));
    return false;
}

void frmVybrat::Timer1_Timer()
{
    // The mode is applied once per opening.
    Timer1.stop();
    if (Kniha->isChecked()) {
        setWindowTitle(QStringLiteral("Vybrať knihu"));
        File1->setAccessibleName(QStringLiteral("Knihy"));
        File1->setPattern(library::bookPattern);
        Command1->setVisible(true);
        Command3->setVisible(false);
        listFolder(File1, library::rootFolder, QStringLiteral("Priečinok knižnice"));
        return;
    }
    if (m_main.Kniha->text() == library::noBook) {
        QMessageBox::critical(this, QStringLiteral("Z akej knihy?"),
                              QStringLiteral("Nemáte vybranú žiadnu knihu!"));
        close();
        return;
    }
    setWindowTitle(QStringLiteral("Vybrať list"));
    File1->setAccessibleName(QStringLiteral("Listy knihy"));
    File1->setPattern(library::pagePattern);
    Command1->setVisible(false);
    Command3->setVisible(true);
    listFolder(File1, library::bookFolder(m_main.Kniha->text()), QStringLiteral("Priečinok knihy"));
}

void frmVybrat::Command1_Click()
{
    Frame1->setVisible(true);
    Frame1->raise();
    Text1->setText(File1->fileName());
    Text1->setFocus();
}

void frmVybrat::Command2_Click()
{
    close();
}

void frmVybrat::Command3_Click()
{
    m_main.Hlavne->Navigate(library::pagePath(m_main.Kniha->text(), File1->fileName()));
    m_main.List->setText(File1->fileName());
    close();
}

void frmVybrat::Command4_Click()
{
    m_main.Kniha->setText(Text1->text());
    m_main.Hlavne->Navigate(library::openingPagePath(m_main.Kniha->text()));
    const bool found = m_main.Listy->setPath(library::bookFolder(m_main.Kniha->text()));
    m_main.List->setText(QStringLiteral("1 Uvod.PGX"));
    if (!found) {
        QMessageBox::warning(
            this, QStringLiteral("Kniha sa nenašla"),
            QStringLiteral("Kniha „%1“ sa v knižnici nenašla: priečinok „%2“ neexistuje.\n\n"
                           "Ak ste v názve nechali koncovku .BKX, zmažte ju.")
                .arg(m_main.Kniha->text(), library::bookFolder(m_main.Kniha->text())));
    }
    close();
}
