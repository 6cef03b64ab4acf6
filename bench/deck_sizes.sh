#!/bin/sh
# Seconds and milliseconds per slide of our export, cold and warm, for decks
# of 10, 100 and 400 slides that this script writes (flat XML, saved as
# .pptx by LibreOffice), so the cost per slide can be seen not to grow with
# the slide count. With BASE set to another build folder, that build's
# export is timed too, in the same run. Medians of RUNS runs.
#
# usage: [BASE=BUILD_DIR] bench/deck_sizes.sh [BUILD_DIR] [SLIDES...]
#        (defaults: build, 10 100 400)
set -eu
cd "$(dirname "$0")/.."
. bench/speed_common.sh
build=${1:-build}
[ $# -gt 1 ] && shift || set -- 10 100 400
runs=${RUNS:-3}
builds="$build ${BASE:-}"
require_export_bench deck_sizes $builds

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# write_deck COUNT: work/deck-COUNT.pptx, each slide a title, a bar and a list.
write_deck() {
    fodp="$work/deck-$1.fodp"
    {
        cat <<'HEAD'
<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.presentation">
 <office:styles>
  <style:style style:name="Title" style:family="graphic">
   <style:graphic-properties draw:stroke="none" draw:fill="none"/>
   <style:text-properties fo:font-family="Liberation Sans" fo:font-size="36pt" fo:color="#1f3b5c"/>
  </style:style>
  <style:style style:name="Body" style:family="graphic">
   <style:graphic-properties draw:stroke="none" draw:fill="none"/>
   <style:text-properties fo:font-family="Liberation Serif" fo:font-size="20pt"/>
  </style:style>
  <style:style style:name="Bar" style:family="graphic">
   <style:graphic-properties draw:stroke="solid" draw:fill="solid" draw:fill-color="#8fb8c9"/>
  </style:style>
 </office:styles>
 <office:automatic-styles>
  <style:page-layout style:name="Wide">
   <style:page-layout-properties fo:page-width="33.867cm" fo:page-height="19.05cm"/>
  </style:page-layout>
 </office:automatic-styles>
 <office:master-styles>
  <style:master-page style:name="Default" style:page-layout-name="Wide"/>
 </office:master-styles>
 <office:body>
  <office:presentation>
HEAD
        for n in $(seq "$1"); do
            cat <<SLIDE
   <draw:page draw:name="Slide $n" draw:master-page-name="Default">
    <draw:frame draw:style-name="Title" svg:x="2cm" svg:y="1cm" svg:width="29cm" svg:height="3cm">
     <draw:text-box><text:p>Slide $n of $1</text:p></draw:text-box>
    </draw:frame>
    <draw:rect draw:style-name="Bar" svg:x="2cm" svg:y="5cm" svg:width="$((n % 20 + 4))cm" svg:height="2cm"/>
    <draw:frame draw:style-name="Body" svg:x="2cm" svg:y="8cm" svg:width="29cm" svg:height="10cm">
     <draw:text-box><text:p>First point of slide $n</text:p><text:p>Second point, a longer line of text to lay out</text:p><text:p>Third point</text:p></draw:text-box>
    </draw:frame>
   </draw:page>
SLIDE
        done
        printf '  </office:presentation>\n </office:body>\n</office:document>\n'
    } >"$fodp"
    soffice --headless --norestore "-env:UserInstallation=file://$work/save-profile" \
        --convert-to pptx --outdir "$work" "$fodp" >/dev/null 2>&1
    rm -f "$fodp"
}

per_slide() { awk "BEGIN { printf \"%.1f\", $1 * 1000 / $2 }"; }

printf '%6s %-28s %8s %10s %8s %10s\n' slides build cold ms/slide warm ms/slide
for count in "$@"; do
    write_deck "$count"
    deck="$work/deck-$count.pptx"
    for b in $builds; do
        export XDG_CACHE_HOME="$work/cache-$(echo "$b" | tr / _)"
        export_once "$b" cold "$deck" "$work/out" >/dev/null # seeds our office profiles once
        cold=$(for i in $(seq "$runs"); do export_once "$b" cold "$deck" "$work/out"; done | median)
        warm=$(for i in $(seq "$runs"); do export_once "$b" warm "$deck" "$work/out"; done | median)
        printf '%6s %-28s %7.2fs %10s %7.2fs %10s\n' "$count" "$b" "$cold" \
            "$(per_slide "$cold" "$count")" "$warm" "$(per_slide "$warm" "$count")"
    done
done
