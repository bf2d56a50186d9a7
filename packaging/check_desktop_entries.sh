#!/bin/sh
# check_desktop_entries.sh VALIDATOR ENTRY...: every desktop entry passes
# desktop-file-validate (skipped, with a message, when the tool is missing)
# and opens .dbf files (MimeType application/x-dbf, a file argument).
set -eu
validator=$1
shift
for entry in "$@"; do
  grep -qx 'MimeType=application/x-dbf;' "$entry" || { echo "$entry: no MimeType=application/x-dbf;" >&2; exit 1; }
  grep -q '^Exec=[a-z]* %f$' "$entry" || { echo "$entry: Exec does not take a file (%f)" >&2; exit 1; }
done
if [ -z "$validator" ] || [ ! -x "$validator" ]; then
  echo "check_desktop_entries: desktop-file-validate is missing (package desktop-file-utils); validation skipped"
  exit 0
fi
"$validator" "$@"
echo "check_desktop_entries: $# entries valid"
