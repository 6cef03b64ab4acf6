#!/bin/sh
# Wall time of korvanta-cli converting one deck to one destination (a local
# folder) against three (that folder, a second one and an FTP server on
# 127.0.0.1), cold and with warm offices, alternating, in one run. Prints the
# median of RUNS runs in seconds and the ratio of three to one.
#
# usage: bench/destinations_speed.sh [BUILD_DIR] [DECK]
#        (defaults: build, ../shared/decks/alterman_security.pptx)
set -eu
cd "$(dirname "$0")/.."
. bench/speed_common.sh
build=${1:-build}
deck=${2:-../shared/decks/alterman_security.pptx}
runs=${RUNS:-5}
cli="$build/cli/korvanta-cli"
[ -x "$cli" ] || { echo "destinations_speed: build $cli first" >&2; exit 1; }

work=$(mktemp -d)
ftp_server=""
cleanup() {
    "$cli" office stop >/dev/null 2>&1 || true
    [ -n "$ftp_server" ] && kill "$ftp_server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT INT TERM
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config"

mkdir -p "$work/one" "$work/two"
start_ftp_server "$work/ftp"
url=$ftp_url

# run DESTINATION_OPTIONS...: seconds of one conversion.
run() {
    start=$(now)
    "$cli" convert "$deck" "$@" >/dev/null
    elapsed "$start" "$(now)"
}

measure() {
    : >"$work/times"
    for i in $(seq "$runs"); do
        echo "one $(run --to "$work/one")" >>"$work/times"
        echo "three $(run --to "$work/one" --to "$work/two" --ftp "$url")" >>"$work/times"
    done
    one=$(awk '$1 == "one" { print $2 }' "$work/times" | median)
    three=$(awk '$1 == "three" { print $2 }' "$work/times" | median)
    printf '%-6s %9.2fs %9.2fs %6s\n' "$1" "$one" "$three" "$(ratio "$three" "$one")"
}

run --to "$work/one" >/dev/null # seeds our office profiles once
printf '%-6s %10s %10s %6s\n' offices one three ratio
measure cold
"$cli" office start >/dev/null
measure warm
