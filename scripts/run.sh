#!/bin/sh
# What `make run` does after building: writes the samples into $BUILD/samples,
# shows the sample customer table with dbftool, and then, when a display is
# there, opens Tabulon on two sample tables, stock.dbf (every type Tabulon
# edits, some records deleted) and kontakty.dbf (Russian text in the DOS code
# page CP866), and Peekrow beside it on the customer table; both run in the
# background and the script waits for both to end.
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
PEEKROW="$BUILD/viewer/peekrow"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && { [ -x "$TABULON" ] || [ -x "$PEEKROW" ]; }; then
  PIDS=""
  if [ -x "$TABULON" ]; then
    echo
    echo "\$ tabulon $SAMPLES/stock.dbf $SAMPLES/kontakty.dbf &"
    "$TABULON" "$SAMPLES/stock.dbf" "$SAMPLES/kontakty.dbf" &
    PIDS="$PIDS $!"
  fi
  if [ -x "$PEEKROW" ]; then
    echo "\$ peekrow $SAMPLES/customers.dbf &"
    "$PEEKROW" "$SAMPLES/customers.dbf" &
    PIDS="$PIDS $!"
  fi
  STATUS=0
  for PID in $PIDS; do
    wait "$PID" || STATUS=$?
  done
  exit "$STATUS"
else
  echo
  echo "(no display: with one, make run opens Tabulon on $SAMPLES/stock.dbf and $SAMPLES/kontakty.dbf"
  echo " and Peekrow on $SAMPLES/customers.dbf; start them on a table of your own with"
  echo " $TABULON TABLE.dbf or $PEEKROW TABLE.dbf)"
fi
