#!/usr/bin/env bash
# Builds and runs every benchmark (build/bench/bench_*) and prints one table: each figure
# with its median, min and max over the runs, and its floor measured in the same run.
#   scripts/bench.sh           offscreen, then the start-up figures once more under Xvfb
#   scripts/bench.sh --quick   fewer runs and smaller libraries (about four minutes)
# The search is measured on real books too (bench/make-corpus.sh, from Debian's packages),
# beside a desktop search engine (recollcmd, installed here for benchmarking only); the full
# run adds the same books repeated to 100,000 pages (PAGORA_BENCH_SCALED=0 leaves it out).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PAGORA_BUILD_DIR:-$top/build}
if [ "${1:-}" = "--quick" ]; then
    export PAGORA_BENCH_QUICK=1
fi

"$top/scripts/setup.sh" bench
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
    [ "$(basename "$bench")" = bench_corpus ] && continue
    env -u DISPLAY QT_QPA_PLATFORM=offscreen "$bench" 2>/dev/null
done
# The search on real books; then, in the full run, on 100,000 real pages.
if [ -x "$build/bench/bench_corpus" ]; then
    if corpus=$("$top/bench/make-corpus.sh" "$build/corpus" | tail -n 1); then
        env -u DISPLAY QT_QPA_PLATFORM=offscreen "$build/bench/bench_corpus" "$corpus" 2>/dev/null
        scaled=${PAGORA_BENCH_SCALED:-100000}
        if [ -z "${PAGORA_BENCH_QUICK:-}" ] && [ "$scaled" -gt 0 ]; then
            big=$("$top/bench/make-corpus.sh" --scaled "$scaled" "$build/corpus" | tail -n 1)
            env -u DISPLAY QT_QPA_PLATFORM=offscreen "$build/bench/bench_corpus" "$big" 2>/dev/null
        fi
    else
        echo "(the real books could not be made: no search figures on them)"
    fi
fi
# The start-up figures on a real X server as well, where one is at hand.
if command -v xvfb-run >/dev/null && [ -x "$build/bench/bench_start" ]; then
    PAGORA_BENCH_START_ONLY=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
        env QT_QPA_PLATFORM=xcb "$build/bench/bench_start" 2>/dev/null
fi
echo
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"
