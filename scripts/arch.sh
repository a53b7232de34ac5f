# Sourced: decides which Windows build this machine tests and runs, and says so.
# The product is always the PE32 build in $build_dir. Where this machine cannot execute
# 32-bit x86 code at all, the same sources are also built for x86-64 in $build_dir/x64,
# and that build is tested under 64-bit Wine instead.
#
# The probe runs once, at set-up (probe_32bit_code), and its answer is kept in the build
# folder; everything else reads it here. TESSAMO_TEST_ARCH=x86 or =x64 forces a mode.

arch_probe_file=$build_dir/can-run-32bit

# Writes "yes" or "no" to the probe file: can the 32-bit Wine loader start at all?
probe_32bit_code() {
    mkdir -p "$build_dir"
    local answer=no output
    if output=$(/usr/lib/wine/wine --version 2>&1); then
        answer=yes
    else
        echo "arch: the 32-bit Wine loader cannot start here: ${output:-no output}" >&2
    fi
    echo "$answer" > "$arch_probe_file"
}

# Prints x86 or x64, or fails with a message when the forced mode cannot run here.
decide_test_arch() {
    [ -f "$arch_probe_file" ] || probe_32bit_code
    local can_run_32bit
    can_run_32bit=$(cat "$arch_probe_file")
    case "${TESSAMO_TEST_ARCH:-}" in
        x64) echo x64 ;;
        x86)
            if [ "$can_run_32bit" != yes ]; then
                echo "TESSAMO_TEST_ARCH=x86, but this machine cannot run 32-bit code (see $arch_probe_file);" \
                     "unset it, or use TESSAMO_TEST_ARCH=x64" >&2
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
    if [ "$test_arch" = x86 ]; then
        echo "$why: $1 the shipped PE32 build under 32-bit Wine"
    else
        echo "$why: $1 the x86-64 build of the same sources under 64-bit Wine;" \
             "the shipped PE32 exe is built as $build_dir/bin/TessamoSetup.exe, and tests check it as a file"
    fi
}
