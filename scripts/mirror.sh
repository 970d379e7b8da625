# Sourced by the scripts that download from the Debian mirror.

# The release's suites as sources.list lines: main, its updates and its security
# updates; main alone while MIRROR_MAIN_ONLY is set.
debian_sources() {
    echo "deb http://deb.debian.org/debian $1 main"
    if [ -z "${MIRROR_MAIN_ONLY:-}" ]; then
        echo "deb http://deb.debian.org/debian $1-updates main"
        echo "deb http://deb.debian.org/debian-security $1-security main"
    fi
}

# Runs a download up to three times, a minute apart. A mirror in the middle of a
# sync serves, for a while, index files whose size or hash disagrees with its
# Release file ("File has unexpected size … Mirror sync in progress?"), mostly
# those of the updates and security suites, which change every day: the last try
# is made with the release's main suite alone (debian_sources), and says so. A
# command that fails that too fails the script, with what it printed.
#
#     with_mirror_retries apt-get update ...
with_mirror_retries() {
    tries=1
    until "$@"; do
        if [ "$tries" -ge 3 ]; then
            unset MIRROR_MAIN_ONLY
            echo "$(basename "$0"): the download failed $tries times: $*" >&2
            return 1
        fi
        sleep 60
        tries=$((tries + 1))
        if [ "$tries" -eq 3 ]; then
            MIRROR_MAIN_ONLY=1
            echo "$(basename "$0"): WARNING: the download failed twice; the last try leaves out" \
                "the release's updates and security updates (a mirror being synced?)" >&2
        else
            echo "$(basename "$0"): the download failed (a mirror being synced?); trying again" >&2
        fi
    done
    unset MIRROR_MAIN_ONLY
}
