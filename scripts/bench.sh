#!/usr/bin/env bash
# Builds and runs every benchmark (build/bench/bench_*) and prints one table: each figure
# with its median, min and max over the runs, and its floor measured in the same run.
#   scripts/bench.sh           offscreen, then the start-up figures once more under Xvfb
#   scripts/bench.sh --quick   fewer runs and smaller libraries (about two minutes)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PAGORA_BUILD_DIR:-$top/build}
if [ "${1:-}" = "--quick" ]; then
    export PAGORA_BENCH_QUICK=1
fi

"$top/scripts/setup.sh" test
"$top/scripts/build.sh" >"${TMPDIR:-/tmp}/pagora-bench-build.log"
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
export QT_LOGGING_RULES="qt.webenginecontext.info=false"

echo "Load before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
echo
echo "| figure | median | min | max | runs | platform | floor | floor median | ratio | target |"
echo "| --- | --- | --- | --- | --- | --- | --- | --- | --- | --- |"
for bench in "$build"/bench/bench_*; do
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    env -u DISPLAY QT_QPA_PLATFORM=offscreen "$bench" 2>/dev/null
done
# The start-up figures on a real X server as well, where one is at hand.
if command -v xvfb-run >/dev/null && [ -x "$build/bench/bench_start" ]; then
    PAGORA_BENCH_START_ONLY=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
        env QT_QPA_PLATFORM=xcb "$build/bench/bench_start" 2>/dev/null
fi
echo
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"
