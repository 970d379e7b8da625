#!/bin/bash
# Sets up the machine, builds the program and starts it in its own folder (run/)
# with scripts/start_in_folder.sh: on the simulated plant where there is no
# hardware, in a browser through GTK's Broadway backend where there is no display.
#   ./scripts/run.sh [--scenario FILE] [PROGRAM ARGUMENTS...]
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
exec ./scripts/start_in_folder.sh build run "$@"
