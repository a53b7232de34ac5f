#!/usr/bin/env bash
# Creates the template Wine prefix that every run and test copies: a win32 prefix with
# real user folders, Wine's fonts, the Chinese UI font mapped to the CJK font, no Z:
# drive (it maps the host's root) and a fixed D: drive inside the prefix.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
prefix=${1:-$template_prefix}
[ -f "$prefix/.ready" ] && exit 0

rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
export WINEPREFIX=$prefix
wineboot -i >/dev/null 2>&1 </dev/null
wineserver -w

# The user folders link into $HOME by default; shortcuts must land in the prefix.
find "$prefix/drive_c/users" -mindepth 2 -maxdepth 2 -type l | while read -r link; do
    rm "$link" && mkdir -p "$link"
done

mkdir -p "$prefix/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"

for face in 宋体 SimSun 新宋体 NSimSun; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
        /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1 </dev/null
done
wineserver -w

rm -f "$prefix/dosdevices/z:"
mkdir -p "$prefix/drive_d"
ln -sfn ../drive_d "$prefix/dosdevices/d:"
touch "$prefix/.ready"
