#!/bin/sh
# Wall time of korvanta-cli converting one deck to a local folder, cold (no
# office of ours running) and warm (offices started before with
# "korvanta-cli office start"), beside the usual pipeline, in one run.
# Prints the median of RUNS runs in seconds.
#
# usage: bench/cli_speed.sh [BUILD_DIR] [DECK]
#        (defaults: build, ../shared/decks/customGeo.pptx)
set -eu
cd "$(dirname "$0")/.."
. bench/speed_common.sh
build=${1:-build}
deck=${2:-../shared/decks/customGeo.pptx}
runs=${RUNS:-3}
cli="$build/cli/korvanta-cli"
[ -x "$cli" ] || { echo "cli_speed: build $cli first" >&2; exit 1; }

work=$(mktemp -d)
trap '"$cli" office stop; rm -rf "$work"' EXIT INT TERM
export XDG_CACHE_HOME="$work/cache"

cli_once() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    start=$(now)
    "$cli" convert "$deck" --to "$work/out" >/dev/null
    elapsed "$start" "$(now)"
}

pipeline=$(for i in $(seq "$runs"); do pipeline_once "$deck" "$work/pipeline"; done | median)
cli_once >/dev/null # seeds our office profiles once
cold=$(for i in $(seq "$runs"); do cli_once; done | median)
"$cli" office start
warm=$(for i in $(seq "$runs"); do cli_once; done | median)
"$cli" office stop

printf '%-24s %6s %10s %8s %6s %8s %6s\n' deck slides pipeline cold ratio warm ratio
printf '%-24s %6s %9.2fs %7.2fs %6s %7.2fs %6s\n' "$(basename "$deck")" \
    "$(ls "$work/pipeline"/*.jpg | wc -l)" "$pipeline" "$cold" "$(ratio "$cold" "$pipeline")" \
    "$warm" "$(ratio "$warm" "$pipeline")"
