#!/bin/sh
# Checks that each package installs on the Debian release and architecture it
# is for: its dependencies are resolved by dose-debcheck against that release's
# own package index for the architecture (main, with its updates and security
# updates), fetched by apt into build-index/RELEASE/ARCH, nothing installed or
# changed on this machine. The release comes from the version ("~deb12u1":
# bookworm, "~deb13u1": trixie) unless --release names another.
#
#     ./scripts/install_check.sh flextor_*.deb
#     ./scripts/install_check.sh --release trixie flextor_1.0.94~deb12u1_armhf.deb
#     ./scripts/install_check.sh --fetch trixie arm64 armhf   # the indexes alone
#
# Each index is fetched once per run: FLEXTOR_INDEX_RUN names the run (scripts/test.sh
# fetches them with --fetch while it builds, and its check at the end takes them).
set -eu
cd "$(dirname "$0")/.."
top="$PWD"
. ./scripts/mirror.sh

release=""
fetch=""
if [ "${1:-}" = --fetch ]; then
    fetch="${2:?usage: install_check.sh --fetch RELEASE ARCH...}"
    shift 2
elif [ "${1:-}" = --release ]; then
    release="${2:?usage: install_check.sh [--release RELEASE] DEB...}"
    shift 2
fi
[ $# -gt 0 ] || { echo "usage: install_check.sh [--release RELEASE] DEB..." >&2; exit 2; }
run="${FLEXTOR_INDEX_RUN:-$$}"

if ! command -v dose-debcheck >/dev/null; then
    ./scripts/setup.sh package
fi

# apt's package lists of release $3 in folder $1, for architecture $2.
update_index() {
    rm -rf "$1/lists"
    mkdir -p "$1/lists/partial"
    debian_sources "$3" >"$1/sources.list"
    apt-get update -qq -o Dir::Etc::SourceList="$1/sources.list" \
        -o Dir::Etc::SourceParts=/nonexistent -o Dir::State::Lists="$1/lists" \
        -o Dir::Cache="$1/cache" -o Dir::State::Status=/dev/null \
        -o APT::Architecture="$2" -o APT::Architectures="$2" -o Acquire::Languages=none \
        -o Acquire::GzipIndexes=false \
        >"$1/update.log" 2>&1 || { cat "$1/update.log" >&2; return 1; }
}

# The release's package index for arch, fetched once per run.
index() {
    dir="$top/build-index/$1/$2"
    if [ ! -f "$dir/fetched" ] || [ "$(cat "$dir/fetched")" != "$run" ]; then
        mkdir -p "$dir/cache"
        with_mirror_retries update_index "$dir" "$2" "$1" || return 1
        echo "$run" >"$dir/fetched"
    fi
}

if [ -n "$fetch" ]; then
    for arch in "$@"; do
        index "$fetch" "$arch"
        echo "install check: the index of Debian $fetch $arch fetched"
    done
    exit 0
fi

failed=0
for deb in "$@"; do
    arch="$(dpkg-deb -f "$deb" Architecture)"
    version="$(dpkg-deb -f "$deb" Version)"
    target="$release"
    if [ -z "$target" ]; then
        case "$version" in
            *~deb12u*) target=bookworm ;;
            *~deb13u*) target=trixie ;;
            *) echo "install check: $deb: its version $version names no release" >&2; exit 2 ;;
        esac
    fi
    index "$target" "$arch"
    dir="$top/build-index/$target/$arch"
    dpkg-deb -f "$deb" >"$dir/package"
    if dose-debcheck --deb-native-arch="$arch" --failures --explain \
        --fg="$dir/package" $(for list in "$dir"/lists/*_Packages; do echo "--bg=$list"; done) \
        >"$dir/report" 2>&1; then
        echo "install check: $deb installs on Debian $target $arch"
    else
        cat "$dir/report"
        echo "install check: $deb does NOT install on Debian $target $arch" >&2
        failed=1
    fi
done
exit "$failed"
