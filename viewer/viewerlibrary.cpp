// SPDX-License-Identifier: MIT
#include "viewerlibrary.h"

#include "privatedir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QOpenGLContext>

QT_BEGIN_NAMESPACE
// Qt's GUI library exports it for the engine, which asks it for the context to share.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
QT_END_NAMESPACE

namespace {

QOpenGLContext *sharedContext = nullptr;

void dropSharedContext()
{
    qt_gl_set_global_share_context(nullptr);
    delete sharedContext;
    sharedContext = nullptr;
}

// The engine draws through a GL context it shares with the application, and looks for it
// as its library is loaded. Qt makes one with the application when asked before it starts,
// but on X that loads the graphics driver before the intro can show (100 ms under Xvfb);
// made here, it costs the idle intro instead. Without GL (offscreen) it is not created, and
// the engine draws without it, as it always has there.
void makeSharedContext()
{
    if (QOpenGLContext::globalShareContext())
        return;
    // Qt warns of the attribute coming after the application; here it is meant to.
    const QtMessageHandler handler =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qInstallMessageHandler(handler);
    sharedContext = new QOpenGLContext;
    sharedContext->create();
    qt_gl_set_global_share_context(sharedContext);
    qAddPostRoutine(dropSharedContext);
}

} // namespace

const char *const ViewerLibrary::FileName = "pagora-viewer.so";

QStringList ViewerLibrary::foldersFor(const QString &ownDir)
{
    if (ownDir.isEmpty())
        return {};
    return {ownDir, privatedir::forProgramIn(ownDir)};
}

ViewerLibrary::ViewerLibrary(const QStringList &folders) : m_folders(folders)
{
    // Its code stays until the process ends: the windows and the engine hold on to it.
    m_library.setLoadHints(QLibrary::PreventUnloadHint);
}

bool ViewerLibrary::load()
{
    if (std::exchange(m_tried, true))
        return isLoaded();
    const QString name = QLatin1String(FileName);
    QString path;
    for (const QString &folder : std::as_const(m_folders)) {
        const QFileInfo file(folder + QLatin1Char('/') + name);
        if (file.isFile()) {
            path = file.absoluteFilePath();
            break;
        }
    }
    if (path.isEmpty()) {
        m_error = QStringLiteral("Program sa nedá spustiť: chýba jeho súčasť %1 (hľadaná v "
                                 "priečinkoch %2).")
                      .arg(name, m_folders.isEmpty() ? QStringLiteral("—")
                                                     : m_folders.join(QStringLiteral(", ")));
        return false;
    }
    makeSharedContext();
    m_library.setFileName(path);
    if (!m_library.load()) {
        m_error = QStringLiteral("Program sa nedá spustiť: jeho súčasť %1 sa nedá načítať.\n\n%2")
                      .arg(QDir::toNativeSeparators(path), m_library.errorString());
        return false;
    }
    m_prepare = reinterpret_cast<void (*)()>(m_library.resolve("pagoraViewerPrepare"));
    m_show = reinterpret_cast<void (*)()>(m_library.resolve("pagoraViewerShow"));
    m_end = reinterpret_cast<void (*)()>(m_library.resolve("pagoraViewerEnd"));
    if (!isLoaded()) {
        m_prepare = nullptr;
        m_show = nullptr;
        m_end = nullptr;
        m_error = QStringLiteral("Program sa nedá spustiť: súčasť %1 nepatrí k tejto verzii "
                                 "programu.")
                      .arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

void ViewerLibrary::prepare()
{
    if (load())
        m_prepare();
}

void ViewerLibrary::show()
{
    if (load())
        m_show();
}

void ViewerLibrary::end()
{
    if (isLoaded())
        m_end();
}
