#!/bin/sh
# Today's conversion (korvanta-cli, cold then warm offices) beside slides
# painted as LibreOfficeKit tiles and encoded with libjpeg-turbo
# (lok_render_bench), then the two sets of images compared slide by slide.
# Keeps the images in KEEP (when set) for a look at the worst slide.
# LibreOfficeKit gets the fonts of our offices; SYSTEM_FONTS=1 gives it
# the system's.
#
# usage: bench/lok_render_speed.sh [BUILD_DIR] [QUALITY] [DECK...]
#        (defaults: build, 85, ../shared/decks/37625.ppt
#         ../shared/decks/alterman_security.pptx)
set -eu
cd "$(dirname "$0")/.."
. bench/speed_common.sh
build=${1:-build}
quality=${2:-85}
[ $# -gt 2 ] && shift 2 || set -- ../shared/decks/37625.ppt ../shared/decks/alterman_security.pptx
runs=${RUNS:-1}
cli="$build/cli/korvanta-cli"
lok="$build/bench/lok_render_bench"
for tool in "$cli" "$lok"; do
    [ -x "$tool" ] || { echo "lok_render_speed: build $tool first" >&2; exit 1; }
done

work=$(mktemp -d)
trap '"$cli" office stop >/dev/null 2>&1 || true; rm -rf "$work"' EXIT INT TERM
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"

stem() { b=$(basename "$1"); echo "${b%.*}"; }
cli_once() { # DECK FOLDER: the slides go to FOLDER/<deck name>/
    rm -rf "$2/$(stem "$1")" && mkdir -p "$2"
    start=$(now)
    "$cli" convert "$1" --to "$2" >/dev/null
    elapsed "$start" "$(now)"
}

for deck in "$@"; do
    cli_once "$deck" "$work/seed" >/dev/null # seeds our office profiles
    cold=$(for i in $(seq "$runs"); do cli_once "$deck" "$work/today"; done | median)
    echo "today cold $(basename "$deck"): ${cold}s"
done
"$cli" office start
for deck in "$@"; do
    warm=$(for i in $(seq "$runs"); do cli_once "$deck" "$work/warm"; done | median)
    echo "today warm $(basename "$deck"): ${warm}s"
done
"$cli" office stop

# The fonts our offices see (written at their start), unless SYSTEM_FONTS is set.
fonts="$XDG_CACHE_HOME/korvanta/office-fonts.conf"
if [ -z "${SYSTEM_FONTS:-}" ] && [ -f "$fonts" ]; then
    export FONTCONFIG_FILE="$fonts"
    echo "lok fonts: $fonts"
fi
start=$(now)
"$lok" "$work/lok" "$quality" "$@" 2>"$work/lok.err" || { cat "$work/lok.err" >&2; exit 1; }
echo "lok process total: $(elapsed "$start" "$(now)")s"

for deck in "$@"; do
    echo "compare $(basename "$deck"): a = today, b = lok"
    "$lok" --compare "$work/today/$(stem "$deck")" "$work/lok/$(stem "$deck")"
done
if [ -n "${KEEP:-}" ]; then
    mkdir -p "$KEEP" && cp -r "$work/today" "$work/lok" "$KEEP/"
fi
