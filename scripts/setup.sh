#!/bin/sh
# Installs every Debian package the build, the tests, the Debian package and the
# program need, and generates the locales the tests run under (ru_RU.UTF-8,
# de_DE.UTF-8). `setup.sh cross ARCH...` also installs the cross compilers, the
# test libraries of each ARCH (arm64, armhf) and qemu-user for
# scripts/cross_test.sh. Safe to run again: packages and locales already present
# are left alone.
set -eu

PACKAGES="
  build-essential cmake pkg-config ccache
  clang-format
  libgtkmm-3.0-dev libgtk-3-dev libgtk-3-bin
  libpng-dev libgif-dev zlib1g-dev libqrencode-dev
  libsoup-3.0-dev libmosquitto-dev
  mosquitto mosquitto-clients chromium curl
  libjs-dygraphs
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth fonts-freefont-ttf libx11-dev libxtst-dev faketime weston
  locales
  nlohmann-json3-dev
  debhelper lintian desktop-file-utils
"

if [ "${1:-}" = "cross" ]; then
  shift
  PACKAGES="$PACKAGES qemu-user"
  for arch in "$@"; do
    PACKAGES="$PACKAGES crossbuild-essential-$arch libgtest-dev:$arch libgmock-dev:$arch"
  done
fi

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

# A foreign architecture's packages need it listed in dpkg first.
for p in $missing; do
  case "$p" in
    *:*)
      arch="${p#*:}"
      if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
        echo "setup: adding the architecture $arch"
        $SUDO dpkg --add-architecture "$arch"
      fi
      ;;
  esac
done

if [ -z "$missing" ]; then
  echo "setup: all packages present"
else
  echo "setup: installing$missing"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi

# The operators run the program in Russian; the tests run it in German as well,
# whose numbers also use the decimal comma.
LOCALES="ru_RU de_DE"

# "ru_RU.UTF-8" is listed by `locale -a` as "ru_RU.utf8".
has_locale() {
  locale -a 2>/dev/null | grep -qix "$1\.utf-\?8"
}

for l in $LOCALES; do
  if has_locale "$l"; then
    echo "setup: locale $l.UTF-8 present"
    continue
  fi
  echo "setup: generating locale $l.UTF-8"
  # Listed in locale.gen too, so that a later locale-gen keeps it.
  if [ -f /etc/locale.gen ]; then
    $SUDO sed -i "s/^# *\($l\.UTF-8 UTF-8\)/\1/" /etc/locale.gen
  fi
  $SUDO localedef -i "$l" -f UTF-8 "$l.UTF-8"
done
