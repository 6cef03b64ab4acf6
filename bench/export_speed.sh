#!/bin/sh
# Converts the benchmark decks to 1280 x 800 JPEG images three ways, in one
# run: the usual pipeline, our export starting its offices (cold), and our
# export with its offices already running (warm). Prints the median of RUNS
# runs in seconds, and ours as a ratio of the pipeline.
#
# usage: bench/export_speed.sh [BUILD_DIR]   (default: build)
set -eu
cd "$(dirname "$0")/.."
. bench/speed_common.sh
build=${1:-build}
runs=${RUNS:-3}
decks=${DECKS:-"../shared/decks/37625.ppt ../shared/decks/alterman_security.pptx"}
bench="$build/bench/export_bench"
[ -x "$bench" ] || { echo "export_speed: build $bench first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
export XDG_CACHE_HOME="$work/cache"

# Cold is timed from outside, process start included; warm times the export
# alone, since its offices were started before.
ours_once() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    start=$(now)
    inside=$("$bench" "$1" "$2" "$work/out")
    if [ "$1" = cold ]; then elapsed "$start" "$(now)"; else echo "$inside"; fi
}

printf '%-24s %6s %10s %8s %6s %8s %6s\n' deck slides pipeline cold ratio warm ratio
for deck in $decks; do
    pipeline=$(for i in $(seq "$runs"); do pipeline_once "$deck" "$work/pipeline"; done | median)
    slides=$(ls "$work/pipeline"/*.jpg | wc -l)
    ours_once cold "$deck" >/dev/null # seeds our office profiles once
    cold=$(for i in $(seq "$runs"); do ours_once cold "$deck"; done | median)
    warm=$(for i in $(seq "$runs"); do ours_once warm "$deck"; done | median)
    printf '%-24s %6s %9.2fs %7.2fs %6s %7.2fs %6s\n' "$(basename "$deck")" "$slides" \
        "$pipeline" "$cold" "$(ratio "$cold" "$pipeline")" "$warm" "$(ratio "$warm" "$pipeline")"
done
