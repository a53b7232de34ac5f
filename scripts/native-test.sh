#!/usr/bin/env bash
# The pure cores on Linux. Installs clang, libFuzzer and the clang runtime from Debian
# where missing, builds build/native under AddressSanitizer and UndefinedBehaviorSanitizer,
# runs the native unit tests, then every fuzz target for FUZZ_SECONDS seconds (20 unless
# set). A crash, a leak, a sanitizer report or a broken property fails the run; the input
# that caused it is kept under build/fuzz/<target>/ and its path printed.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
build=$build_dir/native
fuzz_seconds=${FUZZ_SECONDS:-20}
source "$here/scripts/step.sh"

say() { echo "native-test: $*"; }

build_native() {
    "$here/scripts/fetch-tinyxml.sh" "$build_dir/deps" &&
        run_step "configure the native build" cmake -S "$here/native" -B "$build" \
            -DCMAKE_CXX_COMPILER=clang++ -DTESSAMO_DEPS_DIR="$build_dir/deps" &&
        run_step "build the native build" cmake --build "$build" -j "${BUILD_JOBS:-2}"
}

# fuzz TARGET: runs build/native/fuzz/TARGET_fuzzer from its committed seeds and the
# corpus it grew in earlier runs.
fuzz() {
    local target=$1 out=$build_dir/fuzz/$1
    mkdir -p "$out/corpus"
    local log=$out/last-run.log
    "$build/fuzz/${target}_fuzzer" -max_total_time="$fuzz_seconds" -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$out/" \
        "$out/corpus" "$here/fuzz/corpus/$target" >"$log" 2>&1
    local status=$?
    local runs
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    if ((status == 0)); then
        say "fuzz $target: ${runs:-?} runs in ${fuzz_seconds} s, nothing found"
        return 0
    fi
    grep -E 'Broken property|ERROR: |SUMMARY: ' "$log" >&2
    local reproducer
    reproducer=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
    say "FAILED fuzz $target (log: $log)" >&2
    [ -n "$reproducer" ] &&
        say "reproducer: $reproducer (rerun: $build/fuzz/${target}_fuzzer $reproducer)" >&2
    return 1
}

install_missing clang libclang-rt-dev llvm cmake make googletest dpkg-dev zlib1g-dev || exit 1
build_native || exit 1

status=0
say "unit tests"
(cd "$build" && ctest --output-on-failure) || status=1
for target in package data_file template journal markup edit command_line; do
    fuzz "$target" || status=1
done
((status == 0)) && say "passed" || say "FAILED" >&2
exit $status
