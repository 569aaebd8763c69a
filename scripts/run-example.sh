#!/usr/bin/env bash
# Installs what is missing, builds the program and generates the C module,
# header and list file of the bundled traffic-light example into out/example/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
out="$PWD/out/example"
mkdir -p "$out"
build/tarvel "$PWD/examples/TrafficLight.fsm" /CH /LS "/O$out" "/E$out"
echo "Generated from examples/TrafficLight.fsm (and its child diagram):"
ls -l "$out"/TrafficLight.c "$out"/TrafficLight.h "$out"/TrafficLight.lst
