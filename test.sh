#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine in Xvfb.
set -euo pipefail
. "$(dirname "$0")/tools/setup.sh"

ensure_packages
build_all
ensure_wine_prefix
step "running tests"
xvfb-run -a -s "-screen 0 1280x800x24" "$VORN_ROOT/tools/run-ctest.sh" "$BUILD"
