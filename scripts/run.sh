#!/bin/sh
# What `make run` does after building: writes the samples into $BUILD/samples
# and shows each memo file with dbftool, once whole and once at one memo, then
# the generated customer table sorted and filtered, and last opens the
# table structure dialog on it when a display is there.
set -eu
BUILD=${1:-build}
SAMPLES="$BUILD/samples"
DBFTOOL="$BUILD/tools/dbftool/dbftool"
mkdir -p "$SAMPLES"

echo "\$ $BUILD/samples/make_samples $SAMPLES"
"$BUILD/samples/make_samples" "$SAMPLES"

# memo_examples.txt: one memo per file, "FILE BLOCK LENGTH" (LENGTH is for .smt).
while read -r file block length; do
  echo
  echo "\$ dbftool memo $SAMPLES/$file"
  "$DBFTOOL" memo "$SAMPLES/$file"
  case "$file" in
    *.smt) extra="--length $length" ;;
    *) extra="" ;;
  esac
  echo
  echo "\$ dbftool memo $SAMPLES/$file --block $block${extra:+ $extra}"
  # shellcheck disable=SC2086
  "$DBFTOOL" memo "$SAMPLES/$file" --block "$block" $extra
done < "$SAMPLES/memo_examples.txt"

# The customer table: its structure, and its first records by name with a filter.
echo
echo "\$ dbftool info $SAMPLES/customers.dbf"
"$DBFTOOL" info "$SAMPLES/customers.dbf"
echo
echo "\$ dbftool dump $SAMPLES/customers.dbf --hide-deleted --sort=NAME --filter=zurich@CITY | head -5"
"$DBFTOOL" dump "$SAMPLES/customers.dbf" --hide-deleted --sort=NAME --filter=zurich@CITY | head -5

# The most complete window so far: the "Table structure" dialog on the sample
# table (Save rewrites it and keeps customers.bak). Needs a display.
DEMO="$BUILD/grid/structure/structure-demo"
if [ -x "$DEMO" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo
  echo "\$ structure-demo $SAMPLES/customers.dbf"
  "$DEMO" "$SAMPLES/customers.dbf"
else
  echo
  echo "(no display: with one, make run opens the table structure dialog on $SAMPLES/customers.dbf;"
  echo " $BUILD/grid/grid-demo shows the grid on ten million rows)"
fi
