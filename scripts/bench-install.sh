#!/usr/bin/env bash
# Times whole installations side by side: our installer (/s), an NSIS installer of the
# same tree (SetCompress off, /S) and a plain cp -r of that tree; also our installer with
# /quiet, which shows no window, so that the window's own cost shows, and /quiet once
# more over that installation (an upgrade: every file replaced). Two packages: the
# real one, and the real one with 2,000 files of 100 KiB (200 MB) added. Every round
# starts from a fresh copy of the prefix and runs the three alternately there; ROUNDS
# (default 5) rounds. Prints the median wall time, CPU time and peak memory of each, and
# the ratios. SETUP=<exe> times another build of the installer (same architecture)
# instead of this build's. Not run by ctest.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
rounds=${ROUNDS:-5}
"$here/scripts/build.sh" >/dev/null || exit 1
source "$here/scripts/session.sh" || exit 1
source "$here/scripts/step.sh"
install_missing nsis time || exit 1
echo "bench: $(describe_test_arch benchmarking)"

bench=$test_build_dir/bench
rm -rf "$bench"
mkdir -p "$bench"
trap stop_session EXIT
[ "$test_arch" = x64 ] && nsis_target=amd64-unicode || nsis_target=x86-unicode

# The prefix's D: drive, where both installers install.
drive_d() { echo "$WINEPREFIX/drive_d"; }

close_application() {
    wine taskkill /f /im Pinvora.exe >/dev/null 2>&1
}

# fresh_prefix: a new copy of the template prefix with the installers in C:\bench. The
# first window in a prefix makes Wine set up its desktop (about 0.4 s); a user's desktop
# is already there, and NSIS /S shows no window, so that is done before any timing.
fresh_prefix() {
    new_prefix bench
    mkdir -p "$WINEPREFIX/drive_c/bench"
    cp "$bench"/*.exe "$WINEPREFIX/drive_c/bench/" 2>/dev/null
    wine rundll32.exe user32.dll,GetDesktopWindow >/dev/null 2>&1
}

# timed NAME COMMAND...: appends "wall cpu peak-KiB" of one run to $bench/NAME.times.
timed() {
    local name=$1
    shift
    /usr/bin/time -f '%e %U %S %M' -o "$bench/$name.time" "$@" >/dev/null 2>&1 </dev/null
    awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$bench/$name.time" >>"$bench/$name.times"
}

# make_tree PACKAGE: installs once with our installer and keeps the installed folder as
# the tree NSIS and cp -r install.
make_tree() {
    local package=$1
    fresh_prefix
    (cd "$WINEPREFIX/drive_c/bench" && wine "C:\\bench\\$package.exe" /s >/dev/null 2>&1)
    close_application
    cp -a "$(drive_d)/Program Files/Tessamo" "$bench/tree-$package"
}

make_nsis_installer() {
    local package=$1
    cat >"$bench/nsis-$package.nsi" <<EOF
Unicode true
Target $nsis_target
SetCompress off
OutFile "$bench/nsis-$package.exe"
InstallDir "D:\\NsisTessamo"
RequestExecutionLevel admin
Section
SetOutPath "\$INSTDIR"
File /r "$bench/tree-$package/*.*"
SectionEnd
EOF
    run_step "makensis $package" makensis -V2 "$bench/nsis-$package.nsi"
}

# one_round PACKAGE ORDER: the three contenders in ORDER, in one fresh prefix, then our
# /quiet in another (in the same prefix it would find the installation before it), then
# /quiet again there, over the installation it made.
one_round() {
    local package=$1 who
    fresh_prefix
    for who in $2 quiet; do
        case $who in
        ours)
            (cd "$WINEPREFIX/drive_c/bench" && timed "$package-ours" wine "C:\\bench\\$package.exe" /s)
            close_application ;;
        nsis)
            (cd "$WINEPREFIX/drive_c/bench" && timed "$package-nsis" wine "C:\\bench\\nsis-$package.exe" /S) ;;
        copy)
            timed "$package-copy" cp -r "$bench/tree-$package" "$(drive_d)/copy" ;;
        quiet)
            fresh_prefix
            (cd "$WINEPREFIX/drive_c/bench" && timed "$package-quiet" wine "C:\\bench\\$package.exe" /quiet)
            (cd "$WINEPREFIX/drive_c/bench" && timed "$package-upgrade" wine "C:\\bench\\$package.exe" /quiet) ;;
        esac
    done
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# column NAME N: the median of field N of NAME's runs.
column() { awk -v n="$2" '{ print $n }' "$bench/$1.times" | median; }

report() {
    local package=$1 who
    local -A wall cpu peak
    echo
    echo "$package package ($(du -sm "$bench/tree-$package" | cut -f1) MB installed), medians of $rounds runs:"
    printf '  %-8s %8s %8s %10s\n' "" "wall s" "CPU s" "peak MiB"
    for who in ours quiet upgrade nsis copy; do
        wall[$who]=$(column "$package-$who" 1)
        cpu[$who]=$(column "$package-$who" 2)
        peak[$who]=$(awk "BEGIN { print $(column "$package-$who" 3) / 1024 }")
        printf '  %-8s %8.2f %8.2f %10.1f\n' "$who" "${wall[$who]}" "${cpu[$who]}" "${peak[$who]}"
    done
    awk -v w="${wall[ours]}" -v c="${cpu[ours]}" -v m="${peak[ours]}" \
        -v nw="${wall[nsis]}" -v nc="${cpu[nsis]}" -v nm="${peak[nsis]}" \
        -v qw="${wall[quiet]}" -v qc="${cpu[quiet]}" -v qm="${peak[quiet]}" \
        -v uw="${wall[upgrade]}" -v uc="${cpu[upgrade]}" -v um="${peak[upgrade]}" 'BEGIN {
            printf "  ours / NSIS: wall %.2fx, CPU %.2fx, peak memory %.2fx\n", w / nw, c / nc, m / nm
            printf "  upgrade / fresh (quiet): wall %.2fx, CPU %.2fx, peak memory %.2fx\n", uw / qw, uc / qc, um / qm
            printf "  the window (ours - quiet): wall %.2f s, CPU %.2f s, peak memory %.1f MiB\n", w - qw, c - qc, m - qm
        }'
}

start_display || exit 1
fresh_prefix
cp "${SETUP:-$test_build_dir/bin/TessamoSetup.exe}" "$bench/real.exe" || exit 1
cp "$bench/real.exe" "$WINEPREFIX/drive_c/bench/"
"$here/scripts/wine-run.sh" "$test_build_dir/bin/install_bench.exe" 'C:\bench\real.exe' 'C:\bench\large.exe' || exit 1
cp "$WINEPREFIX/drive_c/bench/large.exe" "$bench/large.exe"

for package in real large; do
    make_tree "$package"
    make_nsis_installer "$package" || exit 1
done
orders=("ours nsis copy" "nsis copy ours" "copy ours nsis")
for package in real large; do
    for round in $(seq "$rounds"); do
        one_round "$package" "${orders[$((round % 3))]}"
    done
done
echo
echo "Wall time is process start to exit; CPU time is user + system of the installer's"
echo "own process (the wine server's share is not counted, for either); peak memory is its"
echo "largest resident set."
for package in real large; do report "$package"; done
echo
echo "bench: $(describe_test_arch benchmarked)"
