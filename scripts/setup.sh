#!/usr/bin/env bash
# Installs what the build, the run and the tests need, where missing, fetches TinyXML's
# Debian sources into the build tree, and probes once whether this machine can run
# 32-bit code. Safe to run again: it takes seconds when everything is present.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
source "$here/scripts/step.sh"
source "$here/scripts/arch.sh"

# Both MinGW-w64 compilers: the product is PE32; the x86-64 one builds the test build
# on machines that cannot run 32-bit code.
packages=(wine wine32:i386 wine64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 cmake make xvfb
          xauth fonts-wqy-microhei fonts-wine googletest imagemagick xdotool locales
          dpkg-dev x11-utils python3)

install_missing "${packages[@]}"

# Wine decodes the Unix side's UTF-8 only with a generated locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    run_step "generate the zh_CN.UTF-8 locale" localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 ||
        echo "setup: going on without it; Chinese command-line arguments may arrive garbled" >&2
fi

"$here/scripts/fetch-tinyxml.sh" "$build_dir/deps"
[ -f "$arch_probe_file" ] || probe_32bit_code
