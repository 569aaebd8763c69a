#!/usr/bin/env bash
# Runs the canvas benchmark (bench/canvas_bench.cpp) on an earlier revision
# and on this tree, one after the other on the same machine, and prints both
# tables side by side.
#
# Usage: bench/canvas_compare.sh [BASE_REVISION [RUNS]]
# The base revision is built from `git archive` in a temporary folder with
# this tree's benchmark source, so both sides run the same measurements.
# With BASE_DIR set, the base is built there and kept for the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
base=${1:-f052d61}
runs=${2:-5}
if [ -n "${BASE_DIR:-}" ]; then
  work=$BASE_DIR
  mkdir -p "$work"
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi

rm -rf "$work/base"
mkdir -p "$work/base"
git archive "$base" | tar -x -C "$work/base"
cp bench/canvas_bench.cpp bench/bigdiagram.h "$work/base/bench/"
if ! grep -q tarvel_canvas_bench "$work/base/bench/CMakeLists.txt"; then
  cat >> "$work/base/bench/CMakeLists.txt" <<'EOF'
if(TARVEL_BUILD_UI)
  add_executable(tarvel_canvas_bench canvas_bench.cpp)
  target_link_libraries(tarvel_canvas_bench PRIVATE tarvel_ui)
endif()
EOF
fi

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$work/base" -B "$work/base-build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARVEL_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build "$work/base-build" -j2 --target tarvel_canvas_bench >/dev/null
[ "${BASE_ONLY:-}" = 1 ] && exit 0
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
fi
cmake --build build -j2 --target tarvel_canvas_bench >/dev/null

"$work/base-build/bench/tarvel_canvas_bench" "$runs" >"$work/before.txt"
build/bench/tarvel_canvas_bench "$runs" >"$work/after.txt"

echo "before: $base    after: $(git rev-parse --short HEAD)$(git diff --quiet || echo ' + changes')"
head -n 1 "$work/before.txt" | sed 's/^/before: /'
head -n 1 "$work/after.txt" | sed 's/^/after:  /'
printf '%-44s %10s %10s %8s\n' "action" "before" "after" "target"
# Rows are matched by their action text (the columns after it: ms, target).
awk 'NR == FNR { if (FNR > 2) { t = substr($0, 1, 44); before[t] = substr($0, 46, 10) } next }
     FNR > 2 { t = substr($0, 1, 44); printf "%s %10s %10s %8s\n", t, before[t], substr($0, 46, 10), substr($0, 57, 10) }' \
  "$work/before.txt" "$work/after.txt"
