#!/usr/bin/env bash
# Set-up if needed, build, then start TessamoSetup.exe under Wine. With a display the
# window shows there and arguments go to the installer (e.g. /s or update=true).
# Without one, the installer runs in automatic mode (/s) on a virtual display while
# screenshots of its window states are saved; the script says where they are.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh" >/dev/null || exit 1
source "$here/scripts/session.sh"
echo "run: $(describe_test_arch running)"

had_display=${DISPLAY:+yes}
start_display reuse || exit 1
new_prefix run
dl=$WINEPREFIX/drive_c/dl
mkdir -p "$dl"
cp "$test_build_dir/bin/TessamoSetup.exe" "$dl/"
cd "$dl"

if [ -n "$had_display" ]; then
    wine 'C:\dl\TessamoSetup.exe' "$@"
    status=$?
    stop_session
    echo "run: $(describe_test_arch ran)"
    exit $status
fi

shots=$test_build_dir/screenshots/run
rm -rf "$shots"
mkdir -p "$shots"
wine 'C:\dl\TessamoSetup.exe' /s >/dev/null 2>&1 &
setup_pid=$!
n=0
# A frame every tenth of a second or so while the installer runs; identical frames are dropped.
while kill -0 "$setup_pid" 2>/dev/null && [ $n -lt 120 ]; do
    frame=$(printf '%s/setup-%03d.png' "$shots" "$n")
    import -window root "$frame" 2>/dev/null || break
    if [ $n -gt 0 ] && compare -metric AE "$frame" "$previous" null: 2>/dev/null; then
        rm -f "$frame"
    else
        previous=$frame
    fi
    n=$((n + 1))
    sleep 0.1
done
wait "$setup_pid"
status=$?
sleep 2
import -window root "$shots/application.png" 2>/dev/null
echo "The installer ended with exit code $status."
echo "Screenshots of its window states, then of the started application: $shots/"
stop_session
echo "run: $(describe_test_arch ran)"
exit $status
