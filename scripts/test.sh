#!/bin/sh
# Sets up the machine, builds everything and runs the whole test suite:
# format check, the layer check, the normal build with all tests (GUI ones under Xvfb; the GUI
# suite a second time, the end-to-end ones only, under ru_RU.UTF-8, as the operators run the
# program), then the
# core and platform tests again under AddressSanitizer+UBSan and ThreadSanitizer; the Debian
# package built, checked with lintian and tested unpacked; for the Raspberry Pi's
# architectures the armhf package cross-built and checked with lintian, and the program
# with its core, platform and GUI suites cross-built for arm64 and run under qemu, the
# program running column 1 on the simulated plant. `scripts/cross_test.sh armhf` runs
# armhf's suites under qemu as well.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh test

JOBS="$(nproc)"

echo "== format check"
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests tools bench -name '*.cpp' -o -name '*.h')
clang-format --dry-run --Werror $files

echo "== layer check"
./scripts/check_layers.sh

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFLEXTOR_TEST_RU=ON >/dev/null
cmake --build build -j "$JOBS"

echo "== the Pi's architectures: built meanwhile at the lowest priority (build/cross-*.log)"
# Most of the native tests wait for the simulated plant's real time: the cross
# builds take the processors while they wait and yield them to anything else.
# The arm64 build first (its exit status in build/cross-arm64.status), then the
# armhf package; in a process group of their own, ended with this script.
rm -f build/cross-arm64.status
setsid sh -c 'status=0
    nice -n 19 ./scripts/cross_test.sh --build-only arm64 >build/cross-arm64.log 2>&1 || status=$?
    echo "$status" >build/cross-arm64.status
    exec nice -n 19 ./scripts/package.sh armhf >build/cross-armhf.log 2>&1' &
armhf=$!
trap 'kill -- -"$armhf" 2>/dev/null || true' EXIT

echo "== tests (the ones labelled ru run under ru_RU.UTF-8)"
# The simulated bus answers through a pseudo-terminal in real time: on a shared,
# loaded machine a reply can come too late for its bit slot. A failing test gets
# one more run; a real fault fails both.
(cd build && xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --output-on-failure -j "$JOBS" --repeat until-pass:2)

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DFLEXTOR_SANITIZE=address \
    -DFLEXTOR_BUILD_UI=OFF -DFLEXTOR_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j "$JOBS"
(cd build-asan && ctest --output-on-failure -j "$JOBS" --repeat until-pass:2)

echo "== ThreadSanitizer"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DFLEXTOR_SANITIZE=thread \
    -DFLEXTOR_BUILD_UI=OFF -DFLEXTOR_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j "$JOBS"
(cd build-tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest --output-on-failure -j "$JOBS" --repeat until-pass:2)

echo "== Debian package"
./scripts/package.sh
echo "== the package, unpacked"
deb="flextor_$(dpkg-parsechangelog -S Version)_$(dpkg-architecture -q DEB_HOST_ARCH).deb"
FLEXTOR_PACKAGE="$PWD/$deb" build/tests/tests_e2e --gtest_filter='PackageTest.*'

echo "== arm64 under qemu (the armhf package goes on building meanwhile)"
while [ ! -f build/cross-arm64.status ]; do sleep 5; done
if [ "$(cat build/cross-arm64.status)" != 0 ]; then
    tail -n 100 build/cross-arm64.log
    echo "the arm64 build failed: build/cross-arm64.log" >&2
    exit 1
fi
grep '^== arm64: build [0-9]* s' build/cross-arm64.log
./scripts/cross_test.sh arm64

echo "== the armhf package"
if ! wait "$armhf"; then
    tail -n 100 build/cross-armhf.log
    echo "the armhf package failed: build/cross-armhf.log" >&2
    exit 1
fi
sed -n '/^== lintian/,$p' build/cross-armhf.log

echo "== all tests passed"
