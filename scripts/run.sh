#!/usr/bin/env bash
# Installs what is needed, builds, and runs pagora on a fresh copy of the sample library.
# The copy lives in the build tree, so the repository itself is never written to.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PAGORA_BUILD_DIR:-$top/build}

"$top/scripts/setup.sh"
"$top/scripts/build.sh"

run="$build/run"
rm -rf "$run/drive_c"
mkdir -p "$run"
cp -r "$top/sample/drive_c" "$run/drive_c"
export PAGORA_DRIVE_C="$run/drive_c"
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
