#!/usr/bin/env bash
# Builds the libFuzzer target with clang and runs it for a bounded time
# (seconds, default 60) on a seed corpus of the bundled and test diagrams.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/install-deps.sh
BUILD_DIR=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARVEL_FUZZ=ON -DTARVEL_BUILD_UI=OFF -DTARVEL_BUILD_TESTS=OFF -DTARVEL_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer" >/dev/null
cmake --build "$BUILD_DIR" --target fsm_fuzz
corpus="$BUILD_DIR/corpus"
mkdir -p "$corpus"
find fuzz/seeds examples tests/fixtures -name '*.fsm' -exec cp {} "$corpus"/ \; 2>/dev/null || true
"$BUILD_DIR/fuzz/fsm_fuzz" "$corpus" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
  -rss_limit_mb=2048 -dict=fuzz/fsm.dict -print_final_stats=1 2>&1 | tail -n 15
