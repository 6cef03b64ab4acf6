#!/bin/sh
# Converts the benchmark decks to 1280 x 800 JPEG images three ways, in one
# run: the usual pipeline, our export starting its offices (cold), and our
# export with its offices already running (warm). Prints the median of RUNS
# runs in seconds, and ours as a ratio of the pipeline. With BASE set to
# another build folder, that build's export is timed too, in the same run.
#
# usage: [BASE=BUILD_DIR] bench/export_speed.sh [BUILD_DIR]   (default: build)
set -eu
cd "$(dirname "$0")/.."
. bench/speed_common.sh
build=${1:-build}
runs=${RUNS:-3}
decks=${DECKS:-"../shared/decks/37625.ppt ../shared/decks/alterman_security.pptx"}
builds="$build ${BASE:-}"
require_export_bench export_speed $builds

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

printf '%-24s %-28s %6s %10s %8s %6s %8s %6s\n' deck build slides pipeline cold ratio warm ratio
for deck in $decks; do
    pipeline=$(for i in $(seq "$runs"); do pipeline_once "$deck" "$work/pipeline"; done | median)
    slides=$(ls "$work/pipeline"/*.jpg | wc -l)
    for b in $builds; do
        export XDG_CACHE_HOME="$work/cache-$(echo "$b" | tr / _)"
        export_once "$b" cold "$deck" "$work/out" >/dev/null # seeds our office profiles once
        cold=$(for i in $(seq "$runs"); do export_once "$b" cold "$deck" "$work/out"; done | median)
        warm=$(for i in $(seq "$runs"); do export_once "$b" warm "$deck" "$work/out"; done | median)
        printf '%-24s %-28s %6s %9.2fs %7.2fs %6s %7.2fs %6s\n' "$(basename "$deck")" "$b" \
            "$slides" "$pipeline" "$cold" "$(ratio "$cold" "$pipeline")" "$warm" \
            "$(ratio "$warm" "$pipeline")"
    done
done
