#!/usr/bin/env bash
# Installs what the build, the run and the tests need, where missing, fetches TinyXML's
# Debian sources into the build tree, and then probes whether this machine's processor
# runs 32-bit code. Safe to run again: it takes seconds when everything is present.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
source "$here/scripts/step.sh"
source "$here/scripts/arch.sh"

# Both MinGW-w64 compilers: the product is PE32; the x86-64 one builds the test build
# on machines that cannot run 32-bit code. gcc builds the 32-bit probe.
packages=(wine wine32:i386 wine64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 cmake make xvfb
          xauth fonts-wqy-microhei fonts-wine googletest imagemagick xdotool locales
          dpkg-dev x11-utils python3 python3-yaml gcc)

install_missing "${packages[@]}"

# Wine decodes the Unix side's UTF-8 only with a generated locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    run_step "generate the zh_CN.UTF-8 locale" localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 ||
        echo "setup: going on without it; Chinese command-line arguments may arrive garbled" >&2
fi

"$here/scripts/fetch-tinyxml.sh" "$build_dir/deps"
# Asked at every set-up, after the installs: it takes a moment.
probe_32bit_code || { echo "setup: the 32-bit probe could not be built" >&2; exit 1; }
