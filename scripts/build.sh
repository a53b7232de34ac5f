#!/usr/bin/env bash
# Set-up if needed, then configure and build everything: the shipped PE32 build in
# $build_dir and, where the tests run on x86-64 (see arch.sh), the same sources for
# x86-64 in $build_dir/x64.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
source "$here/scripts/wine-env.sh" || exit 1
source "$here/scripts/step.sh"
"$here/scripts/make-prefix.sh"

# configure_and_build DIR TOOLCHAIN [CMAKE_ARGS...]
configure_and_build() {
    local dir=$1 toolchain=$2
    shift 2
    run_step "configure $dir" cmake -S "$here" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DTESSAMO_DEPS_DIR="$build_dir/deps" "$@"
    cmake --build "$dir" -j "$(nproc)"
}

configure_and_build "$build_dir" toolchain-mingw32.cmake
if [ "$test_arch" = x64 ]; then
    configure_and_build "$test_build_dir" toolchain-mingw64.cmake \
        -DTESSAMO_SHIPPED_SETUP="$build_dir/bin/TessamoSetup.exe"
fi
