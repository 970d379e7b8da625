#!/bin/bash
# Starts the built program in FOLDER, where it keeps Setting.ini and its logs:
#   start_in_folder.sh BUILD FOLDER [--scenario FILE] [PROGRAM ARGUMENTS...]
# Without /sys/class/gpio the outputs go to a folder of files (FOLDER/gpio) and
# the sensors are the simulated plant (flextor-plant with the scenario, by default
# scenarios/demo.json), stopped again when the program ends. The plant keeps its
# state in FOLDER/plant-state.json; FLEXTOR_PLANT_OUTAGE=SECONDS starts it from
# there, cooled for that long: a power cut, after the program and the plant were
# killed together. FLEXTOR_SIMULATE=1
# starts the simulated plant on hardware too, FLEXTOR_SIMULATE=0 never. Its port is
# also named /dev/ttyOWSIM0 where /dev is writable (FLEXTOR_PLANT_LINK names
# another link, or none when empty). Without a
# display (DISPLAY and WAYLAND_DISPLAY empty) the window goes to GTK's Broadway
# backend on a free port of 127.0.0.1, whose address is printed for a browser.
set -eu
if [ $# -lt 2 ]; then
    echo "usage: $0 BUILD FOLDER [--scenario FILE] [PROGRAM ARGUMENTS...]" >&2
    exit 2
fi
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
mkdir -p "$2"
folder="$(cd "$2" && pwd)"
shift 2
scenario="$source_dir/scenarios/demo.json"
if [ "${1:-}" = "--scenario" ]; then
    if [ $# -lt 2 ] || [ ! -f "$2" ]; then
        echo "run: --scenario needs a scenario file (see scenarios/)" >&2
        exit 2
    fi
    scenario="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
    shift 2
fi

# The program looks for its outputs guard beside itself.
cp "$build/flextor" "$build/outputs-guard" "$folder/"

hardware=1
[ -d /sys/class/gpio ] || hardware=0

if [ "$hardware" = 0 ] && [ -z "${FLEXTOR_GPIO_ROOT:-}" ]; then
    FLEXTOR_GPIO_ROOT="$folder/gpio"
    export FLEXTOR_GPIO_ROOT
    mkdir -p "$FLEXTOR_GPIO_ROOT"
    for pin in 4 17 27 22 10 9 11 25 8 24 23; do
        mkdir -p "$FLEXTOR_GPIO_ROOT/gpio$pin"
        : > "$FLEXTOR_GPIO_ROOT/gpio$pin/direction"
        : > "$FLEXTOR_GPIO_ROOT/gpio$pin/value"
    done
fi
# Outputs that are files, not the kernel's GPIO, have no relay board for the first
# start to ask about.
if [ -n "${FLEXTOR_GPIO_ROOT:-}" ] && [ "${FLEXTOR_GPIO_ROOT%/}" != /sys/class/gpio ] &&
    [ ! -e "$folder/Options.ini" ]; then
    printf '[Outputs]\nActiveLow = 0\n' > "$folder/Options.ini"
fi

# What the program runs beside it (the plant, a Broadway server), ended with it.
helpers=()
stop_helpers() {
    local pid
    for pid in "${helpers[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
trap stop_helpers EXIT

# The sensor ID as Setting.ini keeps it: the eight ROM bytes (family, serial
# bytes 1 to 6, CRC) read as one little-endian signed 64-bit number.
# "28-00000A1B0001-CC" -> the number 0xCC00000A1B000128.
rom_to_id() {
    local family="${1%%-*}" rest="${1#*-}"
    local serial="${rest%%-*}" crc="${rest#*-}"
    echo $((16#$crc$serial$family))
}

# The demo's settings: short times and small volumes, so that a whole run of
# column 1 takes minutes on the simulated plant.
write_demo_settings() {
    printf '\357\273\277\n'
    cat <<'SETTINGS'
[Logic]
Performance = 15000
TimeStable = 1
DelayMode = 5
TermoNextMode = 740
Col1_MinTermo = 500
MaxVolume_v0 = 20
MaxVolume = 150
Valve1_PWM = 100
Valve2_Stable = 1
Valve3_PWM = 50
Valve3_Termo = 880
Hysteresis_Col3 = 5
Check_d6 = 1
Termo_d6 = 500
Hysteresis_d6 = 20
Col1_Auto = 0
CheckStopColumn = 0
[WinMain]
d1_Limit = 900
d2_Limit = 900
d3_Limit = 800
d4_Limit = 752
d5_LimitMax = 270
d5_LimitMin = 250
SETTINGS
}

# Setting.ini's group Sensor for the plant: its port and its sensors with the
# roles the scenario gives them (the lines after the port: "ROM ROLE").
write_sensor_group() {
    local port="$1" lines="$2" n=0 rom role
    printf '[Sensor]\nPortName = %s\nSerial = 0\nSensorsCount = %d\n' "$port" \
        "$(printf '%s\n' "$lines" | grep -c .)"
    while read -r rom role; do
        [ -n "$rom" ] || continue
        n=$((n + 1))
        printf 'ID_%d = %s\nUse_%d = %d\n' "$n" "$(rom_to_id "$rom")" "$n" "$role"
    done <<< "$lines"
}

start_plant() {
    local socket="$folder/owsim.sock" link=() port="" i lines taken_up=()
    local link_path="${FLEXTOR_PLANT_LINK-/dev/ttyOWSIM0}"
    if [ -n "$link_path" ] && [ -w "$(dirname "$link_path")" ]; then
        link=(--link "$link_path")
    fi
    rm -f "$socket" "$folder/plant.out" "$folder/gpio-history.txt"
    if [ -n "${FLEXTOR_PLANT_OUTAGE:-}" ] && [ -f "$folder/plant-state.json" ]; then
        taken_up=(--restore "$folder/plant-state.json" --cooled "$FLEXTOR_PLANT_OUTAGE")
    fi
    "$build/flextor-plant" --scenario "$scenario" --gpio "${FLEXTOR_GPIO_ROOT:-/sys/class/gpio}" \
        --history "$folder/gpio-history.txt" "${link[@]}" --control "$socket" \
        --save "$folder/plant-state.json" "${taken_up[@]}" \
        >"$folder/plant.out" 2>"$folder/plant.log" &
    helpers+=($!)
    for i in $(seq 100); do
        port="$(head -n 1 "$folder/plant.out" 2>/dev/null || true)"
        [ -z "$port" ] || break
        kill -0 "${helpers[-1]}" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$port" ]; then
        echo "run: the simulated plant did not start:" >&2
        cat "$folder/plant.log" >&2
        exit 1
    fi
    lines="$(tail -n +2 "$folder/plant.out")"
    # The plant's sensors replace the group Sensor; the other settings are kept.
    {
        if [ -f "$folder/Setting.ini" ]; then
            awk '/^\[/ { skip = tolower($0) == "[sensor]" } !skip' "$folder/Setting.ini"
        else
            write_demo_settings
        fi
        write_sensor_group "$port" "$lines"
    } > "$folder/Setting.ini.new"
    mv "$folder/Setting.ini.new" "$folder/Setting.ini"
    echo "run: simulated plant ($(basename "$scenario")) on /dev/$port"
    echo "run: the outputs' history goes to $folder/gpio-history.txt"
    echo "run: change a temperature with"
    echo "     $build/flextor-owsim --control $socket --command 'temp ROM TENTHS'"
}

# GTK's Broadway backend on the first free port from 8085 on (display :N takes
# port 8080 + N), listening on 127.0.0.1 only.
start_broadway() {
    local n port i
    for n in $(seq 5 60); do
        port=$((8080 + n))
        if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            continue  # taken
        fi
        broadwayd --address 127.0.0.1 --port "$port" ":$n" >"$folder/broadway.log" 2>&1 &
        helpers+=($!)
        for i in $(seq 50); do
            if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
                export GDK_BACKEND=broadway BROADWAY_DISPLAY=":$n"
                echo "run: no display here: open http://127.0.0.1:$port/ in a browser"
                return 0
            fi
            kill -0 "${helpers[-1]}" 2>/dev/null || break
            sleep 0.1
        done
    done
    echo "run: no display, and GTK's Broadway server (broadwayd) did not start:" >&2
    cat "$folder/broadway.log" >&2
    exit 1
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
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    start_broadway
fi

# The program runs in the background so that a signal to this script reaches it
# as one to the program would (it then ends the usual way), before the helpers stop.
"$folder/flextor" "$@" &
program=$!
trap 'kill -TERM "$program" 2>/dev/null || true' TERM INT HUP
status=0
wait "$program" || status=$?
while kill -0 "$program" 2>/dev/null; do
    status=0
    wait "$program" || status=$?
done
exit "$status"
