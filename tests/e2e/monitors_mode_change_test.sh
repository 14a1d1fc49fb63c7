#!/usr/bin/env bash
# The displays change while the saver runs, in every mode ("primary", "span",
# "mirror", "separate"): the primary's mode changes to 640x480 and back, and the second
# monitor goes and comes back, each time with the pointer resting on the part
# that goes (X then moves it, which is no waking input). After each change
# every monitor is covered, in Wine's view and on the X display, within five
# seconds; the saver runs on, the next effect takes the new size, and a key
# ends it with exit code 0.
source "$(dirname "$0")/monitors_lib.sh"
monitors_begin monitors_mode_change

# The size in the trace's summary of the effect that the last "f" ended.
last_summary_size() {
  grep -a ', 32b, ' "$(e2e_temp)/trace.txt" 2>/dev/null | tail -n 1 | tr -d '\r' |
    grep -o ', [0-9]* x [0-9]*, ' | tr -d ','
}

# True when the effect that "f" ends has SIZE ("W x H") in its summary. An
# effect that ended at the change itself may still be the one "f" reaches.
next_effect_has_size() {
  e2e_key f
  sleep 1
  [ "$(last_summary_size)" = " $1 " ]
}

# One run per mode, traced. The pointer rests on the part of the primary that
# the mode change takes away; X moves it onto the second monitor, where it
# rests when that monitor goes.
#   check_mode MODE SIZE-AT-640x480 SIZE-WITHOUT-THE-SECOND
check_mode() {
  local mode="$1" capture
  e2e_ini_set monitors "$mode"
  rm -f "$(e2e_temp)"/tr*.txt
  e2e_mouse_move 700 500
  e2e_start /s -l
  e2e_wait_window "$PLAIN_TITLE" 30 >/dev/null
  sleep 1
  e2e_check "$mode: every monitor covered at the start" monitors_all_covered 2
  xrandr --output DUMMY0 --mode 640x480
  e2e_check "$mode: every monitor covered with the primary at 640x480" monitors_all_covered 2
  e2e_check "... the saver runs on" e2e_running
  e2e_key D
  e2e_check "... and the next effect took the new size" e2e_until 3 0 next_effect_has_size "$2"
  quorix_xorg_two_monitors "$DISPLAY"
  e2e_check "$mode: every monitor covered with the primary back at 800x600" monitors_all_covered 2
  e2e_log "the pointer rests at $(xdotool getmouselocation | cut -d' ' -f1-2)"
  xrandr --output DUMMY1 --off
  e2e_check "$mode: the primary covered with the second monitor off" monitors_all_covered 1
  e2e_check "... the saver runs on" e2e_running
  e2e_check "... and the next effect took the new size" e2e_until 3 0 next_effect_has_size "$3"
  quorix_xorg_two_monitors "$DISPLAY"
  e2e_check "$mode: every monitor covered with the second one back" monitors_all_covered 2
  capture="$E2E_OUT/$mode-back.png"
  e2e_capture "$capture"
  e2e_eq "... no patch of the desktop colour on the second monitor" 0 \
    "$(monitors_desktop_patches_in "$capture" 640x480+800+0)"
  e2e_check "... the saver runs on" e2e_running
  e2e_key q
  e2e_check "$mode: a key ends the saver with exit code 0" shell_ended_cleanly
  e2e_eq "... and no window of it is left" "" "$(monitors_x_rects)"
  rm -f "$(e2e_temp)"/tr*.txt
}

check_mode primary "640 x 480" "800 x 600"
check_mode span "1440 x 480" "800 x 600"
check_mode mirror "640 x 480" "800 x 600"
check_mode separate "640 x 480" "800 x 600"

e2e_clear_settings
e2e_end
