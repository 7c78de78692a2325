// SPDX-License-Identifier: MIT
// The viewer proper, as the library pagora loads once its intro is on screen. Everything that
// needs the engine starts here.
#include "builtinbook.h"
#include "face.h"
#include "frmhlavne.h"
#include "pageaccessibility.h"
#include "pageschemehandler.h"
#include "panepreparer.h"
#include "settingsstore.h"
#include "startupchecks.h"

#include <QGuiApplication>
#include <QtGlobal>
#include <memory>

namespace {

struct Viewer
{
    SettingsStore settings;
    PanePreparer preparer{settings};
    std::unique_ptr<frmHlavne> main;
};

Viewer *viewer = nullptr;

} // namespace

extern "C" Q_DECL_EXPORT void pagoraViewerPrepare()
{
    if (viewer)
        return;
    // The page scheme, the screen readers' switch and the desktop's colour scheme must be set
    // before the engine starts.
    registerPageScheme();
    pageaccessibility::enable();
    startupchecks::engineFollowsPalette(QGuiApplication::palette());
    viewer = new Viewer;
    builtinbook::installOrSay();
    // The main window still reads the settings itself when it is made.
    viewer->preparer.prepare(face::paneRect().size());
}

extern "C" Q_DECL_EXPORT void pagoraViewerShow()
{
    pagoraViewerPrepare(); // late, should the intro never have been painted
    if (viewer->main)
        return;
    viewer->main = std::make_unique<frmHlavne>(viewer->settings, std::function<void()>{}, nullptr,
                                               viewer->preparer.take());
    viewer->main->Show();
}

extern "C" Q_DECL_EXPORT void pagoraViewerEnd()
{
    delete viewer;
    viewer = nullptr;
}
