#!/bin/sh
# Republishing the images of the benchmark deck to a local folder and to an
# FTP server (pyftpdlib on 127.0.0.1), this build against a build of BASE (a
# commit before the all-at-once publish), in one run and alternating. Prints
# the median seconds of RUNS rounds of 5 publishes each, and the ratio.
#
# usage: bench/publish_speed.sh [BUILD_DIR] [DECK]
#        (defaults: build, ../shared/decks/37625.ppt; BASE=9951256, RUNS=9)
set -eu
cd "$(dirname "$0")/.."
. bench/speed_common.sh
build=${1:-build}
deck=${2:-../shared/decks/37625.ppt}
runs=${RUNS:-9}
base=${BASE:-9951256}
cli="$build/cli/korvanta-cli"
bench="$build/bench/publish_bench"
for program in "$cli" "$bench"; do
    [ -x "$program" ] || { echo "publish_speed: build $program first" >&2; exit 1; }
done
[ -f "$deck" ] || { echo "publish_speed: no deck at $deck" >&2; exit 1; }

work=$(mktemp -d)
server=""
cleanup() {
    [ -n "$server" ] && kill "$server" 2>/dev/null
    git worktree remove --force "$work/base" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config"

# The baseline: the same benchmark built against BASE's library.
git worktree add --detach "$work/base" "$base" >/dev/null 2>&1
cp bench/publish_bench.cpp "$work/base/bench/"
printf '\nadd_executable(publish_bench publish_bench.cpp)\ntarget_link_libraries(publish_bench PRIVATE korvanta_core)\n' \
    >>"$work/base/bench/CMakeLists.txt"
cmake -S "$work/base" -B "$work/base-build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$work/base-build" --target publish_bench -j"$(nproc)" >/dev/null
old="$work/base-build/bench/publish_bench"

# The images, exported once.
mkdir -p "$work/images"
"$cli" convert "$deck" --to "$work/images" >/dev/null
name=$(basename "$deck" | sed 's/\.[^.]*$//')
slides=$(ls "$work/images/$name" | wc -l)

mkdir -p "$work/ftp/anon/readonly" "$work/ftp/anon/norename" "$work/ftp/user" "$work/local"
/usr/bin/python3 tests/support/ftp_server.py --root "$work/ftp" --log "$work/ftp/commands.log" \
    --port-file "$work/ftp/port" --user bench --password bench >"$work/ftp/out" 2>&1 &
server=$!
while [ ! -s "$work/ftp/port" ]; do
    kill -0 "$server" 2>/dev/null || { cat "$work/ftp/out" >&2; exit 1; }
    sleep 0.05
done
url="ftp://127.0.0.1:$(cat "$work/ftp/port")/"

# One round: 5 republishes, their total.
round() { "$1" "$work/images" "$name" "$2" 5 | awk '{ s += $1 } END { print s }'; }

: >"$work/times"
for i in $(seq "$runs"); do
    for kind in local ftp; do
        destination="$work/local"
        [ "$kind" = ftp ] && destination="$url"
        echo "$kind old $(round "$old" "$destination")" >>"$work/times"
        echo "$kind new $(round "$bench" "$destination")" >>"$work/times"
    done
done

printf '%-8s %6s %10s %10s %6s\n' target slides before after ratio
for kind in local ftp; do
    before=$(awk -v k="$kind" '$1 == k && $2 == "old" { print $3 }' "$work/times" | median)
    after=$(awk -v k="$kind" '$1 == k && $2 == "new" { print $3 }' "$work/times" | median)
    printf '%-8s %6s %9.4fs %9.4fs %6s\n' "$kind" "$slides" "$before" "$after" \
        "$(ratio "$after" "$before")"
done
