// SPDX-License-Identifier: MIT
// The viewer proper, as the library pagora loads once its intro is on screen. Everything that
// needs the engine starts here.
#include "builtinbook.h"
#include "frmhlavne.h"
#include "pageaccessibility.h"
#include "pageschemehandler.h"
#include "settingsstore.h"
#include "startupchecks.h"

#include <QGuiApplication>
#include <QQuickWindow>
#include <QtGlobal>
#include <memory>

namespace {

struct Viewer
{
    SettingsStore settings;
    std::unique_ptr<frmHlavne> main;
};

Viewer *viewer = nullptr;

// The main window is made behind the intro but not put on screen: nothing but the intro is
// seen until the second tick shows it. Its pane loads the start page meanwhile.
void makeMainWindow()
{
    if (viewer->main)
        return;
    viewer->main = std::make_unique<frmHlavne>(viewer->settings);
    viewer->main->prepare();
}

} // namespace

extern "C" Q_DECL_EXPORT void pagoraViewerPrepare()
{
    if (viewer)
        return;
    // The page scheme, the screen readers' switch and the desktop's colour scheme must be set
    // before the engine starts.
    registerPageScheme();
    pageaccessibility::enable();
    // Pages are composed in software unless the user chose otherwise: through GL (a software
    // one where there is no graphics card) the main window's first frame waits 200-700 ms for
    // the compositor to start, which a reader of text pages gains nothing from.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") &&
        qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    startupchecks::engineFollowsPalette(QGuiApplication::palette());
    viewer = new Viewer;
    // Its message, when the book cannot be written, waits for the user while the intro's
    // ticks go on: the second may show the main window meanwhile.
    builtinbook::installOrSay();
    makeMainWindow();
}

extern "C" Q_DECL_EXPORT void pagoraViewerShow()
{
    pagoraViewerPrepare(); // late, should the intro never have been painted
    makeMainWindow();
    viewer->main->Show();
}

extern "C" Q_DECL_EXPORT void pagoraViewerEnd()
{
    delete viewer;
    viewer = nullptr;
}
