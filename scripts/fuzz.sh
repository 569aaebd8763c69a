#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, the core library instrumented for
# coverage and the sanitizers, and runs each for a bounded time (seconds in
# all, default 60, shared among the targets):
#   fsm_fuzz          the diagram file reader and everything a load does;
#                     corpus: every .fsm under examples/ and tests/
#   record_fuzz       the record readers and what consumes the records;
#                     corpus: fuzz/seeds/record (records taken from examples)
#   commandline_fuzz  the command-line parser; corpus: fuzz/seeds/commandline
#   check_fuzz        the model checks of --check and their reports; corpus:
#                     the diagrams, as for fsm_fuzz
# Prints each target's coverage ("cov:" edges) at the end; a crash, a leak or
# a timeout fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build-fuzz}
targets=(fsm_fuzz record_fuzz commandline_fuzz check_fuzz)
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARVEL_FUZZ=ON -DTARVEL_BUILD_UI=OFF -DTARVEL_BUILD_TESTS=OFF -DTARVEL_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer" >/dev/null
cmake --build "$BUILD_DIR" --target "${targets[@]}"

share=$(( seconds / ${#targets[@]} ))
(( share >= 5 )) || share=5
for target in "${targets[@]}"; do
  # Absolute paths: the command-line target works in a folder of its own.
  corpus="$PWD/$BUILD_DIR/corpus/$target"
  mkdir -p "$corpus"
  case $target in
    fsm_fuzz | check_fuzz)
      # Named after their paths: diagrams of the same name in different
      # folders are all kept.
      find fuzz/seeds examples tests -name '*.fsm' -print0 |
        while IFS= read -r -d '' file; do cp "$file" "$corpus/${file//\//_}"; done
      dict=$PWD/fuzz/fsm.dict ;;
    record_fuzz)
      cp fuzz/seeds/record/* "$corpus"/
      dict=$PWD/fuzz/record.dict ;;
    commandline_fuzz)
      cp fuzz/seeds/commandline/* "$corpus"/
      dict=$PWD/fuzz/commandline.dict ;;
  esac
  echo "== $target ($share s)"
  "$BUILD_DIR/fuzz/$target" "$corpus" -max_total_time="$share" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -dict="$dict" -artifact_prefix="$PWD/$BUILD_DIR/$target-" \
    -print_final_stats=1 2>&1 | tail -n 15
done
