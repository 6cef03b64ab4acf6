#!/bin/sh
# The images of two builds, deck by deck: the exit status and slide count of
# each, and for decks both convert, the mean absolute difference per slide
# (levels of 255, over the three channels), its mean and worst slide, and the
# mean image sizes. KEEP=FOLDER keeps both sets of images for a look.
#
# usage: bench/render_parity.sh BUILD_DIR BASE_BUILD_DIR [DECK...]
#        (default decks: every deck in ../shared/decks and the test decks of BUILD_DIR)
set -eu
cd "$(dirname "$0")/.."
build=${1:?build folder}
base=${2:?base build folder}
shift 2
[ $# -gt 0 ] || set -- ../shared/decks/*.pp* "$build"/tests/decks/*.ppt "$build"/tests/decks/*.pptx
compare="$build/bench/lok_render_bench"
[ -x "$compare" ] || { echo "render_parity: build $compare first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
export TMPDIR="$work" XDG_CONFIG_HOME="$work/config"

convert() { # BUILD NAME DECK: prints the exit status; images in work/NAME/<stem>
    mkdir -p "$work/$2"
    status=0
    XDG_CACHE_HOME="$work/cache-$2" "$1/cli/korvanta-cli" convert "$3" --to "$work/$2" \
        >/dev/null 2>&1 || status=$?
    echo "$status"
}

printf '%-28s %6s %6s %6s %6s %9s %9s %-14s\n' deck status base slides base mean-mad worst-mad "worst slide"
for deck in "$@"; do
    stem=$(basename "$deck"); stem=${stem%.*}
    ours=$(convert "$build" ours "$deck")
    theirs=$(convert "$base" base "$deck")
    slides=$(ls "$work/ours/$stem" 2>/dev/null | wc -l)
    slidesBase=$(ls "$work/base/$stem" 2>/dev/null | wc -l)
    mean=- worst=- slide=-
    if [ "$ours" = 0 ] && [ "$theirs" = 0 ]; then
        "$compare" --compare "$work/base/$stem" "$work/ours/$stem" >"$work/compare" || true
        summary=$(tail -n 1 "$work/compare")
        mean=$(echo "$summary" | sed -n 's/^mean mad \([0-9.]*\);.*/\1/p')
        worst=$(echo "$summary" | sed -n 's/.* mad \([0-9.]*\); mean bytes.*/\1/p')
        slide=$(echo "$summary" | sed -n 's/.*worst \([^ ]*\) mad.*/\1/p')
        sizes=$(echo "$summary" | sed -n 's/.*mean bytes a \([0-9]*\) b \([0-9]*\)/\1 \2/p')
    fi
    printf '%-28s %6s %6s %6s %6s %9s %9s %-14s %s\n' "$(basename "$deck")" "$ours" "$theirs" \
        "$slides" "$slidesBase" "$mean" "$worst" "$slide" "${sizes:+bytes base/ours: $sizes}"
    sizes=
done
if [ -n "${KEEP:-}" ]; then
    mkdir -p "$KEEP" && cp -r "$work/ours" "$work/base" "$KEEP/"
fi
