// SPDX-License-Identifier: MIT
#include "engineswitches.h"

#include <QByteArrayList>
#include <QtGlobal>

namespace engineswitches {

namespace {

const char *const Variable = "QTWEBENGINE_CHROMIUM_FLAGS";
const QByteArray BlinkFeaturesOff = QByteArrayLiteral("--disable-blink-features=");

// A worker started from a data: URL has no document behind it and its requests bypass the
// profile's request interceptor; shared workers are switched off whole.
// A page that sets its location every few milliseconds trips the engine's navigation limit,
// which then drops every navigation of that frame for seconds, the reader's own link click
// included; the pane refuses the page's own navigations itself.
const char *const Switches[] = {"--disable-shared-workers", "--disable-ipc-flooding-protection"};
// WebTransport speaks QUIC over UDP straight to the network, past the interceptor.
const char *const BlinkFeatures[] = {"WebTransport"};

} // namespace

QByteArray merged(const QByteArray &existing)
{
    QByteArrayList parts = existing.simplified().split(' ');
    parts.removeAll(QByteArray());
    for (const char *const wanted : Switches) {
        if (!parts.contains(wanted))
            parts << wanted;
    }
    // The engine reads one list of Blink features to switch off: join ours to the one given.
    qsizetype list = -1;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (parts.at(i).startsWith(BlinkFeaturesOff))
            list = i;
    }
    if (list < 0) {
        parts << BlinkFeaturesOff;
        list = parts.size() - 1;
    }
    QByteArrayList features = parts.at(list).mid(BlinkFeaturesOff.size()).split(',');
    features.removeAll(QByteArray());
    for (const char *const feature : BlinkFeatures) {
        if (!features.contains(feature))
            features << feature;
    }
    parts[list] = BlinkFeaturesOff + features.join(',');
    return parts.join(' ');
}

void apply()
{
    qputenv(Variable, merged(qgetenv(Variable)));
}

} // namespace engineswitches
