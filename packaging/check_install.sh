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
# ... and the same picture as the PNGs: rendered at 256 pixels, at most 1% of
# the pixels differ by more than the edges' smoothing does.
if command -v rsvg-convert >/dev/null && [ -x /usr/bin/compare ]; then
  for p in $programs; do
    rsvg-convert -w 256 -h 256 "$dest/usr/share/icons/hicolor/scalable/apps/$p.svg" -o "$dest/svg.png"
    differing=$(/usr/bin/compare -metric AE -fuzz 20% "$dest/svg.png" \
      "$dest/usr/share/icons/hicolor/256x256/apps/$p.png" null: 2>&1 || true)
    rm -f "$dest/svg.png"
    case $differing in ''|*[!0-9]*) echo "check_install: cannot compare $p's icons: $differing" >&2; exit 1 ;; esac
    [ "$differing" -le 655 ] || { echo "check_install: $p.svg and $p.png differ in $differing pixels" >&2; exit 1; }
  done
fi
echo "check_install: $(wc -l <"$actual") files, as expected"
