#!/usr/bin/env bash
# What `scripts/run.sh` does without a display, on the test display: the window is driven
# at 100 % and at 150 %, and every picture saved shows the window, not an empty screen.
set -uo pipefail
source "$(dirname "$0")/../scripts/session.sh"
source "$(dirname "$0")/../scripts/drive-window.sh"
start_display reuse || exit 1
folder=$(mktemp -d)
trap 'stop_session; rm -rf "$folder"' EXIT
failed=0
for dpi in 96 144; do
    drive_setup_window "$folder" "$dpi" || failed=1
    [ "$setup_exit_code" = 0 ] || { echo "at $dpi dpi the installer ended with ${setup_exit_code:-no exit code}" >&2; failed=1; }
done
for picture in 100-ready 100-progress 100-finished 150-ready 150-progress 150-finished; do
    [ -s "$folder/$picture.png" ] || { echo "no picture $picture" >&2; failed=1; }
done
exit $failed
