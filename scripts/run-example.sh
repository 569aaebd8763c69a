#!/usr/bin/env bash
# The quick first run: installs what the command-line program needs, builds
# only that program (without optimisation, which compiles fastest) into
# build-example/, and generates the C module, header and list file of the
# bundled traffic-light example into out/example/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --batch
BUILD_DIR=build-example
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 \
  -DTARVEL_BUILD_UI=OFF -DTARVEL_BUILD_TESTS=OFF -DTARVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD_DIR" --target tarvel
out="$PWD/out/example"
mkdir -p "$out"
"$BUILD_DIR/tarvel" --style=ch --list --output="$out" --error-log="$out" \
  "$PWD/examples/TrafficLight.fsm"
echo "Generated from examples/TrafficLight.fsm (and its child diagram):"
ls -l "$out"/TrafficLight.c "$out"/TrafficLight.h "$out"/TrafficLight.lst
