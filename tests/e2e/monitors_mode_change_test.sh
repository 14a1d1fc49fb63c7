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

# Rectangles (left top right bottom) of the saver's visible windows as Wine
# sees them: the saver window, the covers and the mirrors.
wine_rects() {
  monitors_probe
  [ "$(monitors_value saver)" != none ] && monitors_value saver_rect
  monitors_value cover | awk '$5 == "visible" { print $1, $2, $3, $4 }'
  monitors_value mirror | awk '$5 == "visible" { print $1, $2, $3, $4 }'
}

# The same, of the X windows of quorix.scr that are mapped (the input method's
# 1x1 window aside).
x_rects() {
  local id
  xwininfo -root -tree | grep '("quorix.scr" "quorix.scr")' | grep -v ' 1x1+' | awk '{ print $1 }' |
    while read -r id; do
      xwininfo -id "$id" | awk -F: '
        /Absolute upper-left X/ { x = $2 + 0 } /Absolute upper-left Y/ { y = $2 + 0 }
        /Width/ { w = $2 + 0 } /Height/ { h = $2 + 0 } /Map State/ { viewable = $2 ~ /IsViewable/ }
        END { if (viewable) print x, y, x + w, y + h }'
    done
}

# True when every point of a 16-pixel grid over every monitor Wine reports
# lies in one of the rectangles on standard input.
grid_covered() {
  awk -v monitors="$(monitors_value monitor | awk '{ print $1, $2, $3, $4 }' | tr '\n' ';')" '
    { r[n++] = $0 }
    END {
      m = split(monitors, list, ";")
      if (m < 2) exit 1
      for (i = 1; i < m; i++) {
        split(list[i], b, " ")
        for (x = b[1]; x < b[3]; x += 16) for (y = b[2]; y < b[4]; y += 16) {
          hit = 0
          for (k = 0; k < n && !hit; k++) {
            split(r[k], c, " ")
            hit = x >= c[1] && x < c[3] && y >= c[2] && y < c[4]
          }
          if (!hit) { print "uncovered " x "," y > "/dev/stderr"; exit 1 }
        }
      }
    }'
}

covered_once() {
  local rects
  rects=$(wine_rects)
  [ "$(monitors_value monitors)" = "$1" ] || return 1
  grid_covered <<<"$rects" 2>/dev/null && x_rects | grid_covered 2>/dev/null
}

# True once Wine reports N monitors and every one is covered, within 5 s.
all_covered() {
  e2e_until 10 0.5 covered_once "$1" && return 0
  e2e_log "Wine: $(wine_rects | tr '\n' ';') X: $(x_rects | tr '\n' ';') monitors: $(monitors_value monitor | tr '\n' ';')"
  return 1
}

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
  e2e_check "$mode: every monitor covered at the start" all_covered 2
  xrandr --output DUMMY0 --mode 640x480
  e2e_check "$mode: every monitor covered with the primary at 640x480" all_covered 2
  e2e_check "... the saver runs on" e2e_running
  e2e_key D
  e2e_check "... and the next effect took the new size" e2e_until 3 0 next_effect_has_size "$2"
  quorix_xorg_two_monitors "$DISPLAY"
  e2e_check "$mode: every monitor covered with the primary back at 800x600" all_covered 2
  e2e_log "the pointer rests at $(xdotool getmouselocation | cut -d' ' -f1-2)"
  xrandr --output DUMMY1 --off
  e2e_check "$mode: the primary covered with the second monitor off" all_covered 1
  e2e_check "... the saver runs on" e2e_running
  e2e_check "... and the next effect took the new size" e2e_until 3 0 next_effect_has_size "$3"
  quorix_xorg_two_monitors "$DISPLAY"
  e2e_check "$mode: every monitor covered with the second one back" all_covered 2
  capture="$E2E_OUT/$mode-back.png"
  e2e_capture "$capture"
  e2e_eq "... no patch of the desktop colour on the second monitor" 0 \
    "$(monitors_desktop_patches_in "$capture" 640x480+800+0)"
  e2e_check "... the saver runs on" e2e_running
  e2e_key q
  e2e_check "$mode: a key ends the saver with exit code 0" shell_ended_cleanly
  e2e_eq "... and no window of it is left" "" "$(x_rects)"
  rm -f "$(e2e_temp)"/tr*.txt
}

check_mode primary "640 x 480" "800 x 600"
check_mode span "1440 x 480" "800 x 600"
check_mode mirror "640 x 480" "800 x 600"
check_mode separate "640 x 480" "800 x 600"

e2e_clear_settings
e2e_end
