#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (seconds, default 60) on a seed corpus of the bundled and test diagrams:
# fsm_fuzz (the diagram reader and a load) and check_fuzz (the model checks).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/install-deps.sh
BUILD_DIR=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARVEL_FUZZ=ON -DTARVEL_BUILD_UI=OFF -DTARVEL_BUILD_TESTS=OFF -DTARVEL_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link -fno-omit-frame-pointer" >/dev/null
for target in fsm_fuzz check_fuzz; do
  cmake --build "$BUILD_DIR" --target "$target"
  corpus="$BUILD_DIR/corpus-$target"
  mkdir -p "$corpus"
  # Seeds under one name each: fixtures of several folders share file names.
  find fuzz/seeds examples tests/fixtures -name '*.fsm' -print0 2>/dev/null |
    while IFS= read -r -d '' f; do cp "$f" "$corpus/$(echo "$f" | tr / _)"; done
  "$BUILD_DIR/fuzz/$target" "$corpus" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -dict=fuzz/fsm.dict -print_final_stats=1 2>&1 | tail -n 15
done
