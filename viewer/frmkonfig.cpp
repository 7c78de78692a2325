// SPDX-License-Identifier: MIT
#include "frmkonfig.h"

#include "library.h"
#include "noicon.h"
#include "settingsstore.h"
#include "twips.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <limits>

frmKonfig::frmKonfig(SettingsStore &settings, QWidget *main)
    : QWidget(main, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                        Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_settings(settings)
{
    setObjectName(QStringLiteral("frmKonfig"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Konfigurácia"));
    setFixedSize(twips::size(4680, 1335));
    create();
    noicon::clear(this);

    Frame1 = new QGroupBox(QStringLiteral("Úvodná strana:"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips::rect(120, 120, 4455, 615));

    // The built-in home page at every opening, whatever is stored.
    Text1 = new QLineEdit(library::defaultHomePage, Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twips::rect(120, 240, 4215, 285));
    Text1->setMaxLength(std::numeric_limits<int>::max());

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twips::rect(120, 840, 2175, 375));

    Command2 = new QPushButton(QStringLiteral("Zrušiť"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(twips::rect(2400, 840, 2175, 375));

    // No default button: Enter and Esc start nothing here.
    for (QPushButton *button : {Command1, Command2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Command2);

    connect(Command1, &QPushButton::clicked, this, &frmKonfig::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmKonfig::Command2_Click);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void frmKonfig::Command1_Click()
{
    if (!m_settings.write(SettingsStore::homepageKey, Text1->text())) {
        // Keep the window and the typed text, so the user loses nothing.
        QMessageBox::warning(this, QStringLiteral("Konfigurácia"),
                             QStringLiteral("Úvodnú stranu sa nepodarilo uložiť do súboru "
                                            "nastavení:\n%1\n\nSkontrolujte, či je súbor "
                                            "zapisovateľný, a skúste to znova.")
                                 .arg(m_settings.file()));
        return;
    }
    close();
}

void frmKonfig::Command2_Click()
{
    close();
}
