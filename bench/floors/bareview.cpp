// SPDX-License-Identifier: MIT
// The floor for everything the engine does: a bare web view with the engine's default
// profile, created a moment after start, loading the home page and then the book's pages as
// file: URLs. Arguments: the home page file, the number of switches, the page files.
#include "loadpaint.h"
#include "probe.h"

#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        qFatal("usage: bareview HOME SWITCHES [PAGE...]");
    const QUrl home = QUrl::fromLocalFile(args.at(1));
    const int switches = args.at(2).toInt();
    QList<QUrl> pages;
    for (int i = 3; i < args.size(); ++i)
        pages << QUrl::fromLocalFile(args.at(i));

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
