#!/usr/bin/env bash
# Fetches Debian's own libxmp source package (the version the Linux build uses)
# and unpacks it, with Debian's patches applied, into DEST. apt runs on a
# private configuration whose sources, lists and cache live under WORK, so the
# system's package sources are never touched. Does nothing if DEST exists.
# Usage: fetch-libxmp.sh DEST WORK
set -euo pipefail
dest=$1
work=$2
[ -f "$dest/include/xmp.h" ] && exit 0

mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/sources.list.d" "$work/download"
cat >"$work/sources.list" <<LIST
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main
LIST
cat >"$work/apt.conf" <<CONF
Dir::Etc::SourceList "$work/sources.list";
Dir::Etc::SourceParts "$work/sources.list.d";
Dir::State::Lists "$work/lists";
Dir::Cache "$work/cache";
APT::Sandbox::User "root";
CONF
export APT_CONFIG="$work/apt.conf"
apt-get -qq update
rm -rf "$work/download"/*
(cd "$work/download" && apt-get -qq source libxmp >/dev/null)
src=$(find "$work/download" -mindepth 1 -maxdepth 1 -type d -name 'libxmp-*' | head -n 1)
[ -f "$src/include/xmp.h" ] || { echo "fetch-libxmp: no libxmp source unpacked" >&2; exit 1; }
rm -rf "$dest"
mv "$src" "$dest"
