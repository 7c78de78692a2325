// SPDX-License-Identifier: MIT
#include "accessiblewindows.h"
#include "face.h"
#include "frmuvod.h"
#include "qttranslations.h"
#include "startupchecks.h"
#include "viewerlibrary.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QMessageBox>
#include <utility>

int main(int argc, char *argv[])
{
    // No command line is read, not even Qt's own options (-reverse, -qwindowtitle,
    // -stylesheet...); the environment (DISPLAY, QT_QPA_PLATFORM, QT_SCALE_FACTOR) still is.
    Q_UNUSED(argc);
    int noArguments = 1;
    if (!startupchecks::beforeApplication(noArguments, argv))
        return 1;
    QApplication app(noArguments, argv);
    accessiblewindows::install();
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

    // Start-up in two halves. Before the intro's first paint: only what the intro needs, not
    // even the engine's libraries. After it, while the intro stands idle: the viewer's library
    // with the engine, the built-in book, and the main window rendered off screen on the start
    // page. The intro's second tick shows the main window, which still reads the settings
    // itself then.
    ViewerLibrary viewer(ViewerLibrary::foldersFor(QCoreApplication::applicationDirPath()));
    bool prepared = false;
    const auto prepareBehindIntro = [&] {
        if (!std::exchange(prepared, true))
            viewer.prepare();
    };
    auto *intro = new frmUvod([&] {
        prepareBehindIntro(); // late, should the intro never have been painted
        if (!viewer.isLoaded()) {
            QMessageBox::critical(nullptr, QStringLiteral("Tarvol Pagora"), viewer.errorText());
            QCoreApplication::exit(1);
            return;
        }
        viewer.show();
    });
    QObject::connect(intro, &frmUvod::firstPainted, intro, prepareBehindIntro,
                     Qt::QueuedConnection);
    intro->show();
    const int result = app.exec();
    viewer.end();
    return result;
}
