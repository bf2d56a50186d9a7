#!/bin/sh
# What `make run` does after building: writes the samples into $BUILD/samples,
# shows the sample customer table with dbftool, and then, when a display is
# there, opens Tabulon on two sample tables: stock.dbf (every type Tabulon
# edits, some records deleted) and kontakty.dbf (Russian text in the DOS code
# page CP866).
set -eu
BUILD=${1:-build}
SAMPLES="$BUILD/samples"
DBFTOOL="$BUILD/tools/dbftool/dbftool"
mkdir -p "$SAMPLES"

echo "\$ $BUILD/samples/make_samples $SAMPLES"
"$BUILD/samples/make_samples" "$SAMPLES"

echo
echo "\$ dbftool info $SAMPLES/stock.dbf"
"$DBFTOOL" info "$SAMPLES/stock.dbf"
echo
echo "\$ dbftool dump $SAMPLES/customers.dbf --hide-deleted --sort=NAME --filter=zurich@CITY | head -5"
"$DBFTOOL" dump "$SAMPLES/customers.dbf" --hide-deleted --sort=NAME --filter=zurich@CITY | head -5

TABULON="$BUILD/editor/tabulon"
if [ -x "$TABULON" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo
  echo "\$ tabulon $SAMPLES/stock.dbf $SAMPLES/kontakty.dbf"
  "$TABULON" "$SAMPLES/stock.dbf" "$SAMPLES/kontakty.dbf"
else
  echo
  echo "(no display: with one, make run opens Tabulon on $SAMPLES/stock.dbf and $SAMPLES/kontakty.dbf;"
  echo " start it on a table of your own with $TABULON TABLE.dbf)"
fi
