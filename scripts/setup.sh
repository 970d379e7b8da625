#!/bin/sh
# Installs every Debian package the build, the tests and the program need.
# Safe to run again: packages already present are left alone.
set -eu

PACKAGES="
  build-essential cmake pkg-config ccache
  clang-format
  libgtkmm-3.0-dev libgtk-3-dev
  libpng-dev libgif-dev zlib1g-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth fonts-freefont-ttf libx11-dev libxtst-dev
"

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -z "$missing" ]; then
  echo "setup: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
echo "setup: installing$missing"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
