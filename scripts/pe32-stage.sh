#!/usr/bin/env bash
# The PE32 stage, for machines whose processor cannot run 32-bit code: the shipped PE32
# installer, the uninstaller and Pinvora.exe from its package run under 32-bit Wine by
# user-mode emulation (qemu-i386) in a win32 prefix, and what they do is compared with
# the x86-64 build's run of the same cases (tests/pe32-stage/).
#
#   pe32-stage.sh prepare   installs the emulator and makes the win32 template prefix
#                           (slow: scripts/test.sh runs it while the x86-64 suite runs)
#   pe32-stage.sh run       the cases, after preparing what is missing
#
# Exit codes: 0 every case passed, 1 a case failed, 2 not run (the emulator cannot start
# 32-bit Wine here). TESSAMO_PE32_STAGE=0 turns the stage off.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
stage_dir=$build_dir/pe32-stage
this_script=$here/scripts/pe32-stage.sh
# The x86 mode's template prefix, which make-prefix.sh makes there.
pe32_template=$build_dir/wine/template
source "$here/scripts/step.sh"
export TESSAMO_NO_CRASH_DEBUGGER=1

say() { echo "pe32 stage: $*"; }

# binfmt_misc's line for i386 ELF programs: class 1, machine 3, through qemu-i386-static,
# which the kernel opens at registration (flag F).
qemu_i386_entry=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F'
system_binfmt=/proc/sys/fs/binfmt_misc
qemu_report='qemu: uncaught target signal'

register_qemu_i386() {
    printf '%s' "$qemu_i386_entry" > "$1/register"
}

# Runs the stage's STEP (prepare or run) where i386 programs start through qemu-i386. A
# registration the system already has is used and left in place. Otherwise the script
# goes on in a private user and mount namespace with a binfmt_misc of its own (Linux 6.7
# and later), and nothing changes for the rest of the machine: a system-wide
# registration makes every 32-bit program start there, the old loader probes of other
# checkouts and the 32-bit half of every new win64 prefix included. On older kernels the
# registration is system-wide while the stage runs, and removed at its end.
with_emulation() {
    local step=$1
    if grep -qx enabled "$system_binfmt/qemu-i386" 2>/dev/null; then
        say "using the system's registration of qemu-i386 for i386 programs, left as it is"
        "${step}_in_emulation"
        return
    fi
    mkdir -p "$stage_dir/binfmt"
    if unshare --user --map-root-user --mount mount -t binfmt_misc binfmt_misc "$stage_dir/binfmt" 2>/dev/null; then
        TESSAMO_PE32_NAMESPACE=1 unshare --user --map-root-user --mount --fork --kill-child "$this_script" "$step"
        return
    fi
    say "no private binfmt_misc on this kernel: qemu-i386 is registered system-wide until the stage ends"
    local mounted_here=
    if [ ! -e "$system_binfmt/register" ]; then
        mount -t binfmt_misc binfmt_misc "$system_binfmt" || return 1
        mounted_here=yes
    fi
    register_qemu_i386 "$system_binfmt" || return 1
    "${step}_in_emulation"
    local status=$?
    echo -1 > "$system_binfmt/qemu-i386"
    [ -n "$mounted_here" ] && umount "$system_binfmt"
    return $status
}

# Inside the private namespace: its own binfmt_misc, with qemu-i386 registered.
register_in_namespace() {
    mount -t binfmt_misc binfmt_misc "$stage_dir/binfmt" && register_qemu_i386 "$stage_dir/binfmt"
}

# Runs a command whose log is $log; when it fails and the emulator reported a signal of
# its own, it is run once more.
retry_after_emulator_signal() {
    local what=$1
    shift
    "$@" && return 0
    grep -q "$qemu_report" "$log" || return 1
    say "the emulator itself ended a process while $what ($(grep -m1 "$qemu_report" "$log")); once more"
    "$@"
}

# The win32 template prefix, made under emulation (make-prefix.sh in the x86 mode).
make_template() {
    TESSAMO_TEST_ARCH=x86 "$here/scripts/make-prefix.sh" >>"$log" 2>&1
}

prepare_in_emulation() {
    log=$stage_dir/prepare.log
    if ! /usr/lib/wine/wine --version >"$log" 2>&1; then
        say "NOT RUN: the emulator cannot start 32-bit Wine here: $(head -n 3 "$log")"
        return 2
    fi
    if [ ! -f "$pe32_template/.ready" ]; then
        make_template_once || return
    fi
    start_cases_prefix
}

make_template_once() {
    say "making the win32 prefix under emulation (about 15 minutes; log: $log)"
    local start=$SECONDS
    if ! retry_after_emulator_signal "making the win32 prefix" make_template; then
        say "NOT RUN: 32-bit Wine did not make its prefix under emulation (log: $log)"
        return 2
    fi
    say "the win32 prefix is ready ($((SECONDS - start)) s)"
}

# The cases' prefix, a fresh copy of the template, with its wine server and services
# started and left running for them: under emulation that start takes minutes, which
# scripts/test.sh spends while the x86-64 suite runs. Marked ".warm" once ready.
start_cases_prefix() {
    local start=$SECONDS
    (
        export TESSAMO_TEST_ARCH=x86
        source "$here/scripts/session.sh" &&
            export WINEPREFIX=$wine_root/pe32-stage &&
            new_prefix pe32-stage &&
            touch "$WINEPREFIX/.warm"
    ) >>"$log" 2>&1 || { say "NOT RUN: 32-bit Wine did not start in the cases' prefix (log: $log)"; return 2; }
    say "the cases' win32 prefix, its wine server and services are up ($((SECONDS - start)) s)"
}

# observe OUT: runs the cases of this mode's build (TESSAMO_TEST_ARCH) on $DISPLAY in a
# fresh copy of its template prefix, and keeps what they saw in OUT, their output in
# OUT.log.
observe() {
    local out=$1 start=$SECONDS
    source "$here/scripts/session.sh" || return 1
    rm -rf "$out" && mkdir -p "$out"
    # Kept running from start_cases_prefix when marked; a retry gets a fresh copy.
    export WINEPREFIX=$wine_root/pe32-stage
    if [ -f "$WINEPREFIX/.warm" ]; then
        rm "$WINEPREFIX/.warm"
        : >"$out.log"
    else
        new_prefix pe32-stage >"$out.log" 2>&1
    fi
    say "$test_arch: a fresh prefix, its wine server and services ready after $((SECONDS - start)) s"
    "$here/scripts/wine-run.sh" "$test_build_dir/bin/pe32_stage_cases.exe" >>"$out.log" 2>&1
    local status=$?
    say "$test_arch: the cases ran in $((SECONDS - start)) s"
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    cp -r "$WINEPREFIX/drive_c/observed/." "$out/" 2>/dev/null
    [ "${KEEP_PREFIX:-0}" = 1 ] || rm -rf "$WINEPREFIX"
    return $status
}

# The verdicts and failure messages of a run of the cases program, indented.
show_cases() {
    grep -aE '^\[ +(OK|FAILED) +\]|Failure|^Expected|^  Actual|Value of' "$1" | sed 's/^/    /'
}

# Compares what the PE32 build saw with what the x86-64 build saw, case by case.
compare_observations() {
    local pe32=$1 x64=$2 case failed=0 differing
    for case in fresh-window quiet-installation application uninstallation; do
        if [ ! -f "$x64/$case.txt" ]; then
            say "FAILED $case: the x86-64 build's run did not get that far (see $x64.log)"
            failed=1
        elif [ ! -f "$pe32/$case.txt" ]; then
            say "FAILED $case: the PE32 build's run did not get that far (see $pe32.log)"
            failed=1
        elif ! diff -u --label "x86-64 build" --label "PE32 build" "$x64/$case.txt" "$pe32/$case.txt"; then
            say "FAILED $case: the PE32 build did otherwise"
            failed=1
        else
            say "passed $case"
        fi
    done
    # Same code, same pictures, same Wine: the window must match pixel for pixel.
    differing=$(compare -metric AE "$x64/fresh-window.bmp" "$pe32/fresh-window.bmp" null: 2>&1)
    if [ "$differing" = 0 ]; then
        say "passed fresh-window picture: identical to the x86-64 build's"
    else
        say "FAILED fresh-window picture: ${differing:-no picture} pixels differ from the x86-64 build's"
        compare "$x64/fresh-window.bmp" "$pe32/fresh-window.bmp" "PNG32:$stage_dir/fresh-window-difference.png" 2>/dev/null &&
            say "the differences are marked in $stage_dir/fresh-window-difference.png"
        failed=1
    fi
    return $failed
}

run_in_emulation() {
    prepare_in_emulation || return
    log=$stage_dir/pe32.log
    source "$here/scripts/session.sh" || return 1
    start_display || return 1
    say "the x86-64 build's run of the cases, for comparison"
    TESSAMO_TEST_ARCH=x64 observe "$stage_dir/x64"
    say "the PE32 build's run of the cases under emulation (every process takes minutes to start)"
    local start=$SECONDS pe32_prefix=$build_dir/wine/pe32-stage
    # Bounded: a case that hangs under emulation would otherwise wait for each long timeout.
    local minutes=${TESSAMO_PE32_MINUTES:-45} ran
    retry_after_emulator_signal "running the cases" \
        timeout -k 60 "${minutes}m" env TESSAMO_TEST_ARCH=x86 "$this_script" observe "$stage_dir/pe32"
    ran=$?
    say "the PE32 build's run took $((SECONDS - start)) s"
    # What a run stopped by its time limit left behind.
    if [ -d "$pe32_prefix" ] && [ "${KEEP_PREFIX:-0}" != 1 ]; then
        WINEPREFIX=$pe32_prefix wineserver -k 2>/dev/null
        rm -rf "$pe32_prefix"
    fi
    # An emulator too slow for the time left has not shown anything about the program.
    if [ "$ran" = 124 ] || [ "$ran" = 137 ]; then
        say "NOT RUN: the cases did not finish within $minutes minutes under emulation"
        stop_session
        return 2
    fi
    show_cases "$stage_dir/pe32.log"
    compare_observations "$stage_dir/pe32" "$stage_dir/x64"
    local status=$?
    stop_session
    return $status
}

case "${1:-run}" in
    observe)
        observe "$2" ;;
    prepare | run)
        if [ "${TESSAMO_PE32_STAGE:-1}" = 0 ]; then
            say "turned off (TESSAMO_PE32_STAGE=0)"
            exit 0
        fi
        mkdir -p "$stage_dir"
        if [ -n "${TESSAMO_PE32_NAMESPACE:-}" ]; then
            register_in_namespace || exit 1
            "${1}_in_emulation"
            exit
        fi
        install_missing qemu-user-static || exit 1
        with_emulation "$1" ;;
    *)
        echo "usage: $this_script [prepare|run]" >&2
        exit 1 ;;
esac
