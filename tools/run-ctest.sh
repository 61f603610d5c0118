#!/usr/bin/env bash
# Runs CTest in the build folder with Wine already up: Wine's background
# processes are started here, outside CTest's output pipes, so CTest never waits
# on a pipe they hold open. A keeper program holds the desktop open meanwhile,
# so the test programs share one desktop instead of each starting and ending one.
set -uo pipefail
build=$1
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
keeper="$build/bin/desktop_keeper.exe"
[ -f "$keeper" ] && wine "$keeper" </dev/null >/dev/null 2>&1 &
cd "$build" && ctest --output-on-failure --timeout 120 "${@:2}"
rc=$?
wineserver -k </dev/null >/dev/null 2>&1
wait
exit $rc
