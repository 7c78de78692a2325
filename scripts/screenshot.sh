#!/usr/bin/env bash
# Takes screenshots of both programs under Xvfb, for the README and for a look by eye.
# Usage: scripts/screenshot.sh [output folder]   (default: docs/)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PAGORA_BUILD_DIR:-$top/build}
out=$(cd "${1:-$top/docs}" 2>/dev/null && pwd || { mkdir -p "${1:-$top/docs}" && cd "${1:-$top/docs}" && pwd; })

"$top/scripts/setup.sh" screenshots
"$top/scripts/build.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$top/sample/drive_c" "$work/drive_c"
export PAGORA_DRIVE_C="$work/drive_c" XDG_CONFIG_HOME="$work/config"
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu QT_QUICK_BACKEND=software

shoot() { # program, seconds to wait, output file, crop geometry, [xdotool actions...]
    local program=$1 wait=$2 file=$3 crop=$4
    shift 4
    xvfb-run -a -s "-screen 0 1024x700x24" bash -c '
        cd "$0"
        "$1" & pid=$!
        sleep "$2"
        if [ -n "$4" ]; then eval "$4"; sleep 2; fi
        import -window root -crop "$5" +repage "$3"
        kill $pid; wait $pid 2>/dev/null || true
    ' "$work" "$program" "$wait" "$file" "${*:-}" "$crop"
}

# Without a window manager the main windows sit at the top left and the intro in the middle.
shoot "$build/bin/pagora" 1 "$out/intro.png" 578x436+223+132
shoot "$build/bin/pagora" 9 "$out/pagora.png" 792x573+0+0
shoot "$build/bin/help" 3 "$out/help.png" 792x573+0+0 "xdotool mousemove 30 30 click 1"
echo "Screenshots in $out"
