#!/usr/bin/env bash
# Runs the benchmark programs in the build folder (inside an X display) and
# prints their table, the machine it ran on and "N of M targets met".
set -uo pipefail
build=$1
bin=$build/bin
runner=$build/wine-run
work=$build/bench
rows=$work/rows.txt

mkdir -p "$work/client"
rm -f "$rows"
# The installed client: a folder of its own whose portal refuses at once.
cp "$bin/vorn.exe" "$work/client/"
printf '[Portal]\r\nHost=127.0.0.1:9\r\nForumHost=127.0.0.1:9\r\nPayHost=127.0.0.1:9\r\n' >"$work/client/Config.ini"
# The same client against the page benchmark's own portal (it writes the
# Config.ini), and the soak, a client process of its own, in a folder of its own.
mkdir -p "$work/page-client" "$work/soak"
cp "$bin/vorn.exe" "$work/page-client/"
cp "$bin/soak_bench.exe" "$work/soak/"

wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

status=0
winpath() { echo "Z:${1//\//\\}"; }
# The display's DPI (LogPixels) for programs started from now on.
set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
}
trap 'set_dpi 96' EXIT
# Each row of a pass at another DPI than 96 names it.
run() {
    local label=$1 out
    shift
    out=$("$runner" "$@" </dev/null 2>"$work/stderr.txt") || status=1
    # Windows programs end their lines with CR LF.
    printf '%s\n' "$out" | tr -d '\r' | grep '^ROW' |
        awk -F'\t' -v OFS='\t' -v label="$label" '{ if (label != "") $2 = $2 " at " label; print }' >>"$rows" || true
    cat "$work/stderr.txt" >&2
}
for dpi in 96 144; do
    set_dpi "$dpi"
    label=$([ "$dpi" = 96 ] || echo "$dpi DPI")
    run "$label" "$bin/start_bench.exe" 21 "$(winpath "$work/client")" "$(winpath "$bin/floor_window.exe")"
    run "$label" "$bin/paint_bench.exe" 300
    run "$label" "$bin/queue_bench.exe" 5000
    run "$label" "$bin/page_bench.exe" 15 "$(winpath "$work/page-client")" "$(winpath "$bin/floor_browser.exe")"
done
set_dpi 96
# At 96 DPI only: a long session takes a few minutes.
run "" "$work/soak/soak_bench.exe" 1000
trap - EXIT

load_after=$(cut -d' ' -f1-3 /proc/loadavg)
wineserver -k </dev/null >/dev/null 2>&1

size_row() {
    local name=$1 target=$2 limit=${3:-}
    local file=$bin/$name
    if [ ! -f "$file" ]; then
        printf 'ROW\tsize of %s, KB\tnot built\t—\t%s\t%s\n' "$name" "$target" "$([ -n "$limit" ] && echo missed || echo report)"
        return
    fi
    local bytes verdict=report
    bytes=$(stat -c %s "$file")
    if [ -n "$limit" ]; then
        if [ "$bytes" -le "$limit" ]; then verdict=met; else verdict=missed; fi
    fi
    printf 'ROW\tsize of %s, KB\t%d\t—\t%s\t%s\n' "$name" $(((bytes + 1023) / 1024)) "$target" "$verdict"
}
{
    size_row vorn.exe "<= 4096 KB" $((4096 * 1024))
    size_row Uninstall.exe report
    size_row vorn-setup.exe "<= 3072 KB" $((3072 * 1024))
} >>"$rows"

echo
echo "| figure | vorn | floor | target | result |"
echo "|---|---|---|---|---|"
while IFS=$'\t' read -r _ figure measured floor target verdict; do
    echo "| $figure | $measured | $floor | $target | $verdict |"
done <"$rows"
echo
cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')
echo "Machine: $cpu, $(nproc) cores, $(free -g | awk '/^Mem:/ {print $2}') GB; $(wine --version); Xvfb 1920x1080x24."
echo "Load average (1, 5, 15 min) before: $load_before; after: $load_after."
met=$(grep -c $'\tmet$' "$rows" || true)
missed=$(grep -c $'\tmissed$' "$rows" || true)
echo
echo "$met of $((met + missed)) targets met"
[ "$status" -eq 0 ] && [ "$missed" -eq 0 ]
