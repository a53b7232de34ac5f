#!/usr/bin/env bash
# Set-up if needed, build, then start TessamoSetup.exe under Wine. With a display the
# window shows there; without one it runs on a virtual display and the script saves
# a screenshot and says where it is. Arguments go to the installer (e.g. /s).
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh" >/dev/null || exit 1
source "$here/scripts/session.sh"

had_display=${DISPLAY:+yes}
start_display reuse || exit 1
start_session run
dl=$WINEPREFIX/drive_c/dl
mkdir -p "$dl"
cp "$build_dir/bin/TessamoSetup.exe" "$dl/"
cd "$dl"

if [ -n "$had_display" ]; then
    wine 'C:\dl\TessamoSetup.exe' "$@"
    status=$?
    stop_session
    exit $status
fi

shots=$build_dir/screenshots
mkdir -p "$shots"
wine 'C:\dl\TessamoSetup.exe' "$@" >/dev/null 2>&1 &
setup_pid=$!
for _ in $(seq 100); do
    xdotool search --name 'Tessamo' >/dev/null 2>&1 && break
    sleep 0.2
done
sleep 2
import -window root "$shots/setup-window.png"
echo "Screenshot of the setup window: $shots/setup-window.png"
for id in $(xdotool search --name 'Tessamo' 2>/dev/null); do
    xdotool windowclose "$id" 2>/dev/null || true
done
wine cmd /c 'taskkill /im TessamoSetup.exe' >/dev/null 2>&1 </dev/null || true
wait "$setup_pid"
stop_session
