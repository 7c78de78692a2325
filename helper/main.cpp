// SPDX-License-Identifier: MIT
// help: explains the controls of the viewer's main window. Arguments are ignored.
#include "accessiblewindows.h"
#include "face.h"
#include "frmhlavne.h"
#include "qttranslations.h"
#include "startupchecks.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    // Not even Qt's own options (-reverse, -qwindowtitle, -stylesheet...) are read; the
    // environment (DISPLAY, QT_QPA_PLATFORM, QT_SCALE_FACTOR) still is.
    Q_UNUSED(argc);
    int noArguments = 1;
    if (!startupchecks::beforeApplication(noArguments, argv))
        return 1;
    QApplication app(noArguments, argv);
    accessiblewindows::install();
    QApplication::setApplicationName(QStringLiteral("help"));
    QApplication::setOrganizationName(QStringLiteral("Tarvol"));
    QApplication::setApplicationVersion(QStringLiteral("2.00.0002"));
    QApplication::setDesktopFileName(QStringLiteral(PAGORA_DESKTOP_FILE_NAME));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/otaznik.ico")));
    face::useDesignFont();
    qttranslations::install();

    frmHlavne window;
    window.showMaximized();
    return app.exec();
}
