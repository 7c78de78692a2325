// SPDX-License-Identifier: MIT
#include "builtinbook.h"
#include "face.h"
#include "frmhlavne.h"
#include "frmuvod.h"
#include "pageaccessibility.h"
#include "pageschemehandler.h"
#include "panepreparer.h"
#include "qttranslations.h"
#include "settingsstore.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <memory>
#include <utility>

int main(int argc, char *argv[])
{
    // The page scheme and the screen readers' switch must be set before the engine starts.
    registerPageScheme();
    pageaccessibility::enable();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarvol"));
    QApplication::setApplicationName(QStringLiteral("Pagora"));
    // No application display name: Qt would append it to every window's title bar.
    QApplication::setApplicationVersion(QStringLiteral("1.00.0002"));
    QApplication::setDesktopFileName(QStringLiteral(PAGORA_DESKTOP_FILE_NAME));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/kniha_otvorena.ico")));
    face::useDesignFont();
    // The engine's own texts follow the default locale when it starts.
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));
    qttranslations::install();

    // Start-up in two halves. Before the intro's first paint: only what the intro needs.
    // After it, while the intro stands idle: the built-in book, then the engine with the
    // start page in a pane off screen. The intro's second tick creates and shows the main
    // window as before; it adopts that pane and still reads the settings itself.
    SettingsStore settings;
    PanePreparer preparer(settings);
    bool prepared = false;
    const auto prepareBehindIntro = [&] {
        if (std::exchange(prepared, true))
            return;
        builtinbook::installOrSay();
        preparer.prepare(face::paneRect().size());
    };
    std::unique_ptr<frmHlavne> main;
    auto *intro = new frmUvod([&] {
        prepareBehindIntro(); // late, should the intro never have been painted
        main = std::make_unique<frmHlavne>(settings, std::function<void()>{}, nullptr,
                                           preparer.take());
        main->Show();
    });
    QObject::connect(intro, &frmUvod::firstPainted, intro, prepareBehindIntro,
                     Qt::QueuedConnection);
    intro->show();
    const int result = app.exec();
    main.reset();
    return result;
}
