#!/bin/sh
# Sets up the machine, builds everything and runs the whole test suite: format check, the layer
# check, this machine's Debian package built with every suite and the benchmarks in one compile
# and checked with lintian, and all the tests run from that build (GUI ones under Xvfb; the GUI
# suite and the end-to-end ones in ru_RU.UTF-8, as the operators run the program; the package's
# own tests on the package), then the core and platform tests again under
# AddressSanitizer+UBSan, and the suites whose code runs threads under ThreadSanitizer.
# Meanwhile, at the lowest priority, the packages for the other architectures and releases
# (arm64, armhf; Debian 12 and 13, amd64 too for 13) are built; the arm64 Debian 12 one with
# the core, platform and GUI suites, run under qemu with the program running column 1 on the
# simulated plant, and the amd64 Debian 13 one with the same suites, run in a Debian 13 root
# with the program running column 1 there. Then both arm64 packages are installed into a root
# of their release and started under qemu, and every package's dependencies are checked
# against its release's package index. `scripts/cross_test.sh armhf` runs armhf's suites
# under qemu as well. Each stage prints its time.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh test

JOBS="$(nproc)"
began=$(date +%s)
stage_began=$began
# Ends a stage: its time, and the whole run's so far.
stage_time() {
    now=$(date +%s)
    echo "== $1: $((now - stage_began)) s (all: $((now - began)) s)"
    stage_began=$now
}

# The packages CI builds are checked, not shipped: without debug information,
# which costs their builds a good part of their time.
export DEB_CFLAGS_STRIP=-g DEB_CXXFLAGS_STRIP=-g DEB_BUILD_OPTIONS="noddebs ${DEB_BUILD_OPTIONS:-}"

echo "== format check"
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests tools bench -name '*.cpp' -o -name '*.h')
clang-format --dry-run --Werror $files

echo "== layer check"
./scripts/check_layers.sh

echo "== the other architectures and releases: fetched and built meanwhile at the lowest priority"
# Most of the native tests wait for the simulated plant's real time: the builds
# take the processors while they wait and yield them to anything else. The
# downloads (the libraries of each release and architecture, a Debian 13 root)
# begin at once, beside the native build; the builds after it, each after what
# it needs. Each step leaves its output in build/ci/STEP.log and "STATUS SECONDS"
# in build/ci/STEP.status; both chains run in process groups of their own, ended
# with this script.
mkdir -p build/ci
rm -f build/ci/*.status build/ci/*.log
# The package indexes of the install check at the end are fetched with the libraries.
export FLEXTOR_INDEX_RUN=$$
STEPS='
    step() {
        name="$1"
        shift
        start=$(date +%s) status=0
        nice -n 19 "$@" >"build/ci/$name.log" 2>&1 || status=$?
        echo "$status $(($(date +%s) - start))" >"build/ci/$name.status"
    }
    after() {
        while [ ! -f "build/ci/$1.status" ]; do sleep 5; done
    }'
setsid sh -c "$STEPS"'
    step sysroot-arm64-bookworm ./scripts/sysroot.sh arm64 bookworm
    step root-trixie ./scripts/release_root.sh trixie
    step sysroot-arm64-trixie ./scripts/sysroot.sh arm64 trixie
    step sysroot-armhf-bookworm ./scripts/sysroot.sh armhf bookworm
    step sysroot-armhf-trixie ./scripts/sysroot.sh armhf trixie
    step index-bookworm ./scripts/install_check.sh --fetch bookworm amd64 arm64 armhf
    step index-trixie ./scripts/install_check.sh --fetch trixie amd64 arm64 armhf' &
fetches=$!
trap 'kill -- -"$fetches" 2>/dev/null || true' EXIT

echo "== the Debian package of this machine's release, with every suite and the benchmarks"
# One compile for the package and the native tests: the suites are built with the package's own
# flags (optimised, hardened, warnings as errors) and run below from its build folder.
FLEXTOR_BENCH=1 ./scripts/package.sh --suites
release="$(. /etc/os-release && echo "$VERSION_CODENAME")"
number="$(. /etc/os-release && echo "$VERSION_ID")"
arch="$(dpkg-architecture -q DEB_HOST_ARCH)"
build="$PWD/$(echo build-deb-"$release-$arch"/flextor-*/obj-*)"
deb="$PWD/$(echo flextor_*~deb"$number"u1_"$arch".deb)"

stage_time "format, layers, package and suites built"

setsid sh -c "$STEPS"'
    after sysroot-arm64-bookworm
    step arm64-bookworm ./scripts/package.sh --suites arm64 bookworm
    after root-trixie
    step amd64-trixie ./scripts/package.sh --suites amd64 trixie
    after sysroot-arm64-trixie
    step arm64-trixie ./scripts/package.sh arm64 trixie
    after sysroot-armhf-bookworm
    step armhf-bookworm ./scripts/package.sh armhf bookworm
    after sysroot-armhf-trixie
    step armhf-trixie ./scripts/package.sh armhf trixie' &
builds=$!
trap 'kill -- -"$fetches" -"$builds" 2>/dev/null || true' EXIT

# Waits for a step of the chains; its log's end when it failed.
await() {
    while [ ! -f "build/ci/$1.status" ]; do sleep 5; done
    read -r status seconds <"build/ci/$1.status"
    if [ "$status" != 0 ]; then
        tail -n 100 "build/ci/$1.log"
        echo "$1 failed: build/ci/$1.log" >&2
        exit 1
    fi
    echo "== $1: done in $seconds s (at the lowest priority)"
}

echo "== tests (the ones labelled ru run under ru_RU.UTF-8), the package's own among them"
# A test that waits for the simulated plant's real time has a limit for a machine loaded by
# the builds beside it, and no second run: a test that fails once is mended, not retried.
# The GUI suite runs once, in the operators' locale (tests_ui.ru): the other suites run in
# the C locale.
(cd "$build" && FLEXTOR_PACKAGE="$deb" xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --output-on-failure -j "$JOBS" -E '^tests_ui$')
stage_time "tests"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DFLEXTOR_SANITIZE=address \
    -DFLEXTOR_BUILD_UI=OFF -DFLEXTOR_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j "$JOBS"
stage_time "AddressSanitizer build"
(cd build-asan && ctest --output-on-failure -j "$JOBS")
stage_time "AddressSanitizer + UndefinedBehaviorSanitizer"

echo "== ThreadSanitizer"
# The suites whose code runs threads: the polling thread and the simulated bus, the plant,
# the GUI thread's wake-up. The core's logic runs on one thread, and its suite under this
# sanitizer would repeat the run above.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DFLEXTOR_SANITIZE=thread \
    -DFLEXTOR_BUILD_UI=OFF -DFLEXTOR_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j "$JOBS" --target tests_platform tests_plant tests_wakeup
stage_time "ThreadSanitizer build"
(cd build-tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest --output-on-failure -j "$JOBS" -E _NOT_BUILT)
stage_time "ThreadSanitizer"

echo "== arm64, Debian 12: the suites built with its package, under qemu"
await arm64-bookworm
FLEXTOR_NATIVE_BUILD="$build" ./scripts/cross_test.sh --package bookworm arm64
stage_time "arm64 suites under qemu"

echo "== Debian 13: the suites built with its amd64 package, in its own root"
await amd64-trixie
./scripts/release_test.sh trixie
stage_time "Debian 13 suites"

echo "== the arm64 packages installed on their release, started under qemu"
await arm64-trixie
for deb in flextor_*~deb12u1_arm64.deb flextor_*~deb13u1_arm64.deb; do
    FLEXTOR_NATIVE_BUILD="$build" ./scripts/package_start.sh "$deb"
done
stage_time "arm64 packages started"

echo "== every package against its release's package index"
await armhf-bookworm
await armhf-trixie
await index-bookworm
await index-trixie
for step in sysroot-arm64-bookworm root-trixie sysroot-arm64-trixie sysroot-armhf-bookworm \
    sysroot-armhf-trixie; do
    echo "== $step: $(cut -d' ' -f2 "build/ci/$step.status") s"
done
debs=""
for arch in amd64 arm64 armhf; do
    for number in 12 13; do
        deb="$(echo flextor_*~deb${number}u1_$arch.deb)"
        sed -n '/^== lintian/,/^package:/p' "build/ci/$arch-$([ $number = 12 ] && echo bookworm || echo trixie).log" 2>/dev/null || true
        echo "$deb: $(dpkg-deb -f "$deb" Depends)"
        debs="$debs $deb"
    done
done
./scripts/install_check.sh $debs
stage_time "install check"

echo "== all tests passed in $(($(date +%s) - began)) s"
