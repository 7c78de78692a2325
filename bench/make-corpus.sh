#!/usr/bin/env bash
# Makes a library of real books from documentation Debian ships as HTML: a Czech office-suite
# help (libreoffice-help-cs, libreoffice-help-common) and a programming language's manual
# (python3.11-doc). Each becomes a book: its pages flat as *.PGX in the book folder, their
# pictures, stylesheets and scripts under "zdroje/" inside it, links rewritten to match.
#   bench/make-corpus.sh [FOLDER]            the library FOLDER/PAGORA (about 3,000 pages)
#   bench/make-corpus.sh --scaled N [FOLDER] also FOLDER/PAGORA-N: the same books repeated
#                                            under other names up to N pages (hard links)
# FOLDER defaults to $PAGORA_CORPUS_DIR, else build/corpus. Packages are fetched with
# apt-get download and unpacked with dpkg -x here, never installed; a finished library is
# kept and reused. Prints the library's folder last; exits 2 when it cannot be made.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
scaled=0
if [ "${1:-}" = "--scaled" ]; then
    scaled=$2
    shift 2
fi
out=${1:-${PAGORA_CORPUS_DIR:-$top/build/corpus}}
mkdir -p "$out"
out=$(cd "$out" && pwd)
library=$out/PAGORA
packages=(libreoffice-help-cs libreoffice-help-common python3.11-doc)
python=/usr/bin/python3

cannot() {
    echo "make-corpus: $*" >&2
    exit 2
}

if [ ! -f "$library/.done" ]; then
    [ -x "$python" ] || cannot "$python is missing (Debian package python3)"
    mkdir -p "$out/debs"
    for p in "${packages[@]}"; do
        if ! ls "$out/debs/${p}"_*.deb >/dev/null 2>&1; then
            # apt's own user cannot write into root's folders; the download is the same.
            (cd "$out/debs" && apt-get download -q "$p" 2>&1 | grep -v '^W: Download is performed unsandboxed' >&2) ||
                cannot "apt-get download $p failed"
            ls "$out/debs/${p}"_*.deb >/dev/null 2>&1 || cannot "apt-get download $p gave no package"
        fi
    done
    rm -rf "$out/unpacked" "$library"
    mkdir -p "$out/unpacked"
    for deb in "$out"/debs/*.deb; do
        dpkg -x "$deb" "$out/unpacked" || cannot "dpkg -x $deb failed"
    done
    mkdir -p "$library"
    "$python" "$top/bench/corpus_book.py" "$out/unpacked/usr/share/libreoffice/help" \
        cs/text "$library/NAPOVEDA" || cannot "the help book could not be made"
    printf 'Nápověda kancelářského balíku (cs)\n' >"$library/NAPOVEDA.BKX"
    "$python" "$top/bench/corpus_book.py" "$out/unpacked/usr/share/doc/python3.11/html" \
        . "$library/PYTHON" || cannot "the manual could not be made"
    printf 'Python 3.11 manual\n' >"$library/PYTHON.BKX"
    rm -rf "$out/unpacked"
    touch "$library/.done"
fi

if [ "$scaled" -gt 0 ]; then
    big=$out/PAGORA-$scaled
    if [ ! -f "$big/.done" ]; then
        rm -rf "$big"
        mkdir -p "$big"
        per=0
        for book in NAPOVEDA PYTHON; do
            per=$((per + $(find "$library/$book" -maxdepth 1 -name '*.PGX' | wc -l)))
        done
        copies=$(((scaled + per - 1) / per))
        left=$scaled
        for ((i = 1; i <= copies; i++)); do
            for book in NAPOVEDA PYTHON; do
                [ "$left" -gt 0 ] || break
                name=$(printf '%s %03d' "$book" "$i")
                # Hard links: the same bytes under other names, without the disk space.
                cp -al "$library/$book" "$big/$name"
                cp "$library/$book.BKX" "$big/$name.BKX"
                n=$(find "$big/$name" -maxdepth 1 -name '*.PGX' | wc -l)
                if [ "$n" -gt "$left" ]; then
                    find "$big/$name" -maxdepth 1 -name '*.PGX' | sort | tail -n $((n - left)) |
                        tr '\n' '\0' | xargs -0 rm -f
                    n=$left
                fi
                left=$((left - n))
            done
        done
        touch "$big/.done"
    fi
    echo "$big"
else
    echo "$library"
fi
