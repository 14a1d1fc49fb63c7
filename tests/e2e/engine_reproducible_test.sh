#!/usr/bin/env bash
# A seed reproduces a run: two runs with one seed write the same trace, effect
# after effect, apart from the date, the minutes and the no-message flags; a
# third run with another seed does not. "f" starts the second effect, whose
# summary line and seed the trace shows.
source "$(dirname "$0")/harness.sh"
e2e_begin engine_reproducible

# Runs the saver with tracing and a seed, skips to a second effect with "f",
# keeps the trace with "D" and wakes it; the trace is copied to $1.
traced_run() {
  local copy="$1" seed="$2"
  rm -f "$(e2e_temp)"/*.txt
  e2e_warm
  e2e_start /s -l -d -r "$seed"
  if ! e2e_wait_window "Quorix ScreenSaver" 20 >/dev/null; then
    e2e_log "no saver window for seed $seed"
    return 1
  fi
  sleep 1
  e2e_key f
  sleep 1
  e2e_key D x
  e2e_wait_exit 15
  tr -d '\r' <"$(e2e_temp)/trace.txt" >"$copy"
}

same_trace() { cmp -s <(e2e_normalised_trace "$1") <(e2e_normalised_trace "$2"); }
different_trace() { ! same_trace "$1" "$2"; }

for depth in 24 8; do
  e2e_depth "$depth"
  e2e_clear_settings
  first="$E2E_OUT/first-$depth.txt"
  second="$E2E_OUT/second-$depth.txt"
  other="$E2E_OUT/other-$depth.txt"
  traced_run "$first" 20261208
  traced_run "$second" 20261208
  traced_run "$other" 31337

  e2e_eq "depth $depth: one summary line for the effect that ended" 1 \
    "$(grep -c ', 32b, 20261208, 800 x 600, ' "$first")"
  e2e_check "depth $depth: the summary counts the second effect" \
    grep -qE ', 32b, 20261208, 800 x 600, [0-9]+, [0-9]+, 2$' "$first"
  seeds=$(grep -c '^saver2 line 49 : rand.seed() = ' "$first")
  e2e_eq "depth $depth: two effects were started" 2 "$seeds"
  distinct=$(grep '^saver2 line 49 : rand.seed() = ' "$first" | sort -u | wc -l)
  e2e_eq "depth $depth: the second effect has its own seed" 2 "$distinct"
  e2e_check "depth $depth: the same seed gives the same trace" same_trace "$first" "$second"
  e2e_check "depth $depth: another seed gives another trace" different_trace "$first" "$other"
  e2e_check "depth $depth: the trace is not empty" test "$(wc -l <"$first")" -ge 10
done

e2e_end
