// SPDX-License-Identifier: MIT
// What the benchmark programs share: one clock for all processes, a line-per-event report
// file, and the memory of a whole process tree.
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <functional>

namespace probe {

// CLOCK_MONOTONIC in nanoseconds: the same clock in the driver and in every program it starts.
qint64 now();

// Appends "<name> <value>" to the file named by PAGORA_PROBE_OUT (nothing when unset).
void report(const QByteArray &name, qint64 value);

// Proportional set size, in kB, of a process and every process below it: shared pages
// counted once across them, as the system pays for them.
qint64 treePssKb(qint64 pid);

// Of this process and its children (the engine's processes).
qint64 ownTreePssKb();

// Runs the event loop until done() holds or timeoutMs pass; true when done() held.
// Unlike QTest::qWaitFor, which sleeps 10 ms between rounds of events, this blocks in
// the event loop as QApplication::exec does: the engine's browser thread posts many
// tasks per load, and each sleep would be charged to the figure.
bool waitFor(const std::function<bool()> &done, int timeoutMs);

} // namespace probe
