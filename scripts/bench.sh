#!/usr/bin/env bash
# Effect benchmark (not a test: it prints figures). On its own Xvfb displays and
# Wine prefix, with Wine pinned to CPU 0 and X to CPU 1:
#  1. effects_bench at depth 24 and 8: frames per second and cost per drawn
#     piece of both effects, light and heavy, beside raw GDI calls;
#  2. saver windows running the light and the heavy lines, with the blocking
#     frame wait and with the old spinning one: frames per second, processor
#     time of the saver and of wineserver per second of wall time (from /proc),
#     and the time from a waking pointer jump until the window leaves the screen
#     and until the process ends; the same loop with frames that draw nothing;
#     the light one again with CPU 0 kept busy at the lowest priority, which
#     leaves out the cost of idling the processor; for reference, the latency of
#     quorix.scr with its own first effect; the drawn preview ("/p HANDLE" in
#     the preview scenarios' host window) and its processor time;
#  3. at depth 24, the light and heavy saver windows told at once that the
#     display is off, beside the same windows drawing, and drawing with the
#     frame wait on a clock that moves in the system timer's 15.625 ms steps.
# Usage: scripts/bench.sh [BUILD_DIR] [RUNS]   (default build/i686, 5 runs; build/x86_64
# on a machine that starts no 32-bit program)
# QUORIX_BENCH_ONLY=display runs only the rows of 3.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib/wine-env.sh"

default_build=$quorix_root/build/i686
quorix_runs_32bit || default_build=$quorix_root/build/x86_64
build=$(cd "${1:-$default_build}" && pwd)
runs=${2:-5}
bench="$build/effects_bench.exe"
scr="$build/quorix.scr"
for file in "$bench" "$scr"; do
  [ -f "$file" ] || { echo "bench: $file is missing; build first" >&2; exit 1; }
done
command -v xdotool >/dev/null || { echo "bench: xdotool is needed" >&2; exit 1; }
probe_dir=$(mktemp -d)
wake_probe="$probe_dir/wake_latency"
cc -O2 -o "$wake_probe" "$quorix_root/bench/wake_latency.c" -lX11 ||
  { echo "bench: cannot build the wake-up probe (libx11-dev: scripts/setup.sh)" >&2; exit 1; }

export QUORIX_WINEPREFIX="${QUORIX_BENCH_PREFIX:-$quorix_root/build/wine-bench}"
xvfb_pids=()
result_file=$(mktemp)
hog=""
cleanup() {
  rm -f "$result_file"
  rm -rf "$probe_dir"
  if [ -n "$hog" ]; then kill "$hog" 2>/dev/null || true; fi
  quorix_wineserver_stop
  local pid
  for pid in "${xvfb_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

# Wine runs on CPU 0 and the X server on CPU 1, as a desktop keeps its display
# server apart: left free to move, X goes where the saver leaves the processor
# idle, and a sleeping saver then pays for X's work on its own CPU.
other_cpu=()
[ "$(nproc)" -ge 2 ] && other_cpu=(taskset -c 1)
for depth in 24 8; do
  read -r display pid < <(quorix_xvfb_start "$depth" 800x600)
  export "QUORIX_DISPLAY_$depth=$display"
  xvfb_pids+=("$pid")
  if [ "${#other_cpu[@]}" -gt 0 ]; then taskset -a -p -c 1 "$pid" >/dev/null; fi
done
export QUORIX_DEPTH=24
quorix_wine_prepare
# Each depth's server stays up, as the test command keeps it: one that ended
# and started again between runs would bring Wine's services up each time.
for depth in 24 8; do
  (export QUORIX_DEPTH=$depth; quorix_wine_env; wineserver -w; taskset -c 0 wineserver -p)
done
quorix_wine_env

# Milliseconds since the epoch.
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# Median and 95th percentile (nearest rank) of numbers on standard input.
summary() {
  sort -n | awk 'NF { v[++n] = $1 } END {
    if (n == 0) { print "no runs"; exit }
    p = int(0.95 * n); if (p < 0.95 * n) p++
    m = (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    printf "median %.1f ms, 95th percentile %.1f ms over %d runs\n", m, v[p], n }'
}

# The pointer stays where the last run jumped to: Wine keeps its own idea of
# where it is, and a pointer moved behind its back would wake the next run at once.
# Each display has a pointer of its own, so each depth keeps its own place.
declare -A pointer=([24]="100 100" [8]="100 100")
jump_to() { [ "$1" = "100 100" ] && echo "400 350" || echo "100 100"; }

# Clock ticks of user and system time of a process (fields 14 and 15 of its stat).
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
hz=$(getconf CLK_TCK)
measure_seconds=3

# The first of the given processes that runs in this prefix; false when none does.
in_this_prefix() {
  local pid
  for pid in "$@"; do
    if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}

# The wineserver of this prefix; nothing when there is none.
# shellcheck disable=SC2046 # one process ID a word
server_pid() { in_this_prefix $(pgrep -x wineserver64 || true) $(pgrep -x wineserver || true) || true; }

# Processor time of a process and of this prefix's wineserver over $2 seconds:
# prints "process_ticks server_ticks wall_nanoseconds".
cpu_sample() {
  local server saver0 server0 saver1 server1 t0 t1
  server=$(server_pid)
  t0=$(date +%s%N); saver0=$(cpu_ticks "$1"); server0=$(cpu_ticks "${server:-0}")
  sleep "$2"
  t1=$(date +%s%N); saver1=$(cpu_ticks "$1"); server1=$(cpu_ticks "${server:-0}")
  echo "$((saver1 - saver0)) $((server1 - server0)) $((t1 - t0))"
}

# The rows that need a setting keep this prefix's control.ini aside, give the
# saver's section just that key, and put the file back afterwards.
settings_keep() {
  ini="$WINEPREFIX/drive_c/windows/control.ini"
  ini_saved=$(mktemp)
  cp "$ini" "$ini_saved" 2>/dev/null || : >"$ini_saved"
}
settings_only() {
  { awk '{ line = $0; sub(/\r$/, "", line) }
      /^\[/ { inside = (tolower(line) == "[screen saver.quorix]") }
      !inside { print }' "$ini_saved"
    printf '[Screen Saver.Quorix]\r\n%s=%s\r\n' "$1" "$2"; } >"$ini"
}
settings_restore() {
  cp "$ini_saved" "$ini"
  rm -f "$ini_saved"
}

# Ends a run that gives no figure: its program, if still there, and its output file.
drop_run() {
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
  rm -f "$2"
}

# One run: start the program, let it draw, take its and the server's processor
# time over a few seconds, jump the pointer and time the way until the window
# leaves the screen and until the process ends. Prints "window_ms end_ms
# saver_percent server_percent program-output", or nothing when the program
# ended before the jump or the jump did not take its window off the screen.
one_run() {
  local out
  out=$(mktemp)
  taskset -c 0 wine "$@" >"$out" 2>/dev/null &
  local pid=$! waited=0 window=""
  until window=$(xdotool search --onlyvisible --name "Quorix ScreenSaver" 2>/dev/null | head -n 1) &&
      [ -n "$window" ]; do
    sleep 0.1
    waited=$((waited + 1))
    if [ "$waited" -gt 200 ] || ! kill -0 "$pid" 2>/dev/null; then
      drop_run "$pid" "$out"
      return 0
    fi
  done
  sleep 1
  local saver_ticks server_ticks wall_ns
  read -r saver_ticks server_ticks wall_ns < <(cpu_sample "$pid" "$measure_seconds")
  if ! kill -0 "$pid" 2>/dev/null; then
    drop_run "$pid" "$out"
    return 0
  fi
  pointer[$QUORIX_DEPTH]=$(jump_to "${pointer[$QUORIX_DEPTH]}")
  local jumped gone
  jumped=$(now_ms)
  # shellcheck disable=SC2086 # the place is two numbers
  gone=$("${other_cpu[@]}" "$wake_probe" "$window" ${pointer[$QUORIX_DEPTH]}) || gone=""
  if [ -z "$gone" ]; then
    # The jump did not wake it: no figure, and no wait for a window that stays.
    drop_run "$pid" "$out"
    return 0
  fi
  wait "$pid" || true
  local latency=$(( $(now_ms) - jumped ))
  awk -v g="$gone" -v l="$latency" -v s="$saver_ticks" -v w="$server_ticks" -v hz="$hz" \
      -v ns="$wall_ns" -v out="$(tr -d '\r' <"$out")" \
      'BEGIN { wall = ns / 1e9; printf "%s %d %.1f %.1f %s\n", g, l, 100 * s / hz / wall, 100 * w / hz / wall, out }'
  rm -f "$out"
}

# Runs a configuration several times; prints medians of frames per second and
# processor use, and the latency summary.
runs_of() {
  local label="$1"; shift
  local i
  : >"$result_file"
  for ((i = 0; i < runs; i++)); do one_run "$@" >>"$result_file"; done
  printf '%-44s ' "$label"
  awk '{ g[NR] = $1; l[NR] = $2; s[NR] = $3; w[NR] = $4
      for (k = 5; k < NF; k++) if ($k == "frames/s") f[NR] = $(k + 1) }
    function median(a, n,   i, j, t, b) { for (i = 1; i <= n; i++) b[i] = a[i]
      for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (b[j] < b[i]) { t = b[i]; b[i] = b[j]; b[j] = t }
      return (n % 2) ? b[(n + 1) / 2] : (b[n / 2] + b[n / 2 + 1]) / 2 }
    END { if (NR == 0) { print "no runs"; exit }
      printf "%8.1f f/s  saver %5.1f %%  wineserver %5.1f %%  together %5.1f %%  woken median %.1f ms, ended %.0f ms (%d runs)\n",
        median(f, NR), median(s, NR), median(w, NR), median(s, NR) + median(w, NR), median(g, NR), median(l, NR), NR }' "$result_file"
}

latency() {
  local label="$1"; shift
  local woken=() ended=() i
  for ((i = 0; i < runs; i++)); do
    one_run "$@" >"$result_file"
    read -r gone end _ <"$result_file" || continue
    woken+=("$gone")
    ended+=("$end")
  done
  printf '%s: window gone %s; process ended %s\n' "$label" \
    "$(printf '%s\n' "${woken[@]}" | summary)" "$(printf '%s\n' "${ended[@]}" | summary)"
}

# A saver that no one can see: with the display off it should cost next to
# nothing, whatever the effect. The drawing rows beside it are the same windows
# with the display on, and on the coarse clock Windows' own C runtime has.
echo "== display off, and the frame wait on a 15.625 ms clock (depth 24)"
export QUORIX_DEPTH=24
quorix_wine_env
taskset -c 0 wine cmd /c exit >/dev/null 2>&1 || true
# shellcheck disable=SC2086
xdotool mousemove ${pointer[24]}
for shape in light heavy; do
  runs_of "depth 24, $shape, drawing" "$bench" --saver "$shape"
  runs_of "depth 24, $shape, display off" "$bench" --saver "$shape" --display-off
  runs_of "depth 24, $shape, 15.625 ms clock" "$bench" --saver "$shape" --coarse
done
[ "${QUORIX_BENCH_ONLY:-}" = display ] && exit 0

echo "== throughput (wine pinned to CPU 0)"
for depth in 24 8; do
  export QUORIX_DEPTH=$depth
  quorix_wine_env
  taskset -c 0 wine "$bench"
done

echo "== saver windows: frames/s, processor time per wall second, wake-up latency"
for depth in 24 8; do
  export QUORIX_DEPTH=$depth
  quorix_wine_env
  # A cold start moves the pointer to the centre: get it over with first.
  taskset -c 0 wine cmd /c exit >/dev/null 2>&1 || true
  # shellcheck disable=SC2086
  xdotool mousemove ${pointer[$depth]}
  for shape in light heavy; do
    runs_of "depth $depth, $shape, blocking wait" "$bench" --saver "$shape"
    runs_of "depth $depth, $shape, spinning wait" "$bench" --saver "$shape" --spin
  done
  # The same loop and wait with frames that draw nothing: what the message test
  # and a thousand sleeps a second cost on their own, whatever the depth. What
  # the light frame adds beyond it is its drawing and Wine's copy of the drawn
  # part to X, which at depth 8 maps every pixel of it through a colour table.
  runs_of "depth $depth, frames drawing nothing, blocking wait" "$bench" --saver bare
done
# The rest runs at depth 24.
export QUORIX_DEPTH=24
quorix_wine_env
# The same light saver while a process of the lowest priority keeps CPU 0 from
# ever going idle: what is left is the saver's own work, and the difference is
# what halting and waking the processor a thousand times a second costs here
# (on a virtual machine the host's part of it is counted to the sleeper).
nice -n 19 taskset -c 0 bash -c 'while :; do :; done' &
hog=$!
runs_of "depth 24, light, blocking wait, CPU 0 never idle" "$bench" --saver light
kill "$hog"
wait "$hog" 2>/dev/null || true
hog=""
latency "depth 24, quorix.scr /s -r 1 (its own first effect)" "$scr" /s -r 1

# The drawn preview of "/p HANDLE" in a 152 x 112 window of the host program
# that the preview scenarios use, beside the light saver above: processor time
# of the preview and of wineserver per second of wall time over ten seconds.
preview_host="$build/preview_host.exe"
preview_seconds=10

# The preview of this prefix, once the host has started it (the host's own
# command line names quorix.scr too, but not followed by "/p").
# shellcheck disable=SC2046 # one process ID a word
preview_pid() { in_this_prefix $(pgrep -f 'quorix\.scr /p' || true); }

# The median of numbers on standard input, one a line.
median_of() {
  sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One preview: prints "saver_percent server_percent", or nothing when the
# preview did not run for the whole measurement.
one_preview() {
  local report="$probe_dir/preview.txt" host pid="" waited=0 saver_ticks server_ticks wall_ns
  rm -f "$report"
  taskset -c 0 wine "$preview_host" "Z:${report//\//\\}" $(( (preview_seconds + 4) * 1000 )) \
    "Z:${scr//\//\\}" self -r "$1" >/dev/null 2>&1 &
  host=$!
  until pid=$(preview_pid); do
    sleep 0.1
    waited=$((waited + 1))
    if [ "$waited" -gt 200 ]; then break; fi
  done
  if [ -n "$pid" ]; then
    sleep 1
    read -r saver_ticks server_ticks wall_ns < <(cpu_sample "$pid" "$preview_seconds")
  fi
  wait "$host" || true
  [ -n "$pid" ] && grep -q "^ended_during_hold_ms -1" "$report" 2>/dev/null || return 0
  awk -v s="$saver_ticks" -v w="$server_ticks" -v hz="$hz" -v ns="$wall_ns" \
    'BEGIN { wall = ns / 1e9; printf "%.1f %.1f\n", 100 * s / hz / wall, 100 * w / hz / wall }'
}

if [ -f "$preview_host" ]; then
  settings_keep
  settings_only preview yes
  : >"$result_file"
  for ((i = 0; i < runs; i++)); do one_preview $((i + 1)) >>"$result_file"; done
  printf '%-44s ' "depth 24, preview /p in 152 x 112"
  if [ -s "$result_file" ]; then
    saver_use=$(cut -d' ' -f1 "$result_file" | median_of)
    server_use=$(cut -d' ' -f2 "$result_file" | median_of)
    printf '            saver %5.1f %%  wineserver %5.1f %%  together %5.1f %%  (%d runs of %d s)\n' \
      "$saver_use" "$server_use" "$(awk -v a="$saver_use" -v b="$server_use" 'BEGIN { print a + b }')" \
      "$(wc -l <"$result_file")" "$preview_seconds"
  else
    echo "no runs"
  fi
  settings_restore
fi

# True colour cycling: the effects draw into an off-screen 8-bit picture that is
# shown on the window. cycling_bench sets its unpaced frames and cost per piece
# beside drawing straight on the window and times one presentation; the saver
# windows run the light and heavy lines with the option off and on.
echo "== true colour cycling (depth 24)"
taskset -c 0 wine "$build/cycling_bench.exe"
settings_keep
for option in no yes; do
  settings_only "true colour cycling" "$option"
  for shape in light heavy; do
    runs_of "depth 24, $shape, true colour cycling $option" "$bench" --saver "$shape"
  done
done
settings_restore

# Several monitors: the light lines on the two-monitor Xorg display (800x600
# primary, 640x480 right of it) with the other monitor covered black (primary),
# one picture over both (span) and the primary's picture mirrored (mirror).
echo "== several monitors (two-monitor Xorg display, depth 24)"
if read -r display pid < <(quorix_xorg_start 2>/dev/null); then
  xvfb_pids+=("$pid")
  if [ "${#other_cpu[@]}" -gt 0 ]; then taskset -a -p -c 1 "$pid" >/dev/null; fi
  export QUORIX_DISPLAY_MM="$display" QUORIX_DEPTH=mm
  quorix_wine_prepare_one
  wineserver -w
  taskset -c 0 wineserver -p
  pointer[mm]="100 100"
  taskset -c 0 wine cmd /c exit >/dev/null 2>&1 || true
  # shellcheck disable=SC2086
  xdotool mousemove ${pointer[mm]}
  settings_keep
  for mode in primary span mirror; do
    settings_only monitors "$mode"
    runs_of "two monitors, light, $mode" "$bench" --saver light
  done
  settings_restore
  export QUORIX_DEPTH=24
  quorix_wine_env
else
  echo "no two-monitor display (Xorg with the dummy video driver did not start)"
fi
