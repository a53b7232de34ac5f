# Sourced by the scripts that run Windows programs: one place for Wine's settings.
# Targets run with ANSI code page 936, as on the systems the product ships to.
# TESSAMO_LOCALE=C.UTF-8 gives code page 1252 instead, for tests that need a Western system.
project_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${BUILD_DIR:-$project_root/build}
source "$project_root/scripts/arch.sh"
# A sourced file must not exit: that would close a developer's shell.
test_arch=$(decide_test_arch) || return 1

# Both modes set everything, so that a script of one mode may call one of the other.
wine64_shim=$project_root/scripts/wine64
path_without_shim=:$PATH:
path_without_shim=${path_without_shim//:$wine64_shim:/:}
path_without_shim=${path_without_shim#:}
export PATH=${path_without_shim%:}
if [ "$test_arch" = x64 ]; then
    test_build_dir=$build_dir/x64
    export WINEARCH=win64
    export WINELOADER=/usr/lib/wine/wine64
    export PATH=$wine64_shim:$PATH
else
    test_build_dir=$build_dir
    export WINEARCH=win32
    unset WINELOADER
fi
export WINEDEBUG=${WINEDEBUG:--all}
# Under emulation Wine's debugger, started for a crashed process, never ends and holds the
# wine server: there a crash just ends the process.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${TESSAMO_NO_CRASH_DEBUGGER:+;winedbg.exe=d}"
export LC_ALL=${TESSAMO_LOCALE:-zh_CN.UTF-8}
wine_root=$test_build_dir/wine
template_prefix=$wine_root/template
