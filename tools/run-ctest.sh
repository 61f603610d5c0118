#!/usr/bin/env bash
# Runs CTest in the build folder with Wine already up: Wine's background
# processes are started here, outside CTest's output pipes, so CTest never waits
# on a pipe they hold open. A keeper program holds the desktop open meanwhile,
# so the test programs share one desktop instead of each starting and ending one.
set -uo pipefail
build=$1
# A server of an earlier run or set-up step may still be going down: the first
# test program would meet its desktop half torn down and hang at its end.
wineserver -k </dev/null >/dev/null 2>&1
wineserver -w </dev/null >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
keeper="$build/bin/desktop_keeper.exe"
if [ -f "$keeper" ]; then
    # The tests start once the keeper holds the desktop (it says so, then
    # closes its output; a keeper that fails closes it too).
    ready=$(mktemp -u "${TMPDIR:-/tmp}/vorn-keeper.XXXXXX")
    mkfifo "$ready"
    wine "$keeper" </dev/null >"$ready" 2>/dev/null &
    read -r -t 60 _ <"$ready" || echo "run-ctest: the desktop keeper did not start" >&2
    rm -f "$ready"
fi
cd "$build" && ctest --output-on-failure --timeout 120 "${@:2}"
rc=$?
wineserver -k </dev/null >/dev/null 2>&1
wait
exit $rc
