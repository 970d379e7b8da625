#!/bin/sh
# Makes the README's pictures anew from the real program on the simulated plant:
# docs/plant-main-window.png, docs/settings-window.png, docs/sensors-window.png
# and docs/chart.png (the first page of a day's chart, saved at a midnight that
# libfaketime brings early). Takes about a minute.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target flextor flextor-plant tests_plant_e2e
FLEXTOR_PICTURES="$PWD/docs" LC_ALL=ru_RU.UTF-8 TZ=Europe/Moscow \
    build/tests/tests_plant_e2e --gtest_filter='Pictures.*'
