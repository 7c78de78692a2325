#!/usr/bin/env bash
# Builds the Debian package (Release, in its own build folder), unpacks it into a scratch
# root and checks it as a packager would: the file list, stripped binaries without run
# paths, both validators, and that the installed pagora starts on its built-in home page
# and finds the installed helper and its viewer library in its private folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PAGORA_PACKAGE_BUILD_DIR:-$top/build-package}

"$top/scripts/setup.sh" package

fail() { echo "package-check: $*" >&2; exit 1; }

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target pagora pagorahelp
rm -f "$build"/pagora_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/pagora_*.deb)
echo "Package: $deb"

work=$(mktemp -d)
child=""
cleanup() {
    [ -n "$child" ] && kill "$child" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
root=$work/root
dpkg-deb -x "$deb" "$root"

# Dependencies: shlibdeps found the Qt libraries; the run-time ones are named by hand.
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6webenginecore6 libqt6widgets6 libc6 libqt6webenginecore6-bin \
    qt6-translations-l10n libqt6printsupport6 libsqlite3-0 libxml2; do
    grep -Eq "(^|, )$dep( |,|$)" <<<"$depends" || fail "Depends lacks $dep: $depends"
done

# The file list, exactly.
expected=$(
    cat <<'LIST'
./usr/bin/pagora
./usr/libexec/pagora/help
./usr/libexec/pagora/pagora-viewer.so
./usr/share/applications/sk.tarvol.Pagora.Pomocnik.desktop
./usr/share/applications/sk.tarvol.Pagora.desktop
./usr/share/doc/pagora/changelog.Debian.gz
./usr/share/doc/pagora/copyright
./usr/share/lintian/overrides/pagora
./usr/share/man/man1/pagora-help.1.gz
./usr/share/man/man1/pagora.1.gz
./usr/share/man/sk/man1/pagora-help.1.gz
./usr/share/man/sk/man1/pagora.1.gz
./usr/share/metainfo/sk.tarvol.Pagora.metainfo.xml
LIST
    for size in 16 24 32 48 64 128 256; do
        echo "./usr/share/icons/hicolor/${size}x${size}/apps/sk.tarvol.Pagora.Pomocnik.png"
        echo "./usr/share/icons/hicolor/${size}x${size}/apps/sk.tarvol.Pagora.png"
    done
)
actual=$(cd "$root" && find . -type f | LC_ALL=C sort)
diff <(LC_ALL=C sort <<<"$expected") <(echo "$actual") || fail "unexpected file list"
[ -x "$root/usr/bin/pagora" ] && [ -x "$root/usr/libexec/pagora/help" ] ||
    fail "the programs are not executable"

for program in "$root/usr/bin/pagora" "$root/usr/libexec/pagora/help" \
    "$root/usr/libexec/pagora/pagora-viewer.so"; do
    file "$program" | grep -q ', stripped' || fail "$program is not stripped"
    if readelf -d "$program" | grep -Eq 'RUNPATH|RPATH'; then
        fail "$program carries a run path"
    fi
done
for size in 16 24 32 48 64 128 256; do
    for icon in "$root/usr/share/icons/hicolor/${size}x${size}/apps/"*.png; do
        file "$icon" | grep -q "PNG image data, $size x $size" || fail "$icon is not ${size}px"
    done
done

# No .comment notes, and the hardening flags took: bound at load time, position independent,
# fortified calls and a stack protector where the code has any.
for program in "$root/usr/bin/pagora" "$root/usr/libexec/pagora/help" \
    "$root/usr/libexec/pagora/pagora-viewer.so"; do
    if grep -q '\.comment' <<<"$(readelf -S -W "$program")"; then
        fail "$program keeps its .comment section"
    fi
    grep -Eq 'BIND_NOW|FLAGS.*NOW' <<<"$(readelf -d "$program")" || fail "$program is not bound now"
    grep -q GNU_RELRO <<<"$(readelf -l -W "$program")" || fail "$program has no RELRO"
done
for program in "$root/usr/bin/pagora" "$root/usr/libexec/pagora/help"; do
    grep -q 'DYN' <<<"$(readelf -h "$program")" || fail "$program is not position independent"
done
# (Read whole first: grep -q leaving early would fail the pipe under pipefail.)
symbols=$(readelf --dyn-syms -W "$root/usr/libexec/pagora/pagora-viewer.so")
grep -q '__stack_chk_fail' <<<"$symbols" || fail "the viewer's library has no stack protector"
grep -q '_chk@' <<<"$symbols" || fail "the viewer's library has no fortified calls"

# The manual pages, gzipped without name or time, are found by whatis and apropos in both
# languages once their index is built.
for page in man1/pagora.1.gz man1/pagora-help.1.gz sk/man1/pagora.1.gz sk/man1/pagora-help.1.gz; do
    file "$root/usr/share/man/$page" | grep -q 'max compression' ||
        fail "$page is not gzipped with -9"
    gzip -lv "$root/usr/share/man/$page" >/dev/null || fail "$page is not a gzip file"
    [ "$(od -An -tu4 -j4 -N4 "$root/usr/share/man/$page" | tr -d ' ')" = 0 ] ||
        fail "$page carries a time stamp"
done
# (A Slovak reader's whatis looks in sk/ by their locale; here it is named directly.)
man=$root/usr/share/man
mandb -q -c "$man" || fail "mandb cannot index the manual pages"
for dir in "$man" "$man/sk"; do
    for name in pagora pagora-help; do
        LC_ALL=C.UTF-8 whatis -M "$dir" "$name" | grep -q "^$name (1) " ||
            fail "whatis finds no $name in $dir"
    done
done
LC_ALL=C.UTF-8 whatis -M "$man/sk" pagora | grep -q 'čítací program' ||
    fail "whatis gives no Slovak line for pagora"
LC_ALL=C.UTF-8 apropos -M "$man" reader | grep -q '^pagora (1)' ||
    fail "apropos reader does not find pagora"
LC_ALL=C.UTF-8 apropos -M "$man/sk" čítací | grep -q '^pagora (1)' ||
    fail "apropos čítací does not find the Slovak pagora"
rm -rf "$man/index.db" "$man/sk/index.db" "$man/cat1" "$man/sk/cat1"

# What a sponsor runs first: no error and no warning (the informational tags that remain are
# explained in the README).
lintian -i -I --pedantic --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"

desktop-file-validate "$root"/usr/share/applications/*.desktop
grep -qx 'Exec=/usr/libexec/pagora/help' \
    "$root/usr/share/applications/sk.tarvol.Pagora.Pomocnik.desktop" ||
    fail "the helper's entry does not start the installed helper"
appstreamcli validate --no-net "$root/usr/share/metainfo/sk.tarvol.Pagora.metainfo.xml"

# The installed pagora on an empty library: the built-in book appears, and the program is
# still running after the intro hands over to the main window.
export PAGORA_DRIVE_C=$work/drive_c XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config \
    XDG_CACHE_HOME=$work/cache QT_QPA_PLATFORM=offscreen \
    QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
mkdir -p "$PAGORA_DRIVE_C"
"$root/usr/bin/pagora" >"$work/pagora.log" 2>&1 &
child=$!
home="$PAGORA_DRIVE_C/TARVOL/PAGORA/TARVOL PAGORA/1 UVOD.PGX"
for _ in $(seq 1 300); do
    [ -f "$home" ] && break
    kill -0 "$child" 2>/dev/null || { cat "$work/pagora.log" >&2; fail "pagora ended at start"; }
    sleep 0.1
done
[ -f "$home" ] || fail "pagora did not write its built-in book"
sleep 6 # the intro hands over after 2.5 s; give the engine time to load the home page
kill -0 "$child" 2>/dev/null || { cat "$work/pagora.log" >&2; fail "pagora ended"; }
kill "$child"
wait "$child" 2>/dev/null || true
child=""

# The intro comes up before the engine's libraries are loaded: only the viewer's library
# links them.
if readelf -d "$root/usr/bin/pagora" | grep NEEDED | grep -q WebEngine; then
    fail "pagora itself links the web engine"
fi
readelf -d "$root/usr/libexec/pagora/pagora-viewer.so" | grep NEEDED | grep -q WebEngine ||
    fail "the viewer's library does not link the web engine"

# "Pomocník": pagora looks for help in the private folder computed from its own folder.
private=$(strings "$root/usr/bin/pagora" | grep -o '\.\./libexec/pagora$' | head -n 1 || true)
[ -n "$private" ] || fail "pagora does not know the private folder ../libexec/pagora"
[ -x "$root/usr/bin/$private/help" ] || fail "no helper at usr/bin/$private/help"
"$root/usr/bin/$private/help" >"$work/help.log" 2>&1 &
child=$!
sleep 3
kill -0 "$child" 2>/dev/null || { cat "$work/help.log" >&2; fail "the installed help ended"; }
kill "$child"
wait "$child" 2>/dev/null || true
child=""
# Under X the window's WM_CLASS ties it to its desktop entry (StartupWMClass).
wmclass_of() { # program, seconds to wait
    xvfb-run -a -s "-screen 0 1024x700x24" bash -c '
        "$0" >/dev/null 2>&1 & pid=$!
        sleep "$1"
        xwininfo -root -children
        kill $pid; wait $pid 2>/dev/null || true
    ' "$1" "$2" | sed -n 's/.*("[^"]*" "\([^"]*\)").*/\1/p' | sort -u
}
unset QT_QPA_PLATFORM
for pair in "usr/bin/pagora:sk.tarvol.Pagora.desktop:4" \
    "usr/libexec/pagora/help:sk.tarvol.Pagora.Pomocnik.desktop:3"; do
    IFS=: read -r program entry wait <<<"$pair"
    want=$(sed -n 's/^StartupWMClass=//p' "$root/usr/share/applications/$entry")
    got=$(wmclass_of "$root/$program" "$wait")
    [ "$got" = "$want" ] || fail "$program shows WM_CLASS '$got', its entry says '$want'"
done
echo "package-check: all checks passed"
