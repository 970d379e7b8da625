#!/bin/sh
# Installs a Raspberry Pi package as a Pi of its release and architecture has
# it: in a root of its own (build-package-root/RELEASE/ARCH) with its
# dependencies from that release, unpacked by mmdebstrap without maintainer
# scripts as scripts/sysroot.sh unpacks, and starts the installed
# /usr/bin/flextor under qemu-user on Xvfb against a simulated bus until its
# window is up and it has read every sensor (PackageTest, native: from the build folder
# FLEXTOR_NATIVE_BUILD names when it has it, as scripts/test.sh names its package build's,
# else built here in build/).
#
#     ./scripts/package_start.sh flextor_1.0.94~deb13u1_arm64.deb
#
# The launcher is a shell script that runs the program, which starts its outputs
# guard: both are the Pi's executables, so the kernel runs them through qemu by
# a binfmt_misc registration in a user namespace of this command's own, which
# nothing else on the machine sees.
set -eu
cd "$(dirname "$0")/.."

deb="$(readlink -f "${1:?usage: package_start.sh DEB}")"
arch="$(dpkg-deb -f "$deb" Architecture)"
case "$(dpkg-deb -f "$deb" Version)" in
    *~deb12u*) release=bookworm ;;
    *~deb13u*) release=trixie ;;
    *) echo "package_start: $deb names no release in its version" >&2; exit 2 ;;
esac
# The ELF header of the architecture's executables, and what of it to compare.
case "$arch" in
    arm64)
        qemu=qemu-aarch64
        magic='\x7fELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\xb7\x00'
        ;;
    armhf)
        qemu=qemu-arm
        magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x28\x00'
        ;;
    *) echo "package_start: $arch is no Pi architecture (arm64, armhf)" >&2; exit 2 ;;
esac
mask='\xff\xff\xff\xff\xff\xff\xff\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

. ./scripts/mirror.sh
root="$PWD/build-package-root/$release/$arch"
mkdir -p "$(dirname "$root")"
echo "package_start: installing $(basename "$deb") into $root"
# Its dependencies by name (alternatives: the first), then the package itself.
depends="$(dpkg-deb -f "$deb" Depends | sed -e 's/([^)]*)//g' -e 's/|[^,]*//g' -e 's/ //g')"
unpack_depends() {
    rm -rf "$root"
    mmdebstrap --quiet --variant=extract --arch="$arch" --include="$depends" \
        --skip=check/empty "$release" "$root" "$(debian_sources "$release")"
}
with_mirror_retries unpack_depends
dpkg-deb -x "$deb" "$root"
# qemu-user looks for every path in the root first: this machine's /dev and /tmp.
rm -rf "$root/dev" "$root/tmp" "$root/proc" "$root/sys" "$root/run"

native="${FLEXTOR_NATIVE_BUILD:-build}"
if [ ! -x "$native/tests/tests_e2e" ]; then
    native=build
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j "$(nproc)" --target tests_e2e >/dev/null
fi
unshare --user --map-root-user --mount sh -eu -c '
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    printf "%s" ":flextor-$1:M::$2:$3:/usr/bin/$1:" >/proc/sys/fs/binfmt_misc/register
    shift 3
    exec "$@"' \
    package_start "$qemu" "$magic" "$mask" \
    env QEMU_LD_PREFIX="$root" FLEXTOR_PACKAGE="$deb" FLEXTOR_PACKAGE_ROOT="$root" \
    TZ=Europe/Moscow LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 \
    "$native/tests/tests_e2e" --gtest_filter='PackageTest.LauncherRunsTheProgramInAFolderOfTheUsersOwn'
