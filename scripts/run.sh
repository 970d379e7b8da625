#!/bin/bash
# Sets up the machine, builds the program and starts it in its own folder (run/).
# Without hardware (no /sys/class/gpio) the GPIO outputs go to a folder of files
# (run/gpio) and the sensors are a simulated plant: flextor-owsim with six DS18B20
# on a pseudo-terminal, stopped again when the program ends. FLEXTOR_SIMULATE=1
# starts the simulated plant on hardware too, FLEXTOR_SIMULATE=0 never.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

mkdir -p run
cp build/flextor run/flextor

hardware=1
[ -d /sys/class/gpio ] || hardware=0

if [ "$hardware" = 0 ] && [ -z "${FLEXTOR_GPIO_ROOT:-}" ]; then
    FLEXTOR_GPIO_ROOT="$(pwd)/run/gpio"
    export FLEXTOR_GPIO_ROOT
    mkdir -p "$FLEXTOR_GPIO_ROOT"
    for pin in 4 17 27 22 10 9 11 25 8 24 23; do
        mkdir -p "$FLEXTOR_GPIO_ROOT/gpio$pin"
        : > "$FLEXTOR_GPIO_ROOT/gpio$pin/direction"
        : > "$FLEXTOR_GPIO_ROOT/gpio$pin/value"
    done
fi

# The sensor ID as Setting.ini keeps it: the eight ROM bytes (family, serial
# bytes 1 to 6, CRC) read as one little-endian signed 64-bit number.
# "28-00000A1B0001-CC" -> the number 0xCC00000A1B000128.
rom_to_id() {
    local family="${1%%-*}" rest="${1#*-}"
    local serial="${rest%%-*}" crc="${rest#*-}"
    echo $((16#$crc$serial$family))
}

# The program's first settings on the simulated plant: its port and the six
# sensors with roles 1 to 6 in the order the plant lists them (TSA, condenser,
# column, still, mash, sensor 6).
write_settings() {
    local port="$1" answer="$2" n=0 entry
    {
        printf '\357\273\277\n[Sensor]\nPortName = %s\nSerial = 0\nSensorsCount = 6\n' "$port"
        for entry in ${answer#ok}; do
            n=$((n + 1))
            [ "$n" -le 6 ] || break
            printf 'ID_%d = %s\nUse_%d = %d\n' "$n" "$(rom_to_id "${entry%%:*}")" "$n" "$n"
        done
    } > run/Setting.ini
}

plant=""
stop_plant() {
    if [ -n "$plant" ]; then
        kill "$plant" 2>/dev/null || true
        wait "$plant" 2>/dev/null || true
    fi
}

start_plant() {
    local socket="$PWD/run/owsim.sock" link=() port="" answer i
    if [ -w /dev ]; then
        link=(--link /dev/ttyOWSIM0)
    fi
    rm -f "$socket" run/owsim.port
    build/flextor-owsim --demo "${link[@]}" --control "$socket" >run/owsim.port 2>run/owsim.log &
    plant=$!
    trap stop_plant EXIT
    for i in $(seq 100); do
        port="$(head -n 1 run/owsim.port 2>/dev/null || true)"
        [ -z "$port" ] || break
        kill -0 "$plant" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$port" ]; then
        echo "run: the simulated plant did not start:" >&2
        cat run/owsim.log >&2
        exit 1
    fi
    answer="$(build/flextor-owsim --control "$socket" --command list)"
    if [ ! -e run/Setting.ini ]; then
        write_settings "$port" "$answer"
    elif grep -q '^PortName = pts/' run/Setting.ini; then
        # A pseudo-terminal gets a new number each time.
        sed -i "s|^PortName = pts/.*|PortName = $port|" run/Setting.ini
    fi
    echo "run: simulated plant on /dev/$port, sensors:${answer#ok}"
    echo "run: change a temperature with"
    echo "     build/flextor-owsim --control $socket --command 'temp ROM TENTHS'"
}

simulate="${FLEXTOR_SIMULATE:-}"
if [ -z "$simulate" ]; then
    simulate=$((1 - hardware))
fi
if [ "$simulate" = 1 ]; then
    start_plant
fi
if [ -n "${FLEXTOR_GPIO_ROOT:-}" ]; then
    echo "run: the outputs are the files $FLEXTOR_GPIO_ROOT/gpioN/value"
fi

status=0
./run/flextor "$@" || status=$?
exit "$status"
