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

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        run_step "enable the i386 architecture" dpkg --add-architecture i386
    fi
    run_step "apt-get update" apt-get update
    run_step "install ${missing[*]}" \
        env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Wine decodes the Unix side's UTF-8 only with a generated locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    run_step "generate the zh_CN.UTF-8 locale" localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 ||
        echo "setup: going on without it; Chinese command-line arguments may arrive garbled" >&2
fi

"$here/scripts/fetch-tinyxml.sh" "$build_dir/deps"
[ -f "$arch_probe_file" ] || probe_32bit_code
