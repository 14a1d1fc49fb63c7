#!/usr/bin/env bash
# With "monitors" = "separate" every monitor shows a picture of its own: lines
# on both, moving on both; "p" then "f" pause both on different figures that
# hold still; the primary's trace is the one a run without the other monitor's
# picture writes, and the seed reproduces the second monitor's effects too; a
# jump of 20 pixels over the second monitor wakes the saver; with a password
# the dialog asks on the primary while the second monitor stays covered.
source "$(dirname "$0")/monitors_lib.sh"
monitors_begin monitors_separate

second=640x480+800+0
primary=800x600+0+0

# Pixels that differ between the same part of two captures.
changed_pixels() {
  convert "$1" -crop "$3" +repage "$E2E_OUT/part-a.png"
  convert "$2" -crop "$3" +repage "$E2E_OUT/part-b.png"
  compare -metric AE "$E2E_OUT/part-a.png" "$E2E_OUT/part-b.png" null: 2>&1 | sed 's/ .*//'
}

not_in_trace() { ! grep -q "$1" "$2"; }

# Lines on both monitors of a capture.
lit_on_both() {
  [ "$(monitors_lit_pixels_in "$1" "$primary")" -gt 300 ] && [ "$(monitors_lit_pixels_in "$1" "$second")" -gt 300 ]
}

# A traced run with the seed 4242: two captures a second apart while it draws,
# then "p" and "f", two captures of the paused pictures, "D" to keep the trace
# and a key that ends the run. The trace is copied to $1, the captures to $1-*.png.
traced_run() {
  local copy="$1"
  rm -f "$(e2e_temp)"/*.txt
  e2e_mouse_move 400 300
  e2e_start /s -l -d -r 4242
  e2e_wait_window "$PLAIN_TITLE" 30 >/dev/null
  sleep 1
  monitors_capture_lit "$copy-drawing.png"
  sleep 1
  e2e_capture "$copy-later.png"
  e2e_key p f
  sleep 2
  e2e_capture "$copy-paused.png"
  sleep 1
  e2e_capture "$copy-still.png"
  e2e_key D x
  e2e_check "$(basename "$copy"): a key ends the run with exit code 0" shell_ended_cleanly
  tr -d '\r' <"$(e2e_temp)/trace.txt" >"$copy"
}

e2e_ini_set monitors separate
run="$E2E_OUT/separate"
traced_run "$run"
e2e_check "lines on both monitors" lit_on_both "$run-drawing.png"
e2e_eq "no patch of the desktop colour on the second monitor" 0 \
  "$(monitors_desktop_patches_in "$run-drawing.png" "$second")"
moved=$(changed_pixels "$run-drawing.png" "$run-later.png" "$second")
e2e_check "the second monitor's picture moves ($moved pixels changed in a second)" [ "${moved:-0}" -gt 100 ]
held=$(changed_pixels "$run-paused.png" "$run-still.png" "$second")
e2e_eq "paused, the second monitor's picture holds still" 0 "$held"
e2e_eq "paused, the primary's picture holds still" 0 "$(changed_pixels "$run-paused.png" "$run-still.png" "$primary")"
e2e_check "... and both are lit" lit_on_both "$run-still.png"
likeness=$(monitors_mirror_likeness "$run-still.png")
e2e_check "the two monitors show different figures (likeness $likeness)" \
  awk -v v="$likeness" 'BEGIN { exit !(v + 0 < 0.6) }'
if [ -n "${QUORIX_UPDATE_CAPTURES:-}" ] && [ "$E2E_FAILS" -eq 0 ]; then
  mkdir -p "$QUORIX_SOURCE/docs/captures"
  convert "$run-drawing.png" -strip "$QUORIX_SOURCE/docs/captures/separate.png"
fi

# The second monitor's effects come from the run's seed too.
rm -f "$(e2e_temp)"/*.txt
e2e_mouse_move 400 300
e2e_start /s -l -d -r 4242
e2e_wait_window "$PLAIN_TITLE" 30 >/dev/null
sleep 1
e2e_key D x
e2e_check "again: a key ends the run with exit code 0" shell_ended_cleanly
first_effect=$(grep -a '^monitor 2: effect 1, ' "$(e2e_temp)/trace.txt" | tr -d '\r')
e2e_eq "the same seed gives the second monitor the same first effect" \
  "$(grep -a '^monitor 2: effect 1, ' "$run")" "$first_effect"

# The same run without the second monitor's picture.
e2e_ini_set monitors primary
alone="$E2E_OUT/primary"
traced_run "$alone"
e2e_check "the primary's trace equals a run's with the other monitor black" \
  cmp -s <(e2e_normalised_trace "$run" | grep -v '^monitor ') <(e2e_normalised_trace "$alone")
e2e_check "... beside lines of the second monitor's effects" grep -q '^monitor 2: effect 2, seed ' "$run"
e2e_check "... which the run with the other monitor black has not" not_in_trace '^monitor ' "$alone"
e2e_check "... and shows 800 x 600" grep -q ', 32b, 4242, 800 x 600, ' "$run"
e2e_check "... and two effects" test "$(grep -c '^saver2 line 49 : rand.seed() = ' "$run")" -eq 2

e2e_ini_set monitors separate
monitors_start_saver
monitors_probe
e2e_eq "one window over the whole second monitor" "800 0 1440 480 visible topmost" "$(monitors_value mirror)"
e2e_eq "... and no cover" "0" "$(monitors_value covers)"
e2e_eq "the saver window keeps the primary's size and a pixel more" "0 0 801 601" "$(monitors_value saver_rect)"
monitors_walk_to 1000
e2e_check "a slow walk onto the second monitor does not wake the saver" shell_still_running
xdotool mousemove_relative 20 0
e2e_check "a jump of 20 pixels over it wakes the saver with exit code 0" shell_ended_cleanly

# With a password the dialog asks on the primary while every monitor stays covered.
e2e_ini_set password "$(stored_form abc)"
monitors_start_saver
monitors_walk_to 1000
e2e_click 1
window=$(wait_dialog "$VERSIONED_TITLE" "$ID_PASSWORD_ENTRY")
e2e_check "with a password a click on the second monitor opens the password dialog" [ -n "$window" ]
monitors_probe
e2e_eq "... while its window still covers the second monitor" "800 0 1440 480 visible topmost" \
  "$(monitors_value mirror)"
e2e_check "... and the saver still runs" e2e_running
e2e_check "the right password ends the saver with exit code 0" monitors_answer_password "$window" abc

e2e_clear_settings
e2e_end
