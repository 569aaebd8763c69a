#!/usr/bin/env bash
# Runs scenarios of 10,000, 100,000 and 1,000,000 calls on the bundled
# traffic light and prints the time, the trace size and the peak memory of
# each run: the scenario is read and the trace written call by call, so the
# memory stays the same whatever the length.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh -DTARVEL_BUILD_UI=OFF >/dev/null
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
for calls in 10000 100000 1000000; do
  # A crossing every 12 calls, with the pedestrian phases in between.
  awk -v n="$calls" 'BEGIN {
    split("[]|[\"buttonPressed &&\\r\\nphaseTicks >= MIN_GREEN\"]|[]|[\"phaseTicks >= YELLOW\"]|[]|[]|[\"walkTicks >= WALK\"]|[]|[\"walkTicks >= FLASH\", \"PedestrianSignal_IsIn_DONT_WALK()\"]|[]|[]|[]", c, "|")
    printf "["
    for (i = 0; i < n; i++) printf "%s%s\n", (i ? "," : ""), c[i % 12 + 1]
    printf "]\n"
  }' > "$dir/s.json"
  stats=$( { /usr/bin/time -f '%e %M' build/tarvel examples/TrafficLight.fsm --simulate="$dir/s.json" \
             /E"$dir" > "$dir/trace.jsonl"; } 2>&1 | tail -n 1)
  read -r seconds kib <<<"$stats"
  printf '%9d calls: scenario %6s, trace %6s, %6.2f s, peak memory %5.1f MiB\n' "$calls" \
    "$(du -h "$dir/s.json" | cut -f1)" "$(du -h "$dir/trace.jsonl" | cut -f1)" "$seconds" \
    "$(awk -v k="$kib" 'BEGIN { print k / 1024 }')"
done
