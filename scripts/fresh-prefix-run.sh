#!/usr/bin/env bash
# Runs a Windows program in its own fresh copy of the template prefix, with its own
# wine server, then throws the copy away (KEEP_PREFIX=1 keeps it for a look). Used as
# the emulator of end-to-end tests: every test case gets a clean registry and disk.
# The program's folder is mirrored under C:\bin, as wine-run.sh does. A host program
# (anything but an .exe) runs as it is, inside the prefix's environment.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh" || exit 1
mkdir -p "$wine_root/e2e"
export WINEPREFIX=$(mktemp -d "$wine_root/e2e/prefix.XXXXXX")
cp -a "$template_prefix/." "$WINEPREFIX/"

# TESSAMO_SMALL_DRIVE_MB: a size-limited tmpfs as drive T:, for the cases that fill a
# disk. Where mounting is not allowed there is no T:, and those cases say so and skip.
small_drive=""
if [ -n "${TESSAMO_SMALL_DRIVE_MB:-}" ]; then
    small_drive=$WINEPREFIX/small-drive
    mkdir -p "$small_drive"
    if mount -t tmpfs -o "size=${TESSAMO_SMALL_DRIVE_MB}m" tmpfs "$small_drive" 2>/dev/null; then
        ln -sfn "$small_drive" "$WINEPREFIX/dosdevices/t:"
    else
        small_drive=""
    fi
fi

cleanup() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    [ -n "$small_drive" ] && umount "$small_drive"
    # Screenshots a test saved under C:\screenshots outlive the prefix.
    if [ -d "$WINEPREFIX/drive_c/screenshots" ]; then
        mkdir -p "$test_build_dir/screenshots"
        cp -f "$WINEPREFIX/drive_c/screenshots/"* "$test_build_dir/screenshots/" 2>/dev/null
    fi
    if [ "${KEEP_PREFIX:-0}" = 1 ]; then
        echo "fresh-prefix-run: kept $WINEPREFIX" >&2
    else
        rm -rf "$WINEPREFIX"
    fi
}
trap cleanup EXIT

wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
# A host program, such as a test in Python, drives the Windows programs itself.
case "$1" in
    *.exe) "$(dirname "$0")/wine-run.sh" "$@" ;;
    *) "$@" ;;
esac
