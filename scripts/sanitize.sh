#!/usr/bin/env bash
# Builds everything, tests included, with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ (or $PAGORA_ASAN_BUILD_DIR) and runs the whole test suite with it. The sanitizer
# options and the committed suppressions are set per test by tests/CMakeLists.txt.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PAGORA_ASAN_BUILD_DIR:-$top/build-asan}

"$top/scripts/setup.sh" test
start=$(date +%s)
PAGORA_BUILD_DIR="$build" "$top/scripts/build.sh" -DBUILD_TESTING=ON -DPAGORA_SANITIZE=ON
built=$(date +%s)
echo "sanitizer build: $((built - start)) s"

# The engine's helper processes are not sanitized: nothing may preload the runtime into them.
if [ -n "${LD_PRELOAD:-}" ]; then
    echo "LD_PRELOAD is set ($LD_PRELOAD); unset it for the sanitizer run." >&2
    exit 1
fi

cd "$build"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY ctest --output-on-failure --timeout 1800 "$@" || status=$?
echo "sanitizer tests: $(($(date +%s) - built)) s"
exit $status
