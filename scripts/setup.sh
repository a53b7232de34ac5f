#!/usr/bin/env bash
# Installs what the build, the run and the tests need, where missing, and fetches
# TinyXML's Debian sources into the build tree. Safe to run again: it takes seconds
# when everything is present.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}

packages=(wine wine32:i386 wine64 g++-mingw-w64-i686 cmake make xvfb xauth
          fonts-wqy-microhei fonts-wine googletest imagemagick xdotool locales
          dpkg-dev x11-utils python3)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine decodes the Unix side's UTF-8 only with a generated locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
    localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 || true
fi

"$here/scripts/fetch-tinyxml.sh" "$build/deps"
