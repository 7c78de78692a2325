#!/usr/bin/env bash
# Usage (under an X server, e.g. xvfb-run -a): with_openbox.sh <command> [args...]
# Runs the command beside a real window manager, started here and ended after it.
set -euo pipefail
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null || true' EXIT
# The manager is up once it has set its check window on the root.
for _ in $(seq 1 100); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
        break
    fi
    sleep 0.1
done
"$@"
