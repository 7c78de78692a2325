#!/usr/bin/env bash
# The run library is copied from the sample once and then kept as the user left it.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

sample="$top/sample/drive_c"
run="$work/build/run/drive_c"

"$top/scripts/runlibrary.sh" "$sample" "$run"
diff -r "$sample" "$run" >/dev/null || fail "first run: the library is not a copy of the sample"

# A user adds a book and changes a sample page; the next run keeps both.
mkdir -p "$run/TARVOL/PAGORA/MOJA"
echo '<p>Moja kniha</p>' >"$run/TARVOL/PAGORA/MOJA/1 UVOD.PGX"
touch "$run/TARVOL/PAGORA/MOJA.BKX"
page=$(find "$run" -iname '*.PGX' | grep -v MOJA | head -n 1)
echo 'zmenené' >"$page"
"$top/scripts/runlibrary.sh" "$sample" "$run"
[ -f "$run/TARVOL/PAGORA/MOJA/1 UVOD.PGX" ] || fail "second run: the added book is gone"
[ -f "$run/TARVOL/PAGORA/MOJA.BKX" ] || fail "second run: the added marker is gone"
[ "$(cat "$page")" = 'zmenené' ] || fail "second run: a changed page was copied over"

# An empty library the user emptied on purpose stays empty.
rm -rf "$run"
mkdir -p "$run"
"$top/scripts/runlibrary.sh" "$sample" "$run"
[ -z "$(ls -A "$run")" ] || fail "an existing empty library was filled"

# A copy broken off half-way is not mistaken for a library.
rm -rf "$run"
mkdir -p "$run.new/TARVOL"
"$top/scripts/runlibrary.sh" "$sample" "$run"
diff -r "$sample" "$run" >/dev/null || fail "a leftover partial copy was taken for the library"
[ ! -e "$run.new" ] || fail "the partial copy was left behind"

# The run script builds only the two programs and never deletes the run library.
grep -q -- '--target pagora pagorahelp' "$top/scripts/run.sh" || fail "run.sh builds more than the programs"
if grep -q 'rm -rf "$run/drive_c"' "$top/scripts/run.sh"; then fail "run.sh deletes the run library"; fi
echo "PASS"
