#!/usr/bin/env bash
# Usage (under an X server, e.g. xvfb-run -a): tst_startup.sh <pagora> <help>
# What the real programs print and do at start: nothing on stderr unless logging is asked
# for; one Slovak line and exit status 1 without a display; the desktop's startup
# notification completed once the first window is on screen.
set -euo pipefail
pagora=$1
help=$2
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache"
export PAGORA_DRIVE_C="$work/drive_c" LC_ALL=C.UTF-8
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
unset QT_LOGGING_RULES
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
mkdir -p "$PAGORA_DRIVE_C"
home="$PAGORA_DRIVE_C/TARVOL/PAGORA/TARVOL PAGORA/1 UVOD.PGX"

# Without a display: one Slovak line, status 1, for both programs and both ways of lacking one.
for program in "$pagora" "$help"; do
    for case in unset unreachable; do
        status=0
        if [ $case = unset ]; then
            env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" \
                >"$work/out" 2>"$work/err" || status=$?
            want="nie je nastavená premenná DISPLAY ani WAYLAND_DISPLAY"
        else
            env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:197 "$program" \
                >"$work/out" 2>"$work/err" || status=$?
            want="sa nepripojil k obrazovke „:197“"
        fi
        [ $status -eq 1 ] || fail "$program, display $case: status $status; $(cat "$work/err")"
        [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$program, display $case: $(cat "$work/err")"
        grep -qF "$want" "$work/err" || fail "$program, display $case: $(cat "$work/err")"
        grep -qF "program sa nedá spustiť" "$work/err" || fail "$(cat "$work/err")"
        [ ! -s "$work/out" ] || fail "$program, display $case printed on stdout"
    done
done
[ ! -e "$PAGORA_DRIVE_C/TARVOL" ] || fail "pagora without a display wrote its book"

# Runs program $1 for $2 seconds past the moment its home page is written (pagora) or it
# started (help), with the platform $3; its stderr goes to $4.
run_for() {
    rm -rf "$PAGORA_DRIVE_C/TARVOL"
    QT_QPA_PLATFORM=$3 "$1" >/dev/null 2>"$4" &
    local pid=$!
    pids+=("$pid")
    if [ "$1" = "$pagora" ]; then
        for _ in $(seq 1 600); do
            [ -f "$home" ] && break
            kill -0 "$pid" 2>/dev/null || fail "$1 ended at start: $(cat "$4")"
            sleep 0.1
        done
        [ -f "$home" ] || fail "$1 did not write its built-in book"
    fi
    sleep "$2"
    kill -0 "$pid" 2>/dev/null || fail "$1 ended: $(cat "$4")"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

# A normal start on a desktop is silent until the home page is shown. (A desktop session
# has its runtime folder; without one Qt says so.)
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
run_for "$pagora" 8 xcb "$work/err"
[ ! -s "$work/err" ] || fail "pagora printed: $(head -c 3000 "$work/err")"
run_for "$help" 3 xcb "$work/err"
[ ! -s "$work/err" ] || fail "help printed: $(head -c 3000 "$work/err")"
# Logging the user asks for is printed: Qt's, and the engine's own.
QT_LOGGING_RULES="qt.webenginecontext.info=true" run_for "$pagora" 5 xcb "$work/err"
grep -q 'Init Parameters' "$work/err" || fail "no engine log with QT_LOGGING_RULES set"

# Startup notification: the launcher's id is taken from the environment and the "remove"
# message for it goes to the root window once the first window is shown.
for program in "$pagora" "$help"; do
    xev -root -event property >"$work/xev" 2>&1 &
    spy=$!
    pids+=("$spy")
    sleep 0.5
    DESKTOP_STARTUP_ID="pagora-test-$$_TIME0" run_for "$program" 3 xcb "$work/err"
    kill "$spy"
    wait "$spy" 2>/dev/null || true
    grep -q '_NET_STARTUP_INFO_BEGIN' "$work/xev" ||
        fail "$program sent no startup notification message: $(grep -c . "$work/xev") lines"
done
echo "PASS"
