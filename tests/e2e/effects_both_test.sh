#!/usr/bin/env bash
# The real saver draws both effects: on each display one seed starts the lines
# effect and another the rolling circles, as the trace confirms, and each covers
# a good part of the screen within two seconds. The seeds depend on the display
# depth only (an 8-bit display draws one more value for its palette).
source "$(dirname "$0")/harness.sh"
e2e_begin effects_both

# Runs one seed with tracing, captures the screen after two seconds and ends the
# run keeping the trace; prints the chosen effect (1 lines, 2 circles) and the
# first line of the effect's text form.
traced_capture() {
  local seed="$1" shot="$2"
  rm -f "$(e2e_temp)"/*.txt
  e2e_warm
  e2e_start /s -l -r "$seed"
  e2e_wait_window "Quorix ScreenSaver" 20 >/dev/null || return 1
  sleep 2
  e2e_capture "$shot"
  e2e_key D x
  e2e_wait_exit 15
  local trace
  trace=$(tr -d '\r' <"$(e2e_temp)/trace.txt")
  sed -n 's/.* : svr = //p' <<<"$trace" | head -n 1
  grep -A1 ' << \*current_saver = ' <<<"$trace" | sed -n 2p
}

check_effect() {
  local depth="$1" seed="$2" expected="$3" name="$4" least="$5"
  local shot="$E2E_OUT/$name-$depth.png" result effect text lit
  result=$(traced_capture "$seed" "$shot")
  effect=$(sed -n 1p <<<"$result")
  text=$(sed -n 2p <<<"$result")
  e2e_eq "depth $depth, seed $seed: the first effect is $name" "$expected" "$effect"
  if [ "$expected" = 2 ]; then
    e2e_check "depth $depth, seed $seed: circles print their radii first ($text)" grep -q '^\[' <<<"$text"
  else
    e2e_check "depth $depth, seed $seed: lines print their copy count first ($text)" grep -qE '^[0-9]+ ' <<<"$text"
  fi
  lit=$(e2e_lit_pixels "$shot")
  e2e_check "depth $depth, seed $seed: $name light $lit pixels, at least $least" test "$lit" -ge "$least"
}

e2e_depth 24
e2e_clear_settings
check_effect 24 5 1 lines 20000
check_effect 24 1 2 circles 5000
e2e_check "depth 24: the two effects draw different pictures" \
  test "$(compare -metric AE "$E2E_OUT/lines-24.png" "$E2E_OUT/circles-24.png" null: 2>&1)" -gt 10000

# Palette captures are not colour-accurate on Xvfb: fewer pixels count as lit.
e2e_depth 8
e2e_clear_settings
check_effect 8 2 1 lines 5000
check_effect 8 39 2 circles 2000

e2e_end
