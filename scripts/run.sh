#!/bin/sh
# What `make run` does after building: writes the samples into $BUILD/samples
# and shows each memo file with dbftool, once whole and once at one memo, then
# the generated customer table sorted and filtered.
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
