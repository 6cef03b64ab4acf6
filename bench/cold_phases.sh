#!/bin/sh
# Where the time of a cold export goes, for one office and for two: the
# median of RUNS runs of each phase (see cold_phases.cpp), in seconds.
#
# usage: bench/cold_phases.sh [BUILD_DIR]   (default: build)
set -eu
cd "$(dirname "$0")/.."
. bench/speed_common.sh
build=${1:-build}
runs=${RUNS:-5}
deck=${DECK:-../shared/decks/alterman_security.pptx}
bench="$build/bench/cold_phases"
[ -x "$bench" ] || { echo "cold_phases: build $bench first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
export XDG_CACHE_HOME="$work/cache"

once() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    "$bench" "$1" "$deck" "$work/out" | awk '{ print $1, $2 }'
}

echo "$(basename "$deck"), median of $runs runs"
for lanes in 1 2; do
    once "$lanes" >/dev/null # seeds the office profiles once
    for i in $(seq "$runs"); do once "$lanes"; done >"$work/lanes$lanes"
done
printf '%-14s %8s %8s\n' phase "1 office" "2 offices"
awk '!seen[$1]++ { print $1 }' "$work/lanes1" | while read -r phase; do
    one=$(awk -v p="$phase" '$1 == p { print $2 }' "$work/lanes1" | median)
    two=$(awk -v p="$phase" '$1 == p { print $2 }' "$work/lanes2" | median)
    printf '%-14s %8.3f %8.3f\n' "$phase" "$one" "$two"
done
