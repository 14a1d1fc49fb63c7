#!/usr/bin/env bash
# Effect benchmark (not a test: it prints figures). On its own Xvfb displays and
# Wine prefix, with Wine pinned to CPU 0:
#  1. effects_bench at depth 24 and 8: frames per second and cost per drawn
#     piece of both effects, light and heavy, beside raw GDI calls;
#  2. the time from a waking mouse jump to the end of the process, for a saver
#     window running the heaviest configuration (64 copies, 4 x 4 tiles) and, for
#     reference, for quorix.scr with its own first effect.
# Usage: scripts/bench.sh [BUILD_DIR] [RUNS]   (default build/i686, 12 runs)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib/wine-env.sh"

build=$(cd "${1:-$quorix_root/build/i686}" && pwd)
runs=${2:-12}
bench="$build/effects_bench.exe"
scr="$build/quorix.scr"
for file in "$bench" "$scr"; do
  [ -f "$file" ] || { echo "bench: $file is missing; build first" >&2; exit 1; }
done
command -v xdotool >/dev/null || { echo "bench: xdotool is needed" >&2; exit 1; }

export QUORIX_WINEPREFIX="${QUORIX_BENCH_PREFIX:-$quorix_root/build/wine-bench}"
xvfb_pids=()
result_file=$(mktemp)
cleanup() {
  rm -f "$result_file"
  quorix_wineserver_stop
  local pid
  for pid in "${xvfb_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

for depth in 24 8; do
  read -r display pid < <(quorix_xvfb_start "$depth" 800x600)
  export "QUORIX_DISPLAY_$depth=$display"
  xvfb_pids+=("$pid")
done
export QUORIX_DEPTH=24
quorix_wine_prepare
quorix_wine_env
taskset -c 0 wineserver -p

# Milliseconds since the epoch.
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# Median and 95th percentile (nearest rank) of numbers on standard input.
summary() {
  sort -n | awk '{ v[NR] = $1 } END {
    if (NR == 0) { print "no runs"; exit }
    p = int(0.95 * NR); if (p < 0.95 * NR) p++
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "median %.0f ms, 95th percentile %.0f ms over %d runs\n", m, v[p], NR }'
}

# The pointer stays where the last run jumped to: Wine keeps its own idea of
# where it is, and a pointer moved behind its back would wake the next run at once.
pointer=(100 100)
other_pointer=(400 350)

# One run: start the program, let it draw for a second, jump the mouse and time
# the way to the end of the process. Prints the milliseconds, or nothing when
# the program ended before the jump.
one_latency() {
  taskset -c 0 wine "$@" >/dev/null 2>&1 &
  local pid=$! waited=0
  until xdotool search --onlyvisible --name "Quorix ScreenSaver" >/dev/null 2>&1; do
    sleep 0.1
    waited=$((waited + 1))
    if [ "$waited" -gt 200 ] || ! kill -0 "$pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
      return 0
    fi
  done
  sleep 1
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" 2>/dev/null || true
    return 0
  fi
  local target=("${other_pointer[@]}")
  other_pointer=("${pointer[@]}")
  pointer=("${target[@]}")
  xdotool mousemove "${pointer[@]}"
  local jumped
  jumped=$(now_ms)
  wait "$pid" || true
  echo $(( $(now_ms) - jumped ))
}

latency() {
  local label="$1"; shift
  local times=() i t
  for ((i = 0; i < runs; i++)); do
    one_latency "$@" >"$result_file"
    t=$(cat "$result_file")
    [ -n "$t" ] && times+=("$t")
  done
  printf '%s: ' "$label"
  printf '%s\n' "${times[@]}" | summary
}

echo "== throughput (wine pinned to CPU 0)"
for depth in 24 8; do
  export QUORIX_DEPTH=$depth
  quorix_wine_env
  taskset -c 0 wine "$bench"
done

echo "== wake-up latency: mouse jump to end of process"
for depth in 24 8; do
  export QUORIX_DEPTH=$depth
  quorix_wine_env
  # A cold start moves the pointer to the centre: get it over with first.
  taskset -c 0 wine cmd /c exit >/dev/null 2>&1 || true
  xdotool mousemove "${pointer[@]}"
  latency "depth $depth, lines, 64 copies, 4x4 tiles" "$bench" --latency
done
export QUORIX_DEPTH=24
quorix_wine_env
latency "depth 24, quorix.scr /s -r 1 (its own first effect)" "$scr" /s -r 1
