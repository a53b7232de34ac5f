#!/usr/bin/env bash
# Set-up if needed, build, then every test under Wine on a private X display. Where the
# x86-64 build stands in for the PE32 one, the PE32 stage follows (scripts/pe32-stage.sh):
# its win32 prefix is made under emulation while the suite runs. Extra arguments go to
# ctest (for example -R Package); such a run leaves the stage out unless
# TESSAMO_PE32_STAGE=1, and TESSAMO_PE32_STAGE=0 always does.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh" || exit 1
source "$here/scripts/session.sh" || exit 1
stage=$here/scripts/pe32-stage.sh
stage_log=$build_dir/pe32-stage/prepare-output.log

# Whether this run ends with the PE32 stage, in a few words for the first and last lines.
pe32_stage_plan() {
    if [ "$test_arch" = x86 ]; then
        echo "not needed"
    elif [ "$(cat "$arch_probe_file")" = yes ]; then
        echo "not run: TESSAMO_TEST_ARCH=x64 was asked for"
    elif [ "${TESSAMO_PE32_STAGE:-}" = 0 ]; then
        echo "turned off (TESSAMO_PE32_STAGE=0)"
    elif [ $# -gt 0 ] && [ "${TESSAMO_PE32_STAGE:-}" != 1 ]; then
        echo "left out of a run of chosen tests (TESSAMO_PE32_STAGE=1 adds it)"
    else
        echo "runs at the end"
    fi
}
stage_plan=$(pe32_stage_plan "$@")

echo "test: $(describe_test_arch testing)"
echo "test: the PE32 stage under emulation: $stage_plan"
if [ "$stage_plan" = "runs at the end" ]; then
    mkdir -p "$(dirname "$stage_log")"
    echo "test: the PE32 stage prepares its win32 prefix in the background (output: $stage_log)"
    # Bounded, so that an emulated process that hangs cannot hold the whole run.
    nice -n 10 timeout -k 60 55m "$stage" prepare >"$stage_log" 2>&1 </dev/null &
    prepare_pid=$!
fi
start_session unit

cd "$test_build_dir" && ctest --output-on-failure --timeout 600 -j "${TEST_JOBS:-2}" "$@"
status=$?
stop_session
"$here/scripts/native-test.sh" || status=1

if [ "$stage_plan" = "runs at the end" ]; then
    wait "$prepare_pid"
    prepared=$?
    cat "$stage_log"
    if [ "$prepared" -eq 124 ] || [ "$prepared" -eq 137 ]; then
        stage_plan="NOT RUN: its preparation did not end within 55 minutes under emulation (see above)"
    elif [ "$prepared" -ne 0 ]; then
        stage_plan="NOT RUN: its preparation failed (see above)"
    else
        # The cases get what is left of 80 minutes since the start, so that a slow
        # emulator cannot push the whole run past CI's limit.
        TESSAMO_PE32_MINUTES=$(( (80 * 60 - SECONDS) / 60 )) "$stage" run
        case $? in
            0) stage_plan="passed" ;;
            2) stage_plan="NOT RUN: the emulator could not start 32-bit Wine, or was too slow for the time left (see above)" ;;
            *) stage_plan="FAILED (see above)"; status=1 ;;
        esac
    fi
fi
echo "test: $(describe_test_arch "tested")"
echo "test: the PE32 stage under emulation: $stage_plan"
exit $status
