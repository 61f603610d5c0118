#!/usr/bin/env bash
# Builds the client and the benchmark programs, runs every figure beside its
# floor under Wine in its own Xvfb and prints one table. Exits 0 only when every
# target is met.
set -euo pipefail
. "$(dirname "$0")/tools/setup.sh"

ensure_packages
build_all
ensure_wine_prefix
step "running benchmarks at 96 and 144 DPI (about 6 minutes)"
# A screen big enough for a 1920 x 1050 game frame.
xvfb-run -a -s "-screen 0 1920x1080x24" "$VORN_ROOT/bench/run-benchmarks.sh" "$BUILD"
