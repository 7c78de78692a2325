#!/usr/bin/env bash
# Installs what Pagora needs to build, test and run, from Debian's packages.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-base-dev-tools
    qt6-webengine-dev libqt6webenginecore6-bin
    libgl1-mesa-dri
    fonts-liberation fonts-dejavu-core
    xvfb xauth
    # The title bar test reads the X properties of the real windows; the start-up test
    # watches them beside a real window manager (openbox), through xcb.
    x11-utils xdotool openbox libxcb1-dev
    # Run time: Qt's own Slovak texts (context menus, standard and file dialogs).
    qt6-translations-l10n
    # The fuzz targets (scripts/fuzz.sh): clang with libFuzzer and its sanitizer runtimes;
    # llvm-14's symbolizer names the lines of a finding.
    clang libclang-rt-14-dev llvm-14
    # The Debian package and its check (scripts/package-check.sh): shlibdeps, validators,
    # file/readelf/strings on the installed binaries.
    dpkg-dev binutils file desktop-file-utils appstream
    # The library search: its index (SQLite FTS5) and its HTML text extraction (libxml2).
    libsqlite3-dev libxml2-dev
    # Printing tests read the text of the PDF they print (pdftotext).
    poppler-utils
    # The real books of the search's quality test and benchmark (bench/make-corpus.sh).
    python3
)
# Only for screenshots: `scripts/screenshot.sh` uses imagemagick and xdotool.
if [ "${PAGORA_SETUP_SCREENSHOTS:-0}" = 1 ]; then
    packages+=(imagemagick)
fi

# Only for benchmarks (scripts/bench.sh): the search is compared with a desktop search engine.
if [ "${PAGORA_SETUP_BENCH:-0}" = 1 ]; then
    packages+=(recollcmd)
fi

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
