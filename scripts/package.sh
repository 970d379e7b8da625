#!/bin/sh
# Builds the Debian package with Debian's own tools (dpkg-buildpackage and
# debhelper, from debian/) and checks it with lintian. The tree is copied to
# build-deb/ first, so the build leaves nothing beside the repository; the
# package ends up here as flextor_VERSION_ARCH.deb:
#
#     ./scripts/package.sh && sudo apt install ./flextor_*.deb
#     ./scripts/package.sh arm64     # for a Pi, built on this (amd64) machine
#     ./scripts/package.sh armhf
#
# Without an argument the package is for this machine. With arm64 or armhf it is
# cross-built with Debian's cross compiler against that architecture's Debian
# libraries, unpacked into build-sysroot/ARCH by scripts/sysroot.sh (nothing of
# the other architecture is installed here); its dependencies are computed by
# dpkg-shlibdeps from those libraries' own symbols files, as on the Pi.
set -eu
cd "$(dirname "$0")/.."

arch="${1:-}"
if [ -n "$arch" ] && [ "$arch" = "$(dpkg-architecture -q DEB_BUILD_ARCH)" ]; then
    arch=""
fi
if [ -n "$arch" ]; then
    ./scripts/setup.sh package "$arch"
    ./scripts/sysroot.sh "$arch"
else
    ./scripts/setup.sh package
fi

version="$(dpkg-parsechangelog -S Version)"
cmake_version="$(sed -n 's/^project(flextor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
if [ "$version" != "$cmake_version" ]; then
    echo "package: debian/changelog says $version, CMakeLists.txt $cmake_version: add a changelog entry" >&2
    exit 1
fi

top="$PWD"
work="build-deb${arch:+-$arch}"
source="$work/flextor-$version"
rm -rf "$work"
mkdir -p "$source"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$source"
else
    tar -c --exclude='./build*' --exclude=./run --exclude='./flextor_*' . | tar -x -C "$source"
fi

export DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}"
if [ -n "$arch" ]; then
    # The build dependencies are in the unpacked libraries, not installed: -d.
    triplet="$(dpkg-architecture -a "$arch" -q DEB_HOST_GNU_TYPE 2>/dev/null)"
    (cd "$source" && FLEXTOR_ARCH="$arch" FLEXTOR_SYSROOT="$top/build-sysroot/$arch" \
        CMAKE_TOOLCHAIN_FILE="$top/cmake/SysrootToolchain.cmake" \
        CC="$triplet-gcc" CXX="$triplet-g++" DEB_BUILD_OPTIONS="nocheck $DEB_BUILD_OPTIONS" \
        dpkg-buildpackage -a "$arch" -Pcross,nocheck -d -b -us -uc)
else
    (cd "$source" && dpkg-buildpackage -b -us -uc)
    arch="$(dpkg-architecture -q DEB_HOST_ARCH)"
fi

deb="flextor_${version}_${arch}.deb"
cp "$work/$deb" "$deb"
echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "package: $deb"
dpkg-deb -f "$deb" Depends
