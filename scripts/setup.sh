#!/bin/sh
# Installs the Debian packages a task needs:
#
#     setup.sh run             build and run the program and the simulated plant
#     setup.sh package [ARCH]  that, and build the Debian package (for ARCH: arm64, armhf,
#                              or any of another release)
#     setup.sh cross ARCH...   that, and run the test suites of ARCH under qemu-user
#     setup.sh [test]          everything the whole test suite needs (the above for
#                              arm64 and armhf, the test tools, the locales the tests
#                              run under: ru_RU.UTF-8, de_DE.UTF-8)
#     setup.sh --list TASK...  the packages TASK needs, one line, nothing installed
#
# Safe to run again: packages and locales already present are left alone.
set -eu

RUN="
  build-essential cmake pkg-config ccache
  libgtkmm-3.0-dev libgtk-3-dev libgtk-3-bin
  libpng-dev libgif-dev zlib1g-dev libqrencode-dev libx11-dev
  libsoup-3.0-dev libmosquitto-dev nlohmann-json3-dev
  libjs-dygraphs glib-networking ca-certificates
"
# dose-debcheck checks a package against a release's package index.
PACKAGE="debhelper lintian desktop-file-utils dose-distcheck"
# The other architecture's libraries are unpacked into a folder by
# scripts/sysroot.sh, not installed.
CROSS="mmdebstrap"
TEST="
  clang-format
  mosquitto mosquitto-clients chromium curl
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth fonts-freefont-ttf libxtst-dev faketime weston
  locales qemu-user libnss-wrapper
"

cross_compilers() {
  for arch in "$@"; do
    case "$arch" in
      arm64 | armhf) echo "crossbuild-essential-$arch" ;;
      amd64) ;;  # of another release: built in a root of its own, made by mmdebstrap
      *) echo "setup: unknown architecture $arch (amd64, arm64, armhf)" >&2; exit 2 ;;
    esac
  done
}

list=""
if [ "${1:-}" = --list ]; then
  list=1
  shift
fi
task="${1:-test}"
[ $# -gt 0 ] && shift
case "$task" in
  run) PACKAGES="$RUN" ;;
  package) PACKAGES="$RUN $PACKAGE $( [ $# -gt 0 ] && echo "$CROSS" ) $(cross_compilers "$@")" ;;
  cross) PACKAGES="$RUN $TEST $CROSS $(cross_compilers "$@")" ;;
  test) PACKAGES="$RUN $PACKAGE $TEST $CROSS $(cross_compilers arm64 armhf)" ;;
  *) echo "usage: setup.sh [run | package [ARCH] | cross ARCH... | test]" >&2; exit 2 ;;
esac

if [ -n "$list" ]; then
  echo $PACKAGES
  exit 0
fi

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -z "$missing" ]; then
  echo "setup: all packages present"
else
  echo "setup: installing$missing"
  . "$(dirname "$0")/mirror.sh"
  # Lists the mirror would not all give still serve the install, or it says what is missing.
  with_mirror_retries $SUDO apt-get update ||
    echo "setup: WARNING: apt's package lists could not all be updated" >&2
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi

if [ "$task" = run ] || [ "$task" = package ]; then exit 0; fi

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
