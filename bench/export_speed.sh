#!/bin/sh
# Converts the benchmark decks to 1280 x 800 JPEG images three ways, in one
# run: the usual pipeline (soffice --convert-to pdf with a fresh profile, then
# pdftoppm), our export starting its office (cold), and our export with its
# office already running (warm). Prints the median of RUNS runs in seconds,
# and ours as a ratio of the pipeline.
#
# usage: bench/export_speed.sh [BUILD_DIR]   (default: build)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${RUNS:-3}
decks=${DECKS:-"../shared/decks/37625.ppt ../shared/decks/alterman_security.pptx"}
bench="$build/bench/export_bench"
[ -x "$bench" ] || { echo "export_speed: build $bench first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
export XDG_CACHE_HOME="$work/cache"

now() { date +%s.%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

pipeline_once() {
    rm -rf "$work/out" "$work/profile" && mkdir -p "$work/out"
    start=$(now)
    soffice --headless --norestore "-env:UserInstallation=file://$work/profile" \
        --convert-to pdf --outdir "$work/out" "$1" >/dev/null 2>&1
    pdftoppm -jpeg -scale-to-x 1280 -scale-to-y 800 "$work/out/"*.pdf "$work/out/slide"
    end=$(now)
    awk "BEGIN { print $end - $start }"
}

# Cold is timed from outside, process start included; warm times the export
# alone, since its office was started before.
ours_once() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    start=$(now)
    inside=$("$bench" "$1" "$2" "$work/out")
    end=$(now)
    if [ "$1" = cold ]; then awk "BEGIN { print $end - $start }"; else echo "$inside"; fi
}

ratio() { awk "BEGIN { printf \"%.3f\", $1 / $2 }"; }

printf '%-24s %6s %10s %8s %6s %8s %6s\n' deck slides pipeline cold ratio warm ratio
for deck in $decks; do
    pipeline=$(for i in $(seq "$runs"); do pipeline_once "$deck"; done | median)
    slides=$(ls "$work/out"/*.jpg | wc -l)
    ours_once cold "$deck" >/dev/null # seeds our office profile once
    cold=$(for i in $(seq "$runs"); do ours_once cold "$deck"; done | median)
    warm=$(for i in $(seq "$runs"); do ours_once warm "$deck"; done | median)
    printf '%-24s %6s %9.2fs %7.2fs %6s %7.2fs %6s\n' "$(basename "$deck")" "$slides" \
        "$pipeline" "$cold" "$(ratio "$cold" "$pipeline")" "$warm" "$(ratio "$warm" "$pipeline")"
done
