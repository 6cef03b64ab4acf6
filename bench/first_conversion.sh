#!/bin/sh
# The first conversion after start-up, in one run: cold (the conversion starts
# its own offices, process start included) against prewarmed (the offices were
# started beforehand, as the desktop program does when its window opens, and
# this is their first document), beside the usual pipeline. Prints the median
# of RUNS runs in seconds, and each as a ratio of the pipeline.
#
# usage: bench/first_conversion.sh [BUILD_DIR] [DECK]
#        (defaults: build, ../shared/decks/alterman_security.pptx)
set -eu
cd "$(dirname "$0")/.."
. bench/speed_common.sh
build=${1:-build}
deck=${2:-../shared/decks/alterman_security.pptx}
runs=${RUNS:-3}
bench="$build/bench/export_bench"
[ -x "$bench" ] || { echo "first_conversion: build $bench first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
export XDG_CACHE_HOME="$work/cache"

first_once() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    start=$(now)
    inside=$("$bench" "$1" "$deck" "$work/out")
    if [ "$1" = cold ]; then elapsed "$start" "$(now)"; else echo "$inside"; fi
}

pipeline=$(for i in $(seq "$runs"); do pipeline_once "$deck" "$work/pipeline"; done | median)
first_once cold >/dev/null # seeds our office profiles once
cold=$(for i in $(seq "$runs"); do first_once cold; done | median)
prewarmed=$(for i in $(seq "$runs"); do first_once warm; done | median)

printf '%-24s %10s %8s %6s %10s %6s\n' deck pipeline cold ratio prewarmed ratio
printf '%-24s %9.2fs %7.2fs %6s %9.2fs %6s\n' "$(basename "$deck")" "$pipeline" "$cold" \
    "$(ratio "$cold" "$pipeline")" "$prewarmed" "$(ratio "$prewarmed" "$pipeline")"
