# Sourced by the scripts that run Windows programs: one place for Wine's settings.
# Targets run with ANSI code page 936, as on the systems the product ships to.
# TESSAMO_LOCALE=C.UTF-8 gives code page 1252 instead, for tests that need a Western system.
project_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${BUILD_DIR:-$project_root/build}
source "$project_root/scripts/arch.sh"
test_arch=$(decide_test_arch) || exit 1

if [ "$test_arch" = x64 ]; then
    test_build_dir=$build_dir/x64
    export WINEARCH=win64
    export WINELOADER=/usr/lib/wine/wine64
    case ":$PATH:" in
        *":$project_root/scripts/wine64:"*) ;;
        *) export PATH=$project_root/scripts/wine64:$PATH ;;
    esac
else
    test_build_dir=$build_dir
    export WINEARCH=win32
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=${TESSAMO_LOCALE:-zh_CN.UTF-8}
wine_root=$test_build_dir/wine
template_prefix=$wine_root/template
