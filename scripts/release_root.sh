#!/bin/sh
# An amd64 Debian release of its own, for building and testing with that
# release's compilers and libraries on a machine of another release: made by
# mmdebstrap in build-root/RELEASE/root (nothing installed on this machine), with
# what the package builds for every architecture and the test suites need; a
# command given after the release runs in it, as root, in this repository
# (mounted at the same path), with this machine's /dev and a /proc of its own.
# The command's processes end with it.
#
#     ./scripts/release_root.sh trixie                          # made once
#     ./scripts/release_root.sh trixie ./scripts/package.sh armhf
set -eu
self="$(readlink -f "$0")"
cd "$(dirname "$0")/.."
top="$PWD"

release="${1:?usage: release_root.sh RELEASE [COMMAND...]}"
shift
case "$release" in
    bookworm | trixie) ;;
    *) echo "release_root: unknown release $release (bookworm, trixie)" >&2; exit 2 ;;
esac

# The package builds, the suites' own tools and the fonts they show the windows
# in, as here, and git for the package's file list.
PACKAGES="$(./scripts/setup.sh --list package arm64 armhf)
  git xvfb xauth xfonts-base fonts-dejavu-core fonts-dejavu-extra fonts-freefont-ttf
  libxtst-dev faketime locales libgtest-dev libgmock-dev googletest"

dir="$top/build-root/$release"
root="$dir/root"
wanted="$(echo $PACKAGES) $(sha1sum <"$self" | cut -c1-12)"
if [ ! -f "$dir/packages" ] || [ "$(cat "$dir/packages")" != "$wanted" ]; then
    rm -rf "$dir"
    mkdir -p "$dir"
    echo "release_root: Debian $release in $root"
    # The locales the suites run under are made in it.
    make_root() {
        rm -rf "$root"
        mmdebstrap --quiet --variant=apt --arch=amd64 \
            --include="$(echo $PACKAGES | tr ' ' ',')" \
            --customize-hook='chroot "$1" localedef -i ru_RU -f UTF-8 ru_RU.UTF-8' \
            --customize-hook='chroot "$1" localedef -i de_DE -f UTF-8 de_DE.UTF-8' \
            "$release" "$root" "$(debian_sources "$release")"
    }
    . ./scripts/mirror.sh
    with_mirror_retries make_root
    echo "$wanted" >"$dir/packages"
fi
[ $# -eq 0 ] && exit 0

# In a mount and process namespace of its own: the mounts go with it, and so
# does any process the command leaves behind.
exec unshare --mount --pid --fork --propagation private sh -eu -c '
    root="$1" top="$2"
    shift 2
    mount --rbind /dev "$root/dev"
    mount -t proc proc "$root/proc"
    mkdir -p "$root$top"
    mount --bind "$top" "$root$top"
    cd "$top"
    exec chroot "$root" sh -c "cd \"\$0\" && exec \"\$@\"" "$top" "$@"' \
    release_root "$root" "$top" "$@"
