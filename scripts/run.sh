#!/bin/sh
# Sets up the machine, builds the program and starts it in its own folder (run/).
# Without hardware the GPIO outputs go to a folder of files (run/gpio).
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

mkdir -p run
cp build/flextor run/flextor
if [ ! -d /sys/class/gpio ] && [ -z "${FLEXTOR_GPIO_ROOT:-}" ]; then
    FLEXTOR_GPIO_ROOT="$(pwd)/run/gpio"
    export FLEXTOR_GPIO_ROOT
    mkdir -p "$FLEXTOR_GPIO_ROOT"
    for pin in 4 17 27 22 10 9 11 25 8 24 23; do
        mkdir -p "$FLEXTOR_GPIO_ROOT/gpio$pin"
        : > "$FLEXTOR_GPIO_ROOT/gpio$pin/direction"
        : > "$FLEXTOR_GPIO_ROOT/gpio$pin/value"
    done
fi
exec ./run/flextor "$@"
