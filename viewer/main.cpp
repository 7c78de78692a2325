// SPDX-License-Identifier: MIT
#include "builtinbook.h"
#include "face.h"
#include "frmhlavne.h"
#include "frmuvod.h"
#include "pageschemehandler.h"
#include "panepreparer.h"
#include "settingsstore.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <memory>
#include <utility>

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
        QString error;
        if (!builtinbook::install(&error))
            qWarning("%s", qPrintable(error));
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
