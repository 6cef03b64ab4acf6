#!/bin/sh
# Republishing the images of the benchmark deck to a local folder and to FTP
# servers on 127.0.0.1 (pyftpdlib, and vsftpd when installed), this build
# against a build of BASE (a commit before the all-at-once publish), in one
# run and alternating. Prints the median seconds of RUNS rounds of 5
# publishes each, and the ratio.
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
ftp_server=""
vsftpd_server=""
cleanup() {
    [ -n "$ftp_server" ] && kill "$ftp_server" 2>/dev/null
    [ -n "$vsftpd_server" ] && kill -- "-$vsftpd_server" 2>/dev/null
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
# Both builds start from images on disk, not from dirty pages of the export.
sync

mkdir -p "$work/local"
start_ftp_server "$work/ftp"
url=$ftp_url

# vsftpd too, when installed: anonymous, writable "pub", active mode.
vsftpd_url=""
if [ -x /usr/sbin/vsftpd ]; then
    mkdir -p "$work/vsftpd/anon/pub" "$work/vsftpd/empty"
    chmod 555 "$work/vsftpd/anon" && chmod 777 "$work/vsftpd/anon/pub"
    vport=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    cat >"$work/vsftpd/vsftpd.conf" <<CONF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$vport
background=NO
anonymous_enable=YES
local_enable=NO
no_anon_password=YES
write_enable=YES
anon_upload_enable=YES
anon_mkdir_write_enable=YES
anon_other_write_enable=YES
anon_root=$work/vsftpd/anon
secure_chroot_dir=$work/vsftpd/empty
connect_from_port_20=NO
pasv_enable=NO
seccomp_sandbox=NO
xferlog_enable=NO
CONF
    setsid /usr/sbin/vsftpd "$work/vsftpd/vsftpd.conf" >/dev/null 2>&1 &
    vsftpd_server=$!
    sleep 0.5
    vsftpd_url="ftp://127.0.0.1:$vport/pub"
fi

# One round: 5 republishes, their total.
round() { "$1" "$work/images" "$name" "$2" 5 | awk '{ s += $1 } END { print s }'; }

: >"$work/times"
for i in $(seq "$runs"); do
    for kind in local ftp $([ -n "$vsftpd_url" ] && echo vsftpd); do
        destination="$work/local"
        [ "$kind" = ftp ] && destination="$url"
        [ "$kind" = vsftpd ] && destination="$vsftpd_url"
        echo "$kind old $(round "$old" "$destination")" >>"$work/times"
        echo "$kind new $(round "$bench" "$destination")" >>"$work/times"
    done
done

printf '%-8s %6s %10s %10s %6s\n' target slides before after ratio
for kind in local ftp $([ -n "$vsftpd_url" ] && echo vsftpd); do
    before=$(awk -v k="$kind" '$1 == k && $2 == "old" { print $3 }' "$work/times" | median)
    after=$(awk -v k="$kind" '$1 == k && $2 == "new" { print $3 }' "$work/times" | median)
    printf '%-8s %6s %9.4fs %9.4fs %6s\n' "$kind" "$slides" "$before" "$after" \
        "$(ratio "$after" "$before")"
done
