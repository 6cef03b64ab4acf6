#!/bin/sh
# Resident memory of our offices over one long batch: COUNT conversions of one
# deck by a single korvanta-cli run. Samples the offices' resident memory
# twice a second and prints, within each quarter of the batch, the peak of
# the largest single office and of all of them together, in MiB.
#
# usage: bench/batch_memory.sh [BUILD_DIR] [DECK] [COUNT]
#        (defaults: build, ../shared/decks/SampleShow.pptx, 200)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
deck=$(realpath "${2:-../shared/decks/SampleShow.pptx}")
count=${3:-200}
cli="$build/cli/korvanta-cli"
[ -x "$cli" ] || { echo "batch_memory: build $cli first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
export XDG_CACHE_HOME="$work/cache" TMPDIR="$work"
mkdir -p "$work/decks" "$work/out"
ext=${deck##*.}
for i in $(seq "$count"); do ln -s "$deck" "$work/decks/deck$i.$ext"; done

# The largest and the total resident memory (KiB) of the offices of this
# batch: soffice.bin, or the render workers (korvanta-render) of a build that
# draws its slides with them.
offices_rss() {
    total=0
    largest=0
    for pid in $(pgrep -x korvanta-render) $(pgrep -x soffice.bin); do
        if tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q "$work/cache"; then
            rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0)
            total=$((total + ${rss:-0}))
            [ "${rss:-0}" -gt "$largest" ] && largest=${rss:-0}
        fi
    done
    echo "$largest $total"
}

"$cli" convert "$work/decks"/* --to "$work/out" >"$work/delivered" &
batch=$!
: >"$work/samples"
while kill -0 "$batch" 2>/dev/null; do
    echo "$(wc -l <"$work/delivered") $(offices_rss)" >>"$work/samples"
    sleep 0.5
done
wait "$batch"

echo "conversions delivered: $(wc -l <"$work/delivered") of $count"
awk -v count="$count" '{
    quarter = int($1 * 4 / (count + 1))
    if ($2 > one[quarter]) one[quarter] = $2
    if ($3 > all[quarter]) all[quarter] = $3
} END {
    for (q = 0; q < 4; q++)
        printf "conversions %3d-%3d: peak office %6.0f MiB, all offices %6.0f MiB\n",
               q * count / 4 + 1, (q + 1) * count / 4, one[q] / 1024, all[q] / 1024
}' "$work/samples"
