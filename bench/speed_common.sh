# Shared by the speed scripts: timing helpers and the usual pipeline that
# users reach for (soffice --convert-to pdf with a fresh profile, then
# pdftoppm), which the scripts take as their baseline. Sourced, not run.

now() { date +%s.%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ratio() { awk "BEGIN { printf \"%.3f\", $1 / $2 }"; }
elapsed() { awk "BEGIN { print $2 - $1 }"; }

# pipeline_once DECK OUTDIR: seconds for one baseline conversion to JPEGs.
pipeline_once() {
    rm -rf "$2" "$2.profile" && mkdir -p "$2"
    start=$(now)
    soffice --headless --norestore "-env:UserInstallation=file://$2.profile" \
        --convert-to pdf --outdir "$2" "$1" >/dev/null 2>&1
    pdftoppm -jpeg -scale-to-x 1280 -scale-to-y 800 "$2/"*.pdf "$2/slide"
    elapsed "$start" "$(now)"
    rm -rf "$2.profile"
}

# require_export_bench NAME BUILD...: ends the script unless each build has
# its export_bench.
require_export_bench() {
    name=$1
    shift
    for b in "$@"; do
        [ -x "$b/bench/export_bench" ] || { echo "$name: build $b/bench/export_bench first" >&2; exit 1; }
    done
}

# export_once BUILD cold|warm DECK OUTDIR: seconds for one export by that
# build's export_bench. Cold is timed from outside, process start included;
# warm times the export alone, since its offices were started before.
export_once() {
    rm -rf "$4" && mkdir -p "$4"
    start=$(now)
    inside=$("$1/bench/export_bench" "$2" "$3" "$4")
    if [ "$2" = cold ]; then elapsed "$start" "$(now)"; else echo "$inside"; fi
}

# start_ftp_server DIR: starts the tests' pyftpdlib server with its files in
# DIR, sets ftp_server (its pid) and ftp_url ("ftp://127.0.0.1:PORT/").
start_ftp_server() {
    mkdir -p "$1/anon/readonly" "$1/anon/norename" "$1/user"
    /usr/bin/python3 tests/support/ftp_server.py --root "$1" --log "$1/commands.log" \
        --port-file "$1/port" --user bench --password bench >"$1/out" 2>&1 &
    ftp_server=$!
    while [ ! -s "$1/port" ]; do
        kill -0 "$ftp_server" 2>/dev/null || { cat "$1/out" >&2; return 1; }
        sleep 0.05
    done
    ftp_url="ftp://127.0.0.1:$(cat "$1/port")/"
}
