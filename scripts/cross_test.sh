#!/bin/sh
# Cross-builds the program and its core, platform and GUI test suites for the
# Raspberry Pi's architectures against Debian's libraries of that architecture
# (unpacked by scripts/sysroot.sh, nothing installed), and runs them under
# qemu-user on Xvfb: the suites, then the program itself on the simulated plant
# (the plant and the test that drives it built for this machine), running a
# whole column 1 through its modes.
#
#     ./scripts/cross_test.sh            # arm64 and armhf
#     ./scripts/cross_test.sh arm64      # one of them
#     ./scripts/cross_test.sh --build-only arm64
#     ./scripts/cross_test.sh --package bookworm arm64
#
# Each architecture builds in build-cross-ARCH/, against this machine's Debian
# release, and prints its build and test times. With --package RELEASE the
# suites are the ones built with that release's package (scripts/package.sh
# --suites ARCH RELEASE), run as they are. Tests that start a built executable as a child process from inside an
# emulated suite are left out: without a binfmt_misc registration the kernel
# cannot run a foreign executable, only qemu can, and qemu-user does not follow
# an exec. The program under test is started by the native test with qemu in
# front (FLEXTOR_TEST_EMULATOR), and starts its outputs guard through the same
# emulator (columns 1 and 2 do not run without one); its own crash restart is
# what it cannot start there.
set -eu
cd "$(dirname "$0")/.."

build_only=""
package=""
if [ "${1:-}" = --build-only ]; then
    build_only=1
    shift
elif [ "${1:-}" = --package ]; then
    package="${2:?usage: cross_test.sh --package RELEASE ARCH...}"
    shift 2
fi
release="${package:-$(. /etc/os-release && echo "$VERSION_CODENAME")}"
ARCHES="${*:-arm64 armhf}"
./scripts/setup.sh cross $ARCHES
JOBS="$(nproc)"

# Suites' tests that exec a built tool (flextor-owsim) as a child process.
CHILD_PROCESS_TESTS='OwsimProgram|OwsimControlProgram'
# The whole run of column 1 on the plant, for the program under qemu.
PLANT_RUN='PlantRun.Column1GoesThroughEveryModeWithItsPausesContinuedByTheStartButton'

# The native side: the plant and the test that drives it, taken from the build folder
# FLEXTOR_NATIVE_BUILD names when it has them (scripts/test.sh names its package build's),
# else built here in build/.
native="${FLEXTOR_NATIVE_BUILD:-build}"
if [ -z "$build_only" ]; then
    if [ -x "$native/tests/tests_plant_e2e" ] && [ -x "$native/flextor-plant" ]; then
        echo "== the native side: the plant and its test, from $native"
    else
        echo "== the native side: the plant and its test"
        native=build
        cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
        cmake --build build -j "$JOBS" --target tests_plant_e2e flextor-plant
    fi
fi

for arch in $ARCHES; do
    case "$arch" in
        arm64) qemu=qemu-aarch64 ;;
        armhf) qemu=qemu-arm ;;
        *) echo "cross_test: unknown architecture $arch (arm64, armhf)" >&2; exit 2 ;;
    esac
    ./scripts/sysroot.sh "$arch" "$release"
    sysroot="$PWD/build-sysroot/$release/$arch/root"
    build="build-cross-$arch"
    start=$(date +%s)
    if [ -n "$package" ]; then
        build="$(echo build-deb-"$release-$arch"/flextor-*/obj-*)"
        [ -f "$build/CTestTestfile.cmake" ] || {
            echo "cross_test: no suites in $build: scripts/package.sh --suites $arch $release" >&2
            exit 1
        }
    else
    # Optimised as the package is, without debug information, which nobody
    # reads under emulation and which costs the build a good part of its time.
    echo "== $arch: build"
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/SysrootToolchain.cmake \
        -DFLEXTOR_ARCH="$arch" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
        -DFLEXTOR_BUILD_BENCH=OFF \
        -DFLEXTOR_TEST_RU=ON >/dev/null
    cmake --build "$build" -j "$JOBS" --target tests_core tests_platform tests_ui \
        flextor outputs-guard flextor-onewire flextor-owsim
    fi
    built=$(date +%s)
    echo "== $arch: build $((built - start)) s"
    [ -n "$build_only" ] && continue

    echo "== $arch: the suites under $qemu (the GUI suite in the operators' locale)"
    # The tests that wait for the simulated bus in real time have limits for
    # an emulated, loaded machine.
    (cd "$build" && xvfb-run -a -s "-screen 0 1280x1024x24" \
        ctest --output-on-failure -j "$JOBS" -LE e2e \
        -E "_NOT_BUILT|^tests_ui\$|$CHILD_PROCESS_TESTS")
    tested=$(date +%s)

    echo "== $arch: the program under $qemu runs column 1 on the simulated plant"
    # The test starts an X server of its own; the operators' locale, as the
    # plant runs in the native suite.
    env FLEXTOR_TEST_PROGRAMS="$PWD/$build" FLEXTOR_TEST_EMULATOR="$qemu -L $sysroot" \
        TZ=Europe/Moscow LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 \
        "$native/tests/tests_plant_e2e" --gtest_filter="$PLANT_RUN"
    ran=$(date +%s)
    echo "== $arch: build $((built - start)) s, suites $((tested - built)) s, plant run $((ran - tested)) s"
done
