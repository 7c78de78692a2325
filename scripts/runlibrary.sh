#!/usr/bin/env bash
# Usage: runlibrary.sh <sample library> <run library>
# Copies the sample library to the run library only when there is none yet, so that books
# a user added there are never lost.
set -euo pipefail
sample=$1
run=$2
if [ -e "$run" ]; then
    exit 0
fi
mkdir -p "$(dirname "$run")"
# Copied under another name first, so an interrupted copy is never taken for a library.
rm -rf "$run.new"
cp -r "$sample" "$run.new"
mv "$run.new" "$run"
