# Sourced by the scripts that run Windows programs: one place for Wine's settings.
# Targets run with ANSI code page 936, as on the systems the product ships to.
# TESSAMO_LOCALE=C.UTF-8 gives code page 1252 instead, for tests that need a Western system.
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=${TESSAMO_LOCALE:-zh_CN.UTF-8}
project_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${BUILD_DIR:-$project_root/build}
wine_root=$build_dir/wine
template_prefix=$wine_root/template
