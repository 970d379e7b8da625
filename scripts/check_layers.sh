#!/bin/sh
# Fails when an include runs against the layers: base knows only itself; the core
# knows base; the platform knows base and the core; the GTK interface knows all
# three but never the application on top of it. GTK, GLib, Cairo and Pango
# headers belong to the interface and the application only, and so do the network
# libraries and sockets: the status page and MQTT (src/app/remote) are the only
# parts of the program that talk to a network. The outputs guard's socket pair
# (src/app/guard) and the running instance's notice socket in the abstract
# namespace (src/app/instance) never leave the machine.
set -eu
cd "$(dirname "$0")/.."

status=0
GTK='<(gtkmm|gtk|gdk|gdkmm|glib|glibmm|giomm|gio|cairo|cairomm|pango|pangomm|X11)[/.]'
NET='<(libsoup/|mosquitto\.h|sys/socket\.h|netinet/|arpa/inet\.h)'

# check FOLDER FORBIDDEN-PATTERN WHAT
check() {
    found=$(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*($2)" "$1" || true)
    if [ -n "$found" ]; then
        echo "layers: $1 must not include $3:"
        echo "$found"
        status=1
    fi
}

check src/base "\"(core|platform|ui|app)/|$GTK|$NET" "the core, the platform, GTK, the network or the application"
check src/core "\"(platform|ui|app)/|$GTK|$NET" "the platform, GTK, the network or the application"
check src/platform "\"(ui|app)/|$GTK|$NET" "GTK, the network or the application"
check src/ui "\"app/|$NET" "the network or the application"
# Only the remote-access folder of the application talks to a network.
found=$(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*($NET)" src/app --exclude-dir=remote \
    --exclude-dir=guard --exclude-dir=instance || true)
if [ -n "$found" ]; then
    echo "layers: only src/app/remote may include network headers:"
    echo "$found"
    status=1
fi

if [ "$status" = 0 ]; then
    echo "layers: every include runs downwards"
fi
exit $status
