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
for b in $builds; do
    [ -x "$b/bench/export_bench" ] || { echo "export_speed: build $b/bench/export_bench first" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# Cold is timed from outside, process start included; warm times the export
# alone, since its offices were started before.
ours_once() { # BUILD cold|warm DECK
    rm -rf "$work/out" && mkdir -p "$work/out"
    start=$(now)
    inside=$("$1/bench/export_bench" "$2" "$3" "$work/out")
    if [ "$2" = cold ]; then elapsed "$start" "$(now)"; else echo "$inside"; fi
}

printf '%-24s %-28s %6s %10s %8s %6s %8s %6s\n' deck build slides pipeline cold ratio warm ratio
for deck in $decks; do
    pipeline=$(for i in $(seq "$runs"); do pipeline_once "$deck" "$work/pipeline"; done | median)
    slides=$(ls "$work/pipeline"/*.jpg | wc -l)
    for b in $builds; do
        export XDG_CACHE_HOME="$work/cache-$(echo "$b" | tr / _)"
        ours_once "$b" cold "$deck" >/dev/null # seeds our office profiles once
        cold=$(for i in $(seq "$runs"); do ours_once "$b" cold "$deck"; done | median)
        warm=$(for i in $(seq "$runs"); do ours_once "$b" warm "$deck"; done | median)
        printf '%-24s %-28s %6s %9.2fs %7.2fs %6s %7.2fs %6s\n' "$(basename "$deck")" "$b" \
            "$slides" "$pipeline" "$cold" "$(ratio "$cold" "$pipeline")" "$warm" \
            "$(ratio "$warm" "$pipeline")"
    done
done
