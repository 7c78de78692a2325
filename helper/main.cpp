// SPDX-License-Identifier: MIT
// help: explains the controls of the viewer's main window. Arguments are ignored.
#include "face.h"
#include "frmhlavne.h"
#include "qttranslations.h"
#include "startupchecks.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    if (!startupchecks::beforeApplication(argc, argv))
        return 1;
    QApplication app(argc, argv);
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
