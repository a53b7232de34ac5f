#!/usr/bin/env bash
# Creates the template Wine prefix that every run and test copies: a win32 prefix (win64
# for the x86-64 test build) with real user folders, Wine's fonts, the Chinese UI font
# mapped to the CJK font, no Z: drive (it maps the host's root), a fixed D: drive inside
# the prefix, and windows left unmanaged.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
source "$(dirname "$0")/step.sh"
prefix=${1:-$template_prefix}
[ -f "$prefix/.ready" ] && exit 0

rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
export WINEPREFIX=$prefix
run_step "create the $WINEARCH Wine prefix $prefix" wineboot -i
run_step "wait for the new prefix's wine server" wineserver -w

# The user folders link into $HOME by default; shortcuts must land in the prefix.
find "$prefix/drive_c/users" -mindepth 2 -maxdepth 2 -type l | while read -r link; do
    rm "$link" && mkdir -p "$link"
done

mkdir -p "$prefix/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"

reg_add() {
    run_step "registry value $1\\$2" wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f
}
for face in 宋体 SimSun 新宋体 NSimSun; do
    reg_add 'HKCU\Software\Wine\Fonts\Replacements' "$face" "WenQuanYi Micro Hei"
done
# Xvfb runs no window manager. A managed window makes Wine wait for one, about two
# seconds each time such a window is destroyed.
reg_add 'HKCU\Software\Wine\X11 Driver' Managed N
run_step "wait for the prefix's registry to be written" wineserver -w

rm -f "$prefix/dosdevices/z:"
mkdir -p "$prefix/drive_d"
ln -sfn ../drive_d "$prefix/dosdevices/d:"
touch "$prefix/.ready"
