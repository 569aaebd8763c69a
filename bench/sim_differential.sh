#!/usr/bin/env bash
# The simulator against the compiled code on thousands of random hierarchies
# (the test suite runs a few hundred): bench/sim_differential.sh [COUNT [SEED]]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh -DTARVEL_BUILD_UI=OFF >/dev/null
build/bench/tarvel_sim_differential "${1:-3000}" "${2:-20260101}" "${TMPDIR:-/tmp}/tarvel-sim-differential"
