#!/bin/sh
# Installs, with apt-get, the Debian packages that building, testing, fuzzing and
# running both programs need. Only missing packages are installed; apt-get update
# runs only when something is missing, and nothing is printed when all is present.
set -eu

PACKAGES="
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6printsupport6 libgl-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev llvm
  xvfb xauth x11-apps imagemagick fonts-dejavu-core poppler-utils
  python3 python3-dbf python3-dbfread pgdbf gdal-bin
  desktop-file-utils file librsvg2-bin
"

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
echo "install-deps: installing$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
