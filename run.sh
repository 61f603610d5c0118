#!/usr/bin/env bash
# Installs what is missing, builds, and starts the client under Wine against the
# local demo portal. On a machine without a display it starts its own Xvfb,
# saves a screenshot and prints its path. Ctrl+C or closing the client stops
# everything this script started.
set -euo pipefail
. "$(dirname "$0")/tools/setup.sh"

ensure_packages
build_all
# A prefix of its own: on a real desktop the client's windows are handed to the
# window manager, a setting the tests' prefix must never keep.
export WINEPREFIX="$BUILD/wineprefix-run"
ensure_wine_prefix

run_dir="$BUILD/run"
install_dir="$run_dir/Morvane网页版"
rm -rf "$run_dir"
mkdir -p "$install_dir"
cp "$BUILD/bin/vorn.exe" "$install_dir/"

pids=()
cleanup() {
    trap - EXIT INT TERM
    wineserver -k </dev/null >/dev/null 2>&1 || true
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

step "starting the demo portal"
python3 "$VORN_ROOT/demo/portal/server.py" --port-file "$run_dir/portal.port" --log "$run_dir/portal.log" \
    --parent-pid $$ >"$run_dir/portal.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$run_dir/portal.port" ] && break
    kill -0 "${pids[-1]}" 2>/dev/null || break
    sleep 0.1
done
if [ ! -s "$run_dir/portal.port" ]; then
    echo "run.sh: the demo portal stopped or did not report its port within 10 s; its output:" >&2
    cat "$run_dir/portal.out" >&2
    exit 1
fi
port=$(cat "$run_dir/portal.port")
host="127.0.0.1:$port"
printf '[Portal]\r\nHost=%s\r\nForumHost=%s\r\nPayHost=%s\r\n' "$host" "$host" "$host" >"$install_dir/Config.ini"
echo "   portal: http://$host/games/vorn/dlq (requests logged in $run_dir/portal.log)"

exe="$install_dir/vorn.exe"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    step "starting the client on $DISPLAY"
    wine_reg_managed=Y
    LANG=C.UTF-8 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d $wine_reg_managed /f \
        </dev/null >/dev/null 2>&1
    wine "$exe"
else
    step "no display: starting Xvfb"
    # Xvfb picks a free display itself and writes its number to the pipe once
    # it accepts connections, so nothing is guessed and nothing is polled.
    displayfd="$run_dir/xvfb.display"
    mkfifo "$displayfd"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$displayfd" >"$run_dir/xvfb.out" 2>&1 &
    pids+=($!)
    number=""
    read -r -t 30 number <"$displayfd" || true
    rm -f "$displayfd"
    if [ -z "$number" ]; then
        echo "run.sh: Xvfb did not report a display within 30 s; its output:" >&2
        cat "$run_dir/xvfb.out" >&2
        exit 1
    fi
    export DISPLAY=":$number"
    echo "   display: $DISPLAY"
    LANG=C.UTF-8 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    step "starting the client"
    wine "$exe" &
    client=$!
    pids+=($client)
    timeout 60 xdotool search --sync --onlyvisible --name 'Morvane' >/dev/null 2>&1 || true
    sleep 2
    shot="$run_dir/screenshot.png"
    import -window root "$shot"
    echo "   screenshot: $shot"
    echo "   the client runs on $DISPLAY; press Ctrl+C to stop it"
    wait "$client" || true
fi
