// SPDX-License-Identifier: MIT
// The real pagora started under a window manager, watched from outside as a user sees it:
// which windows the manager is given while the intro stands, what a close box does then, and
// what the main window's first frames show. Runs on X (xcb) beside a running manager.
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QtGui/qguiapplication_platform.h>

#include <unistd.h>
#include <xcb/xcb.h>

namespace {

xcb_connection_t *connection()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow()
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root;
}

xcb_atom_t atom(const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection(), xcb_intern_atom(connection(), 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

QList<quint32> cardinals(xcb_window_t window, const char *property, xcb_atom_t type)
{
    QList<quint32> values;
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection(), xcb_get_property(connection(), 0, window, atom(property), type, 0, 4096),
        nullptr);
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply));
        const int n = xcb_get_property_value_length(reply) / 4;
        for (int i = 0; i < n; ++i)
            values << data[i];
    }
    free(reply);
    return values;
}

struct Managed
{
    xcb_window_t id = 0;
    bool normal = false; // _NET_WM_WINDOW_TYPE_NORMAL (the intro is a splash screen)
};

// The windows of process pid that the manager manages now (_NET_CLIENT_LIST).
QList<Managed> managedWindowsOf(qint64 pid)
{
    QList<Managed> windows;
    const xcb_atom_t normal = atom("_NET_WM_WINDOW_TYPE_NORMAL");
    for (quint32 id : cardinals(rootWindow(), "_NET_CLIENT_LIST", XCB_ATOM_WINDOW)) {
        const QList<quint32> owner = cardinals(id, "_NET_WM_PID", XCB_ATOM_CARDINAL);
        if (owner.isEmpty() || owner.first() != quint32(pid))
            continue;
        const QList<quint32> types = cardinals(id, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM);
        windows << Managed{id, !types.isEmpty() && types.first() == normal};
    }
    return windows;
}

// What a close box does: asks the manager to close the window.
void requestClose(xcb_window_t window)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom("_NET_CLOSE_WINDOW");
    event.data.data32[0] = XCB_CURRENT_TIME;
    event.data.data32[1] = 2; // a pager or a task list, as a user's own request
    xcb_send_event(connection(), 0, rootWindow(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(connection());
}

// The window's title as a window manager draws it (_NET_WM_NAME, UTF-8).
QString title(xcb_window_t window)
{
    const xcb_atom_t utf8 = atom("UTF8_STRING");
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection(),
        xcb_get_property(connection(), 0, window, atom("_NET_WM_NAME"), utf8, 0, 1024), nullptr);
    QString text;
    if (reply) {
        text = QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(reply)),
                                 xcb_get_property_value_length(reply));
    }
    free(reply);
    return text;
}

// Whether the window is still there: one destroyed between two reads (the intro at the
// hand-over) has no title left to read.
bool exists(xcb_window_t window)
{
    xcb_get_window_attributes_reply_t *reply = xcb_get_window_attributes_reply(
        connection(), xcb_get_window_attributes(connection(), window), nullptr);
    const bool found = reply != nullptr;
    free(reply);
    return found;
}

bool managerRunning()
{
    const QList<quint32> check =
        cardinals(rootWindow(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW);
    return !check.isEmpty() && check.first() != 0;
}

// Share of pixels in rect that are pure black.
double blackShare(const QImage &image, const QRect &rect)
{
    const QRect r = rect.intersected(image.rect());
    if (r.isEmpty())
        return 1.0;
    qint64 black = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x)
            black += (image.pixel(x, y) & 0xffffff) == 0;
    }
    return double(black) / double(qint64(r.width()) * r.height());
}

// Share of pixels in rect that differ from the same pixels of reference.
double differingShare(const QImage &image, const QImage &reference, const QRect &rect)
{
    const QRect r = rect.intersected(image.rect()).intersected(reference.rect());
    if (r.isEmpty())
        return 1.0;
    qint64 differing = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x)
            differing += image.pixel(x, y) != reference.pixel(x, y);
    }
    return double(differing) / double(qint64(r.width()) * r.height());
}

// The face's places in the main window's client area, in pixels.
const QRect toolbar(8, 8, 770, 48);
const QRect speedPanel(8, 64, 105, 461);
const QRect pane(120, 64, 665, 465);
// Only that much is grabbed: grabbing the whole screen would slow the program it watches.
const QRect face(0, 0, 800, 540);

} // namespace

class tst_StartupWm : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;
    std::unique_ptr<QProcess> m_pagora;

    void startPagora(const QString &drive = {})
    {
        m_pagora = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral("cache")));
        env.insert(QStringLiteral("PAGORA_DRIVE_C"),
                   drive.isEmpty() ? m_home.filePath(QStringLiteral("drive_c")) : drive);
        if (geteuid() == 0)
            env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        m_pagora->setProcessEnvironment(env);
        m_pagora->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_pagora->start(QStringLiteral(PAGORA_BIN_DIR "/pagora"), {});
        QVERIFY(m_pagora->waitForStarted());
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(connection(), "needs an X display");
        QVERIFY2(managerRunning(), "needs a running window manager");
        QVERIFY(m_home.isValid());
    }

    void cleanup()
    {
        if (m_pagora && m_pagora->state() != QProcess::NotRunning) {
            m_pagora->kill();
            m_pagora->waitForFinished();
        }
        m_pagora.reset();
    }

    // Until the hand-over the manager is given the intro alone, and a close request to it
    // (or to anything else it manages) does not end the program.
    void theIntroStandsAlone()
    {
        startPagora();
        QElapsedTimer clock;
        clock.start();
        QList<xcb_window_t> introIds;
        bool closesSent = false;
        bool mainShown = false;
        int samples = 0;
        while (!mainShown && clock.elapsed() < 60000) {
            QVERIFY2(m_pagora->state() == QProcess::Running, "the program ended during the intro");
            const QList<Managed> windows = managedWindowsOf(m_pagora->processId());
            ++samples;
            for (const Managed &w : windows) {
                if (w.normal) {
                    mainShown = true;
                    continue;
                }
                if (!introIds.contains(w.id))
                    introIds << w.id;
            }
            if (!mainShown) {
                QVERIFY2(windows.size() <= 1,
                         qPrintable(QStringLiteral("%1 windows managed during the intro at %2 ms")
                                        .arg(windows.size())
                                        .arg(clock.elapsed())));
                // Halfway through the intro, every managed window is asked to close.
                if (!closesSent && !windows.isEmpty() && clock.elapsed() > 1000) {
                    for (const Managed &w : windows)
                        requestClose(w.id);
                    closesSent = true;
                }
            }
            QTest::qWait(50);
        }
        QVERIFY2(mainShown, "no main window within 60 s");
        QCOMPARE(introIds.size(), 1);
        QVERIFY(closesSent);
        QVERIFY(samples > 10);
        // The main window stays, and the program with it.
        QTest::qWait(500);
        QCOMPARE(m_pagora->state(), QProcess::Running);
        QCOMPARE(managedWindowsOf(m_pagora->processId()).size(), 1);
    }

    // The library cannot be made: its message stays open while the intro's ticks go on. Only
    // the intro, that message and the main window ever appear, and the program carries on.
    void aLibraryThatCannotBeMadeShowsOnlyRealWindows()
    {
        QFile blocker(m_home.filePath(QStringLiteral("soubor")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        startPagora(blocker.fileName() + QStringLiteral("/drive_c"));
        const QStringList allowed{QStringLiteral("Tarvol Pagora NEW 1.0"),
                                  QStringLiteral("Knižnica")};
        QElapsedTimer clock;
        clock.start();
        bool mainShown = false;
        xcb_window_t box = 0;
        while (clock.elapsed() < 6000) {
            QVERIFY2(m_pagora->state() == QProcess::Running, "the program ended");
            for (const Managed &w : managedWindowsOf(m_pagora->processId())) {
                const QString shown = title(w.id);
                if (shown.isEmpty() && !exists(w.id))
                    continue;
                QVERIFY2(allowed.contains(shown),
                         qPrintable(QStringLiteral("a window \"%1\"").arg(shown)));
                if (shown == allowed.at(1))
                    box = w.id;
                else if (w.normal)
                    mainShown = true;
            }
            QTest::qWait(50);
        }
        QVERIFY2(box, "no message about the library");
        QVERIFY(mainShown);
        requestClose(box);
        QTest::qWait(1000);
        QCOMPARE(m_pagora->state(), QProcess::Running);
        QCOMPARE(managedWindowsOf(m_pagora->processId()).size(), 1);
    }

    // From 100 ms after the main window is mapped, its frames show the toolbar, the
    // SpeedPanel and the page where they stay: no black window, no shifted content.
    void theMainWindowArrivesWhole()
    {
#ifdef PAGORA_SANITIZED
        QSKIP("a program built with the sanitizers paints too slowly for frame timing");
#endif
        QScreen *screen = QGuiApplication::primaryScreen();
        screen->grabWindow(0, 0, 0, 8, 8); // the first grab sets up what later ones reuse
        startPagora();
        QElapsedTimer clock;
        clock.start();
        xcb_window_t main = 0;
        while (!main && clock.elapsed() < 60000) {
            for (const Managed &w : managedWindowsOf(m_pagora->processId())) {
                if (w.normal)
                    main = w.id;
            }
            if (!main)
                QTest::qWait(10);
        }
        QVERIFY2(main, "no main window within 60 s");
        // Counted from the moment it is really on screen.
        while (clock.elapsed() < 60000) {
            xcb_get_window_attributes_reply_t *attributes = xcb_get_window_attributes_reply(
                connection(), xcb_get_window_attributes(connection(), main), nullptr);
            const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            free(attributes);
            if (viewable)
                break;
            QTest::qWait(5);
        }
        QList<QPair<qint64, QImage>> frames;
        QElapsedTimer shown;
        shown.start();
        while (shown.elapsed() < 1500) {
            // Stamped when asked for: a grab may take a while to come back.
            const qint64 at = shown.elapsed();
            const QImage frame =
                screen->grabWindow(main, 0, 0, face.width(), face.height()).toImage();
            frames << qMakePair(at, frame);
            QTest::qWait(20);
        }
        QTest::qWait(1000);
        const QImage settled =
            screen->grabWindow(main, 0, 0, face.width(), face.height()).toImage();
        const QString keep = qEnvironmentVariable("PAGORA_STARTUP_FRAMES");
        if (!keep.isEmpty()) {
            for (const auto &f : std::as_const(frames))
                f.second.save(QStringLiteral("%1/frame-%2.png")
                                  .arg(keep)
                                  .arg(f.first, 5, 10, QLatin1Char('0')));
            settled.save(keep + QStringLiteral("/settled.png"));
        }
        QVERIFY(blackShare(settled, toolbar) < 0.5);
        QVERIFY(blackShare(settled, pane) < 0.5);
        int checked = 0;
        for (const auto &[at, frame] : std::as_const(frames)) {
            if (at < 100)
                continue;
            ++checked;
            const QString when = QStringLiteral("%1 ms after the main window was mapped").arg(at);
            QVERIFY2(differingShare(frame, settled, toolbar) < 0.02,
                     qPrintable(QStringLiteral("toolbar not in place ") + when));
            QVERIFY2(differingShare(frame, settled, speedPanel) < 0.02,
                     qPrintable(QStringLiteral("SpeedPanel not in place ") + when));
            QVERIFY2(blackShare(frame, pane) < 0.5,
                     qPrintable(QStringLiteral("black page ") + when));
        }
        QVERIFY(checked > 10);
    }
};

QTEST_MAIN(tst_StartupWm)
#include "tst_startupwm.moc"
