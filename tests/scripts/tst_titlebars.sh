#!/usr/bin/env bash
# Usage (under an X server, e.g. xvfb-run -a): tst_titlebars.sh <pagora> <help>
# Reads what the title bar of every window shown by the real programs says: the X property
# _NET_WM_NAME that window managers draw, not the widget's windowTitle().
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

export QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" PAGORA_DRIVE_C="$work/drive_c"
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
export LC_ALL=C.UTF-8
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
mkdir -p "$PAGORA_DRIVE_C"

# The title of one window: the UTF-8 text of _NET_WM_NAME.
title() {
    xprop -id "$1" -notype _NET_WM_NAME 2>/dev/null |
        sed -n 's/^_NET_WM_NAME = "\(.*\)"$/\1/p'
}

# Prints the id of a shown window of process $1 titled exactly $2, if there is one.
find_titled() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        if [ "$(title "$w")" = "$2" ]; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

# Waits until a shown window of process $1 has exactly the title $2; prints its id.
window_titled() {
    local deadline=$((SECONDS + 90))
    while [ $SECONDS -lt $deadline ]; do
        find_titled "$1" "$2" && return 0
        sleep 0.2
    done
    echo "FAIL: no window titled \"$2\"; shown: $(all_titles "$1")" >&2
    return 1
}

# Clicks at x y of window $2 of process $1 until a window titled $5 shows; prints its id.
# A click while the program is still busy starting may be lost, so it is repeated.
click_for() {
    local deadline=$((SECONDS + 90)) next=0
    while [ $SECONDS -lt $deadline ]; do
        if [ $SECONDS -ge $next ]; then
            xdotool mousemove --window "$2" "$3" "$4" click 1
            next=$((SECONDS + 5))
        fi
        sleep 0.2
        find_titled "$1" "$5" && return 0
    done
    echo "FAIL: no window titled \"$5\" after clicks; shown: $(all_titles "$1")" >&2
    return 1
}

all_titles() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        printf '"%s" ' "$(title "$w")"
    done
}

# No title bar carries anything after its caption.
no_suffix() {
    local shown
    shown=$(all_titles "$1")
    case "$shown" in
    *" — "* | *"Pagora\" "*) fail "a title bar carries more than its caption: $shown" ;;
    esac
}

dismiss() {
    xdotool windowfocus --sync "$1" key Return
}

# Every argument is ignored, Qt's own options too: the titles below would show them.
"$pagora" -qwindowtitle Cudzi -reverse -stylesheet "$work/none.qss" Help >"$work/pagora.log" 2>&1 &
pids+=($!)
pagora_pid=$!

# The intro window carries the same title; the main window is the wide one.
main=
deadline=$((SECONDS + 90))
while [ -z "$main" ] && [ $SECONDS -lt $deadline ]; do
    for w in $(xdotool search --onlyvisible --pid "$pagora_pid" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null || echo WIDTH=0)"
        if [ "$(title "$w")" = "Tarvol Pagora NEW 1.0" ] && [ "$WIDTH" -gt 700 ]; then main=$w; fi
    done
    sleep 0.2
done
[ -n "$main" ] || fail "no main window; shown: $(all_titles "$pagora_pid")"
no_suffix "$pagora_pid"

# Praca (11040, 120, 735 x 495 twips): the "Kontrolka" message box.
box=$(click_for "$pagora_pid" "$main" 760 24 "Kontrolka") || exit 1
no_suffix "$pagora_pid"
dismiss "$box"
sleep 0.5

# "Vybrať list" with no book: the choose window's underscores, then "Z akej knihy?".
click_for "$pagora_pid" "$main" 88 32 "$(printf '_%.0s' $(seq 1 44))" >/dev/null || exit 1
no_suffix "$pagora_pid"
box=$(window_titled "$pagora_pid" "Z akej knihy?") || exit 1
no_suffix "$pagora_pid"
dismiss "$box"
sleep 0.5

# "Vybrať knihu": the book mode's caption after its second.
click_for "$pagora_pid" "$main" 32 32 "$(printf '_%.0s' $(seq 1 44))" >/dev/null || exit 1
window_titled "$pagora_pid" "Vybrať knihu" >/dev/null || exit 1
no_suffix "$pagora_pid"

# Open the built-in book (select its marker, OK, delete ".BKX", OK); then "Vybrať list"
# has a book and shows the page mode's caption.
choose=$(find_titled "$pagora_pid" "Vybrať knihu")
xdotool mousemove --window "$choose" 40 16 click 1   # the first marker in File1
sleep 0.3
xdotool mousemove --window "$choose" 80 196 click 1  # OK (Command1)
sleep 0.5
xdotool mousemove --window "$choose" 156 49 click 1  # Text1
xdotool windowfocus --sync "$choose" key End BackSpace BackSpace BackSpace BackSpace
sleep 0.3
xdotool mousemove --window "$choose" 156 76 click 1  # OK (Command4)
deadline=$((SECONDS + 30))
while find_titled "$pagora_pid" "Vybrať knihu" >/dev/null && [ $SECONDS -lt $deadline ]; do
    sleep 0.2
done
click_for "$pagora_pid" "$main" 88 32 "$(printf '_%.0s' $(seq 1 44))" >/dev/null || exit 1
window_titled "$pagora_pid" "Vybrať list" >/dev/null || exit 1
no_suffix "$pagora_pid"

# "Konfigurácia".
config=$(click_for "$pagora_pid" "$main" 200 32 "Konfigurácia") || exit 1
no_suffix "$pagora_pid"

# The choose and configuration windows carry no icon; the main window keeps its own.
has_icon() { xprop -id "$1" _NET_WM_ICON 2>/dev/null | grep -q 'Icon ('; }
has_icon "$main" || fail "the main window has no icon"
has_icon "$config" && fail "the configuration window has an icon"
choose=$(find_titled "$pagora_pid" "Vybrať list") || fail "the choose window went away"
has_icon "$choose" && fail "the choose window has an icon"

"$help" -qwindowtitle Cudzi -reverse >"$work/help.log" 2>&1 &
pids+=($!)
help_pid=$!
window_titled "$help_pid" "Tarvol Pagora NEW 1.0 Pomocník" >/dev/null || exit 1
no_suffix "$help_pid"

echo "PASS: $(all_titles "$pagora_pid")$(all_titles "$help_pid")"
