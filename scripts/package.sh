#!/bin/sh
# Builds the Debian package for an architecture (amd64, arm64, armhf) and a
# Debian release (bookworm, trixie) with Debian's own tools (dpkg-buildpackage
# and debhelper, from debian/) and checks it with lintian. The tree is copied to
# build-deb-RELEASE-ARCH/ first, so the build leaves nothing beside the
# repository; the package ends up here as flextor_VERSION~debNNu1_ARCH.deb:
#
#     ./scripts/package.sh && sudo apt install ./flextor_*.deb
#     ./scripts/package.sh arm64            # for a Pi of this machine's release
#     ./scripts/package.sh armhf trixie     # for a 32-bit Pi on Debian 13
#     ./scripts/package.sh --suites arm64 trixie
#
# Without an argument the package is for this machine and its release. With
# arm64 or armhf it is cross-built with Debian's cross compiler against that
# architecture's Debian libraries of the release, unpacked into
# build-sysroot/RELEASE/ARCH by scripts/sysroot.sh (nothing of the other
# architecture is installed here); its dependencies are computed by
# dpkg-shlibdeps from those libraries' own symbols files, as on the Pi. A
# package for another release than this machine's is built in an amd64 root of
# that release (scripts/release_root.sh), with its compilers.
#
# The version is the program's with "~debNNu1" added (NN: the release's
# number), as Debian's own backports mark theirs: each release's package names
# the release it is for, sorts below a plain version of the same program, and a
# Pi upgraded from Debian 12 to 13 takes the Debian 13 package as newer.
#
# With --suites the build also makes the test suites (not run), in
# build-deb-RELEASE-ARCH/flextor-VERSION/obj-TRIPLET, where CI runs them: one
# compile for the package and the suites (scripts/cross_test.sh --package,
# scripts/release_test.sh).
set -eu
cd "$(dirname "$0")/.."

suites=""
if [ "${1:-}" = --suites ]; then
    suites=--suites
    shift
fi

host_arch="$(dpkg-architecture -q DEB_BUILD_ARCH)"
host_release="$(. /etc/os-release && echo "$VERSION_CODENAME")"
arch="${1:-$host_arch}"
release="${2:-$host_release}"
case "$arch" in
    amd64 | arm64 | armhf) ;;
    *) echo "package: unknown architecture $arch (amd64, arm64, armhf)" >&2; exit 2 ;;
esac
case "$release" in
    bookworm) number=12 ;;
    trixie) number=13 ;;
    *) echo "package: unknown release $release (bookworm, trixie)" >&2; exit 2 ;;
esac

upstream="$(dpkg-parsechangelog -S Version)"
cmake_version="$(sed -n 's/^project(flextor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
if [ "$upstream" != "$cmake_version" ]; then
    echo "package: debian/changelog says $upstream, CMakeLists.txt $cmake_version: add a changelog entry" >&2
    exit 1
fi
version="$upstream~deb${number}u1"

if [ "$release" != "$host_release" ]; then
    # The other release's libraries are unpacked here, where the network is.
    ./scripts/setup.sh package "$arch"
    [ "$arch" = "$host_arch" ] || ./scripts/sysroot.sh "$arch" "$release"
    ./scripts/release_root.sh "$release" ./scripts/package.sh $suites "$arch" "$release"
    exit 0
fi
if [ "$arch" != "$host_arch" ]; then
    ./scripts/setup.sh package "$arch"
    ./scripts/sysroot.sh "$arch" "$release"
else
    ./scripts/setup.sh package
fi

top="$PWD"
work="build-deb-$release-$arch"
source="$work/flextor-$upstream"
rm -rf "$work"
mkdir -p "$source"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$source"
else
    tar -c --exclude='./build*' --exclude=./run --exclude='./flextor_*' . | tar -x -C "$source"
fi
# The release's entry on top of the program's own, a second later.
{
    echo "flextor ($version) $release; urgency=medium"
    echo
    echo "  * Built for Debian $number ($release)."
    echo
    echo " -- $(dpkg-parsechangelog -S Maintainer)  $(LC_ALL=C date -u -R -d "@$(($(dpkg-parsechangelog -S Timestamp) + 1))")"
    echo
    cat debian/changelog
} >"$source/debian/changelog"

export DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}"
if [ -n "$suites" ]; then
    export FLEXTOR_SUITES=1 DEB_BUILD_OPTIONS="nocheck $DEB_BUILD_OPTIONS"
fi
if [ "$arch" != "$host_arch" ]; then
    # The build dependencies are in the unpacked libraries, not installed: -d.
    triplet="$(dpkg-architecture -a "$arch" -q DEB_HOST_GNU_TYPE 2>/dev/null)"
    (cd "$source" && FLEXTOR_ARCH="$arch" FLEXTOR_RELEASE="$release" \
        FLEXTOR_SYSROOT="$top/build-sysroot/$release/$arch" \
        CMAKE_TOOLCHAIN_FILE="$top/cmake/SysrootToolchain.cmake" \
        CC="$triplet-gcc" CXX="$triplet-g++" DEB_BUILD_OPTIONS="nocheck $DEB_BUILD_OPTIONS" \
        dpkg-buildpackage -a "$arch" -Pcross,nocheck -d -b -us -uc)
else
    (cd "$source" && dpkg-buildpackage -b -us -uc)
fi

deb="flextor_${version}_${arch}.deb"
cp "$work/$deb" "$deb"
echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "package: $deb"
dpkg-deb -f "$deb" Depends
