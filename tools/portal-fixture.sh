#!/usr/bin/env bash
# CTest fixture for the demo portal: "start DIR" serves it on a free port of
# 127.0.0.1 (port in DIR/port, requests in DIR/requests.log) until "stop DIR" or
# until the CTest run that started it ends.
set -euo pipefail
action=$1 dir=$2
root=$(cd "$(dirname "$0")/.." && pwd)
case "$action" in
start)
    "$0" stop "$dir"
    mkdir -p "$dir"
    rm -f "$dir/port" "$dir/requests.log"
    # Detached from CTest's pipes; stops by itself when CTest ($PPID) is gone.
    setsid python3 "$root/demo/portal/server.py" --port-file "$dir/port" --log "$dir/requests.log" \
        --parent-pid "$PPID" </dev/null >"$dir/server.out" 2>&1 &
    echo $! >"$dir/pid"
    for _ in $(seq 100); do [ -s "$dir/port" ] && exit 0; sleep 0.1; done
    echo "demo portal did not start" >&2
    exit 1
    ;;
stop)
    if [ -f "$dir/pid" ]; then
        kill "$(cat "$dir/pid")" 2>/dev/null || true
        rm -f "$dir/pid"
    fi
    ;;
esac
