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
cp bench/canvas_bench.cpp "$work/base/bench/"  # the base keeps its own bigdiagram.h
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

# Before and after take turns, so that a change in the machine's load hits
# both alike; each row's figure is the median over the rounds.
rounds=${ROUNDS:-3}
: >"$work/before.txt"
: >"$work/after.txt"
for _ in $(seq "$rounds"); do
  "$work/base-build/bench/tarvel_canvas_bench" "$runs" 2>/dev/null >>"$work/before.txt"
  build/bench/tarvel_canvas_bench "$runs" 2>/dev/null >>"$work/after.txt"
done

echo "before: $base    after: $(git rev-parse --short HEAD)$(git diff --quiet || echo ' + changes')"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg); $rounds rounds of $runs runs, medians"
grep -m1 nodes "$work/before.txt" | sed 's/^/before: /'
grep -m1 nodes "$work/after.txt" | sed 's/^/after:  /'
printf '%-44s %10s %10s %8s\n' "action" "before" "after" "target"
# Rows are the lines after the header "action ms target": the action is the
# first 44 characters, then the figure and the target.
awk '
  function median(list,   n, v, i, j, t) {
    n = split(list, v, " ")
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] + 0 < v[i] + 0) { t = v[i]; v[i] = v[j]; v[j] = t }
    return v[int((n + 1) / 2)]
  }
  /^action/ { rows = 1; next }
  /nodes/ || /^Viewport/ { rows = 0; next }
  rows && length($0) > 44 {
    name = substr($0, 1, 44); split(substr($0, 45), f, " ")
    if (FILENAME ~ /before/) before[name] = before[name] " " f[1]
    else { after[name] = after[name] " " f[1]; target[name] = f[2]; if (!(name in seen)) { seen[name] = 1; order[++count] = name } }
  }
  END { for (i = 1; i <= count; i++) { n = order[i]; printf "%s %10s %10s %8s\n", n, (n in before) ? median(before[n]) : "-", median(after[n]), target[n] } }
' "$work/before.txt" "$work/after.txt"
