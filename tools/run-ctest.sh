#!/usr/bin/env bash
# Runs CTest in the build folder with Wine already up: Wine's background
# processes are started here, outside CTest's output pipes, so CTest never waits
# on a pipe they hold open.
set -uo pipefail
build=$1
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
cd "$build" && ctest --output-on-failure --timeout 120 "${@:2}"
rc=$?
wineserver -k </dev/null >/dev/null 2>&1
exit $rc
