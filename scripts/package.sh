#!/bin/sh
# Builds the Debian package with Debian's own tools (dpkg-buildpackage and
# debhelper, from debian/) and checks it with lintian. The tree is copied to
# build-deb/ first, so the build leaves nothing beside the repository; the
# package ends up here as flextor_VERSION_ARCH.deb:
#
#     ./scripts/package.sh && sudo apt install ./flextor_*.deb
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh

version="$(dpkg-parsechangelog -S Version)"
cmake_version="$(sed -n 's/^project(flextor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
if [ "$version" != "$cmake_version" ]; then
    echo "package: debian/changelog says $version, CMakeLists.txt $cmake_version: add a changelog entry" >&2
    exit 1
fi

work="build-deb"
source="$work/flextor-$version"
rm -rf "$work"
mkdir -p "$source"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$source"
else
    tar -c --exclude='./build*' --exclude=./run --exclude='./flextor_*' . | tar -x -C "$source"
fi

(cd "$source" && DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" \
    dpkg-buildpackage -b -us -uc)

arch="$(dpkg-architecture -q DEB_HOST_ARCH)"
deb="flextor_${version}_${arch}.deb"
cp "$work/$deb" "$deb"
echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "package: $deb"
