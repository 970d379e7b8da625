#!/bin/sh
# The installed program's launcher, /usr/bin/flextor. The executable lives in
# ../lib/flextor, a folder its users may not write, so each user gets a program
# folder of their own (FLEXTOR_HOME, $XDG_DATA_HOME/flextor by default) where
# Setting.ini, Log/, the temperature log and the chart images are kept. At login
# the desktop may not be up yet: the program waits up to FLEXTOR_DISPLAY_WAIT
# seconds (30) for its display.
#
#   flextor                  start the program
#   flextor --autostart on   start it at every login of this user (after a power cut too)
#   flextor --autostart off  no more start at login
set -eu

here="$(dirname "$(readlink -f "$0")")"
program="$here/../lib/flextor/flextor"
menu_entry="$here/../share/applications/flextor.desktop"
autostart_folder="${XDG_CONFIG_HOME:-${HOME:?HOME is not set}/.config}/autostart"
autostart_entry="$autostart_folder/flextor.desktop"

# The menu entry, started by this launcher, plus the marks of an autostart entry.
write_autostart_entry() {
    mkdir -p "$autostart_folder"
    sed "s|^Exec=.*|Exec=$here/flextor|" "$menu_entry" > "$autostart_entry.tmp"
    echo "X-GNOME-Autostart-enabled=true" >> "$autostart_entry.tmp"
    mv "$autostart_entry.tmp" "$autostart_entry"
}

if [ "${1:-}" = "--autostart" ]; then
    case "${2:-}" in
        on)
            write_autostart_entry
            echo "flextor: starts at login: $autostart_entry"
            ;;
        off)
            rm -f "$autostart_entry"
            echo "flextor: no start at login"
            ;;
        *)
            echo "usage: flextor --autostart on|off" >&2
            exit 2
            ;;
    esac
    exit 0
fi

if [ "${1:-}" = "--help" ]; then
    echo "flextor --autostart on|off: start at login of this user, or not"
    echo
fi

FLEXTOR_HOME="${FLEXTOR_HOME:-${XDG_DATA_HOME:-${HOME:?HOME is not set}/.local/share}/flextor}"
FLEXTOR_DISPLAY_WAIT="${FLEXTOR_DISPLAY_WAIT:-30}"
export FLEXTOR_HOME FLEXTOR_DISPLAY_WAIT
exec "$program" "$@"
