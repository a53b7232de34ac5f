#!/usr/bin/env bash
# Fetches TinyXML from Debian's source package into $1/tinyxml, with private apt
# lists so that the system's sources stay untouched.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
source "$here/scripts/step.sh"
mkdir -p "$1"
deps=$(cd "$1" && pwd)
target=$deps/tinyxml
[ -f "$target/tinyxml.h" ] && exit 0

apt_dir=$deps/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$deps/src"

# Same mirror as the system's own Debian entry.
uri=$(grep -hoE 'https?://[^ ]*debian/?( |$)' /etc/apt/sources.list.d/* /etc/apt/sources.list 2>/dev/null \
      | grep -v security | head -n 1 | tr -d ' ' || true)
uri=${uri:-http://deb.debian.org/debian}
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
echo "deb-src [signed-by=$keyring] $uri bookworm main" > "$apt_dir/sources.list"

opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
      -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
run_step "apt-get update of the private deb-src list" apt-get "${opts[@]}" update
(cd "$deps/src" && run_step "apt-get source tinyxml" apt-get "${opts[@]}" source tinyxml)
src=$(find "$deps/src" -maxdepth 1 -type d -name 'tinyxml-*' | head -n 1)
[ -n "$src" ] || { echo "fetch-tinyxml: no source tree" >&2; exit 1; }
rm -rf "$target"
mv "$src" "$target"
