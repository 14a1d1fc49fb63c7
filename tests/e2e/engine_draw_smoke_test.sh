#!/usr/bin/env bash
# On both displays the saver covers the screen in black and its first lines
# appear within a second of the window.
source "$(dirname "$0")/harness.sh"
e2e_begin engine_draw_smoke

for depth in 24 8; do
  e2e_depth "$depth"
  e2e_clear_settings
  e2e_warm
  e2e_start /s -r 4242
  window=$(e2e_wait_window "Quorix ScreenSaver" 20)
  e2e_check "depth $depth: the saver window appears" test -n "$window"
  sleep 1
  shot="$E2E_OUT/lines-$depth.png"
  e2e_capture "$shot"
  lit=$(e2e_lit_pixels "$shot")
  e2e_check "depth $depth: lines are drawn within a second ($lit pixels lit)" test "$lit" -gt 200
  if [ "$depth" = 24 ]; then
    # Colours are exact only on true colour: most of the screen is still black.
    e2e_check "depth 24: the rest of the screen is black ($lit of 480000 lit)" test "$lit" -lt 400000
  fi
  e2e_check "depth $depth: the saver is still running" e2e_running
  e2e_key x
  e2e_check "depth $depth: a key ends the saver" e2e_wait_exit 15
  e2e_eq "depth $depth: exit code" 0 "$E2E_EXIT"
done

e2e_end
