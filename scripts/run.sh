#!/bin/sh
# Opens the most complete program the build holds on the project's samples.
set -eu
BUILD=${1:-build}
SAMPLES="$BUILD/samples"
mkdir -p "$SAMPLES"
echo "dbftool built at $BUILD/tools/dbftool/dbftool; no sample generator yet"
