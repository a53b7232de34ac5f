#!/usr/bin/env bash
# Runs a Windows program in the prefix $WINEPREFIX (default: the unit-test prefix).
# The program's folder (the build's bin folder) is mirrored under C:\bin first:
# without a Z: drive, a program started from a Unix path cannot open its own file, and
# tests start the build's other programs from there.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh" || exit 1
export WINEPREFIX=${WINEPREFIX:-$wine_root/unit}
exe=$1; shift
bin=$WINEPREFIX/drive_c/bin
mkdir -p "$bin"
name=$(basename "$exe")
for file in "$(dirname "$exe")"/*; do
    [ -f "$file" ] || continue
    target=$bin/$(basename "$file")
    [ "$target" -nt "$file" ] && continue
    cp -f "$file" "$target.$$" && mv -f "$target.$$" "$target"
done
cd "$bin"
exec wine "C:\\bin\\$name" "$@"
