#!/usr/bin/env bash
# The saver window: its class, title and size (one pixel wider and higher than
# the screen), and a black background that covers what was on the screen.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/shell_lib.sh"
e2e_begin shell_window
e2e_warm

for depth in 24 8; do
  e2e_depth "$depth"
  wine "$QUORIX_BUILD/harness_probe.exe" >/dev/null 2>&1 &
  covered=$!
  e2e_wait_window "Quorix Harness Probe" 20 >/dev/null
  # Seed 1 starts a sparse figure, so most of the screen is still background.
  shell_start_saver /s -r 1
  e2e_capture "$E2E_OUT/saver-$depth.png"
  e2e_check "depth $depth: a window of class WindowsScreenSaverClass exists" shell_probe window
  e2e_eq "depth $depth: its title" "$SHELL_TITLE" "$(shell_probe_value title)"
  e2e_eq "depth $depth: it spans the screen plus one pixel" "0 0 801 601" "$(shell_probe_value rect)"
  e2e_eq "depth $depth: X sees the same size" "801x601" \
    "$(xdotool getwindowgeometry "$SHELL_WINDOW" | sed -n 's/.*Geometry: //p')"
  if [ "$depth" = 24 ]; then
    # The probe window painted 200,40,90 at 10,10 to 210,160 before the saver started.
    probe_pixels=$(convert "$E2E_OUT/saver-24.png" -crop 200x150+10+10 -fill white -opaque 'rgb(200,40,90)' \
      -fill black +opaque white -format '%[fx:int(mean*w*h+0.5)]' info:)
    # Shown through, it would fill all 30000; a line may happen to hit its colour.
    e2e_check "depth 24: the covered window does not show through ($probe_pixels of its pixels)" \
      test "$probe_pixels" -lt 1500
    black=$(convert "$E2E_OUT/saver-24.png" -fill white -opaque black -fill black +opaque white \
      -format '%[fx:int(mean*w*h+0.5)]' info:)
    e2e_check "depth 24: between the lines the window is black ($black black pixels)" test "$black" -gt 100000
  fi
  # The covered window keeps the X keyboard focus here (no window manager), so a
  # click ends the saver.
  e2e_click 1
  e2e_check "depth $depth: a click ends the saver with exit code 0" shell_ended_cleanly
  kill "$covered" 2>/dev/null
  wait "$covered" 2>/dev/null
done

e2e_end
