#!/usr/bin/env bash
# Builds the libFuzzer targets of the Win32-free code (tests/fuzz/*_fuzz.cpp)
# with clang 14, ASan and UBSan (preset "fuzz", build/fuzz), and runs each for
# the time asked on a copy of its corpus from tests/fuzz/corpus, so that the
# tree stays as it is. Prints a line per target and ends non-zero when one of
# them found a fault, naming the input that reproduces it:
#   build/fuzz/fuzz_NAME build/fuzz/run/NAME/crash-...
# Ends with 77 when clang 14 or its libFuzzer is missing.
#
#   scripts/fuzz.sh [--seconds N] [--build-only] [NAME...]
# N seconds a target (60 by default); every target, or the ones named.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

seconds=60
build_only=""
names=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=${2:-}; shift 2 || shift ;;
    --seconds=*) seconds=${1#--seconds=}; shift ;;
    --build-only) build_only=1; shift ;;
    -*) echo "usage: scripts/fuzz.sh [--seconds N] [--build-only] [NAME...]" >&2; exit 2 ;;
    *) names+=("$1"); shift ;;
  esac
done
if [ ${#names[@]} -eq 0 ]; then
  for source in tests/fuzz/*_fuzz.cpp; do names+=("$(basename "$source" _fuzz.cpp)"); done
fi
for name in "${names[@]}"; do
  [ -f "tests/fuzz/${name}_fuzz.cpp" ] || { echo "fuzz: no target $name (tests/fuzz/${name}_fuzz.cpp)" >&2; exit 2; }
done
case "$seconds" in '' | *[!0-9]* | 0) echo "fuzz: --seconds takes a whole number above 0" >&2; exit 2 ;; esac

build=build/fuzz
mkdir -p "$build"
probe=$(mktemp -d "${TMPDIR:-/tmp}/quorix-fuzz-probe.XXXXXX")
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$probe/probe.cpp"
if ! command -v clang++-14 >/dev/null || ! command -v clang-14 >/dev/null ||
   ! clang++-14 -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" 2>"$probe/log"; then
  echo "fuzz: skipped: clang 14 with libFuzzer is missing (Debian: clang-14 libclang-rt-14-dev libfuzzer-14-dev)"
  sed 's/^/fuzz:   /' "$probe/log" 2>/dev/null | head -n 3
  rm -rf "$probe"
  exit 77
fi
rm -rf "$probe"

echo "== build fuzz"
cmake --preset fuzz >/dev/null || exit 1
cmake --build --preset fuzz -j "${QUORIX_FUZZ_JOBS:-$(nproc)}" || exit 1
[ -n "$build_only" ] && exit 0

passed=0
failed=0
for name in "${names[@]}"; do
  run="$build/run/$name"
  rm -rf "$run"
  mkdir -p "$run/corpus"
  [ -d "tests/fuzz/corpus/$name" ] && cp -R "tests/fuzz/corpus/$name/." "$run/corpus/"
  started=$(date +%s.%N)
  # A run of the seconds asked; an input that takes more than 10 s counts as a hang.
  "$build/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$run/" "$run/corpus" >"$run/log" 2>&1
  status=$?
  took=$(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }')
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log" | tail -n 1)
  if [ "$status" -eq 0 ]; then
    printf '%-16s %6s s %10s executions  passed\n' "$name" "$took" "${executions:-?}"
    passed=$((passed + 1))
    continue
  fi
  reproducer=$(sed -n 's/.*Test unit written to //p' "$run/log" | tail -n 1)
  printf '%-16s %6s s %10s executions  FAULT: %s %s\n' "$name" "$took" "${executions:-?}" \
    "$build/fuzz_$name" "${reproducer:-(no input written, see $run/log)}"
  grep -m 3 -E 'invariant broken|runtime error|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)' "$run/log" | sed 's/^/    /'
  failed=$((failed + 1))
done

echo "fuzz: $passed passed, $failed failed (logs in $build/run)"
[ "$failed" -eq 0 ]
