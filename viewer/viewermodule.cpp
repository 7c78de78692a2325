// SPDX-License-Identifier: MIT
// The viewer proper, as the library pagora loads once its intro is on screen. Everything that
// needs the engine starts here.
#include "builtinbook.h"
#include "frmhlavne.h"
#include "pageaccessibility.h"
#include "pageschemehandler.h"
#include "settingsstore.h"

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

} // namespace

extern "C" Q_DECL_EXPORT void pagoraViewerPrepare()
{
    if (viewer)
        return;
    // The page scheme and the screen readers' switch must be set before the engine starts.
    registerPageScheme();
    pageaccessibility::enable();
    // Pages are composed in software unless the user chose otherwise: through GL (a software
    // one where there is no graphics card) the main window's first frame waits 200-700 ms for
    // the compositor to start, which a reader of text pages gains nothing from.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") &&
        qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    viewer = new Viewer;
    builtinbook::installOrSay();
    // The main window is made behind the intro but stays hidden: nothing but the intro is on
    // screen until the second tick shows it. Its pane loads the start page meanwhile.
    viewer->main = std::make_unique<frmHlavne>(viewer->settings);
    viewer->main->prepare();
}

extern "C" Q_DECL_EXPORT void pagoraViewerShow()
{
    pagoraViewerPrepare(); // late, should the intro never have been painted
    viewer->main->Show();
}

extern "C" Q_DECL_EXPORT void pagoraViewerEnd()
{
    delete viewer;
    viewer = nullptr;
}
