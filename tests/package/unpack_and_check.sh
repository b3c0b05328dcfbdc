#!/usr/bin/env bash
# Makes the packages with scripts/package.sh into OUT/dist and checks the .deb
# as a user's machine would meet it: lintian finds no error; its Depends name
# the package of every library that the programs and the embedded module
# player load; the desktop entry, metainfo, icons and manual pages are valid.
# Unpacks it into OUT/root for the tests that run the installed programs.
# Usage: unpack_and_check.sh SOURCE_DIR BUILD_DIR OUT PLAYER_LIBRARY
set -euo pipefail
source=$1 build=$2 out=$3 player=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$out"
BUILD_DIR=$build DIST_DIR=$out/dist "$source/scripts/package.sh"
deb=$(echo "$out"/dist/brumlakor_*.deb)
tarball=$(echo "$out"/dist/brumlakor-*-linux-*.tar.gz)
lintian --fail-on error --info "$deb"
dpkg-deb -x "$deb" "$out/root"
usr=$out/root/usr
version=$(dpkg-deb -f "$deb" Version)

[ "$(dpkg-deb -f "$deb" Recommends)" = zenity ] || fail "Recommends lacks zenity (boxes on Wayland)"
depends=$(dpkg-deb -f "$deb" Depends)
names=$(sed 's/([^)]*)//g; s/[,|]/\n/g' <<<"$depends" | tr -d ' ')
libraries=$(ldconfig -p)
for elf in "$usr"/bin/brumlakor "$usr"/bin/brumlakor-capture "$player"; do
  for soname in $(objdump -p "$elf" | awk '$1 == "NEEDED" { print $2 }'); do
    path=$(awk -v name="$soname" '$1 == name && /x86-64/ { print $NF; exit }' <<<"$libraries")
    # dpkg may list the file under /usr only (merged /usr).
    owner=$({ dpkg -S "$path" "/usr$path" 2>/dev/null || true; } | head -1 | cut -d: -f1)
    [ -n "$owner" ] || fail "no package holds $soname"
    grep -qxF "$owner" <<<"$names" || fail "$soname ($owner) missing in Depends: $depends"
  done
done

for program in brumlakor brumlakor-capture; do
  [ "$("$usr/bin/$program" --version)" = "$program $version" ] || fail "$program --version"
done
# Any other word is ignored: the demo goes on to look for its display.
errors=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/brumlakor" --help 2>&1) && fail "brumlakor --help"
grep -q "needs a graphical display" <<<"$errors" || fail "brumlakor --help: $errors"
changelog_version=$(zcat "$usr/share/doc/brumlakor/changelog.gz" | sed -n '1s/.*(\(.*\)).*/\1/p')
[ "$changelog_version" = "$version" ] || fail "changelog is at $changelog_version, package at $version"
# Every option the capture tool's --help names is in its manual page.
page=$(zcat "$usr/share/man/man1/brumlakor-capture.1.gz" | sed 's/\\-/-/g')
for option in $("$usr/bin/brumlakor-capture" --help | grep -o -- '--[a-z-]*' | sort -u); do
  grep -q -- "$option" <<<"$page" || fail "brumlakor-capture(1) lacks $option"
done
grep -q -- '\\-\\-version' <(zcat "$usr/share/man/man1/brumlakor.1.gz") || fail "brumlakor(1)"

desktop-file-validate "$usr"/share/applications/*.desktop
appstreamcli validate --strict --no-net "$usr"/share/metainfo/*.metainfo.xml
for size in 48 128 256; do
  icon=$(echo "$usr/share/icons/hicolor/${size}x$size/apps/"*.png)
  [ "$(identify -format %wx%h "$icon")" = "${size}x$size" ] || fail "icon $icon is not $size px"
done
contents=$(tar -tzf "$tarball")
for file in README bin/brumlakor bin/brumlakor-capture share/man/man1/brumlakor.1.gz; do
  grep -Eq "^[^/]+/$file\$" <<<"$contents" || fail "no $file in $tarball"
done
