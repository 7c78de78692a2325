// SPDX-License-Identifier: MIT
// The floor for everything the engine does: a bare web view with the engine's default
// profile, created a moment after start, loading the home page and then the book's pages as
// file: URLs. Arguments: the home page file, the number of switches, the page files.
// With PAGORA_FLOOR_SCHEME=1 the same files come through the smallest handler of a custom
// scheme instead: what any program pays for serving pages itself rather than as files.
// With PAGORA_FLOOR_PRELOADED=1 the view lies in a plain window from its creation and loads
// the home page while that window is hidden; the window is shown maximised 1.5 s later, as
// the intro's second tick shows the main window: "handover" is that show to the page painted.
#include "loadpaint.h"
#include "probe.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QQuickWindow>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>
#include <memory>

namespace {

const QByteArray schemeName = QByteArrayLiteral("floor");

class FileHandler : public QWebEngineUrlSchemeHandler
{
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob *job) override
    {
        const QString path = job->requestUrl().path();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        auto *buffer = new QBuffer(job);
        buffer->setData(file.readAll());
        buffer->open(QIODevice::ReadOnly);
        const QByteArray type = path.endsWith(QLatin1String(".css"))   ? "text/css"
                                : path.endsWith(QLatin1String(".png")) ? "image/png"
                                                                       : "text/html";
        job->reply(type, buffer);
    }
};

QUrl pageUrl(const QString &file, bool viaScheme)
{
    if (!viaScheme)
        return QUrl::fromLocalFile(file);
    QUrl url;
    url.setScheme(QString::fromLatin1(schemeName));
    url.setHost(QStringLiteral("c"));
    url.setPath(file);
    return url;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool viaScheme = qEnvironmentVariableIntValue("PAGORA_FLOOR_SCHEME") != 0;
    if (viaScheme) {
        // The same syntax and flags as the viewer's own scheme.
        QWebEngineUrlScheme scheme(schemeName);
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
        scheme.setFlags(QWebEngineUrlScheme::SecureScheme);
        QWebEngineUrlScheme::registerScheme(scheme);
    }
    QApplication app(argc, argv);
    if (viaScheme)
        QWebEngineProfile::defaultProfile()->installUrlSchemeHandler(schemeName,
                                                                     new FileHandler(&app));
    const QStringList args = app.arguments();
    if (args.size() < 3)
        qFatal("usage: bareview HOME SWITCHES [PAGE...]");
    const QUrl home = pageUrl(args.at(1), viaScheme);
    const int switches = args.at(2).toInt();
    QList<QUrl> pages;
    for (int i = 3; i < args.size(); ++i)
        pages << pageUrl(args.at(i), viaScheme);

    probe::LoadPaintWaiter waiter;
    QWebEngineView *view = nullptr;
    int done = 0;
    qint64 started = 0;
    std::function<void()> next;
    next = [&] {
        if (done == switches || pages.isEmpty()) {
            QTimer::singleShot(500, &app, [] {
                probe::report("pss_after", probe::ownTreePssKb());
                probe::report("done", 1);
                QCoreApplication::exit(0);
            });
            return;
        }
        started = probe::now();
        waiter.arm(view, [&](qint64 at) {
            probe::report("switch", at - started);
            ++done;
            next();
        });
        view->load(pages.at(done % pages.size()));
    };

    std::unique_ptr<QWidget> window;
    if (qEnvironmentVariableIntValue("PAGORA_FLOOR_PRELOADED") != 0) {
        // Composed as pagora composes its pages.
        if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
            QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        QTimer::singleShot(1000, &app, [&] {
            window = std::make_unique<QWidget>();
            view = new QWebEngineView(window.get());
            view->setGeometry(120, 64, 665, 465);
            QObject::connect(view, &QWebEngineView::loadFinished, &waiter,
                             [&](bool) { waiter.loaded(); });
            view->load(home);
        });
        QTimer::singleShot(2500, &app, [&] {
            started = probe::now();
            waiter.arm(
                view,
                [&](qint64 at) {
                    probe::report("handover", at - started);
                    QTimer::singleShot(500, &app, [] {
                        probe::report("done", 1);
                        QCoreApplication::exit(0);
                    });
                },
                true);
            window->showMaximized();
        });
        const int result = app.exec();
        window.reset();
        return result;
    }

    // Idle first, as the intro is, so the engine starts at an ordinary moment.
    QTimer::singleShot(1000, &app, [&] {
        started = probe::now();
        view = new QWebEngineView;
        QObject::connect(view, &QWebEngineView::loadFinished, &waiter,
                         [&](bool) { waiter.loaded(); });
        view->resize(665, 465);
        view->show();
        waiter.arm(view, [&](qint64 at) {
            probe::report("handover", at - started);
            QTimer::singleShot(2000, &app, [&] {
                probe::report("pss_home", probe::ownTreePssKb());
                next();
            });
        });
        view->load(home);
    });
    const int result = app.exec();
    delete view;
    return result;
}
