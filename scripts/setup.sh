#!/usr/bin/env bash
# Installs, from Debian's packages, what Pagora needs to build and run, and with arguments
# what else a task needs:
#   scripts/setup.sh [test] [bench] [fuzz] [package] [screenshots]
# test: the test suite (also the sanitizer run); bench: the benchmarks; fuzz: the libFuzzer
# targets; package: the Debian package and its check; screenshots: scripts/screenshot.sh.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-base-dev-tools
    qt6-webengine-dev libqt6webenginecore6-bin
    libgl1-mesa-dri
    fonts-liberation fonts-dejavu-core
    # scripts/run.sh runs pagora under Xvfb when there is no display.
    xvfb xauth
    # Run time: Qt's own Slovak texts (context menus, standard and file dialogs).
    qt6-translations-l10n
    # The library search: its index (SQLite FTS5) and its HTML text extraction (libxml2).
    libsqlite3-dev libxml2-dev
)
wants=("$@")
[ "${PAGORA_SETUP_SCREENSHOTS:-0}" = 1 ] && wants+=(screenshots)
for want in ${wants[@]+"${wants[@]}"}; do
    case $want in
    test)
        # The title bar test reads the X properties of the real windows; the start-up test
        # watches them beside a real window manager (openbox), through xcb; printing tests
        # read the text of the PDF they print (pdftotext); the search window's test turns
        # Qt's accessibility bridge on through its private headers; the search's quality
        # test makes its real books with python3 (bench/make-corpus.sh).
        packages+=(x11-utils xdotool openbox libxcb1-dev poppler-utils qt6-base-private-dev
            python3)
        ;;
    bench)
        # What the tests need, and a desktop search engine to compare the search with.
        packages+=(x11-utils xdotool openbox libxcb1-dev poppler-utils qt6-base-private-dev
            python3 recollcmd)
        ;;
    fuzz)
        # clang with libFuzzer and its sanitizer runtimes; llvm-14's symbolizer names the
        # lines of a finding.
        packages+=(clang libclang-rt-14-dev llvm-14)
        ;;
    package)
        # shlibdeps, lintian, the validators, the manual pages' index (mandb, whatis),
        # file/readelf/strings on the installed binaries, xwininfo for the window classes.
        packages+=(dpkg-dev lintian man-db binutils file desktop-file-utils appstream
            x11-utils)
        ;;
    screenshots)
        packages+=(imagemagick xdotool)
        ;;
    *)
        echo "setup.sh: unknown task '$want' (test, bench, fuzz, package, screenshots)" >&2
        exit 2
        ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        sudo="sudo"
    else
        echo "Missing packages (${missing[*]}) and no root rights to install them." >&2
        exit 1
    fi
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
