#!/usr/bin/env bash
# Builds everything and runs every test: the Win32-free code natively under
# ASan and UBSan and its fuzz targets for a few seconds each (scripts/fuzz.sh),
# then the 32-bit and 64-bit Windows builds under Wine on virtual displays of
# depth 24 and 8 and a two-monitor Xorg display that this script starts and
# stops.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
started=$(date +%s)

bash scripts/setup.sh || exit 1

jobs=$(nproc)
# A tree with no build yet (a fresh clone, as in CI) gets a clean build here,
# which the reproducibility check can take for one of its two.
fresh_tree=""
[ -d build ] || fresh_tree=1
source scripts/lib/wine-env.sh
for preset in native i686 x86_64; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null || exit 1
  # Where no 32-bit program runs, the i686 tests are not run: only the saver
  # is built, for the release and its reproducibility.
  target=()
  [ "$preset" = i686 ] && ! quorix_runs_32bit && target=(--target quorix)
  cmake --build --preset "$preset" -j "$jobs" "${target[@]}" || exit 1
done
# The fuzz targets (clang); without clang 14 and its libFuzzer they are skipped.
QUORIX_FUZZ_JOBS=$jobs bash scripts/fuzz.sh --build-only
fuzz_build=$?

# The installer and the archive; the install scenario of the i686 tests uses them.
echo "== package"
bash scripts/package.sh || exit 1

export QUORIX_WINEPREFIX="$root/build/wine"
# A server left from an earlier run would keep that run's displays and sizes.
quorix_wineserver_stop
quorix_in_lane2 quorix_wineserver_stop
xvfb_pids=()
repro_pid=""
fuzz_pid=""
cleanup() {
  [ -n "$repro_pid" ] && kill "$repro_pid" 2>/dev/null
  [ -n "$fuzz_pid" ] && kill "$fuzz_pid" 2>/dev/null
  quorix_wineserver_stop
  quorix_in_lane2 quorix_wineserver_stop
  kill "${xvfb_pids[@]}" 2>/dev/null
}
trap cleanup EXIT
# Two lanes of a display of each depth: the single-monitor scenarios run two
# at a time, each lane with its own prefixes (see cmake/windows.cmake).
for lane in "" _LANE2; do
  for depth in 24 8; do
    read -r display pid < <(quorix_xvfb_start "$depth" 800x600) || exit 1
    export "QUORIX_DISPLAY_$depth$lane=$display"
    xvfb_pids+=("$pid")
  done
done
# Without it (no Xorg or no dummy driver) the two-monitor scenarios are skipped.
if read -r display pid < <(quorix_xorg_start); then
  export QUORIX_DISPLAY_MM="$display"
  xvfb_pids+=("$pid")
fi
quorix_wine_prepare
quorix_wineserver_start
quorix_in_lane2 quorix_wine_prepare
quorix_in_lane2 quorix_wineserver_start

# The reproducibility check copies the tree now and builds its copies while
# the tests run, on one processor and at the lowest priority, since the
# scenarios mostly wait; its result is taken after them.
repro_log=$(mktemp)
QUORIX_FRESH_TREE=$fresh_tree QUORIX_REPRO_JOBS=1 nice -n 19 bash scripts/check-reproducible.sh \
  >"$repro_log" 2>&1 &
repro_pid=$!
# A few seconds of each fuzz target on its committed corpus, beside the tests
# and at the lowest priority too; scripts/fuzz.sh runs them longer.
fuzz_log=$(mktemp)
if [ "$fuzz_build" -ne 77 ]; then
  nice -n 19 bash scripts/fuzz.sh --seconds 3 >"$fuzz_log" 2>&1 &
  fuzz_pid=$!
fi

passed=0
failed=0
skipped=0
summary=()
# Where no 32-bit program starts (see wine-env.sh), the i686 build is built and
# checked for reproducibility but not run, and the x86_64 build runs every
# scenario in its place; elsewhere it runs the smoke scenarios only.
presets=(native i686 x86_64)
x86_64_filter=(-LE beyond_smoke)
if ! quorix_runs_32bit; then
  echo "== no 32-bit Windows program runs here: the i686 tests are skipped, the x86_64 build runs every scenario"
  presets=(native x86_64)
  x86_64_filter=()
  skipped=$((skipped + 1))
  summary+=("i686: skipped")
fi
for preset in "${presets[@]}"; do
  echo "== test $preset"
  log=$(mktemp)
  filter=()
  [ "$preset" = x86_64 ] && filter=("${x86_64_filter[@]}")
  # Wine on Xvfb now and then aborts a process on an X error of its own while
  # a window closes; a scenario that fails is run once more, and its first
  # attempt stays in the log.
  # Four at a time, one a lane: the two-monitor scenarios, those on a
  # two-monitor palette display, and two lanes of the rest (see
  # cmake/windows.cmake). They mostly wait, for windows and for time.
  ctest --preset "$preset" "${filter[@]}" -j 4 --repeat until-pass:2 2>&1 | tee "$log"
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  not_run=$(grep -c -E '^[[:space:]]*[0-9]+ - .*\(Skipped\)' "$log")
  rm -f "$log"
  if [ -z "$line" ]; then
    echo "== $preset: no test summary"
    failed=$((failed + 1))
    continue
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad - not_run))
  failed=$((failed + bad))
  skipped=$((skipped + not_run))
  note=""
  [ "$not_run" -gt 0 ] && note=" ($not_run skipped)"
  summary+=("$preset: $((total - bad - not_run)) of $total$note")
done

if [ -z "$fuzz_pid" ]; then
  skipped=$((skipped + 1))
  summary+=("fuzz: skipped")
else
  echo "== fuzz"
  wait "$fuzz_pid"
  fuzz_pid=""
  cat "$fuzz_log"
  line=$(grep -E '^fuzz: [0-9]+ passed, [0-9]+ failed' "$fuzz_log" | tail -n 1)
  rm -f "$fuzz_log"
  if [ -z "$line" ]; then
    echo "== fuzz: no result"
    failed=$((failed + 1))
    summary+=("fuzz: no result")
  else
    good=$(sed -E 's/^fuzz: ([0-9]+) passed.*/\1/' <<<"$line")
    bad=$(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$line")
    passed=$((passed + good))
    failed=$((failed + bad))
    summary+=("fuzz: $good of $((good + bad))")
  fi
fi

# Fresh copies of the tree must build the same release as this one.
echo "== reproducible release"
wait "$repro_pid"
repro_status=$?
repro_pid=""
cat "$repro_log"
rm -f "$repro_log"
if [ "$repro_status" -eq 0 ]; then
  passed=$((passed + 1))
  summary+=("reproducible: 1 of 1")
else
  failed=$((failed + 1))
  summary+=("reproducible: 0 of 1")
fi

echo "== ${summary[*]} (in $(( $(date +%s) - started )) s)"
echo "quorix: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
