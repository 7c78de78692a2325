#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PAGORA_BUILD_DIR:-$top/build}

"$top/scripts/setup.sh" test
"$top/scripts/build.sh" -DBUILD_TESTING=ON

cd "$build"
# Tests draw offscreen; an X display without GL would only get in the way of the engine.
env -u DISPLAY -u WAYLAND_DISPLAY ctest --output-on-failure --timeout 900 "$@"
