#!/usr/bin/env bash
# Creates the template Wine prefix that every run and test copies: a win32 prefix (win64
# for the x86-64 test build) with real user folders, Wine's fonts, the Chinese UI font
# mapped to the CJK font, no Z: drive (it maps the host's root), a fixed D: drive inside
# the prefix, and windows left unmanaged.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh" || exit 1
source "$(dirname "$0")/step.sh"
prefix=${1:-$template_prefix}
[ -f "$prefix/.ready" ] && exit 0

rm -rf "$prefix"
mkdir -p "$prefix"
export WINEPREFIX=$prefix
# Kills a server a failed step left behind. With no server left, wineserver -k fails, and
# under set -e that failure would become the script's exit code.
trap 'wineserver -k 2>/dev/null || true' EXIT
# Under emulation, wineboot stops waiting for the new prefix's set-up after five minutes
# and fails, while the set-up goes on; the server ends when the set-up is done.
boot_log=$prefix.wineboot.log
wineboot -i >"$boot_log" 2>&1 </dev/null || true
run_step "wait for the $WINEARCH Wine prefix $prefix to be made" wineserver -w
if [ ! -f "$prefix/drive_c/windows/system32/kernel32.dll" ]; then
    echo "set-up step failed: Wine did not make the prefix $prefix; its output:" >&2
    sed 's/^/  | /' "$boot_log" | tail -n 60 >&2
    exit 1
fi
rm -f "$boot_log"
# Then one wine server, kept alive with its services for the other steps: each new start
# of them costs minutes where 32-bit Wine runs by emulation.
wineserver -p

# The user folders link into $HOME by default; shortcuts must land in the prefix.
find "$prefix/drive_c/users" -mindepth 2 -maxdepth 2 -type l | while read -r link; do
    rm "$link" && mkdir -p "$link"
done

mkdir -p "$prefix/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"

# All values in one regedit run, for the same reason. regedit reads these files as UTF-16.
settings=$prefix/drive_c/windows/temp/prefix-settings.reg
{
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in 宋体 SimSun 新宋体 NSimSun; do
        printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
    done
    # Xvfb runs no window manager. A managed window makes Wine wait for one, about two
    # seconds each time such a window is destroyed.
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n'
} | iconv -f UTF-8 -t UTF-16 > "$settings"
run_step "registry values for fonts and windows" wine regedit /S 'C:\windows\temp\prefix-settings.reg'
rm -f "$settings"
# Stopping the server writes the registry to disk, ready to be copied.
run_step "stop the prefix's wine server" wineserver -k
run_step "wait for the prefix's wine server to end" wineserver -w

rm -f "$prefix/dosdevices/z:"
mkdir -p "$prefix/drive_d"
ln -sfn ../drive_d "$prefix/dosdevices/d:"
touch "$prefix/.ready"
