#!/usr/bin/env bash
# Times `tarvel Big.fsm /CH` (a flat machine of 2,000 states with 5 guarded
# transitions each and entry/exit actions) against Qt's SCXML compiler on the
# same machine, its check (`--check --cc=none`, the model checks without the
# compile) beside its generation, and a batch run over a hierarchy of 40
# diagrams three levels deep. Prints wall time (hyperfine when installed) and
# peak memory.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh -DTARVEL_BUILD_UI=OFF >/dev/null
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
build/bench/tarvel_make_big "$dir"
mkdir -p "$dir/out"
tarvel="$PWD/build/tarvel"
qscxmlc=/usr/lib/qt6/libexec/qscxmlc

peak() {  # peak resident memory of one run, in MiB
  /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -n 1 | awk '{printf "%.1f MiB", $1/1024}'
}

echo "Inputs: $(du -h "$dir/Big.fsm" | cut -f1) of .fsm, $(du -h "$dir/Big.scxml" | cut -f1) of SCXML"
runs=()
runs+=("$tarvel $dir/Big.fsm /CH /O$dir/out /E$dir/out")
runs+=("$tarvel $dir/Big.fsm --check --cc=none")
runs+=("$tarvel $dir/tree/Root.fsm /CH /O$dir/out /E$dir/out")
[ -x "$qscxmlc" ] && runs+=("$qscxmlc $dir/Big.scxml -o $dir/out/big_scxml")

if command -v hyperfine >/dev/null; then
  hyperfine -N --warmup 3 --runs 30 "${runs[@]}"
else
  for r in "${runs[@]}"; do
    start=$(date +%s%N); for _ in $(seq 10); do $r >/dev/null; done; end=$(date +%s%N)
    echo "$r: $(( (end - start) / 10000000 )) ms per run"
  done
fi
echo
for r in "${runs[@]}"; do
  echo "peak memory: $(peak $r)  ← $r"
done
echo "C output: $(du -h "$dir/out/Big.c" | cut -f1) + $(du -h "$dir/out/Big.h" | cut -f1) header"
