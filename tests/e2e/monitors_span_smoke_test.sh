#!/usr/bin/env bash
# With "monitors" = "span" one picture covers both monitors: the saver window
# lies over the whole virtual screen, the effects take its size (the trace's
# summary shows it), no cover is made, slow moves do not wake and a click on
# the second monitor does.
source "$(dirname "$0")/monitors_lib.sh"
monitors_begin monitors_span

# Checks (with a prefix for their names) a capture for lines on both monitors
# and no desktop on either.
span_shows_lines() {
  local part lit
  for part in 800x600+0+0 640x480+800+0; do
    e2e_eq "${1}no patch of the desktop colour in $part" 0 "$(monitors_desktop_patches_in "$2" "$part")"
    lit=$(monitors_lit_pixels_in "$2" "$part")
    e2e_check "${1}lines in $part ($lit lit pixels)" [ "$lit" -gt 300 ]
  done
}

e2e_ini_set monitors span
monitors_start_saver
sleep 1
capture="$E2E_OUT/span.png"
monitors_capture_lit "$capture"
span_shows_lines "" "$capture"
monitors_probe
e2e_eq "the saver window spans the virtual screen and a pixel more" "0 0 1441 601" "$(monitors_value saver_rect)"
e2e_eq "no cover window" "0" "$(monitors_value covers)"
e2e_eq "... and no mirror" "0" "$(monitors_value mirrors)"
if [ -n "${QUORIX_UPDATE_CAPTURES:-}" ] && [ "$E2E_FAILS" -eq 0 ]; then
  mkdir -p "$QUORIX_SOURCE/docs/captures"
  convert "$capture" -strip "$QUORIX_SOURCE/docs/captures/span.png"
fi
monitors_walk_to 1000
e2e_check "a slow walk onto the second monitor does not wake the saver" shell_still_running
e2e_click 1
e2e_check "a click on the second monitor wakes it with exit code 0" shell_ended_cleanly
e2e_check "no saver window is left" shell_no_saver_window

# A traced run writes its summary when an effect ends.
monitors_check_summary "" "the trace's summary shows the virtual screen's size" ', 4242, 1440 x 600, '

# True colour cycling draws into a picture as large as the virtual screen.
e2e_ini_set "true colour cycling" yes
monitors_start_saver
sleep 1
capture="$E2E_OUT/span-cycling.png"
monitors_capture_lit "$capture"
span_shows_lines "cycling: " "$capture"
e2e_key q
e2e_check "cycling: a key ends it with exit code 0" shell_ended_cleanly

e2e_clear_settings
e2e_end
