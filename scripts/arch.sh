# Sourced: decides which Windows build this machine tests and runs, and says so.
# The product is always the PE32 build in $build_dir. Where this machine cannot execute
# 32-bit x86 code at all, the same sources are also built for x86-64 in $build_dir/x64,
# and that build is tested under 64-bit Wine instead (and the PE32 build once more under
# emulation: scripts/pe32-stage.sh).
#
# The probe runs at set-up only (probe_32bit_code), after the installs, and its answer is
# kept in the build folder; everything else reads it here. TESSAMO_TEST_ARCH=x86 or =x64
# forces a mode.

arch_probe_file=$build_dir/can-run-32bit

# Writes "yes" or "no" to the probe file: does the processor itself run 32-bit code for a
# 64-bit process? An emulator registered for i386 programs cannot answer for it.
probe_32bit_code() {
    local code program=$build_dir/probe/probe-32bit-code status
    code=$(dirname "${BASH_SOURCE[0]}")/probe-32bit-code.S
    mkdir -p "$build_dir/probe"
    if [ ! "$program" -nt "$code" ]; then
        gcc -nostdlib -static -no-pie -o "$program" "$code" || return 1
    fi
    # Through another shell, whose report of the fault goes nowhere.
    status=$(bash -c '"$1"; echo $?' probe "$program" 2>/dev/null)
    if [ "$status" -eq 32 ]; then
        echo yes > "$arch_probe_file"
        return 0
    fi
    echo "arch: this processor does not run 32-bit code for a 64-bit process" \
         "(the probe's jump into a 32-bit code segment ended with status $status)" >&2
    echo no > "$arch_probe_file"
}

# Whether the 32-bit Wine loader starts in this process's world: natively, or through an
# emulator registered for i386 programs.
wine32_loader_starts() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Prints x86 or x64, or fails with a message when the forced mode cannot run here.
decide_test_arch() {
    if [ ! -f "$arch_probe_file" ]; then
        echo "$arch_probe_file is missing: set-up has not run yet (bash scripts/setup.sh)" >&2
        return 1
    fi
    local can_run_32bit
    can_run_32bit=$(cat "$arch_probe_file")
    case "${TESSAMO_TEST_ARCH:-}" in
        x64) echo x64 ;;
        x86)
            if [ "$can_run_32bit" != yes ] && ! wine32_loader_starts; then
                echo "TESSAMO_TEST_ARCH=x86, but this machine cannot run 32-bit code (see $arch_probe_file)" \
                     "and no emulator is registered for it; unset it, or use TESSAMO_TEST_ARCH=x64" >&2
                return 1
            fi
            echo x86 ;;
        "") [ "$can_run_32bit" = yes ] && echo x86 || echo x64 ;;
        *)
            echo "TESSAMO_TEST_ARCH must be x86 or x64, not '$TESSAMO_TEST_ARCH'" >&2
            return 1 ;;
    esac
}

# One plain sentence on what this run tests; scripts print it at their start and end.
describe_test_arch() {
    local why="this machine runs 32-bit code"
    [ "$(cat "$arch_probe_file" 2>/dev/null)" = yes ] || why="this machine cannot run 32-bit code"
    [ -n "${TESSAMO_TEST_ARCH:-}" ] && why="TESSAMO_TEST_ARCH=$TESSAMO_TEST_ARCH forces the mode"
    if [ "$test_arch" = x86 ] && [ "$(cat "$arch_probe_file")" != yes ]; then
        echo "$why: $1 the shipped PE32 build under 32-bit Wine, by emulation (slow)"
    elif [ "$test_arch" = x86 ]; then
        echo "$why: $1 the shipped PE32 build under 32-bit Wine"
    else
        echo "$why: $1 the x86-64 build of the same sources under 64-bit Wine;" \
             "the shipped PE32 exe is built as $build_dir/bin/TessamoSetup.exe, and tests check it as a file"
    fi
}
