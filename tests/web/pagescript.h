// SPDX-License-Identifier: MIT
// Runs a script in a page's own world and waits for its result: what the pane's tests read
// the page with.
#pragma once

#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>

inline QVariant runPageScript(QWebEnginePage *page, const QString &script, int timeoutMs)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant &v) {
        result = v;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, timeoutMs))
        qWarning("runJavaScript timed out: %s", qPrintable(script));
    return result;
}
