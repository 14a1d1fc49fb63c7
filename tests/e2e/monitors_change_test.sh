#!/usr/bin/env bash
# A monitor that goes away while the saver runs takes its cover along, and one
# that comes back is covered again; the saver runs on and ends on a key.
source "$(dirname "$0")/monitors_lib.sh"
monitors_begin monitors_change

monitors_start_saver
e2e_check "a cover over the second monitor at the start" \
  monitors_covers_become "$MONITORS_COVER visible topmost"
xrandr --output DUMMY1 --off
e2e_check "with the second monitor off no cover is left" monitors_covers_become
e2e_eq "... none on the X display either" 0 "$(monitors_cover_count)"
e2e_check "and the saver runs on" e2e_running
quorix_xorg_two_monitors "$DISPLAY"
e2e_check "with it back it is covered again" \
  monitors_covers_become "$MONITORS_COVER visible topmost"
capture="$E2E_OUT/back.png"
e2e_capture "$capture"
e2e_eq "... no pixel of the desktop colour on it" 0 "$(monitors_desktop_pixels "$capture")"
e2e_key q
e2e_check "a key still ends the saver with exit code 0" shell_ended_cleanly
e2e_eq "no cover window is left" 0 "$(monitors_cover_count)"

e2e_end
