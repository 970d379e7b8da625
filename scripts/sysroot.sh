#!/bin/sh
# Makes build-sysroot/RELEASE/ARCH/: the Debian libraries the program, its
# tests and its package are built against for a Raspberry Pi architecture
# (arm64, armhf) and a Debian release (bookworm, trixie), unpacked
# from Debian's own packages of that release and architecture into a folder
# (root/), nothing installed on this machine. Beside it, dpkg/ is a package
# database of those packages, with their files under root/, from which
# dpkg-shlibdeps reads which package (and version) holds each library, as on a
# Pi.
#
#     ./scripts/sysroot.sh arm64            # this machine's release
#     ./scripts/sysroot.sh armhf trixie
set -eu
self="$(readlink -f "$0")"
cd "$(dirname "$0")/.."

arch="${1:?usage: sysroot.sh ARCH [RELEASE]}"
case "$arch" in
    arm64 | armhf) ;;
    *) echo "sysroot: unknown architecture $arch (arm64, armhf)" >&2; exit 2 ;;
esac
release="${2:-$(. /etc/os-release && echo "$VERSION_CODENAME")}"
case "$release" in
    bookworm | trixie) ;;
    *) echo "sysroot: unknown release $release (bookworm, trixie)" >&2; exit 2 ;;
esac

# What the build of the program, its test suites and its package link against,
# the C library's headers and start files (the release's own, not the cross
# compiler's), and the fonts the tests show the windows in, as here.
PACKAGES="libc6-dev libgtkmm-3.0-dev libgtk-3-dev libpng-dev libgif-dev zlib1g-dev libx11-dev
  nlohmann-json3-dev libsoup-3.0-dev libmosquitto-dev libqrencode-dev
  libgtest-dev libgmock-dev libxtst-dev
  fonts-dejavu-core fonts-dejavu-extra fonts-freefont-ttf"

dir="$PWD/build-sysroot/$release/$arch"
# Made again when the list or this script changes.
wanted="$(echo $PACKAGES) $(sha1sum <"$self" | cut -c1-12)"
if [ -f "$dir/packages" ] && [ "$(cat "$dir/packages")" = "$wanted" ]; then
    echo "sysroot: $dir present"
    exit 0
fi
rm -rf "$dir"
mkdir -p "$dir"

echo "sysroot: unpacking Debian $release's $arch packages into $dir/root"
. ./scripts/mirror.sh
unpack() {
    rm -rf "$dir/root"
    mmdebstrap --quiet --variant=extract --arch="$arch" \
        --include="$(echo $PACKAGES | tr ' ' ',')" \
        --skip=cleanup/apt/cache --skip=check/empty \
        "$release" "$dir/root" "$(debian_sources "$release")"
}
with_mirror_retries unpack

# The package database: status, file lists with root/ in front, shlibs and
# symbols files, as dpkg would keep them had the packages been installed.
db="$dir/dpkg"
mkdir -p "$db/info" "$db/updates"
echo 1 >"$db/info/format"
echo "$arch" >"$db/arch"
: >"$db/status"
control="$dir/control"
for deb in "$dir"/root/var/cache/apt/archives/*.deb; do
    package="$(dpkg-deb -f "$deb" Package)"
    name="$package"
    if [ "$(dpkg-deb -f "$deb" Multi-Arch)" = same ]; then
        name="$package:$(dpkg-deb -f "$deb" Architecture)"
    fi
    dpkg-deb -f "$deb" >>"$db/status"
    printf 'Status: install ok installed\n\n' >>"$db/status"
    dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -e 's|^\./|/|' -e 's|/$||' \
        | grep -v '^/$' | sed "s|^|$dir/root|" >"$db/info/$name.list"
    rm -rf "$control"
    dpkg-deb -e "$deb" "$control"
    for file in shlibs symbols; do
        if [ -f "$control/$file" ]; then cp "$control/$file" "$db/info/$name.$file"; fi
    done
done
# Links that name an absolute path (libz.so -> /lib/...) point into root/: the
# build must find the shared library, not fall back to the static one.
root="$dir/root"
find "$root" -type l -lname '/*' -printf '%p\t%l\n' | while IFS="$(printf '\t')" read -r link target; do
    ln -sfn "$(realpath -m --relative-to="$(dirname "$link")" "$root$target")" "$link"
done

# Without device nodes and scratch folders: qemu-user looks for every path in
# root/ first, and the emulated programs must use this machine's /dev and /tmp.
rm -rf "$control" "$dir"/root/var/cache/apt/archives/*.deb \
    "$dir"/root/dev "$dir"/root/tmp "$dir"/root/proc "$dir"/root/sys "$dir"/root/run
echo "$wanted" >"$dir/packages"
echo "sysroot: $(grep -c '^Package:' "$db/status") packages in $dir"
