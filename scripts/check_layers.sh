#!/bin/sh
# Fails when an include runs against the layers: base knows only itself; the core
# knows base; the platform knows base and the core; the GTK interface knows all
# three but never the application on top of it. GTK, GLib, Cairo and Pango
# headers belong to the interface and the application only.
set -eu
cd "$(dirname "$0")/.."

status=0
GTK='<(gtkmm|gtk|gdk|gdkmm|glib|glibmm|giomm|gio|cairo|cairomm|pango|pangomm|X11)[/.]'

# check FOLDER FORBIDDEN-PATTERN WHAT
check() {
    found=$(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*($2)" "$1" || true)
    if [ -n "$found" ]; then
        echo "layers: $1 must not include $3:"
        echo "$found"
        status=1
    fi
}

check src/base "\"(core|platform|ui|app)/|$GTK" "the core, the platform, GTK or the application"
check src/core "\"(platform|ui|app)/|$GTK" "the platform, GTK or the application"
check src/platform "\"(ui|app)/|$GTK" "GTK or the application"
check src/ui "\"app/" "the application"

if [ "$status" = 0 ]; then
    echo "layers: every include runs downwards"
fi
exit $status
