#!/usr/bin/env bash
# The batch program against its targets, each pair of commands timed in
# alternation (bench/alternate.cpp: median and lowest wall time, processor
# time, peak memory of each command's runs):
#  1. `tarvel Big.fsm /CH` (2,000 states, 5 guarded transitions each, entry
#     and exit actions) against Qt's SCXML compiler on the same machine as
#     SCXML: wall time at most 0.10 of it, peak memory at most its;
#  2. the Door fixture against an empty main: within 3 ms;
#  3. machines of 500, 2,000, 5,000 and 20,000 states: cost per state;
#  4. a hierarchy of 40 diagrams three levels deep against one diagram of the
#     same size: within 2x.
# Outputs go to a folder on disk (with the syncs of a real build) and, for
# the small run, also to a folder in memory when /dev/shm exists.
#
#   bench/compare.sh [--runs N]     (default 11 rounds; installs what is missing)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=11
if [ "${1:-}" = "--runs" ]; then runs=$2; fi

scripts/install-deps.sh --bench
BUILD_DIR=build-bench BUILD_TYPE=Release scripts/build.sh -DTARVEL_BUILD_UI=OFF >/dev/null
bin=$PWD/build-bench
tarvel=$bin/tarvel
alternate=$bin/bench/tarvel_alternate
qscxmlc=/usr/lib/qt6/libexec/qscxmlc

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$bin/bench/tarvel_make_big" "$dir" 500 5000 20000
cp "$dir/Big.fsm" "$dir/Grow2000.fsm"
out=$dir/out
mkdir -p "$out"
door=tests/fixtures/codegen/Door.fsm
run() { echo "$tarvel $1 /CH /O$2 /E$2"; }

# Fields of tarvel_alternate's lines: $1 median ms, $4 lowest ms, $7 cpu ms,
# $10 peak MiB.
measure() {  # measure ROUNDS -- CMD ... -- CMD ...
  local n=$1; shift
  "$alternate" --runs "$n" "$@"
}

echo "== 1. Big.fsm /CH against qscxmlc ($(du -h "$dir/Big.fsm" | cut -f1) of .fsm, $(du -h "$dir/Big.scxml" | cut -f1) of SCXML)"
r=$(measure "$runs" -- $(run "$dir/Big.fsm" "$out") -- "$qscxmlc" "$dir/Big.scxml" -o "$out/big_scxml")
echo "$r"
echo "$r" | awk 'NR==1{t=$1; l=$4; c=$7; m=$10} NR==2{printf "ratio: %.3f of the median wall time (%.3f of the lowest, %.3f of the processor time); memory %.1f MiB against %.1f MiB\n", t/$1, l/$4, c/$7, m, $10}'
echo "C output: $(du -h "$out/Big.c" | cut -f1) + $(du -h "$out/Big.h" | cut -f1) header"

echo
echo "== 2. the Door fixture against an empty main"
folders=("$out")
[ -d /dev/shm ] && folders+=("$(mktemp -d /dev/shm/tarvel-bench-XXXXXX)")
for f in "${folders[@]}"; do
  r=$(measure $((runs * 2)) -- $(run "$door" "$f") -- "$bin/bench/tarvel_empty_main")
  echo "$r"
  echo "$r" | awk -v f="$f" 'NR==1{t=$1; l=$4} NR==2{printf "difference (outputs in %s): %.2f ms median, %.2f ms lowest\n", f, t-$1, l-$4}'
done
[ ${#folders[@]} -gt 1 ] && rm -rf "${folders[1]}"

echo
echo "== 3. growth: cost per state beyond the Door run's"
r=$(measure "$runs" -- $(run "$door" "$out") -- $(run "$dir/Grow500.fsm" "$out") \
    -- $(run "$dir/Grow2000.fsm" "$out") -- $(run "$dir/Grow5000.fsm" "$out") \
    -- $(run "$dir/Grow20000.fsm" "$out"))
echo "$r"
echo "$r" | awk 'BEGIN{split("0 500 2000 5000 20000", n, " ")}
  NR==1{t0=$1; c0=$7; m0=$10; next}
  {s=n[NR]; printf "%6d states: %8.2f ms wall %8.2f ms cpu %7.1f MiB | per state %6.2f us wall %6.2f us cpu %6.2f KiB\n",
    s, $1, $7, $10, ($1-t0)*1000/s, ($7-c0)*1000/s, ($10-m0)*1024/s}'

echo
echo "== 4. a hierarchy of 40 diagrams against one diagram of the same size"
r=$(measure "$runs" -- $(run "$dir/tree/Root.fsm" "$out") -- $(run "$dir/Flat.fsm" "$out"))
echo "$r"
echo "$r" | awk 'NR==1{t=$1; c=$7} NR==2{printf "hierarchy / one diagram: %.2f of the median wall time, %.2f of the processor time\n", t/$1, c/$7}'
