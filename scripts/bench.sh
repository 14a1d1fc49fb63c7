#!/usr/bin/env bash
# Effect benchmark (not a test: it prints figures). Sets this build beside a
# baseline build in one run: every row runs both, one after the other, in each
# run, so that a regression shows as a ratio of figures taken under the same
# load. On its own Xvfb display (and the two-monitor Xorg display for the
# monitor rows) and Wine prefixes, with Wine pinned to CPU 0 and X to CPU 1.
#
# Usage: scripts/bench.sh [--build DIR] [--baseline REV | --baseline-build DIR]
#                         [--runs N] [--seconds S] [--only REGEX] [BUILD_DIR [RUNS]]
#   --build DIR            this build (default build/x86_64)
#   --baseline REV         checked out under build/bench-baseline/ and built there
#                          (a build already there for that commit is reused)
#   --baseline-build DIR   an existing build folder as the baseline instead
#   --runs N               runs of each row and build (default 3)
#   --seconds S            seconds each saver run is measured (default 3; the
#                          clock ticks a hundred times a second, so a row near
#                          1 % needs longer runs to tell tenths apart)
#   --only REGEX           only the rows whose name matches
# The positional BUILD_DIR and RUNS are the older spelling of --build and --runs.

# The library's helpers change the display and prefix in subshells on purpose.
# shellcheck disable=SC2030,SC2031
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=lib/wine-env.sh
source "$here/lib/wine-env.sh"

# The last commit before the frame loop was rewritten: the loop that the rows'
# figures were first measured with.
baseline_rev=5b974a3
baseline_build=""
baseline_given=""
build=$quorix_root/build/x86_64
runs=3
measure_seconds=3
only=""
positional=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=${2:?--build needs a folder}; shift 2 ;;
    --baseline) baseline_rev=${2:?--baseline needs a revision}; baseline_given=yes; shift 2 ;;
    --baseline-build) baseline_build=${2:?--baseline-build needs a folder}; shift 2 ;;
    --runs) runs=${2:?--runs needs a number}; shift 2 ;;
    --seconds) measure_seconds=${2:?--seconds needs a number}; shift 2 ;;
    --only) only=${2:?--only needs a pattern}; shift 2 ;;
    -h|--help) awk '/^# Usage:/ { on = 1 } on && !/^#/ { exit } on { sub(/^# ?/, ""); print }' "${BASH_SOURCE[0]}"; exit 0 ;;
    -*) echo "bench: unknown option $1 (see --help)" >&2; exit 2 ;;
    *) positional+=("$1"); shift ;;
  esac
done
[ "${#positional[@]}" -ge 1 ] && build=${positional[0]}
[ "${#positional[@]}" -ge 2 ] && runs=${positional[1]}
[ -z "$baseline_given" ] || [ -z "$baseline_build" ] ||
  { echo "bench: give --baseline or --baseline-build, not both" >&2; exit 2; }
[ "${#positional[@]}" -le 2 ] || { echo "bench: too many arguments (see --help)" >&2; exit 2; }
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "bench: --runs takes a positive number" >&2; exit 2; }
[[ "$measure_seconds" =~ ^[1-9][0-9]*$ ]] || { echo "bench: --seconds takes a positive number" >&2; exit 2; }

# The rows: name, display (24: Xvfb at depth 24; mm: the two-monitor Xorg
# display), settings ("key=value;key=value", given to the saver's section of
# control.ini, every other key left at its default), a text that the build's
# program must hold for the row to mean anything there ("" when any build
# will do: the stored text of a setting's value that older builds do not know),
# and what runs: "saver ARGS" (effects_bench --saver ARGS in a saver window) or
# "preview" (quorix.scr /p in the preview host's 152 x 112 window).
row_names=() row_displays=() row_settings=() row_needs=() row_runs=()
row() {
  row_names+=("$1") row_displays+=("$2") row_settings+=("$3") row_needs+=("$4")
  shift 4
  row_runs+=("$*")
}
#   name                        display settings                   needs       what runs
row "light"                     24      ""                         ""          saver light
row "heavy"                     24      ""                         ""          saver heavy
row "frames drawing nothing"    24      ""                         ""          saver bare
row "true colour cycling"       24      "true colour cycling=yes"  ""          saver light
row "two monitors, primary"     mm      "monitors=primary"         ""          saver light
row "span"                      mm      "monitors=span"            ""          saver light
row "mirror"                    mm      "monitors=mirror"          ""          saver light
row "separate, light"           mm      "monitors=separate"        "separate"  saver light
row "two monitors, heavy"       mm      "monitors=primary"         ""          saver heavy
row "mirror, heavy"             mm      "monitors=mirror"          ""          saver heavy
row "separate, heavy"           mm      "monitors=separate"        "separate"  saver heavy
row "preview"                   24      "preview=yes"              ""          preview
row "display off"               24      ""                         ""          saver light --display-off
# The row whose wake-up latency is printed under the table.
latency_row="light"

selected=()
for i in "${!row_names[@]}"; do
  if [ -z "$only" ] || [[ "${row_names[$i]}" =~ $only ]]; then selected+=("$i"); fi
done
[ "${#selected[@]}" -gt 0 ] || { echo "bench: no row matches $only" >&2; exit 2; }

command -v xdotool >/dev/null || { echo "bench: xdotool is needed" >&2; exit 1; }
build=$(cd "$build" 2>/dev/null && pwd) || { echo "bench: no build folder ${positional[0]:-$build}" >&2; exit 1; }
for file in effects_bench.exe quorix.scr; do
  [ -f "$build/$file" ] || { echo "bench: $build/$file is missing; build the x86_64 preset first" >&2; exit 1; }
done

# Checks the baseline out into a worktree of its own and builds it there, once
# per commit. preview_host is built on its own: a baseline older than it still
# gives every other row.
baseline_prepare() {
  local commit short dir log
  commit=$(git -C "$quorix_root" rev-parse --verify --quiet "$1^{commit}") ||
    { echo "bench: no commit $1" >&2; return 1; }
  short=$(git -C "$quorix_root" rev-parse --short=7 "$commit")
  dir=$quorix_root/build/bench-baseline/$short
  if [ -d "$dir" ]; then
    [ "$(git -C "$dir" rev-parse HEAD 2>/dev/null)" = "$commit" ] ||
      { echo "bench: $dir holds no checkout of $short; remove it" >&2; return 1; }
  else
    git -C "$quorix_root" worktree prune
    git -C "$quorix_root" worktree add --detach "$dir" "$commit" >/dev/null 2>&1 ||
      { echo "bench: cannot check $short out into $dir" >&2; return 1; }
  fi
  if [ ! -f "$dir/build/x86_64/effects_bench.exe" ] || [ ! -f "$dir/build/x86_64/quorix.scr" ]; then
    log=$dir/build/bench-build.log
    mkdir -p "$dir/build"
    echo "== building the baseline $short in ${dir#"$quorix_root"/} (log: ${log#"$quorix_root"/})" >&2
    if ! (cd "$dir" && cmake --preset x86_64 && cmake --build --preset x86_64 -j2 --target quorix effects_bench) \
        >"$log" 2>&1; then
      tail -n 20 "$log" >&2
      echo "bench: the baseline $short does not build" >&2
      return 1
    fi
    (cd "$dir" && cmake --build --preset x86_64 -j2 --target preview_host) >>"$log" 2>&1 || true
  fi
  echo "$dir/build/x86_64 $short"
}

if [ -n "$baseline_build" ]; then
  baseline=$(cd "$baseline_build" 2>/dev/null && pwd) || { echo "bench: no build folder $baseline_build" >&2; exit 1; }
  baseline_label=${baseline#"$quorix_root"/}
else
  read -r baseline baseline_label < <(baseline_prepare "$baseline_rev") || true
  [ -n "${baseline:-}" ] || exit 1
fi
[ -f "$baseline/effects_bench.exe" ] || { echo "bench: $baseline/effects_bench.exe is missing" >&2; exit 1; }
builds=(baseline this)
declare -A build_dir=([baseline]=$baseline [this]=$build)

work=$(mktemp -d)
wake_probe="$work/wake_latency"
cc -O2 -o "$wake_probe" "$quorix_root/bench/wake_latency.c" -lX11 ||
  { echo "bench: cannot build the wake-up probe (libx11-dev: scripts/setup.sh)" >&2; exit 1; }

export QUORIX_WINEPREFIX="${QUORIX_BENCH_PREFIX:-$quorix_root/build/wine-bench}"
displays_up=()
x_pids=()
declare -A ini_kept=()
# shellcheck disable=SC2317 # called by the trap
cleanup() {
  local depth pid
  for depth in "${displays_up[@]}"; do
    export QUORIX_DEPTH=$depth
    quorix_wine_env
    if [ -n "${ini_kept[$depth]:-}" ]; then cp "${ini_kept[$depth]}" "$WINEPREFIX/drive_c/windows/control.ini"; fi
    quorix_wineserver_stop_one
  done
  for pid in "${x_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Wine runs on CPU 0 and the X server on CPU 1, as a desktop keeps its display
# server apart: left free to move, X goes where the saver leaves the processor
# idle, and a sleeping saver then pays for X's work on its own CPU.
pin_x() { if [ "$(nproc)" -ge 2 ]; then taskset -a -p -c 1 "$1" >/dev/null; fi; }
other_cpu=()
[ "$(nproc)" -ge 2 ] && other_cpu=(taskset -c 1)

# The pointer stays where the last run jumped to: Wine keeps its own idea of
# where it is, and a pointer moved behind its back would wake the next run at once.
# Each display has a pointer of its own, so each keeps its own place.
declare -A pointer=()
jump_to() { [ "$1" = "100 100" ] && echo "400 350" || echo "100 100"; }

# Readies the prefix of a display that is up (QUORIX_DISPLAY_<depth> set) and
# keeps one server alive for it: one that ended and started again between runs
# would bring Wine's services up each time. A server left from an earlier run
# would keep that run's display size.
display_ready() {
  displays_up+=("$1")
  export QUORIX_DEPTH=$1
  quorix_wine_prepare_one
  quorix_wineserver_stop_one
  taskset -c 0 wineserver -p </dev/null >/dev/null 2>&1
  # A cold start moves the pointer to the centre: get it over with first.
  taskset -c 0 wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  pointer[$1]="100 100"
  # shellcheck disable=SC2086 # the place is two numbers
  xdotool mousemove ${pointer[$1]}
  local ini="$WINEPREFIX/drive_c/windows/control.ini"
  ini_kept[$1]="$work/control-$1.ini"
  cp "$ini" "${ini_kept[$1]}" 2>/dev/null || : >"${ini_kept[$1]}"
}

needed_displays=()
for i in "${selected[@]}"; do
  case " ${needed_displays[*]} " in *" ${row_displays[$i]} "*) ;; *) needed_displays+=("${row_displays[$i]}") ;; esac
done
for depth in "${needed_displays[@]}"; do
  case $depth in
    24)
      read -r display pid < <(quorix_xvfb_start 24 800x600)
      x_pids+=("$pid")
      pin_x "$pid"
      export QUORIX_DISPLAY_24=$display
      ;;
    mm)
      # 800x600 primary and 640x480 right of it.
      if read -r display pid < <(quorix_xorg_start 24 2>/dev/null); then
        x_pids+=("$pid")
        pin_x "$pid"
        export QUORIX_DISPLAY_MM=$display
      else
        echo "no two-monitor display (Xorg with the dummy video driver did not start): its rows print -"
        continue
      fi
      ;;
  esac
  display_ready "$depth"
done

# Clock ticks of user and system time of a process (fields 14 and 15 of its stat).
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
hz=$(getconf CLK_TCK)
preview_seconds=10

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

# Processor time of a process and of this prefix's wineserver over $2 seconds,
# as percent of a core of both together.
cpu_sample() {
  local server saver0 server0 saver1 server1 t0 t1
  server=$(server_pid)
  t0=$(date +%s%N); saver0=$(cpu_ticks "$1"); server0=$(cpu_ticks "${server:-0}")
  sleep "$2"
  t1=$(date +%s%N); saver1=$(cpu_ticks "$1"); server1=$(cpu_ticks "${server:-0}")
  awk -v t=$((saver1 - saver0 + server1 - server0)) -v hz="$hz" -v ns=$((t1 - t0)) \
    'BEGIN { printf "%.1f\n", 100 * t / hz / (ns / 1e9) }'
}

# Gives the saver's section of this prefix's control.ini just the given keys
# ("key=value;key=value"), every other section as it was before the benchmark.
settings_only() {
  local pairs pair
  IFS=';' read -r -a pairs <<<"$1"
  { awk '{ line = $0; sub(/\r$/, "", line) }
      /^\[/ { inside = (tolower(line) == "[screen saver.quorix]") }
      !inside { print }' "${ini_kept[$QUORIX_DEPTH]}"
    printf '[Screen Saver.Quorix]\r\n'
    for pair in "${pairs[@]}"; do printf '%s=%s\r\n' "${pair%%=*}" "${pair#*=}"; done
  } >"$WINEPREFIX/drive_c/windows/control.ini"
}

# Ends a run that gives no figure: its program, if still there, and its output file.
drop_run() {
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
  rm -f "$2"
}

# One saver window: start it, let it draw, take its and the server's processor
# time over a few seconds, jump the pointer and time the way until the window
# leaves the screen. Prints "window_ms percent_of_a_core frames_per_second", or
# nothing when the program ended before the jump, the jump did not take its
# window off the screen, or it printed no frames per second.
one_saver() {
  local out pid waited=0 window="" use gone fps
  out=$(mktemp -p "$work")
  taskset -c 0 wine "$@" >"$out" 2>/dev/null &
  pid=$!
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
  use=$(cpu_sample "$pid" "$measure_seconds")
  if ! kill -0 "$pid" 2>/dev/null; then
    drop_run "$pid" "$out"
    return 0
  fi
  pointer[$QUORIX_DEPTH]=$(jump_to "${pointer[$QUORIX_DEPTH]}")
  # shellcheck disable=SC2086 # the place is two numbers
  gone=$("${other_cpu[@]}" "$wake_probe" "$window" ${pointer[$QUORIX_DEPTH]}) || gone=""
  if [ -z "$gone" ]; then
    # The jump did not wake it: no figure, and no wait for a window that stays.
    drop_run "$pid" "$out"
    return 0
  fi
  # A build that hangs on its way out gives no figure rather than stopping the benchmark.
  waited=0
  while kill -0 "$pid" 2>/dev/null && [ "$waited" -lt 100 ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  if kill -0 "$pid" 2>/dev/null; then
    drop_run "$pid" "$out"
    return 0
  fi
  wait "$pid" || true
  fps=$(tr -d '\r' <"$out" | awk '{ for (k = 1; k < NF; k++) if ($k == "frames/s") { print $(k + 1); exit } }')
  rm -f "$out"
  [ -n "$fps" ] && echo "$gone $use $fps"
  return 0
}

# The preview of this prefix, once the host has started it (the host's own
# command line names quorix.scr too, but not followed by "/p").
# shellcheck disable=SC2046 # one process ID a word
preview_pid() { in_this_prefix $(pgrep -f 'quorix\.scr /p' || true); }

# One drawn preview ("/p HANDLE" in the preview scenarios' host window): prints
# "- percent_of_a_core -", or nothing when the preview did not run for the
# whole measurement.
one_preview() {
  local dir="$1" seed="$2" report="$work/preview.txt" host pid="" waited=0 use=""
  [ -f "$dir/preview_host.exe" ] || return 0
  rm -f "$report"
  taskset -c 0 wine "$dir/preview_host.exe" "Z:${report//\//\\}" $(( (preview_seconds + 4) * 1000 )) \
    "Z:${dir//\//\\}\\quorix.scr" self -r "$seed" >/dev/null 2>&1 &
  host=$!
  until pid=$(preview_pid); do
    sleep 0.1
    waited=$((waited + 1))
    if [ "$waited" -gt 200 ]; then break; fi
  done
  if [ -n "$pid" ]; then
    sleep 1
    use=$(cpu_sample "$pid" "$preview_seconds")
  fi
  wait "$host" || true
  if [ -n "$use" ] && grep -q "^ended_during_hold_ms -1" "$report" 2>/dev/null; then echo "- $use -"; fi
  return 0
}

# Why a row gives no figure for a build, or nothing when it can run there.
cannot_run() {
  local i="$1" dir="$2"
  local program="$dir/effects_bench.exe"
  [ "${row_runs[$i]}" = preview ] && program="$dir/quorix.scr"
  if [[ " ${displays_up[*]} " != *" ${row_displays[$i]} "* ]]; then
    echo "no two-monitor display"
  elif [ "${row_runs[$i]}" = preview ] && [ ! -f "$dir/preview_host.exe" ]; then
    echo "no preview_host.exe"
  elif [ -n "${row_needs[$i]}" ] &&
      ! LC_ALL=C grep -aqP "\\x00\\Q${row_needs[$i]}\\E\\x00" "$program"; then
    echo "does not know \"${row_needs[$i]}\""
  fi
}

# One run of a row for one build; its figures are added to the row's file.
measure() {
  local i="$1" who="$2" run="$3" dir="${build_dir[$2]}" what
  read -r -a what <<<"${row_runs[$i]}"
  export QUORIX_DEPTH=${row_displays[$i]}
  quorix_wine_env
  settings_only "${row_settings[$i]}"
  case ${what[0]} in
    saver) one_saver "$dir/effects_bench.exe" --saver "${what[@]:1}" ;;
    preview) one_preview "$dir" "$run" ;;
  esac >>"$work/row$i.$who"
}

declare -A why_not=()
for i in "${selected[@]}"; do
  for who in "${builds[@]}"; do
    : >"$work/row$i.$who"
    why_not[$i.$who]=$(cannot_run "$i" "${build_dir[$who]}")
  done
done

echo "baseline: $baseline_label; this: ${build#"$quorix_root"/}; runs: $runs, interleaved"
# Each run takes the rows in turn and each row both builds, the one that goes
# first changing from row to row and from run to run, so that whatever else
# the machine does falls on both alike.
for ((run = 1; run <= runs; run++)); do
  for n in "${!selected[@]}"; do
    i=${selected[$n]}
    order=("${builds[@]}")
    (( (run + n) % 2 )) && order=(this baseline)
    progress="run $run of $runs, ${row_names[$i]}:"
    for who in "${order[@]}"; do
      file="$work/row$i.$who"
      before=$(wc -l <"$file")
      [ -z "${why_not[$i.$who]}" ] && measure "$i" "$who" "$run"
      if [ "$(wc -l <"$file")" -gt "$before" ]; then
        progress+=$(tail -n 1 "$file" | awk -v who="$who" '{ printf " %s", who
          if ($3 != "-") printf " %s f/s", $3
          printf " %s %%core", $2
          if ($1 != "-") printf " %s ms", $1
          printf ";" }')
      else
        progress+=" $who -;"
      fi
    done
    echo "${progress%;}" >&2
  done
done

# The median of column $2 of file $1, or "-" when it has no figure.
median() {
  awk -v c="$2" '$c != "-" { v[++n] = $c + 0 } END {
    if (n == 0) { print "-"; exit }
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
    printf "%.1f\n", (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }' "$1"
}
ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-" || a + 0 == 0) print "-"; else printf "%.2f\n", b / a }'
}

echo
format='%-24s %13s %9s %6s %15s %11s %6s\n'
# shellcheck disable=SC2059 # the format is the table's
printf "$format" row "baseline f/s" "this f/s" ratio "baseline %core" "this %core" ratio
notes=()
for i in "${selected[@]}"; do
  declare -A fps=() use=()
  same_reason=""
  if [ -n "${why_not[$i.this]}" ] && [ "${why_not[$i.this]}" = "${why_not[$i.baseline]}" ]; then
    same_reason=yes
    notes+=("${row_names[$i]}: not run for either build (${why_not[$i.this]})")
  fi
  for who in "${builds[@]}"; do
    file="$work/row$i.$who"
    fps[$who]=$(median "$file" 3)
    use[$who]=$(median "$file" 2)
    if [ -n "${why_not[$i.$who]}" ]; then
      [ -n "$same_reason" ] || notes+=("${row_names[$i]}: not run for $who (${why_not[$i.$who]})")
    elif [ "$(wc -l <"$file")" -lt "$runs" ]; then
      notes+=("${row_names[$i]}: $who gave figures in $(wc -l <"$file") of $runs runs")
    fi
  done
  # shellcheck disable=SC2059
  printf "$format" "${row_names[$i]}" "${fps[baseline]}" "${fps[this]}" "$(ratio "${fps[baseline]}" "${fps[this]}")" \
    "${use[baseline]}" "${use[this]}" "$(ratio "${use[baseline]}" "${use[this]}")"
  if [ "${row_names[$i]}" = "$latency_row" ]; then
    a=$(median "$work/row$i.baseline" 1) b=$(median "$work/row$i.this" 1)
    latency="wake-up latency, $latency_row (window gone after a pointer jump, median, ms): baseline $a, this $b, ratio $(ratio "$a" "$b")"
  fi
  unset fps use
done
echo "%core: the saver and wineserver together, in percent of one core; ratio: this / baseline"
[ -n "${latency:-}" ] && echo "$latency"
for note in "${notes[@]}"; do echo "$note"; done
exit 0
