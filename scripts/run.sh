#!/bin/bash
# Sets up the machine for running (no test tools), builds the program, its
# outputs guard and the simulated plant (no test suites, no benchmarks) in
# build-run/, and starts the program in its own folder (run/) with
# scripts/start_in_folder.sh: on the simulated plant where there is no
# hardware, in a browser through GTK's Broadway backend where there is no display.
#   ./scripts/run.sh [--scenario FILE] [PROGRAM ARGUMENTS...]
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh run
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DFLEXTOR_BUILD_TESTS=OFF -DFLEXTOR_BUILD_BENCH=OFF >/dev/null
cmake --build build-run -j "$(nproc)" --target flextor outputs-guard flextor-plant flextor-owsim
exec ./scripts/start_in_folder.sh build-run run "$@"
