#!/usr/bin/env bash
# Builds and runs the benchmarks; each prints a table (quoted in the README).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PAGORA_BUILD_DIR:-$top/build}

"$top/scripts/setup.sh"
"$top/scripts/build.sh" >"${TMPDIR:-/tmp}/pagora-bench-build.log"
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
for bench in "$build"/bench/bench_*; do
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    echo "## $(basename "$bench")"
    env -u DISPLAY QT_QPA_PLATFORM=offscreen QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu \
        QT_LOGGING_RULES="qt.webenginecontext.info=false" "$bench" 2>/dev/null
    echo
done
