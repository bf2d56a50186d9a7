#!/bin/sh
# check_install.sh BUILD "PROGRAMS": installs the build into a scratch DESTDIR
# (prefix /usr) and fails unless exactly the files of the named programs are
# there: each executable, desktop entry, scalable icon and PNG icon per size.
set -eu
build=$1
programs=$2
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT

DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null

expected=$(mktemp)
actual=$(mktemp)
trap 'rm -rf "$dest" "$expected" "$actual"' EXIT
for p in $programs; do
  echo "usr/bin/$p"
  echo "usr/share/applications/$p.desktop"
  echo "usr/share/icons/hicolor/scalable/apps/$p.svg"
  for s in 16 22 24 32 48 64 128 256; do
    echo "usr/share/icons/hicolor/${s}x${s}/apps/$p.png"
  done
done | sort >"$expected"
(cd "$dest" && find . -type f -o -type l) | sed 's|^\./||' | sort >"$actual"

if ! diff -u "$expected" "$actual"; then
  echo "check_install: the installed files differ from the expected ones (- expected, + installed)" >&2
  exit 1
fi
for p in $programs; do
  [ -x "$dest/usr/bin/$p" ] || { echo "check_install: usr/bin/$p is not executable" >&2; exit 1; }
  file "$dest/usr/share/icons/hicolor/48x48/apps/$p.png" 2>/dev/null | grep -q "48 x 48" ||
    { command -v file >/dev/null && { echo "check_install: $p's 48x48 icon is no 48 x 48 PNG" >&2; exit 1; }; }
done
# The scalable icons are SVG documents a renderer can read.
for p in $programs; do
  python3 -c 'import sys, xml.etree.ElementTree as E; r = E.parse(sys.argv[1]).getroot(); sys.exit(r.tag != "{http://www.w3.org/2000/svg}svg")' \
    "$dest/usr/share/icons/hicolor/scalable/apps/$p.svg" || { echo "check_install: $p.svg is no SVG document" >&2; exit 1; }
done
echo "check_install: $(wc -l <"$actual") files, as expected"
