// SPDX-License-Identifier: MIT
#include "builtinbook.h"
#include "face.h"
#include "frmhlavne.h"
#include "frmuvod.h"
#include "pageschemehandler.h"
#include "settingsstore.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <memory>

int main(int argc, char *argv[])
{
    // The page scheme must be known before the web engine starts.
    registerPageScheme();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarvol"));
    QApplication::setApplicationName(QStringLiteral("Pagora"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarvol Pagora NEW 1.0"));
    QApplication::setApplicationVersion(QStringLiteral("1.00.0002"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/kniha_otvorena.ico")));
    face::useDesignFont();
    // The engine's own texts follow the default locale when it starts.
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));

    builtinbook::installOrSay();

    SettingsStore settings;
    std::unique_ptr<frmHlavne> main;
    auto *intro = new frmUvod([&] {
        main = std::make_unique<frmHlavne>(settings);
        main->Show();
    });
    intro->show();
    const int result = app.exec();
    main.reset();
    return result;
}
