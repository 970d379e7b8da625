#!/bin/sh
# Runs the core, platform and GUI suites built with another Debian release's
# compiler and libraries, warnings as errors, in an amd64 root of that release
# (scripts/release_root.sh), on Xvfb in the operators' locale; then the program
# runs column 1 on the simulated plant there. The suites are the ones built with
# the release's amd64 package, one compile for both:
#
#     ./scripts/package.sh --suites amd64 trixie && ./scripts/release_test.sh trixie
#
# Prints its test times.
set -eu
cd "$(dirname "$0")/.."

release="${1:?usage: release_test.sh RELEASE}"
build="$(echo build-deb-"$release"-amd64/flextor-*/obj-*)"
if [ ! -f "$build/CTestTestfile.cmake" ]; then
    echo "release_test: no suites in $build: scripts/package.sh --suites amd64 $release" >&2
    exit 1
fi

# The whole run of column 1 on the plant.
PLANT_RUN='PlantRun.Column1GoesThroughEveryModeWithItsPausesContinuedByTheStartButton'

echo "== $release: the suites (the GUI suite in the operators' locale), then column 1 on the plant"
start=$(date +%s)
./scripts/release_root.sh "$release" sh -eu -c '
    build="$1" plant_run="$2"
    (cd "$build" && xvfb-run -a -s "-screen 0 1280x1024x24" \
        ctest --output-on-failure -j "$(nproc)" -LE e2e \
        -E "_NOT_BUILT|^tests_ui\$")
    date +%s >"$build/suites-passed"
    env TZ=Europe/Moscow LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 \
        "$build/tests/tests_plant_e2e" --gtest_filter="$plant_run"' \
    release_test "$build" "$PLANT_RUN"
tested=$(cat "$build/suites-passed")
ran=$(date +%s)
echo "== $release: suites $((tested - start)) s, plant run $((ran - tested)) s"
