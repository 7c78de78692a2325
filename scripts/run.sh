#!/usr/bin/env bash
# Installs what is needed, builds the two programs, and runs pagora on a copy of the sample
# library in the build tree, so the repository itself is never written to. The copy is made
# once and then kept: books added to it stay from one run to the next.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PAGORA_BUILD_DIR:-$top/build}

"$top/scripts/setup.sh"
# Only the two programs: the tests and benchmarks are scripts/test.sh's and bench.sh's.
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target pagora pagorahelp

run="$build/run"
mkdir -p "$run"
# A library of one's own, named by PAGORA_DRIVE_C, is used as it is.
if [ -z "${PAGORA_DRIVE_C:-}" ]; then
    "$top/scripts/runlibrary.sh" "$top/sample/drive_c" "$run/drive_c"
    export PAGORA_DRIVE_C="$run/drive_c"
fi
# The web engine refuses to run as root with its sandbox on; ordinary users keep it.
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi

cd "$run"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running pagora under Xvfb (stop it with Ctrl+C)."
    # Xvfb has no GPU; the engine draws in software there.
    export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bin/pagora"
fi
exec "$build/bin/pagora"
