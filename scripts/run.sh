#!/usr/bin/env bash
# Set-up if needed, build, then start TessamoSetup.exe under Wine. With a display the
# window shows there and arguments go to the installer (e.g. /s or update=true).
# Without one, the script drives the window on a virtual display as a user would, at
# 100 % and at 150 %: it saves the fresh window, presses the main button, saves the
# progress and the finished window, and closes it; it says where the pictures are.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh" >/dev/null || exit 1
source "$here/scripts/session.sh" || exit 1
echo "run: $(describe_test_arch running)"

had_display=${DISPLAY:+yes}
start_display reuse || exit 1
if [ -n "$had_display" ]; then
    new_prefix run
    dl=$WINEPREFIX/drive_c/dl
    mkdir -p "$dl"
    cp "$test_build_dir/bin/TessamoSetup.exe" "$dl/"
    cd "$dl"
    wine 'C:\dl\TessamoSetup.exe' "$@"
    status=$?
    stop_session
    echo "run: $(describe_test_arch ran)"
    exit $status
fi

shots=$test_build_dir/screenshots/run
rm -rf "$shots"
mkdir -p "$shots"
source "$here/scripts/drive-window.sh"
status=0
for dpi in 96 144; do
    drive_setup_window "$shots" "$dpi" || status=1
    echo "At $((dpi * 100 / 96)) % the installer ended with exit code ${setup_exit_code:-none}."
done
echo "Pictures of the window, fresh, installing and finished, at 100 % and 150 %: $shots/"
stop_session
echo "run: $(describe_test_arch ran)"
exit $status
